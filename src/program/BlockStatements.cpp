#include "program/BlockStatements.h"

#include "program/Listing.h"
#include "program/RecordFields.h"
#include "program/StatementRules.h"
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

namespace program {

namespace {

using B = BlockType;

// Reads the values of one parameter record by the generator's rules.
class RecordValues {
public:
    explicit RecordValues(const TSimpleXMLElems& children) : m_children(children) {}

    // A missing child, an empty value, a value that is not a whole number and
    // one outside the signed 32-bit range all read as -1.
    std::int32_t integer(std::string_view name) const {
        return int32OrMinusOne(m_children.ChildInt(name, -1));
    }
    std::string decimal(std::string_view name) const { return std::to_string(integer(name)); }
    // The value exactly as stored; empty when the child is missing.
    std::string text(std::string_view name) const { return m_children.ChildText(name, {}); }
    // Texts the editors store escaped.
    std::string decoded(std::string_view name) const { return XmlDecode(text(name)); }
    char letter(std::string_view name) const { return letterCode(integer(name)); }
    // A missing or empty key command counts as on.
    bool keyCommand() const { return m_children.ChildBool("keycmd", true); }

private:
    const TSimpleXMLElems& m_children;
};

bool readsRecord(BlockType type) {
    return type != B::End && type != B::SubEnd;
}

// Parses the record (when the type reads one) and appends the statements; none for an object
// kind that is not a block's.
std::optional<files::TMessage> statementsOf(TSimpleXML& document, std::optional<BlockType> type,
                                            std::string_view payload,
                                            std::vector<std::string>& out) {
    out.clear();
    if (!type)
        return std::nullopt;
    if (!readsRecord(*type)) {
        appendBlockStatements(*type, RecordValues(document.Root().Items()), out);
        return std::nullopt;
    }
    // Most records are in the editors' form and are read without the element tree. The list
    // of children is kept from record to record: a listing reads ten thousand of them.
    thread_local std::vector<TRecordField> fields;
    fields.clear();
    if (ReadRecordFieldsQuick(payload, fields)) {
        appendBlockStatements(*type, TRecordFields(fields), out);
        return std::nullopt;
    }
    try {
        document.LoadFromText(payload);
    } catch (const ESimpleXMLError& error) {
        return error.Message();
    }
    appendBlockStatements(*type, RecordValues(document.Root().Items()), out);
    return std::nullopt;
}

} // namespace

char letterCode(std::int32_t value) {
    return static_cast<char>(static_cast<unsigned char>((std::int64_t{65} + value) & 0xFF));
}

std::optional<files::TMessage> blockStatementTexts(TSimpleXML& document, int kind,
                                                   std::string_view payload,
                                                   std::vector<std::string>& out) {
    return statementsOf(document, BlockTypeOfKind(kind), payload, out);
}

std::optional<files::TMessage> recordStatementTexts(TSimpleXML& document, std::string_view payload,
                                                    std::vector<std::string>& out) {
    out.clear();
    try {
        document.LoadFromText(payload);
    } catch (const ESimpleXMLError& error) {
        return error.Message();
    }
    const std::optional<BlockType> type =
        BlockTypeFrom(document.Root().Properties().AttributeInt("type", -1));
    if (!type)
        return std::nullopt;
    // The record is already in the document; End and Sub End read nothing.
    appendBlockStatements(*type, RecordValues(document.Root().Items()), out);
    return std::nullopt;
}

std::optional<files::TMessage> blockStatementTexts(int kind, std::string_view payload,
                                                   std::vector<std::string>& out) {
    TSimpleXML document;
    return blockStatementTexts(document, kind, payload, out);
}

std::optional<files::TMessage> recordStatementTexts(std::string_view payload,
                                                    std::vector<std::string>& out) {
    TSimpleXML document;
    return recordStatementTexts(document, payload, out);
}

std::optional<files::TMessage> BlockStatements(int kind, std::string_view payload,
                                               std::vector<std::string>& out) {
    std::optional<files::TMessage> error = blockStatementTexts(kind, payload, out);
    for (std::string& statement : out)
        statement = quotedForm(statement);
    return error;
}

} // namespace program
