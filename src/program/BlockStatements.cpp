#include "program/BlockStatements.h"

#include "program/Listing.h"
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

#include <limits>

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
        const std::int64_t value = m_children.ChildInt(name, -1);
        if (value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max())
            return -1;
        return static_cast<std::int32_t>(value);
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

void appendStatements(BlockType type, const RecordValues& v, std::vector<std::string>& out) {
    auto one = [&](std::string statement) { out.push_back(std::move(statement)); };
    switch (type) {
    case B::Direct:
    case B::Turn: {
        const bool direct = type == B::Direct;
        switch (v.integer("mode")) {
        case 0:
            return one(direct ? "FDX" : "LTX");
        case 1:
            return one(direct ? "BKX" : "RTX");
        case 2:
            return one((direct ? "FD " : "LT ") + v.text("wait"));
        case 3:
            return one((direct ? "BK " : "RT ") + v.text("wait"));
        default:
            return one("");
        }
    }
    case B::MotorOn:
        return one("MOTOR " + v.decimal("motorL") + "," + v.decimal("motorR"));
    case B::MotorStop:
        switch (v.integer("mode")) {
        case 0:
            return one("STX");
        case 1:
            return one("MOTOR 0,0");
        default:
            return one("");
        }
    case B::Wait:
        return one("WAIT " + v.decimal("wait"));
    case B::Music:
        if (v.keyCommand())
            one("KEY " + v.decimal("key"));
        return one("PLAY " + v.text("content"));
    case B::LoopBegin:
        return one(std::string("FOR ") + v.letter("var") + "=1 TO " + v.decimal("times"));
    case B::LoopEnd:
        return one(std::string("NEXT ") + v.letter("var"));
    case B::Label:
        return one(std::string(kLabelPrefix) + v.text("label"));
    case B::Goto:
        return one("GOTO " + std::string(kLabelPrefix) + v.text("label"));
    case B::GotoIf:
        return one("IF " + v.decoded("condition") + " THEN " + std::string(kLabelPrefix) +
                   v.decoded("label"));
    case B::End:
        return one("END");
    case B::Led:
        return one("LED " + v.decimal("led"));
    case B::IoSetup:
        return one(std::string("DDR") + v.letter("ddr") + " " + v.decimal("data"));
    case B::IoInput:
        return one(v.letter("var") + std::string("=PIN") + v.letter("port"));
    case B::IoOutput:
        return one(std::string("PORT") + v.letter("port") + " " + v.decimal("data"));
    case B::Servo:
        return one("SERVOE " + v.decimal("data1") + "," + v.decimal("data2") + "," +
                   v.decimal("data3") + "," + v.decimal("data4") + "," + v.decimal("data5") + "," +
                   v.decimal("speed"));
    case B::Expression:
        return one(v.decoded("command"));
    case B::DigitalSensor: {
        const std::int32_t index = v.integer("index");
        std::string source = "PCX";
        if (index >= 0 && index <= 4)
            source = "PC" + std::to_string(index);
        else if (index == 5)
            source = "MIC";
        return one(v.letter("var") + std::string("=") + source);
    }
    case B::AnalogSensor:
        return one(v.letter("var") + std::string("=ADC") + v.decimal("index"));
    case B::SubBegin:
        return one(std::string(kSubPrefix) + v.text("sub"));
    case B::SubEnd:
        return one("RETURN");
    case B::CallSub:
        return one("GOSUB " + std::string(kSubPrefix) + v.text("sub"));
    case B::VoiceX:
        return one("VOICEX " + v.decimal("index"));
    }
}

// Parses the record (when the type reads one) and appends the statements; none for an object
// kind that is not a block's.
std::optional<std::string> statementsOf(TSimpleXML& document, std::optional<BlockType> type,
                                        std::string_view payload, std::vector<std::string>& out) {
    out.clear();
    if (!type)
        return std::nullopt;
    if (!readsRecord(*type)) {
        appendStatements(*type, RecordValues(document.Root().Items()), out);
        return std::nullopt;
    }
    try {
        document.LoadFromText(payload);
    } catch (const ESimpleXMLError& error) {
        return std::string(error.what());
    }
    appendStatements(*type, RecordValues(document.Root().Items()), out);
    return std::nullopt;
}

} // namespace

char letterCode(std::int32_t value) {
    return static_cast<char>(static_cast<unsigned char>((std::int64_t{65} + value) & 0xFF));
}

std::optional<std::string> blockStatementTexts(TSimpleXML& document, int kind,
                                               std::string_view payload,
                                               std::vector<std::string>& out) {
    return statementsOf(document, BlockTypeOfKind(kind), payload, out);
}

std::optional<std::string> recordStatementTexts(TSimpleXML& document, std::string_view payload,
                                                std::vector<std::string>& out) {
    out.clear();
    try {
        document.LoadFromText(payload);
    } catch (const ESimpleXMLError& error) {
        return std::string(error.what());
    }
    const std::optional<BlockType> type =
        BlockTypeFrom(document.Root().Properties().AttributeInt("type", -1));
    if (!type)
        return std::nullopt;
    // The record is already in the document; End and Sub End read nothing.
    appendStatements(*type, RecordValues(document.Root().Items()), out);
    return std::nullopt;
}

std::optional<std::string> blockStatementTexts(int kind, std::string_view payload,
                                               std::vector<std::string>& out) {
    TSimpleXML document;
    return blockStatementTexts(document, kind, payload, out);
}

std::optional<std::string> recordStatementTexts(std::string_view payload,
                                                std::vector<std::string>& out) {
    TSimpleXML document;
    return recordStatementTexts(document, payload, out);
}

std::optional<std::string> BlockStatements(int kind, std::string_view payload,
                                           std::vector<std::string>& out) {
    std::optional<std::string> error = blockStatementTexts(kind, payload, out);
    for (std::string& statement : out)
        statement = quotedForm(statement);
    return error;
}

} // namespace program
