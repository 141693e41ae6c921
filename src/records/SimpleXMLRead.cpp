// The reader: a tolerant single pass over the text that builds the tree as it goes and stops
// at the first error with one of its fixed messages.
#include "files/Message.h"
#include "records/SimpleXML.h"
#include "records/SimpleXMLDetail.h"

#include <algorithm>
#include <memory>
#include <string>

using simplexml_detail::equalsNoCase;
using simplexml_detail::isWhite;

namespace {

constexpr std::string_view kHeaderOpen = "<?xml ";
constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kSheetOpen = "<?xml-stylesheet";
constexpr std::string_view kDocTypeOpen = "<!DOCTYPE";
constexpr std::string_view kCDataOpen = "<![CDATA[";

bool isAttrNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

// The name in an end tag as a start tag would read it: the part before the last ":" is the
// prefix, and an empty prefix is no prefix.
std::string_view fullEndName(std::string_view tag) {
    if (tag.starts_with(':') && tag.find(':', 1) == std::string_view::npos)
        tag.remove_prefix(1);
    return tag;
}

// Whether an end tag names the element, as FullName() compared without letter case would tell,
// without building the full name.
bool endTagMatches(const TSimpleXMLElem& e, std::string_view tag) {
    if (e.Namespace.empty())
        return equalsNoCase(e.Name(), tag);
    const std::size_t prefix = e.Namespace.size();
    return tag.size() == prefix + 1 + e.Name().size() && tag[prefix] == ':' &&
           equalsNoCase(tag.substr(0, prefix), e.Namespace) &&
           equalsNoCase(tag.substr(prefix + 1), e.Name());
}

// Raises the reader's error: one of its wordings with the values it names. The message is
// built here only, off the reading path.
template <class... Values>
[[noreturn, gnu::cold, gnu::noinline]] void fail(const char* wording, const Values&... values) {
    throw ESimpleXMLError(files::Say("records", wording, values...));
}

// The wordings that more than one place raises.
constexpr const char* kPrologText =
    ZV_TRANSLATABLE("records", "Invalid Document: Unexpected text in file prolog");
constexpr const char* kPropertyCharacter = ZV_TRANSLATABLE(
    "records", "Invalid XML Element: Unexpected character in property declaration (\"%1\" found)");
constexpr const char* kEndTagAtEnd = ZV_TRANSLATABLE(
    "records", "Invalid XML Element: Erroneous end of tag, expecting </%1> but </> found");
constexpr const char* kCommentEnd =
    ZV_TRANSLATABLE("records", "Invalid Comment: Unexpected end of data");
constexpr const char* kCDataEnd =
    ZV_TRANSLATABLE("records", "Invalid CDATA: Unexpected end of data");
constexpr const char* kSheetEnd =
    ZV_TRANSLATABLE("records", "Invalid Stylesheet: Unexpected end of data");
// What an opening that does not match says, by construct: the character expected, then the one
// found.
constexpr const char* kCommentMismatch =
    ZV_TRANSLATABLE("records", "Invalid Comment: expected \"%1\" but found \"%2\"");
constexpr const char* kCDataMismatch =
    ZV_TRANSLATABLE("records", "Invalid CDATA: expected \"%1\" but found \"%2\"");
constexpr const char* kHeaderMismatch =
    ZV_TRANSLATABLE("records", "Invalid Header: expected \"%1\" but found \"%2\"");
constexpr const char* kSheetMismatch =
    ZV_TRANSLATABLE("records", "Invalid Stylesheet: expected \"%1\" but found \"%2\"");

} // namespace

// The elements of the tree a text replaces, handed out again to the reader in the order in
// which they stand in that tree (the order the reader made them in). Reading the same kind of
// text again then fills elements in place, with their strings' and lists' room, instead of
// freeing a whole tree and allocating the next one, and visits each old element only once.
// What is not handed out is freed with the reuse.
class TSimpleXMLReuse {
public:
    // Takes over the children of `root`, which keeps room for as many.
    explicit TSimpleXMLReuse(TSimpleXMLElem& root) {
        TSimpleXMLElems::List& top = root.m_items.m_items;
        if (top.empty())
            return;
        const std::size_t count = top.size();
        m_frames.push_back({std::move(top), 0});
        top.clear();
        top.reserve(count);
    }

    // The next old ordinary element, emptied as if new, or a new one when none is left.
    std::unique_ptr<TSimpleXMLElem> take() {
        while (!m_frames.empty()) {
            Frame& frame = m_frames.back();
            if (frame.next == frame.list.size()) {
                m_frames.pop_back();
                continue;
            }
            std::unique_ptr<TSimpleXMLElem> e = std::move(frame.list[frame.next++]);
            TSimpleXMLElems::List children = std::move(e->m_items.m_items);
            if (!children.empty())
                m_frames.push_back({std::move(children), 0});
            if (e->Kind() != TSimpleXMLElemKind::Classic)
                continue; // freed here
            e->m_name.clear();
            e->Value.clear();
            e->Namespace.clear();
            e->m_props.Clear();
            e->m_items.m_items.clear();
            e->m_items.nameChanged(); // drops the name index
            e->m_owner = nullptr;
            return e;
        }
        return std::make_unique<TSimpleXMLElemClassic>();
    }

private:
    struct Frame {
        TSimpleXMLElems::List list;
        std::size_t next;
    };
    std::vector<Frame> m_frames;
};

class TSimpleXMLReader {
public:
    TSimpleXMLReader(std::string_view text, TSimpleXMLReuse& reuse)
        : m_text(text), m_reuse(reuse) {}
    // How far the reader got: where an error was found.
    std::size_t position() const { return std::min(m_pos, m_text.size()); }

    // Reads the prolog into `prolog`; true when an element follows at the current position.
    bool readProlog(TSimpleXMLElemsProlog& prolog);
    void readElement(TSimpleXMLElem& element, int depth);

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    void skipWhite() {
        while (m_pos < m_text.size() && isWhite(m_text[m_pos]))
            ++m_pos;
    }
    std::string_view found() const { return m_text.substr(m_pos, 1); }

    // Reads an attribute list up to (not including) "/", ">" or "?"; false at the end of text.
    bool readAttributes(TSimpleXMLProps& props);
    // Reads the content of `element` and returns the name in its end tag (empty at end of text).
    std::string_view readContent(TSimpleXMLElem& element, int depth);
    void readText(std::string& out);
    std::string readComment();
    std::string readCData();
    std::string readDocType();
    std::unique_ptr<TSimpleXMLElemHeader> readHeader();
    std::unique_ptr<TSimpleXMLElemSheet> readSheet();
    // Expects `opening` at the current position, raising `mismatch` (with the character expected
    // and the one found) or, at the end of the text, `endMessage`.
    void expect(std::string_view opening, const char* mismatch, const char* endMessage);

    std::string_view m_text;
    std::size_t m_pos = 0;
    TSimpleXMLReuse& m_reuse;
};

void TSimpleXMLReader::expect(std::string_view opening, const char* mismatch,
                              const char* endMessage) {
    for (const char c : opening) {
        if (atEnd())
            fail(endMessage);
        if (m_text[m_pos] != c)
            fail(mismatch, c, found());
        ++m_pos;
    }
}

bool TSimpleXMLReader::readProlog(TSimpleXMLElemsProlog& prolog) {
    for (;;) {
        skipWhite();
        if (atEnd())
            return false;
        if (m_text[m_pos] != '<')
            fail(kPrologText);
        const std::size_t start = m_pos;
        std::size_t length = 1;
        for (;;) {
            // No opening is longer than the stylesheet's: past it nothing can match, and an
            // unrecognised "<!" or "<?" construct cannot be read.
            if (start + length >= m_text.size() || length > kSheetOpen.size())
                fail(kPrologText);
            ++length;
            const std::string_view collected = m_text.substr(start, length);
            if (collected == kHeaderOpen) {
                prolog.Add(readHeader());
                break;
            }
            if (collected == kCommentOpen) {
                prolog.Add(std::make_unique<TSimpleXMLElemComment>(readComment()));
                break;
            }
            if (collected == kSheetOpen) {
                prolog.Add(readSheet());
                break;
            }
            if (collected == kDocTypeOpen) {
                prolog.Add(std::make_unique<TSimpleXMLElemDocType>(readDocType()));
                break;
            }
            if (collected == kCDataOpen || (collected[1] != '!' && collected[1] != '?'))
                return true;
        }
    }
}

bool TSimpleXMLReader::readAttributes(TSimpleXMLProps& props) {
    for (;;) {
        skipWhite();
        if (atEnd())
            return false;
        char c = m_text[m_pos];
        if (c == '/' || c == '>' || c == '?')
            return true;
        if (!isAttrNameChar(c))
            fail(kPropertyCharacter, found());
        // Everything before the last ":" is the prefix, so that prefix, ":" and name write back
        // the name as it was read.
        const std::size_t start = m_pos;
        std::size_t nameStart = m_pos;
        while (!atEnd() && (isAttrNameChar(m_text[m_pos]) || m_text[m_pos] == ':')) {
            if (m_text[m_pos] == ':')
                nameStart = m_pos + 1;
            ++m_pos;
        }
        std::string prefix(nameStart == start ? std::string_view{}
                                              : m_text.substr(start, nameStart - 1 - start));
        const std::string_view name = m_text.substr(nameStart, m_pos - nameStart);
        skipWhite();
        if (atEnd())
            return false;
        if (m_text[m_pos] != '=')
            fail(kPropertyCharacter, found());
        ++m_pos;
        skipWhite();
        if (atEnd())
            return false;
        c = m_text[m_pos];
        if (c != '"' && c != '\'') {
            fail(ZV_TRANSLATABLE("records", "Invalid XML Element: Unexpected character in property "
                                            "declaration. Expecting \" or ' but \"%1\"  found"),
                 found());
        }
        const std::size_t close = m_text.find(c, m_pos + 1);
        if (close == std::string_view::npos) {
            m_pos = m_text.size();
            return false;
        }
        TSimpleXMLProp& prop =
            props.AddAttribute(name, m_text.substr(m_pos + 1, close - m_pos - 1));
        prop.NameSpace = std::move(prefix);
        m_pos = close + 1;
    }
}

void TSimpleXMLReader::readElement(TSimpleXMLElem& element, int depth) {
    if (depth > TSimpleXML::MaxDepth) {
        fail(ZV_TRANSLATABLE("records",
                             "Invalid XML Element: Elements nested deeper than %1 levels"),
             TSimpleXML::MaxDepth);
    }
    if (atEnd() || m_text[m_pos] != '<') {
        fail(ZV_TRANSLATABLE("records",
                             "Invalid XML Element: Expected beginning of tag but \"%1\" found"),
             found());
    }
    ++m_pos;
    // The name read so far: usually one run of the text, seen in place; copied only when it
    // is pieced together (a "?" after the attributes joins it).
    std::string_view nameRun;
    std::string namePieces;
    bool pieced = false;
    const auto name = [&]() -> std::string_view { return pieced ? namePieces : nameRun; };
    std::string prefix;
    bool hasPrefix = false;
    // The start tag's name so far, for the message when the text ends inside the tag.
    const auto endOfText = [&]() {
        const std::string full =
            prefix.empty() ? std::string(name()) : prefix + ":" + std::string(name());
        fail(kEndTagAtEnd, full);
    };
    for (;;) {
        // Take a run of plain name characters at once.
        std::size_t run = m_pos;
        while (run < m_text.size()) {
            const char c = m_text[run];
            if (isWhite(c) || c == ':' || c == '/' || c == '>')
                break;
            ++run;
        }
        const std::string_view piece = m_text.substr(m_pos, run - m_pos);
        if (!pieced && nameRun.empty()) {
            nameRun = piece;
        } else if (!piece.empty()) {
            if (!pieced) {
                namePieces.assign(nameRun);
                pieced = true;
            }
            namePieces.append(piece);
        }
        m_pos = run;
        if (atEnd())
            endOfText();
        const char c = m_text[m_pos];
        if (isWhite(c)) {
            if (name().empty())
                fail(ZV_TRANSLATABLE("records",
                                     "Invalid XML Element: malformed tag found (no valid name)"));
            // Named already, so that an error in the attributes leaves a named element.
            element.m_name = name();
            element.Namespace = prefix;
            if (!readAttributes(element.Properties()))
                endOfText();
            // Reading resumes at the character that ended the list ("?" joins the name).
            continue;
        }
        if (c == ':') {
            // Everything before the last ":" is the prefix, so that the written tag is the tag
            // that was read.
            if (hasPrefix) {
                prefix += ':';
                prefix += name();
            } else {
                prefix = name();
                hasPrefix = true;
            }
            nameRun = {};
            namePieces.clear();
            pieced = false;
            ++m_pos;
            continue;
        }
        element.m_name = name();
        element.Namespace = std::move(prefix);
        if (element.m_owner)
            element.m_owner->nameChanged();
        if (c == '/') {
            ++m_pos;
            if (atEnd()) {
                // The name was handed to the element: the message names what is left.
                nameRun = {};
                pieced = false;
                prefix.clear();
                endOfText();
            }
            if (m_text[m_pos] != '>') {
                fail(ZV_TRANSLATABLE("records",
                                     "Invalid XML Element: Expected end of tag but \"%1\" found"),
                     found());
            }
            ++m_pos;
            element.Value.clear();
            return;
        }
        // c == '>': the content follows.
        ++m_pos;
        const std::string_view endName = readContent(element, depth);
        if (!endTagMatches(element, endName)) {
            fail(ZV_TRANSLATABLE(
                     "records",
                     "Invalid XML Element: Erroneous end of tag, expecting </%1> but </%2> found"),
                 element.FullName(), endName);
        }
        return;
    }
}

void TSimpleXMLReader::readText(std::string& out) {
    const std::size_t close = m_text.find('<', m_pos);
    const std::size_t end = close == std::string_view::npos ? m_text.size() : close;
    const std::string_view text = m_text.substr(m_pos, end - m_pos);
    m_pos = end;
    if (text.find("  ") == std::string_view::npos) {
        out.assign(text);
        return;
    }
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ' && i > 0 && text[i - 1] == ' ')
            continue;
        out += text[i];
    }
}

std::string_view TSimpleXMLReader::readContent(TSimpleXMLElem& element, int depth) {
    TSimpleXMLElems& items = element.Items();
    items.Clear();
    element.Value.clear();
    // A text read while there are no other children is read straight into the value: it stays
    // there unless more content follows, and then becomes a text node.
    bool valuePending = false;
    const auto flushPending = [&]() {
        if (valuePending) {
            items.Add(std::make_unique<TSimpleXMLElemText>(element.Value));
            element.Value.clear();
            valuePending = false;
        }
    };
    const auto finish = [&](std::string_view endName) {
        if (items.Count() > 0)
            flushPending();
        return endName;
    };
    for (;;) {
        skipWhite();
        if (atEnd())
            return finish({});
        if (m_text[m_pos] != '<') {
            if (valuePending || items.Count() > 0) {
                flushPending();
                std::string text;
                readText(text);
                items.Add(std::make_unique<TSimpleXMLElemText>(text));
            } else {
                readText(element.Value);
                valuePending = true;
            }
            continue;
        }
        if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/') {
            const std::size_t close = m_text.find('>', m_pos + 2);
            if (close == std::string_view::npos) {
                m_pos = m_text.size();
                return finish({});
            }
            const std::string_view endTag = m_text.substr(m_pos + 2, close - m_pos - 2);
            m_pos = close + 1;
            return finish(fullEndName(endTag));
        }
        const std::size_t start = m_pos;
        if (start + 1 < m_text.size() && m_text[start + 1] != '!') {
            // Neither a comment nor CDATA: an element, once the text shows where its name
            // ends (a "/" right after the "<" was taken for an end tag above).
            std::size_t i = start + 1;
            while (i < m_text.size()) {
                const char c = m_text[i];
                if (isWhite(c) || c == ':' || c == '>' || c == '/')
                    break;
                ++i;
            }
            if (i >= m_text.size()) {
                m_pos = m_text.size();
                return finish({});
            }
            flushPending();
            readElement(items.Add(m_reuse.take()), depth + 1);
            continue;
        }
        std::size_t length = 1;
        for (;;) {
            if (start + length >= m_text.size()) {
                m_pos = m_text.size();
                return finish({});
            }
            const char c = m_text[start + length];
            ++length;
            const std::string_view collected = m_text.substr(start, length);
            if (collected == kCDataOpen) {
                flushPending();
                items.Add(std::make_unique<TSimpleXMLElemCData>(readCData()));
                break;
            }
            if (collected == kCommentOpen) {
                flushPending();
                items.Add(std::make_unique<TSimpleXMLElemComment>(readComment()));
                break;
            }
            if (isWhite(c) || c == ':' || c == '>' || (c == '/' && length > 2)) {
                flushPending();
                readElement(items.Add(m_reuse.take()), depth + 1);
                break;
            }
        }
    }
}

std::string TSimpleXMLReader::readComment() {
    expect(kCommentOpen, kCommentMismatch, kCommentEnd);
    std::string value;
    std::size_t from = m_pos;
    for (;;) {
        const std::size_t dashes = m_text.find("--", from);
        if (dashes == std::string_view::npos || dashes + 2 >= m_text.size())
            fail(kCommentEnd);
        if (m_text[dashes + 2] == '>') {
            value.assign(m_text.substr(m_pos, dashes - m_pos));
            m_pos = dashes + 3;
            return value;
        }
        if (dashes + 3 >= m_text.size())
            fail(kCommentEnd);
        if (m_text[dashes + 3] != '>')
            fail(ZV_TRANSLATABLE("records", "Invalid Comment: \"--\" not allowed inside comments"));
        // "--", one character and ">" belong to the text.
        from = dashes + 4;
    }
}

std::string TSimpleXMLReader::readCData() {
    expect(kCDataOpen, kCDataMismatch, kCDataEnd);
    const std::size_t close = m_text.find("]]>", m_pos);
    if (close == std::string_view::npos)
        fail(kCDataEnd);
    std::string value(m_text.substr(m_pos, close - m_pos));
    m_pos = close + 3;
    return value;
}

std::string TSimpleXMLReader::readDocType() {
    expect(kDocTypeOpen, kHeaderMismatch, kCommentEnd);
    const std::size_t start = m_pos;
    bool inBrackets = false;
    for (; m_pos < m_text.size(); ++m_pos) {
        const char c = m_text[m_pos];
        if (c == '[')
            inBrackets = true;
        else if (c == ']')
            inBrackets = false;
        else if (c == '>' && !inBrackets)
            break;
    }
    if (atEnd())
        fail(kCommentEnd);
    std::string_view content = m_text.substr(start, m_pos - start);
    ++m_pos;
    while (!content.empty() && isWhite(content.front()))
        content.remove_prefix(1);
    while (!content.empty() && isWhite(content.back()))
        content.remove_suffix(1);
    return std::string(content);
}

std::unique_ptr<TSimpleXMLElemHeader> TSimpleXMLReader::readHeader() {
    // Every record and chart this program writes opens with the same header; read as
    // attributes it gives the header's defaults, so it is taken whole.
    static constexpr std::string_view kUsual = R"(<?xml version="1.0" encoding="iso-8859-1"?>)";
    if (m_text.substr(m_pos, kUsual.size()) == kUsual) {
        m_pos += kUsual.size();
        return std::make_unique<TSimpleXMLElemHeader>();
    }
    // A header cut short says what a comment cut short says.
    expect("<?xml", kHeaderMismatch, kCommentEnd);
    TSimpleXMLProps props;
    if (!readAttributes(props))
        fail(kCommentEnd);
    expect("?>", kHeaderMismatch, kCommentEnd);
    auto header = std::make_unique<TSimpleXMLElemHeader>();
    header->Version = props.AttributeText("version");
    header->Encoding = props.AttributeText("encoding");
    header->StandAlone = props.AttributeText("standalone") == "yes";
    return header;
}

std::unique_ptr<TSimpleXMLElemSheet> TSimpleXMLReader::readSheet() {
    expect(kSheetOpen, kSheetMismatch, kSheetEnd);
    auto sheet = std::make_unique<TSimpleXMLElemSheet>();
    if (!readAttributes(sheet->Properties()))
        fail(kSheetEnd);
    expect("?>", kSheetMismatch, kSheetEnd);
    return sheet;
}

ESimpleXMLError::ESimpleXMLError(files::TMessage message)
    : std::runtime_error(message.English()),
      m_message(std::make_shared<const files::TMessage>(std::move(message))) {}

files::TMessage ErrorMessageOf(const std::exception& error) {
    if (const auto* read = dynamic_cast<const ESimpleXMLError*>(&error))
        return read->Message();
    if (const auto* file = dynamic_cast<const ESimpleXMLFileError*>(&error))
        return file->Message();
    return files::Value(error.what());
}

void TSimpleXML::LoadFromText(std::string_view text) {
    // The root is emptied at once; its old subtree is reused by the reader and freed after it.
    TSimpleXMLReuse reuse(*m_root);
    m_root->Clear();
    m_root->Value.clear();
    m_root->Namespace.clear();
    m_prolog.Clear();
    m_writeHint = text.size(); // the text this tree gives back is about as long
    TSimpleXMLReader reader(text, reuse);
    try {
        if (reader.readProlog(m_prolog))
            reader.readElement(*m_root, 1);
    } catch (ESimpleXMLError& error) {
        error.Offset = reader.position();
        throw;
    }
}

std::optional<TTextPlace> XmlErrorPlace(std::string_view text) {
    TSimpleXML document;
    try {
        document.LoadFromText(text);
    } catch (const ESimpleXMLError& error) {
        if (!error.Offset)
            return std::nullopt;
        TTextPlace place;
        for (std::size_t i = 0; i < *error.Offset; ++i) {
            if (text[i] == '\n') {
                ++place.line;
                place.column = 1;
            } else if (text[i] != '\r') {
                ++place.column;
            }
        }
        return place;
    }
    return std::nullopt;
}
