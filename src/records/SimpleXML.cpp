#include "records/SimpleXML.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace {

constexpr std::string_view kCrLf = "\r\n";
// Below this many children a backwards scan beats any index.
constexpr std::size_t kIndexThreshold = 16;

bool isWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperName(std::string_view name) {
    std::string result(name);
    for (char& c : result)
        c = upperAscii(c);
    return result;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAscii(a[i]) != upperAscii(b[i]))
            return false;
    }
    return true;
}

// A signed decimal 64-bit integer filling the whole text ("+" or "-" allowed in front).
bool parseInt64(std::string_view text, std::int64_t& out) {
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

std::int64_t intOf(std::string_view value) {
    std::int64_t result = 0;
    return parseInt64(value, result) ? result : -1;
}

bool boolOf(std::string_view value, bool defaultValue) {
    if (value.empty())
        return defaultValue;
    std::int64_t number = 0;
    if (parseInt64(value, number))
        return number != 0;
    if (equalsNoCase(value, "true"))
        return true;
    if (equalsNoCase(value, "false"))
        return false;
    // A decimal fraction ("0.0", "1.5e3") counts as a number too.
    const char first = value.front();
    if ((first >= '0' && first <= '9') || first == '-' || first == '+' || first == '.') {
        std::string_view digits = value;
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

std::string quoteChar(std::string_view found) {
    return "\"" + std::string(found) + "\"";
}

[[noreturn]] void fail(const std::string& message) {
    throw ESimpleXMLError(message);
}

std::string osReason(int error) {
    return std::strerror(error);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Block recycling

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kRecycle = false; // let the address sanitizer see every block's lifetime
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kRecycle = false;
#else
constexpr bool kRecycle = true;
#endif
#else
constexpr bool kRecycle = true;
#endif

constexpr std::size_t kGranule = 16;
constexpr std::size_t kMaxRecycled = 512;
constexpr std::size_t kClasses = kMaxRecycled / kGranule;
constexpr std::size_t kMaxKeptPerClass = 1 << 16;

// Free lists by size class. Every block is an allocation of its own (of its class's full size),
// so a block freed on another thread is simply kept or released there. Trivially destructible,
// so that blocks freed after the thread's cleanup (by static documents) find it closed.
struct FreeLists {
    void* heads[kClasses];
    std::size_t counts[kClasses];
    bool cleanupRegistered;
    bool closed;
};
thread_local FreeLists t_lists{};

struct FreeListsCleanup {
    ~FreeListsCleanup() {
        for (std::size_t c = 0; c < kClasses; ++c) {
            while (void* block = t_lists.heads[c]) {
                t_lists.heads[c] = *static_cast<void**>(block);
                ::operator delete(block);
            }
            t_lists.counts[c] = 0;
        }
        t_lists.closed = true;
    }
    void touch() {}
};
thread_local FreeListsCleanup t_cleanup;

std::size_t classOf(std::size_t size) {
    return (size + kGranule - 1) / kGranule - 1;
}

} // namespace

void* simplexml_detail::allocateBlock(std::size_t size) {
    if (!kRecycle || size == 0 || size > kMaxRecycled)
        return ::operator new(size);
    const std::size_t c = classOf(size);
    if (void* block = t_lists.heads[c]) {
        t_lists.heads[c] = *static_cast<void**>(block);
        --t_lists.counts[c];
        return block;
    }
    return ::operator new((c + 1) * kGranule);
}

void simplexml_detail::releaseBlock(void* block, std::size_t size) noexcept {
    if (!block)
        return;
    if (!kRecycle || size == 0 || size > kMaxRecycled || t_lists.closed) {
        ::operator delete(block);
        return;
    }
    const std::size_t c = classOf(size);
    if (t_lists.counts[c] >= kMaxKeptPerClass) {
        ::operator delete(block);
        return;
    }
    if (!t_lists.cleanupRegistered) {
        t_cleanup.touch(); // constructs the cleanup, whose destructor runs at thread exit
        t_lists.cleanupRegistered = true;
    }
    *static_cast<void**>(block) = t_lists.heads[c];
    t_lists.heads[c] = block;
    ++t_lists.counts[c];
}

// ---------------------------------------------------------------------------------------------
// Text helpers

std::string XmlEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        case '\'':
            result += "&apos;";
            break;
        default:
            if (byte >= 0x80) {
                result += "&#x";
                result += kHex[byte >> 4];
                result += kHex[byte & 0x0F];
                result += ';';
            } else {
                result += c;
            }
        }
    }
    return result;
}

namespace {

// The value of a numeric reference's digits, when they parse and are greater than zero.
bool parseReference(std::string_view digits, int base, unsigned char& byte) {
    if (digits.empty())
        return false;
    std::uint64_t number = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, number, base);
    if (ec != std::errc() || ptr != end || number == 0)
        return false;
    byte = static_cast<unsigned char>(number & 0xFF);
    return true;
}

} // namespace

std::string XmlDecode(std::string_view text) {
    struct Named {
        std::string_view entity;
        char c;
    };
    static constexpr Named kNamed[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}};
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '&') {
            result += c;
            ++i;
            continue;
        }
        const std::string_view rest = text.substr(i);
        bool done = false;
        for (const Named& named : kNamed) {
            if (rest.size() >= named.entity.size() &&
                equalsNoCase(rest.substr(0, named.entity.size()), named.entity)) {
                result += named.c;
                i += named.entity.size();
                done = true;
                break;
            }
        }
        if (!done && rest.size() > 2 && rest[1] == '#') {
            const std::size_t semicolon = rest.find(';');
            if (semicolon != std::string_view::npos) {
                std::string_view body = rest.substr(2, semicolon - 2);
                int base = 10;
                if (!body.empty() && (body.front() == 'x' || body.front() == 'X')) {
                    body.remove_prefix(1);
                    base = 16;
                }
                unsigned char byte = 0;
                if (parseReference(body, base, byte)) {
                    result += static_cast<char>(byte);
                    i += semicolon + 1;
                    done = true;
                }
            }
        }
        if (!done) {
            result += '&';
            ++i;
        }
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// Attributes

TSimpleXMLProp::TSimpleXMLProp(std::string name, std::string value)
    : Value(std::move(value)), m_name(std::move(name)) {}

std::string TSimpleXMLProp::FullName() const {
    return NameSpace.empty() ? m_name : NameSpace + ":" + m_name;
}

std::int64_t TSimpleXMLProp::IntValue(std::int64_t defaultValue) const {
    (void)defaultValue;
    return intOf(Value);
}

bool TSimpleXMLProp::BoolValue(bool defaultValue) const {
    return boolOf(Value, defaultValue);
}

TSimpleXMLProp* TSimpleXMLProps::ItemAt(int i) const {
    if (i < 0 || i >= Count())
        return nullptr;
    // The list owns its attributes as modifiable values; only the lookup is const.
    return const_cast<TSimpleXMLProp*>(&m_items[static_cast<std::size_t>(i)]);
}

TSimpleXMLProp& TSimpleXMLProps::AddAttribute(std::string_view name, std::string_view value) {
    return m_items.emplace_back(std::string(name), std::string(value));
}

TSimpleXMLProp& TSimpleXMLProps::AddAttributeInt(std::string_view name, std::int64_t value) {
    return AddAttribute(name, std::to_string(value));
}

TSimpleXMLProp& TSimpleXMLProps::AddAttributeBool(std::string_view name, bool value) {
    return AddAttribute(name, value ? "-1" : "0");
}

TSimpleXMLProp* TSimpleXMLProps::FindAttribute(std::string_view name) const {
    // Elements carry a handful of attributes: the last of equal names wins.
    for (int i = Count() - 1; i >= 0; --i) {
        if (equalsNoCase(m_items[static_cast<std::size_t>(i)].Name(), name))
            return ItemAt(i);
    }
    return nullptr;
}

std::string TSimpleXMLProps::AttributeText(std::string_view name,
                                           std::string_view defaultValue) const {
    const TSimpleXMLProp* prop = FindAttribute(name);
    return prop ? prop->Value : std::string(defaultValue);
}

std::int64_t TSimpleXMLProps::AttributeInt(std::string_view name, std::int64_t defaultValue) const {
    const TSimpleXMLProp* prop = FindAttribute(name);
    return prop ? intOf(prop->Value) : defaultValue;
}

bool TSimpleXMLProps::AttributeBool(std::string_view name, bool defaultValue) const {
    const TSimpleXMLProp* prop = FindAttribute(name);
    return prop ? boolOf(prop->Value, defaultValue) : defaultValue;
}

void TSimpleXMLProps::Delete(int i) {
    if (i >= 0 && i < Count())
        m_items.erase(m_items.begin() + i);
}

void TSimpleXMLProps::Clear() {
    m_items.clear();
}

// ---------------------------------------------------------------------------------------------
// Children

struct TSimpleXMLElems::Index {
    std::unordered_map<std::string, std::size_t> positions; // upper-cased name -> highest position
};

TSimpleXMLElems::TSimpleXMLElems(TSimpleXMLElem* parent) : m_parent(parent) {}

TSimpleXMLElems::~TSimpleXMLElems() {
    Clear();
}

TSimpleXMLElem* TSimpleXMLElems::ItemAt(int i) const {
    if (i < 0 || i >= Count())
        return nullptr;
    return m_items[static_cast<std::size_t>(i)].get();
}

TSimpleXMLElemClassic& TSimpleXMLElems::AddChild(std::string_view name) {
    return AddChildText(name, {});
}

TSimpleXMLElemClassic& TSimpleXMLElems::AddChildText(std::string_view name,
                                                     std::string_view value) {
    auto element = std::make_unique<TSimpleXMLElemClassic>(name, value);
    TSimpleXMLElemClassic& result = *element;
    Add(std::move(element));
    return result;
}

TSimpleXMLElemClassic& TSimpleXMLElems::AddChildInt(std::string_view name, std::int64_t value) {
    return AddChildText(name, std::to_string(value));
}

TSimpleXMLElemClassic& TSimpleXMLElems::AddChildBool(std::string_view name, bool value) {
    return AddChildText(name, value ? "-1" : "0");
}

TSimpleXMLElem& TSimpleXMLElems::Add(std::unique_ptr<TSimpleXMLElem> element) {
    if (!element)
        throw std::invalid_argument("TSimpleXMLElems::Add: no element");
    element->m_owner = this;
    if (m_items.capacity() == 0)
        m_items.reserve(4); // a record's children in one allocation
    m_items.push_back(std::move(element));
    indexAppended(m_items.size() - 1);
    return *m_items.back();
}

void TSimpleXMLElems::indexAppended(std::size_t position) {
    // The newest child has the highest position, so it simply takes its name's entry.
    if (m_index)
        m_index->positions[upperName(m_items[position]->Name())] = position;
}

void TSimpleXMLElems::nameChanged() {
    m_index.reset();
}

void TSimpleXMLElems::buildIndex() const {
    m_index = std::make_unique<Index>();
    m_index->positions.reserve(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i)
        m_index->positions[upperName(m_items[i]->Name())] = i;
}

TSimpleXMLElem* TSimpleXMLElems::FindChild(std::string_view name) const {
    if (m_items.size() < kIndexThreshold) {
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
            if (equalsNoCase((*it)->Name(), name))
                return it->get();
        }
        return nullptr;
    }
    if (!m_index)
        buildIndex();
    const auto found = m_index->positions.find(upperName(name));
    return found == m_index->positions.end() ? nullptr : m_items[found->second].get();
}

std::string TSimpleXMLElems::ChildText(std::string_view name, std::string_view defaultValue) const {
    const TSimpleXMLElem* child = FindChild(name);
    return child ? child->Value : std::string(defaultValue);
}

std::int64_t TSimpleXMLElems::ChildInt(std::string_view name, std::int64_t defaultValue) const {
    const TSimpleXMLElem* child = FindChild(name);
    return child ? intOf(child->Value) : defaultValue;
}

bool TSimpleXMLElems::ChildBool(std::string_view name, bool defaultValue) const {
    const TSimpleXMLElem* child = FindChild(name);
    return child ? boolOf(child->Value, defaultValue) : defaultValue;
}

void TSimpleXMLElems::Delete(int i) {
    Release(i).reset();
}

std::unique_ptr<TSimpleXMLElem> TSimpleXMLElems::Release(int i) {
    if (i < 0 || i >= Count())
        return nullptr;
    std::unique_ptr<TSimpleXMLElem> element = std::move(m_items[static_cast<std::size_t>(i)]);
    m_items.erase(m_items.begin() + i);
    m_index.reset();
    element->m_owner = nullptr;
    return element;
}

void TSimpleXMLElems::Clear() {
    m_index.reset();
    if (m_items.empty())
        return;
    // Free the subtree level by level rather than by nested destructors, so that a tree of any
    // depth built by code cannot exhaust the stack.
    List pending = std::move(m_items);
    while (!pending.empty()) {
        std::unique_ptr<TSimpleXMLElem> element = std::move(pending.back());
        pending.pop_back();
        auto& grandChildren = element->m_items.m_items;
        for (auto& child : grandChildren)
            pending.push_back(std::move(child));
        grandChildren.clear();
    }
    // The emptied list keeps its room: a chart root refilled by the next load needs it again.
    m_items = std::move(pending);
}

// ---------------------------------------------------------------------------------------------
// Elements

TSimpleXMLElem::TSimpleXMLElem(std::string_view name) : m_name(name) {}

TSimpleXMLElem::~TSimpleXMLElem() = default;

void TSimpleXMLElem::SetName(std::string_view name) {
    if (name.empty() || name == m_name)
        return;
    m_name = name;
    if (m_owner)
        m_owner->nameChanged();
}

std::string TSimpleXMLElem::FullName() const {
    return Namespace.empty() ? m_name : Namespace + ":" + m_name;
}

void TSimpleXMLElem::Clear() {
    m_items.Clear();
    m_props.Clear();
}

std::int64_t TSimpleXMLElem::IntValue(std::int64_t defaultValue) const {
    (void)defaultValue;
    return intOf(Value);
}

bool TSimpleXMLElem::BoolValue(bool defaultValue) const {
    return boolOf(Value, defaultValue);
}

void TSimpleXMLElem::CopyFrom(const TSimpleXMLElem* source) {
    // Copying from this element or from inside it: take a copy first, since Clear frees it.
    for (const TSimpleXMLElem* e = source; e; e = e->Parent()) {
        if (e == this) {
            TSimpleXMLElemClassic snapshot;
            snapshot.CopyFrom(source);
            CopyFrom(&snapshot);
            return;
        }
    }
    Clear();
    if (!source)
        return;
    SetName(source->Name());
    Value = source->Value;
    // Breadth of work kept on a list of its own: the copy of a tree of any depth needs no
    // nested calls.
    std::vector<std::pair<const TSimpleXMLElem*, TSimpleXMLElem*>> work{{source, this}};
    while (!work.empty()) {
        const auto [from, to] = work.back();
        work.pop_back();
        const TSimpleXMLProps& props = from->Properties();
        for (int i = 0; i < props.Count(); ++i) {
            const TSimpleXMLProp* prop = props.ItemAt(i);
            to->Properties().AddAttribute(prop->Name(), prop->Value);
        }
        const TSimpleXMLElems& items = from->Items();
        for (int i = 0; i < items.Count(); ++i) {
            const TSimpleXMLElem* child = items.ItemAt(i);
            work.emplace_back(child, &to->Items().AddChildText(child->Name(), child->Value));
        }
    }
}

TSimpleXMLElemClassic::TSimpleXMLElemClassic(std::string_view name, std::string_view value)
    : TSimpleXMLElem(name) {
    Value = value;
}

TSimpleXMLElemText::TSimpleXMLElemText(std::string_view value) : TSimpleXMLElem({}) {
    Value = value;
}

TSimpleXMLElemComment::TSimpleXMLElemComment(std::string_view value) : TSimpleXMLElem({}) {
    Value = value;
}

TSimpleXMLElemCData::TSimpleXMLElemCData(std::string_view value) : TSimpleXMLElem({}) {
    Value = value;
}

TSimpleXMLElemHeader::TSimpleXMLElemHeader() : TSimpleXMLElem({}) {}

TSimpleXMLElemDocType::TSimpleXMLElemDocType(std::string_view value) : TSimpleXMLElem({}) {
    Value = value;
}

TSimpleXMLElemSheet::TSimpleXMLElemSheet() : TSimpleXMLElem({}) {}

// ---------------------------------------------------------------------------------------------
// Writer

namespace {

constexpr std::string_view kIndent = "  ";

void writeAttributes(std::string& out, const TSimpleXMLProps& props) {
    for (int i = 0; i < props.Count(); ++i) {
        const TSimpleXMLProp* prop = props.ItemAt(i);
        out += ' ';
        if (!prop->NameSpace.empty()) {
            out += prop->NameSpace;
            out += ':';
        }
        out += prop->Name();
        out += "=\"";
        out += prop->Value;
        out += '"';
    }
}

void appendFullName(std::string& out, const TSimpleXMLElem& e) {
    if (!e.Namespace.empty()) {
        out += e.Namespace;
        out += ':';
    }
    out += e.Name();
}

// Writes one node; returns true when its children are to be written next (an element whose
// closing tag, if any, follows them).
bool writeOpen(std::string& out, const TSimpleXMLElem& e, std::string_view prefix) {
    switch (e.Kind()) {
    case TSimpleXMLElemKind::Classic: {
        const bool hasChildren = e.Items().Count() > 0;
        if (e.Name().empty())
            return hasChildren;
        out += prefix;
        out += '<';
        appendFullName(out, e);
        writeAttributes(out, e.Properties());
        if (hasChildren) {
            out += '>';
            out += kCrLf;
            return true;
        }
        if (e.Value.empty()) {
            out += "/>";
        } else {
            out += '>';
            out += e.Value;
            out += "</";
            appendFullName(out, e);
            out += '>';
        }
        out += kCrLf;
        return false;
    }
    case TSimpleXMLElemKind::Text:
        if (!e.Value.empty()) {
            out += prefix;
            out += e.Value;
            out += kCrLf;
        }
        return false;
    case TSimpleXMLElemKind::Comment:
        out += prefix;
        out += "<!--";
        out += e.Value;
        out += "-->";
        out += kCrLf;
        return false;
    case TSimpleXMLElemKind::CData:
        out += prefix;
        out += "<![CDATA[";
        out += e.Value;
        out += "]]>";
        out += kCrLf;
        return false;
    case TSimpleXMLElemKind::Header: {
        const auto& header = static_cast<const TSimpleXMLElemHeader&>(e);
        out += "<?xml version=\"";
        out += header.Version;
        out += '"';
        if (!header.Encoding.empty()) {
            out += " encoding=\"";
            out += header.Encoding;
            out += '"';
        }
        if (header.StandAlone)
            out += " standalone=\"yes\"";
        out += "?>";
        out += kCrLf;
        return false;
    }
    case TSimpleXMLElemKind::DocType:
        out += "<!DOCTYPE ";
        out += e.Value;
        out += '>';
        out += kCrLf;
        return false;
    case TSimpleXMLElemKind::Sheet:
        out += prefix;
        out += "<?xml-stylesheet";
        writeAttributes(out, e.Properties());
        out += "?>";
        out += kCrLf;
        return false;
    }
    return false;
}

// Writes a subtree without nested calls, so that a tree of any depth can be written.
void writeTree(std::string& out, const TSimpleXMLElem& top, std::string_view basePrefix) {
    std::string prefix(basePrefix);
    if (!writeOpen(out, top, prefix))
        return;
    struct Frame {
        const TSimpleXMLElem* element;
        int next;
        std::size_t prefixLength;
    };
    std::vector<Frame> stack{{&top, 0, prefix.size()}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const TSimpleXMLElems& items = frame.element->Items();
        if (frame.next < items.Count()) {
            const TSimpleXMLElem* child = items.ItemAt(frame.next++);
            prefix.resize(frame.prefixLength);
            prefix += kIndent;
            if (writeOpen(out, *child, prefix))
                stack.push_back({child, 0, prefix.size()});
            continue;
        }
        const TSimpleXMLElem& done = *frame.element;
        prefix.resize(frame.prefixLength);
        stack.pop_back();
        if (done.Kind() == TSimpleXMLElemKind::Classic && !done.Name().empty()) {
            out += prefix;
            out += "</";
            appendFullName(out, done);
            out += '>';
            out += kCrLf;
        }
    }
}

} // namespace

std::string TSimpleXMLElem::SaveToText(std::string_view prefix) const {
    std::string out;
    writeTree(out, *this, prefix);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Reader

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
std::string fullEndName(std::string_view tag) {
    if (tag.starts_with(':') && tag.find(':', 1) == std::string_view::npos)
        tag.remove_prefix(1);
    return std::string(tag);
}

} // namespace

class TSimpleXMLReader {
public:
    explicit TSimpleXMLReader(std::string_view text) : m_text(text) {}

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
    std::string readContent(TSimpleXMLElem& element, int depth);
    void readText(std::string& out);
    std::string readComment();
    std::string readCData();
    std::string readDocType();
    std::unique_ptr<TSimpleXMLElemHeader> readHeader();
    std::unique_ptr<TSimpleXMLElemSheet> readSheet();
    // Expects `opening` at the current position, raising `errorPrefix` ... on a mismatch.
    void expect(std::string_view opening, std::string_view errorPrefix,
                std::string_view endMessage);

    std::string_view m_text;
    std::size_t m_pos = 0;
};

void TSimpleXMLReader::expect(std::string_view opening, std::string_view errorPrefix,
                              std::string_view endMessage) {
    for (const char c : opening) {
        if (atEnd())
            fail(std::string(endMessage));
        if (m_text[m_pos] != c) {
            fail(std::string(errorPrefix) + ": expected " + quoteChar(std::string_view(&c, 1)) +
                 " but found " + quoteChar(found()));
        }
        ++m_pos;
    }
}

bool TSimpleXMLReader::readProlog(TSimpleXMLElemsProlog& prolog) {
    for (;;) {
        skipWhite();
        if (atEnd())
            return false;
        if (m_text[m_pos] != '<')
            fail("Invalid Document: Unexpected text in file prolog");
        const std::size_t start = m_pos;
        std::size_t length = 1;
        for (;;) {
            // No opening is longer than the stylesheet's: past it nothing can match, and an
            // unrecognised "<!" or "<?" construct cannot be read.
            if (start + length >= m_text.size() || length > kSheetOpen.size())
                fail("Invalid Document: Unexpected text in file prolog");
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
        if (!isAttrNameChar(c)) {
            fail("Invalid XML Element: Unexpected character in property declaration (" +
                 quoteChar(found()) + " found)");
        }
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
        if (m_text[m_pos] != '=') {
            fail("Invalid XML Element: Unexpected character in property declaration (" +
                 quoteChar(found()) + " found)");
        }
        ++m_pos;
        skipWhite();
        if (atEnd())
            return false;
        c = m_text[m_pos];
        if (c != '"' && c != '\'') {
            fail("Invalid XML Element: Unexpected character in property declaration. Expecting "
                 "\" or ' but " +
                 quoteChar(found()) + "  found");
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
        fail("Invalid XML Element: Elements nested deeper than " +
             std::to_string(TSimpleXML::MaxDepth) + " levels");
    }
    if (atEnd() || m_text[m_pos] != '<') {
        fail("Invalid XML Element: Expected beginning of tag but " + quoteChar(found()) + " found");
    }
    ++m_pos;
    std::string name;
    std::string prefix;
    bool hasPrefix = false;
    // The start tag's name so far, for the message when the text ends inside the tag.
    const auto endOfText = [&]() {
        const std::string full = prefix.empty() ? name : prefix + ":" + name;
        fail("Invalid XML Element: Erroneous end of tag, expecting </" + full + "> but </> found");
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
        name.append(m_text.substr(m_pos, run - m_pos));
        m_pos = run;
        if (atEnd())
            endOfText();
        const char c = m_text[m_pos];
        if (isWhite(c)) {
            if (name.empty())
                fail("Invalid XML Element: malformed tag found (no valid name)");
            // Named already, so that an error in the attributes leaves a named element.
            element.m_name = name;
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
                prefix += name;
            } else {
                prefix = std::move(name);
                hasPrefix = true;
            }
            name.clear();
            ++m_pos;
            continue;
        }
        element.m_name = std::move(name);
        element.Namespace = std::move(prefix);
        if (element.m_owner)
            element.m_owner->nameChanged();
        if (c == '/') {
            ++m_pos;
            if (atEnd())
                endOfText();
            if (m_text[m_pos] != '>') {
                fail("Invalid XML Element: Expected end of tag but " + quoteChar(found()) +
                     " found");
            }
            ++m_pos;
            element.Value.clear();
            return;
        }
        // c == '>': the content follows.
        ++m_pos;
        std::string endName = readContent(element, depth);
        const std::string full = element.FullName();
        if (!equalsNoCase(full, endName)) {
            fail("Invalid XML Element: Erroneous end of tag, expecting </" + full + "> but </" +
                 endName + "> found");
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

std::string TSimpleXMLReader::readContent(TSimpleXMLElem& element, int depth) {
    TSimpleXMLElems& items = element.Items();
    items.Clear();
    element.Value.clear();
    // A text read while there are no other children: it becomes the value unless more follows.
    std::string pendingText;
    bool havePending = false;
    const auto flushPending = [&]() {
        if (havePending) {
            items.Add(std::make_unique<TSimpleXMLElemText>(pendingText));
            havePending = false;
        }
    };
    const auto finish = [&](std::string endName) {
        if (havePending && items.Count() == 0)
            element.Value = std::move(pendingText);
        else
            flushPending();
        return endName;
    };
    for (;;) {
        skipWhite();
        if (atEnd())
            return finish({});
        if (m_text[m_pos] != '<') {
            if (havePending || items.Count() > 0) {
                flushPending();
                std::string text;
                readText(text);
                items.Add(std::make_unique<TSimpleXMLElemText>(std::move(text)));
            } else {
                readText(pendingText);
                havePending = true;
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
                auto child = std::make_unique<TSimpleXMLElemClassic>();
                TSimpleXMLElem& added = items.Add(std::move(child));
                readElement(added, depth + 1);
                break;
            }
        }
    }
}

std::string TSimpleXMLReader::readComment() {
    expect(kCommentOpen, "Invalid Comment", "Invalid Comment: Unexpected end of data");
    std::string value;
    std::size_t from = m_pos;
    for (;;) {
        const std::size_t dashes = m_text.find("--", from);
        if (dashes == std::string_view::npos || dashes + 2 >= m_text.size())
            fail("Invalid Comment: Unexpected end of data");
        if (m_text[dashes + 2] == '>') {
            value.assign(m_text.substr(m_pos, dashes - m_pos));
            m_pos = dashes + 3;
            return value;
        }
        if (dashes + 3 >= m_text.size())
            fail("Invalid Comment: Unexpected end of data");
        if (m_text[dashes + 3] != '>')
            fail("Invalid Comment: \"--\" not allowed inside comments");
        // "--", one character and ">" belong to the text.
        from = dashes + 4;
    }
}

std::string TSimpleXMLReader::readCData() {
    expect(kCDataOpen, "Invalid CDATA", "Invalid CDATA: Unexpected end of data");
    const std::size_t close = m_text.find("]]>", m_pos);
    if (close == std::string_view::npos)
        fail("Invalid CDATA: Unexpected end of data");
    std::string value(m_text.substr(m_pos, close - m_pos));
    m_pos = close + 3;
    return value;
}

std::string TSimpleXMLReader::readDocType() {
    expect(kDocTypeOpen, "Invalid Header", "Invalid Comment: Unexpected end of data");
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
        fail("Invalid Comment: Unexpected end of data");
    std::string_view content = m_text.substr(start, m_pos - start);
    ++m_pos;
    while (!content.empty() && isWhite(content.front()))
        content.remove_prefix(1);
    while (!content.empty() && isWhite(content.back()))
        content.remove_suffix(1);
    return std::string(content);
}

std::unique_ptr<TSimpleXMLElemHeader> TSimpleXMLReader::readHeader() {
    static constexpr std::string_view kEnd = "Invalid Comment: Unexpected end of data";
    expect("<?xml", "Invalid Header", kEnd);
    TSimpleXMLProps props;
    if (!readAttributes(props))
        fail(std::string(kEnd));
    expect("?>", "Invalid Header", kEnd);
    auto header = std::make_unique<TSimpleXMLElemHeader>();
    header->Version = props.AttributeText("version");
    header->Encoding = props.AttributeText("encoding");
    header->StandAlone = props.AttributeText("standalone") == "yes";
    return header;
}

std::unique_ptr<TSimpleXMLElemSheet> TSimpleXMLReader::readSheet() {
    static constexpr std::string_view kEnd = "Invalid Stylesheet: Unexpected end of data";
    expect(kSheetOpen, "Invalid Stylesheet", kEnd);
    auto sheet = std::make_unique<TSimpleXMLElemSheet>();
    if (!readAttributes(sheet->Properties()))
        fail(std::string(kEnd));
    expect("?>", "Invalid Stylesheet", kEnd);
    return sheet;
}

// ---------------------------------------------------------------------------------------------
// Prolog and document

TSimpleXMLElem* TSimpleXMLElemsProlog::ItemAt(int i) const {
    if (i < 0 || i >= Count())
        return nullptr;
    return m_items[static_cast<std::size_t>(i)].get();
}

TSimpleXMLElem& TSimpleXMLElemsProlog::Add(std::unique_ptr<TSimpleXMLElem> node) {
    if (!node)
        throw std::invalid_argument("TSimpleXMLElemsProlog::Add: no node");
    m_items.push_back(std::move(node));
    return *m_items.back();
}

TSimpleXMLElemHeader* TSimpleXMLElemsProlog::Header() const {
    for (const auto& node : m_items) {
        if (node->Kind() == TSimpleXMLElemKind::Header)
            return static_cast<TSimpleXMLElemHeader*>(node.get());
    }
    return nullptr;
}

void TSimpleXMLElemsProlog::Delete(int i) {
    if (i >= 0 && i < Count())
        m_items.erase(m_items.begin() + i);
}

TSimpleXML::TSimpleXML() : m_root(std::make_unique<TSimpleXMLElemClassic>()) {}

void TSimpleXML::LoadFromText(std::string_view text) {
    m_root->Clear();
    m_root->Value.clear();
    m_root->Namespace.clear();
    m_prolog.Clear();
    TSimpleXMLReader reader(text);
    if (reader.readProlog(m_prolog))
        reader.readElement(*m_root, 1);
}

std::string TSimpleXML::SaveToText() {
    if (m_prolog.Count() == 0)
        m_prolog.Add(std::make_unique<TSimpleXMLElemHeader>());
    std::string out;
    out.reserve(m_writeHint); // the last text written is the best guess of this one's size
    for (int i = 0; i < m_prolog.Count(); ++i)
        writeTree(out, *m_prolog.ItemAt(i), {});
    writeTree(out, *m_root, {});
    m_writeHint = out.size();
    return out;
}

void TSimpleXML::LoadFromFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        throw ESimpleXMLFileError("Cannot open file \"" + path + "\": " + osReason(errno));
    std::string text;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        text.append(buffer, n);
        if (n < sizeof buffer)
            break;
    }
    const int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (readError != 0)
        throw ESimpleXMLFileError("Cannot read file \"" + path + "\": " + osReason(readError));
    LoadFromText(text);
}

void TSimpleXML::SaveToFile(const std::string& path) {
    const std::string text = SaveToText();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw ESimpleXMLFileError("Cannot create file \"" + path + "\": " + osReason(errno));
    const std::size_t written = std::fwrite(text.data(), 1, text.size(), file);
    int writeError = written != text.size() ? errno : 0;
    if (std::fclose(file) != 0 && writeError == 0)
        writeError = errno;
    if (writeError != 0)
        throw ESimpleXMLFileError("Cannot write file \"" + path + "\": " + osReason(writeError));
}
