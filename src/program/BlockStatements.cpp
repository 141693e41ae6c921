#include "program/BlockStatements.h"

#include "program/Listing.h"
#include "program/StatementRules.h"
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"
#include "records/SimpleXMLDetail.h"

#include <algorithm>
#include <array>
#include <utility>

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

// The shape in which the editors write every record:
//   <?xml version="1.0" encoding="iso-8859-1"?>CRLF
//   <CtrlNode type="7">CRLF
//     <name>value</name>CRLF   (once per value, indented by two spaces; <name/> when empty)
//   </CtrlNode>CRLF
// A record in exactly this shape, with plain names and values, is read by one scan instead of
// the XML reader, which gives the same values for it. Anything else (other spacing or line
// ends, comments, attributes, repeated names, bytes above 0x7F, a value that starts with
// white space or holds two spaces, "<" or ">") is left to the reader and its messages.
class PlainRecordValues {
public:
    // False when the text is not in the plain shape.
    bool scan(std::string_view text) {
        constexpr std::string_view head =
            "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<CtrlNode type=\"";
        constexpr std::string_view tail = "</CtrlNode>\r\n";
        m_count = 0;
        if (!text.starts_with(head))
            return false;
        text.remove_prefix(head.size());
        const std::size_t digits = text.find_first_not_of("0123456789");
        if (digits == 0 || digits == std::string_view::npos ||
            !text.substr(digits).starts_with("\">\r\n"))
            return false;
        text.remove_prefix(digits + 4);
        while (text != tail) {
            if (m_count == m_children.size() || !text.starts_with("  <"))
                return false;
            text.remove_prefix(3);
            const std::size_t nameEnd = text.find('>');
            if (nameEnd == std::string_view::npos)
                return false;
            std::string_view name = text.substr(0, nameEnd);
            const bool empty = name.ends_with('/'); // <name/>, as an empty value is written
            if (empty)
                name.remove_suffix(1);
            if (name.empty() || !std::all_of(name.begin(), name.end(), plainNameChar) || find(name))
                return false;
            text.remove_prefix(nameEnd + 1);
            if (empty) {
                if (!text.starts_with("\r\n"))
                    return false;
                text.remove_prefix(2);
                m_children[m_count++] = {name, {}};
                continue;
            }
            const std::size_t valueEnd = text.find('<');
            if (valueEnd == std::string_view::npos)
                return false;
            const std::string_view value = text.substr(0, valueEnd);
            if (!plainValue(value))
                return false;
            text.remove_prefix(valueEnd);
            if (!text.starts_with("</") || !text.substr(2).starts_with(name) ||
                !text.substr(2 + name.size()).starts_with(">\r\n"))
                return false;
            text.remove_prefix(2 + name.size() + 3);
            m_children[m_count++] = {name, value};
        }
        return true;
    }

    // The same readings as RecordValues gives for the record.
    std::int32_t integer(std::string_view name) const {
        const std::string_view* value = find(name);
        std::int64_t number = -1;
        if (value && !XmlValueInt(*value, number))
            number = -1;
        return int32OrMinusOne(number);
    }
    std::string decimal(std::string_view name) const { return std::to_string(integer(name)); }
    std::string_view text(std::string_view name) const {
        const std::string_view* value = find(name);
        return value ? *value : std::string_view{};
    }
    std::string decoded(std::string_view name) const { return XmlDecode(text(name)); }
    char letter(std::string_view name) const { return letterCode(integer(name)); }
    bool keyCommand() const {
        const std::string_view* value = find("keycmd");
        return value ? XmlValueBool(*value, true) : true;
    }

private:
    static bool plainNameChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    }
    static bool plainValue(std::string_view value) {
        if (!value.empty() && value.front() == ' ')
            return false;
        if (value.find("  ") != std::string_view::npos)
            return false;
        return std::all_of(value.begin(), value.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 0x20 && u < 0x7F && c != '>';
        });
    }
    // Names are told apart without letter case, as the reader's lookups do.
    const std::string_view* find(std::string_view name) const {
        for (std::size_t i = 0; i < m_count; ++i)
            if (simplexml_detail::equalsNoCase(m_children[i].first, name))
                return &m_children[i].second;
        return nullptr;
    }

    std::array<std::pair<std::string_view, std::string_view>, 12> m_children;
    std::size_t m_count = 0;
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
    if (PlainRecordValues plain; plain.scan(payload)) {
        appendBlockStatements(*type, plain, out);
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
