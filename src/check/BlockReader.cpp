#include "check/BlockReader.h"

#include "program/BlockStatements.h"
#include "program/Listing.h"
#include "records/BlockCatalog.h"

#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <system_error>

namespace check {

namespace {

using B = BlockType;

// ---- the quick reading of the editor's record form ----------------------------------------
//
// Every form read here is one the element tree reads to the same children and values: values
// are the bytes between the tags (no entity is decoded), with leading blanks dropped. Whatever
// the tree would read differently (double spaces inside a value, which it joins), report as an
// error, or simply might (comments, CDATA, namespaces, nested elements, end tags in other letter
// case) is left to the tree.

bool isWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool isAttributeNameChar(char c) {
    return isNameChar(c) || c == '-';
}

class TQuickScan {
public:
    explicit TQuickScan(std::string_view text) : m_text(text) {}

    bool read(std::vector<std::pair<std::string_view, std::string_view>>& fields) {
        skipWhite();
        // The declaration every record of the editor starts with, else any in its form.
        constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>";
        if (m_text.substr(m_pos).starts_with(kDeclaration)) {
            m_pos += kDeclaration.size();
            skipWhite();
        } else if (m_text.substr(m_pos).starts_with("<?xml ")) {
            m_pos += 5;
            if (!attributes() || !take('?', '>'))
                return false;
            skipWhite();
        }
        if (m_pos >= m_text.size())
            return true; // no element at all: the tree reads an empty record too
        if (!take('<'))
            return false;
        const std::string_view root = name();
        if (root.empty() || !attributes())
            return false;
        if (take('/', '>'))
            return true;
        if (!take('>'))
            return false;
        for (;;) {
            skipWhite();
            if (take('<', '/'))
                return endTag(root);
            if (!take('<'))
                return false;
            const std::string_view child = name();
            if (child.empty())
                return false;
            if (take('/', '>')) {
                fields.emplace_back(child, std::string_view());
                continue;
            }
            if (!take('>'))
                return false;
            skipWhite();
            const std::size_t close = m_text.find('<', m_pos);
            if (close == std::string_view::npos)
                return false;
            const std::string_view value = m_text.substr(m_pos, close - m_pos);
            if (value.find("  ") != std::string_view::npos)
                return false;
            m_pos = close;
            if (!take('<', '/') || !endTag(child))
                return false;
            fields.emplace_back(child, value);
        }
    }

private:
    void skipWhite() {
        while (m_pos < m_text.size() && isWhite(m_text[m_pos]))
            ++m_pos;
    }
    bool take(char c) {
        if (m_pos >= m_text.size() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    bool take(char c1, char c2) {
        if (m_pos + 1 >= m_text.size() || m_text[m_pos] != c1 || m_text[m_pos + 1] != c2)
            return false;
        m_pos += 2;
        return true;
    }
    std::string_view name() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && isNameChar(m_text[m_pos]))
            ++m_pos;
        return m_text.substr(start, m_pos - start);
    }
    // Blank-separated name="value" pairs, up to "/", ">" or "?".
    bool attributes() {
        for (;;) {
            const std::size_t before = m_pos;
            skipWhite();
            if (m_pos >= m_text.size())
                return false;
            const char c = m_text[m_pos];
            if (c == '/' || c == '>' || c == '?')
                return true;
            if (m_pos == before)
                return false; // the element name runs on in characters not read here
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && isAttributeNameChar(m_text[m_pos]))
                ++m_pos;
            if (m_pos == start || !take('=', '"'))
                return false;
            const std::size_t close = m_text.find('"', m_pos);
            if (close == std::string_view::npos)
                return false;
            m_pos = close + 1;
        }
    }
    bool endTag(std::string_view name) {
        const std::size_t close = m_text.find('>', m_pos);
        if (close == std::string_view::npos || m_text.substr(m_pos, close - m_pos) != name)
            return false;
        m_pos = close + 1;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// ---- the values, as the generator reads them ------------------------------------------------

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 32) : a[i];
        const char y = (b[i] >= 'a' && b[i] <= 'z') ? static_cast<char>(b[i] - 32) : b[i];
        if (x != y)
            return false;
    }
    return true;
}

// A signed decimal integer filling the whole text; one "+" may stand in front of the digits.
bool parseInteger(std::string_view text, std::int64_t& out) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+'))
            return false;
    }
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

// A decimal number written out without a std::string.
struct TDecimal {
    char digits[12];
    std::size_t size = 0;

    explicit TDecimal(std::int32_t value) {
        size = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr -
                                        digits);
    }
    operator std::string_view() const { return {digits, size}; }
};

// The parts joined into one statement.
std::string join(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    std::string result;
    result.reserve(size);
    for (const std::string_view part : parts)
        result.append(part);
    return result;
}

class TValues {
public:
    explicit TValues(const std::vector<std::pair<std::string_view, std::string_view>>& fields)
        : m_fields(fields) {}

    // The last child of that name, in any letter case.
    std::optional<std::string_view> find(std::string_view name) const {
        for (auto it = m_fields.rbegin(); it != m_fields.rend(); ++it)
            if (equalsNoCase(it->first, name))
                return it->second;
        return std::nullopt;
    }
    // Missing, empty, not a whole number or outside 32 bits: -1.
    std::int32_t integer(std::string_view name) const {
        const std::optional<std::string_view> value = find(name);
        std::int64_t number = -1;
        if (!value || !parseInteger(*value, number) ||
            number < std::numeric_limits<std::int32_t>::min() ||
            number > std::numeric_limits<std::int32_t>::max())
            return -1;
        return static_cast<std::int32_t>(number);
    }
    TDecimal decimal(std::string_view name) const { return TDecimal(integer(name)); }
    // The value exactly as stored; empty when the child is missing.
    std::string_view text(std::string_view name) const { return find(name).value_or(""); }
    // Texts the editors store escaped.
    std::string decoded(std::string_view name) const { return XmlDecode(text(name)); }
    char letter(std::string_view name) const { return program::letterCode(integer(name)); }
    // Missing or empty: on. Numbers are on unless zero, "true" and "false" in any case count,
    // and any other text is off.
    bool keyCommand() const {
        const std::optional<std::string_view> value = find("keycmd");
        if (!value || value->empty())
            return true;
        std::int64_t number = 0;
        if (parseInteger(*value, number))
            return number != 0;
        if (equalsNoCase(*value, "true"))
            return true;
        if (equalsNoCase(*value, "false"))
            return false;
        const char first = value->front();
        if ((first >= '0' && first <= '9') || first == '-' || first == '+' || first == '.') {
            std::string_view digits = *value;
            if (first == '+')
                digits.remove_prefix(1);
            double real = 0;
            const char* end = digits.data() + digits.size();
            const auto [ptr, ec] = std::from_chars(digits.data(), end, real);
            if (ec == std::errc() && ptr == end)
                return real != 0;
        }
        return false;
    }

private:
    const std::vector<std::pair<std::string_view, std::string_view>>& m_fields;
};

// The statements of a block type for its values, statement for statement as the generator
// writes them.
void appendStatements(BlockType type, const TValues& v, TBlockText& out) {
    std::vector<std::string>& s = out.statements;
    const std::string_view label = program::kLabelPrefix;
    const std::string_view sub = program::kSubPrefix;
    switch (type) {
    case B::Direct:
    case B::Turn: {
        const bool direct = type == B::Direct;
        switch (v.integer("mode")) {
        case 0:
            s.emplace_back(direct ? "FDX" : "LTX");
            return;
        case 1:
            s.emplace_back(direct ? "BKX" : "RTX");
            return;
        case 2:
            s.push_back(join({direct ? "FD " : "LT ", v.text("wait")}));
            return;
        case 3:
            s.push_back(join({direct ? "BK " : "RT ", v.text("wait")}));
            return;
        default:
            s.emplace_back();
            return;
        }
    }
    case B::MotorOn:
        s.push_back(join({"MOTOR ", v.decimal("motorL"), ",", v.decimal("motorR")}));
        return;
    case B::MotorStop:
        switch (v.integer("mode")) {
        case 0:
            s.emplace_back("STX");
            return;
        case 1:
            s.emplace_back("MOTOR 0,0");
            return;
        default:
            s.emplace_back();
            return;
        }
    case B::Wait:
        s.push_back(join({"WAIT ", v.decimal("wait")}));
        return;
    case B::Music:
        if (v.keyCommand())
            s.push_back(join({"KEY ", v.decimal("key")}));
        s.push_back(join({"PLAY ", v.text("content")}));
        return;
    case B::LoopBegin: {
        const char var = v.letter("var");
        s.push_back(join({"FOR ", {&var, 1}, "=1 TO ", v.decimal("times")}));
        return;
    }
    case B::LoopEnd: {
        const char var = v.letter("var");
        s.push_back(join({"NEXT ", {&var, 1}}));
        return;
    }
    case B::Label:
        out.name = v.text("label");
        s.push_back(join({label, out.name}));
        return;
    case B::Goto:
        out.name = v.text("label");
        s.push_back(join({"GOTO ", label, out.name}));
        return;
    case B::GotoIf:
        out.name = v.decoded("label");
        s.push_back(join({"IF ", v.decoded("condition"), " THEN ", label, out.name}));
        return;
    case B::End:
        s.emplace_back("END");
        return;
    case B::Led:
        s.push_back(join({"LED ", v.decimal("led")}));
        return;
    case B::IoSetup: {
        const char port = v.letter("ddr");
        s.push_back(join({"DDR", {&port, 1}, " ", v.decimal("data")}));
        return;
    }
    case B::IoInput: {
        const char var = v.letter("var");
        const char port = v.letter("port");
        s.push_back(join({{&var, 1}, "=PIN", {&port, 1}}));
        return;
    }
    case B::IoOutput: {
        const char port = v.letter("port");
        s.push_back(join({"PORT", {&port, 1}, " ", v.decimal("data")}));
        return;
    }
    case B::Servo:
        s.push_back(
            join({"SERVOE ", v.decimal("data1"), ",", v.decimal("data2"), ",", v.decimal("data3"),
                  ",", v.decimal("data4"), ",", v.decimal("data5"), ",", v.decimal("speed")}));
        return;
    case B::Expression:
        s.push_back(v.decoded("command"));
        return;
    case B::DigitalSensor: {
        const std::int32_t index = v.integer("index");
        static constexpr std::string_view kSources[] = {"PC0", "PC1", "PC2", "PC3", "PC4", "MIC"};
        const std::string_view source =
            index >= 0 && index <= 5 ? kSources[static_cast<std::size_t>(index)] : "PCX";
        const char var = v.letter("var");
        s.push_back(join({{&var, 1}, "=", source}));
        return;
    }
    case B::AnalogSensor: {
        const char var = v.letter("var");
        s.push_back(join({{&var, 1}, "=ADC", v.decimal("index")}));
        return;
    }
    case B::SubBegin:
        out.name = v.text("sub");
        s.push_back(join({sub, out.name}));
        return;
    case B::SubEnd:
        s.emplace_back("RETURN");
        return;
    case B::CallSub:
        out.name = v.text("sub");
        s.push_back(join({"GOSUB ", sub, out.name}));
        return;
    case B::VoiceX:
        s.push_back(join({"VOICEX ", v.decimal("index")}));
        return;
    }
}

} // namespace

bool TBlockReader::readQuick(std::string_view payload) {
    m_fields.clear();
    if (TQuickScan(payload).read(m_fields))
        return true;
    m_fields.clear();
    return false;
}

std::optional<std::string> TBlockReader::readWithTree(std::string_view payload) {
    m_fields.clear();
    try {
        m_document.LoadFromText(payload);
    } catch (const ESimpleXMLError& error) {
        return std::string(error.what());
    }
    const TSimpleXMLElems& children = m_document.Root().Items();
    for (int i = 0; i < children.Count(); ++i) {
        const TSimpleXMLElem* child = children.ItemAt(i);
        m_fields.emplace_back(child->Name(), child->Value);
    }
    return std::nullopt;
}

std::optional<std::string> TBlockReader::read(int kind, std::string_view payload, TBlockText& out) {
    return read(BlockTypeOfKind(kind), payload, out);
}

std::optional<std::string> TBlockReader::read(std::optional<BlockType> type,
                                              std::string_view payload, TBlockText& out) {
    out.statements.clear();
    out.name.clear();
    m_quick = false;
    if (!type)
        return std::nullopt;
    m_fields.clear();
    // End and Sub End read nothing of their record.
    if (*type != B::End && *type != B::SubEnd) {
        m_quick = readQuick(payload);
        if (!m_quick)
            if (std::optional<std::string> error = readWithTree(payload))
                return error;
    }
    appendStatements(*type, TValues(m_fields), out);
    return std::nullopt;
}

} // namespace check
