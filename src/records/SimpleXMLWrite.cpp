// The writer: one exact written form for every tree (CR LF lines, the indent per level).
//
// The text is written through a raw cursor into a string sized ahead (by the caller's guess,
// doubled when it runs out): each node asks once for the room its pieces need and then copies
// them without further checks, instead of appending piece by piece.
#include "records/SimpleXML.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kIndent = "  ";

// A text written through a cursor; room is asked for before each group of copies. The cursor
// keeps kSlack bytes beyond the room it hands out, so that a short string is copied as one
// block of kSlack bytes, whatever its length, instead of through a call sized at run time.
class TextCursor {
public:
    static constexpr std::size_t kSlack = 16;

    explicit TextCursor(std::size_t sizeHint) {
        m_text.resize(std::max<std::size_t>(sizeHint, 256) + kSlack);
        m_at = m_text.data();
        m_end = m_at + m_text.size() - kSlack;
    }

    void reserve(std::size_t bytes) {
        if (static_cast<std::size_t>(m_end - m_at) < bytes)
            grow(bytes);
    }
    // The copies below expect the room asked for by reserve.
    void put(std::string_view piece) {
        std::char_traits<char>::copy(m_at, piece.data(), piece.size());
        m_at += piece.size();
    }
    void put(const std::string& piece) {
        // A string's storage holds capacity() + 1 bytes from data() on.
        if (piece.size() < kSlack && piece.capacity() >= kSlack - 1) {
            std::memcpy(m_at, piece.data(), kSlack);
            m_at += piece.size();
            return;
        }
        put(std::string_view(piece));
    }
    template <std::size_t N> void put(const char (&literal)[N]) {
        put(std::string_view(literal, N - 1));
    }
    void put(char c) { *m_at++ = c; }

    std::string finish() {
        m_text.resize(static_cast<std::size_t>(m_at - m_text.data()));
        return std::move(m_text);
    }

private:
    void grow(std::size_t bytes) {
        const std::size_t used = static_cast<std::size_t>(m_at - m_text.data());
        m_text.resize(std::max(m_text.size() * 2, used + bytes + kSlack));
        m_at = m_text.data() + used;
        m_end = m_text.data() + m_text.size() - kSlack;
    }

    std::string m_text;
    char* m_at = nullptr;
    char* m_end = nullptr;
};

// Elements lie wherever the allocator put them, so a walk of a large tree waits mostly for
// memory: the next sibling is fetched while the current one (and its subtree) is written.
void prefetchElement(const TSimpleXMLElem* e) {
    const char* bytes = reinterpret_cast<const char*>(e);
    for (std::size_t line = 0; line < sizeof(TSimpleXMLElemClassic); line += 64)
        __builtin_prefetch(bytes + line);
}

} // namespace

// Walks a tree and writes it; a friend of the tree, so that it reads the lists directly.
class TSimpleXMLWriter {
public:
    explicit TSimpleXMLWriter(std::size_t sizeHint) : m_out(sizeHint) {}

    // Writes a subtree without nested calls, so that a tree of any depth can be written.
    void writeTree(const TSimpleXMLElem& top, std::string_view basePrefix);
    std::string finish() { return m_out.finish(); }

private:
    static std::size_t fullNameSize(const TSimpleXMLElem& e) {
        return e.Namespace.empty() ? e.m_name.size() : e.Namespace.size() + 1 + e.m_name.size();
    }
    void putFullName(const TSimpleXMLElem& e) {
        if (!e.Namespace.empty()) {
            m_out.put(e.Namespace);
            m_out.put(':');
        }
        m_out.put(e.m_name);
    }
    void writeAttributes(const TSimpleXMLProps& props);
    // Writes one node; returns true when its children are to be written next (an element whose
    // closing tag, if any, follows them).
    bool writeOpen(const TSimpleXMLElem& e, std::string_view prefix);
    void writeClose(const TSimpleXMLElem& e, std::string_view prefix);

    TextCursor m_out;
};

void TSimpleXMLWriter::writeAttributes(const TSimpleXMLProps& props) {
    for (const TSimpleXMLProp& prop : props.m_items) {
        m_out.reserve(prop.NameSpace.size() + prop.Name().size() + prop.Value.size() + 5);
        m_out.put(' ');
        if (!prop.NameSpace.empty()) {
            m_out.put(prop.NameSpace);
            m_out.put(':');
        }
        m_out.put(prop.Name());
        m_out.put('=');
        m_out.put('"');
        m_out.put(prop.Value);
        m_out.put('"');
    }
}

bool TSimpleXMLWriter::writeOpen(const TSimpleXMLElem& e, std::string_view prefix) {
    // Room for the prefix, the fixed marks of any kind and the line end.
    constexpr std::size_t kMarks = 24;
    switch (e.Kind()) {
    case TSimpleXMLElemKind::Classic: {
        const bool hasChildren = !e.m_items.m_items.empty();
        if (e.m_name.empty())
            return hasChildren;
        const std::size_t nameSize = fullNameSize(e);
        m_out.reserve(prefix.size() + nameSize + kMarks);
        m_out.put(prefix);
        m_out.put('<');
        putFullName(e);
        writeAttributes(e.m_props);
        if (hasChildren) {
            m_out.reserve(kMarks);
            m_out.put('>');
            m_out.put(kCrLf);
            return true;
        }
        if (e.Value.empty()) {
            m_out.reserve(kMarks);
            m_out.put("/>");
        } else {
            m_out.reserve(e.Value.size() + nameSize + kMarks);
            m_out.put('>');
            m_out.put(e.Value);
            m_out.put("</");
            putFullName(e);
            m_out.put('>');
        }
        m_out.put(kCrLf);
        return false;
    }
    case TSimpleXMLElemKind::Text:
        if (!e.Value.empty()) {
            m_out.reserve(prefix.size() + e.Value.size() + kMarks);
            m_out.put(prefix);
            m_out.put(e.Value);
            m_out.put(kCrLf);
        }
        return false;
    case TSimpleXMLElemKind::Comment:
        m_out.reserve(prefix.size() + e.Value.size() + kMarks);
        m_out.put(prefix);
        m_out.put("<!--");
        m_out.put(e.Value);
        m_out.put("-->");
        m_out.put(kCrLf);
        return false;
    case TSimpleXMLElemKind::CData:
        m_out.reserve(prefix.size() + e.Value.size() + kMarks);
        m_out.put(prefix);
        m_out.put("<![CDATA[");
        m_out.put(e.Value);
        m_out.put("]]>");
        m_out.put(kCrLf);
        return false;
    case TSimpleXMLElemKind::Header: {
        const auto& header = static_cast<const TSimpleXMLElemHeader&>(e);
        m_out.reserve(header.Version.size() + header.Encoding.size() + 64);
        m_out.put("<?xml version=\"");
        m_out.put(header.Version);
        m_out.put('"');
        if (!header.Encoding.empty()) {
            m_out.put(" encoding=\"");
            m_out.put(header.Encoding);
            m_out.put('"');
        }
        if (header.StandAlone)
            m_out.put(" standalone=\"yes\"");
        m_out.put("?>");
        m_out.put(kCrLf);
        return false;
    }
    case TSimpleXMLElemKind::DocType:
        m_out.reserve(e.Value.size() + kMarks);
        m_out.put("<!DOCTYPE ");
        m_out.put(e.Value);
        m_out.put('>');
        m_out.put(kCrLf);
        return false;
    case TSimpleXMLElemKind::Sheet:
        m_out.reserve(prefix.size() + kMarks);
        m_out.put(prefix);
        m_out.put("<?xml-stylesheet");
        writeAttributes(e.m_props);
        m_out.reserve(kMarks);
        m_out.put("?>");
        m_out.put(kCrLf);
        return false;
    }
    return false;
}

void TSimpleXMLWriter::writeClose(const TSimpleXMLElem& e, std::string_view prefix) {
    if (e.Kind() != TSimpleXMLElemKind::Classic || e.m_name.empty())
        return;
    m_out.reserve(prefix.size() + fullNameSize(e) + 8);
    m_out.put(prefix);
    m_out.put("</");
    putFullName(e);
    m_out.put('>');
    m_out.put(kCrLf);
}

void TSimpleXMLWriter::writeTree(const TSimpleXMLElem& top, std::string_view basePrefix) {
    if (!writeOpen(top, basePrefix))
        return;
    // The prefix of depth d is the base prefix and d indents: one string holds the deepest so
    // far, and each level writes a leading part of it.
    std::string prefix(basePrefix);
    struct Frame {
        const TSimpleXMLElem* element;
        std::size_t next;
    };
    std::vector<Frame> stack{{&top, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const auto& items = frame.element->m_items.m_items;
        const std::size_t childPrefix = basePrefix.size() + stack.size() * kIndent.size();
        if (frame.next < items.size()) {
            const TSimpleXMLElem& child = *items[frame.next++];
            if (frame.next < items.size())
                prefetchElement(items[frame.next].get());
            while (prefix.size() < childPrefix)
                prefix += kIndent;
            if (writeOpen(child, std::string_view(prefix).substr(0, childPrefix)))
                stack.push_back({&child, 0});
            continue;
        }
        const TSimpleXMLElem& done = *frame.element;
        stack.pop_back();
        writeClose(done, std::string_view(prefix).substr(0, childPrefix - kIndent.size()));
    }
}

std::string TSimpleXMLElem::SaveToText(std::string_view prefix) const {
    TSimpleXMLWriter writer(0);
    writer.writeTree(*this, prefix);
    return writer.finish();
}

std::string TSimpleXML::SaveToText() {
    if (m_prolog.Count() == 0)
        m_prolog.Add(std::make_unique<TSimpleXMLElemHeader>());
    // The last text read or written is the best guess of this one's size; an edit since then
    // rarely adds more than an eighth.
    TSimpleXMLWriter writer(m_writeHint + m_writeHint / 8);
    for (int i = 0; i < m_prolog.Count(); ++i)
        writer.writeTree(*m_prolog.ItemAt(i), {});
    writer.writeTree(*m_root, {});
    std::string out = writer.finish();
    m_writeHint = out.size();
    return out;
}
