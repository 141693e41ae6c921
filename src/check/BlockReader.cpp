#include "check/BlockReader.h"

#include "program/BlockStatements.h"
#include "program/StatementRules.h"
#include "records/BlockCatalog.h"

#include <charconv>
#include <cstdint>
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
        if (!value || !XmlValueInt(*value, number))
            return -1;
        return program::int32OrMinusOne(number);
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
        return XmlValueBool(value.value_or(std::string_view()), true);
    }

private:
    const std::vector<std::pair<std::string_view, std::string_view>>& m_fields;
};

} // namespace

bool TBlockReader::readQuick(std::string_view payload) {
    m_fields.clear();
    if (TQuickScan(payload).read(m_fields))
        return true;
    m_fields.clear();
    return false;
}

std::optional<files::TMessage> TBlockReader::readWithTree(std::string_view payload) {
    m_fields.clear();
    try {
        m_document.LoadFromText(payload);
    } catch (const ESimpleXMLError& error) {
        return error.Message();
    }
    const TSimpleXMLElems& children = m_document.Root().Items();
    for (int i = 0; i < children.Count(); ++i) {
        const TSimpleXMLElem* child = children.ItemAt(i);
        m_fields.emplace_back(child->Name(), child->Value);
    }
    return std::nullopt;
}

std::optional<files::TMessage> TBlockReader::read(int kind, std::string_view payload,
                                                  TBlockText& out) {
    return read(BlockTypeOfKind(kind), payload, out);
}

std::optional<files::TMessage> TBlockReader::read(std::optional<BlockType> type,
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
            if (std::optional<files::TMessage> error = readWithTree(payload))
                return error;
    }
    program::appendBlockStatements(*type, TValues(m_fields), out.statements, &out.name);
    return std::nullopt;
}

} // namespace check
