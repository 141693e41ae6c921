#include "program/RecordFields.h"

namespace program {

namespace {

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

} // namespace

bool ReadRecordFieldsQuick(std::string_view text, std::vector<TRecordField>& fields) {
    return TQuickScan(text).read(fields);
}

std::optional<std::string_view> TRecordFields::find(std::string_view name) const {
    for (auto it = m_fields.rbegin(); it != m_fields.rend(); ++it)
        if (equalsNoCase(it->first, name))
            return it->second;
    return std::nullopt;
}

} // namespace program
