// The XML element tree every parameter record and chart file is built in: a document with a
// prolog and one root element, elements with a name, a value, attributes and children, one exact
// written form (CR LF lines, two-space indent) and a tolerant single-pass reader.
//
// All texts are byte strings in the system's 8-bit code page; the tree never converts, encodes
// or decodes them. Callers escape user text with XmlEncode and restore it with XmlDecode.
#pragma once

#include "files/Message.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A parse error: one of the reader's fixed wordings with the text it found, as a message the
// windows translate; what() is its English. The message is shared, so that copying the
// exception cannot throw.
class ESimpleXMLError : public std::runtime_error {
public:
    explicit ESimpleXMLError(files::TMessage message);

    const files::TMessage& Message() const { return *m_message; }
    // Where in the text the reader stopped (bytes from its start), when the reader knows.
    std::optional<std::size_t> Offset;

private:
    std::shared_ptr<const files::TMessage> m_message;
};

// A place in a text, counted from 1 as an editor shows it (a CR LF is one line end).
struct TTextPlace {
    int line = 1;
    int column = 1;
    bool operator==(const TTextPlace&) const = default;
};
// Where the reader finds the first error in the text; nothing for a text that reads.
std::optional<TTextPlace> XmlErrorPlace(std::string_view text);

// A file that cannot be opened, read, created or written; the message names the file and gives
// the operating system's reason.
class ESimpleXMLFileError : public std::runtime_error {
public:
    explicit ESimpleXMLFileError(files::TMessage message);

    const files::TMessage& Message() const { return *m_message; }

private:
    std::shared_ptr<const files::TMessage> m_message;
};

// What a failed read or write of the tree says: the message of either error above, or the
// text of any other exception as it stands.
files::TMessage ErrorMessageOf(const std::exception& error);

// Escapes the markup characters and every byte from 0x80 to 0xFF ("&#xC4;"): the result is ASCII.
std::string XmlEncode(std::string_view text);
// Restores the five named entities (any letter case) and numeric references greater than zero;
// anything else, including a reference that does not parse, is copied unchanged.
std::string XmlDecode(std::string_view text);

// How the tree reads a value as a number: a signed decimal 64-bit integer filling the whole
// text (one "+" may stand in front). False when the value is not one.
bool XmlValueInt(std::string_view value, std::int64_t& out);
// How the tree reads a value as a boolean: empty gives the default; a number is true unless
// zero (a decimal fraction counts too); "true" and "false" in any letter case; anything else
// is false.
bool XmlValueBool(std::string_view value, bool defaultValue);

// Gives the small blocks this thread keeps for the next tree back to the heap: after a large
// tree was freed, so that what is built next can use the memory instead of adding to it.
void ReleaseRecycledXmlBlocks();

namespace simplexml_detail {

// The small blocks of a tree (elements, child and attribute lists) are recycled per thread:
// loading a chart of 10,000 blocks frees and allocates some 100,000 of them.
void* allocateBlock(std::size_t size);
void releaseBlock(void* block, std::size_t size) noexcept;

template <class T> struct RecyclingAllocator {
    using value_type = T;
    RecyclingAllocator() = default;
    template <class U> RecyclingAllocator(const RecyclingAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(allocateBlock(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { releaseBlock(p, n * sizeof(T)); }
    friend bool operator==(const RecyclingAllocator&, const RecyclingAllocator&) { return true; }
};

} // namespace simplexml_detail

class TSimpleXML;
class TSimpleXMLElem;
class TSimpleXMLElemClassic;
class TSimpleXMLReader;

// One attribute: name, value and namespace prefix (the part before a colon, usually empty).
class TSimpleXMLProp {
public:
    TSimpleXMLProp(std::string name, std::string value);

    const std::string& Name() const { return m_name; }
    std::string FullName() const;                           // "prefix:name" when there is a prefix
    std::int64_t IntValue(std::int64_t defaultValue) const; // -1 when not an integer
    bool BoolValue(bool defaultValue) const;

    std::string Value;
    std::string NameSpace;

private:
    friend class TSimpleXMLProps;
    std::string m_name;
};

// The attributes of one element, in order. Duplicate names are allowed; lookups compare names
// without regard to ASCII letter case, and among equal names the one added last wins.
// Attributes are held by value: a returned reference or pointer stays valid until the list is
// changed.
class TSimpleXMLProps {
public:
    TSimpleXMLProps() = default;
    TSimpleXMLProps(const TSimpleXMLProps&) = delete;
    TSimpleXMLProps& operator=(const TSimpleXMLProps&) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    // The attribute at i, or nullptr when i is outside 0..Count()-1.
    TSimpleXMLProp* ItemAt(int i) const;

    TSimpleXMLProp& AddAttribute(std::string_view name, std::string_view value);
    TSimpleXMLProp& AddAttributeInt(std::string_view name, std::int64_t value);
    TSimpleXMLProp& AddAttributeBool(std::string_view name, bool value); // "-1" or "0"

    TSimpleXMLProp* FindAttribute(std::string_view name) const;
    std::string AttributeText(std::string_view name, std::string_view defaultValue = {}) const;
    // The attribute parsed as a decimal integer, -1 when present but not an integer, else the
    // default.
    std::int64_t AttributeInt(std::string_view name, std::int64_t defaultValue = 0) const;
    bool AttributeBool(std::string_view name, bool defaultValue = false) const;

    void Delete(int i);
    void Clear();

private:
    friend class TSimpleXMLWriter;
    std::vector<TSimpleXMLProp, simplexml_detail::RecyclingAllocator<TSimpleXMLProp>> m_items;
};

// The children of one element, in order; owned by that element. Duplicate names are allowed;
// lookups compare names without regard to ASCII letter case and the child at the highest
// position wins. Appending keeps the name index current in constant time.
class TSimpleXMLElems {
public:
    explicit TSimpleXMLElems(TSimpleXMLElem* parent);
    ~TSimpleXMLElems();
    TSimpleXMLElems(const TSimpleXMLElems&) = delete;
    TSimpleXMLElems& operator=(const TSimpleXMLElems&) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    // The child at i, or nullptr when i is outside 0..Count()-1.
    TSimpleXMLElem* ItemAt(int i) const;
    TSimpleXMLElem* Parent() const { return m_parent; }

    // Appends a new empty ordinary element.
    TSimpleXMLElemClassic& AddChild(std::string_view name);
    TSimpleXMLElemClassic& AddChildText(std::string_view name, std::string_view value);
    TSimpleXMLElemClassic& AddChildInt(std::string_view name, std::int64_t value);
    TSimpleXMLElemClassic& AddChildBool(std::string_view name, bool value); // "-1" or "0"
    // Appends an element of any kind; the collection takes it over (std::invalid_argument for
    // none).
    TSimpleXMLElem& Add(std::unique_ptr<TSimpleXMLElem> element);

    TSimpleXMLElem* FindChild(std::string_view name) const;
    // The found child's value (also when empty), else the default.
    std::string ChildText(std::string_view name, std::string_view defaultValue = {}) const;
    // The found child's value as a decimal integer (-1 when empty or not an integer), else the
    // default.
    std::int64_t ChildInt(std::string_view name, std::int64_t defaultValue = 0) const;
    // Default when the child is missing or empty; "0" and zero numbers false, other numbers
    // true, "True"/"False" in any case, any other text false.
    bool ChildBool(std::string_view name, bool defaultValue = false) const;

    // Removes and frees the child at i (nothing when out of range).
    void Delete(int i);
    // Removes the child at i and hands it over (nullptr when out of range).
    std::unique_ptr<TSimpleXMLElem> Release(int i);
    void Clear();

private:
    friend class TSimpleXMLElem;
    friend class TSimpleXMLReader;
    friend class TSimpleXMLReuse;
    friend class TSimpleXMLWriter;
    void nameChanged(); // a child was renamed
    void indexAppended(std::size_t position);
    void buildIndex() const;

    using List = std::vector<std::unique_ptr<TSimpleXMLElem>,
                             simplexml_detail::RecyclingAllocator<std::unique_ptr<TSimpleXMLElem>>>;
    TSimpleXMLElem* m_parent;
    List m_items;
    // Name index, built on the first lookup in a long list (upper-cased name -> position).
    struct Index;
    mutable std::unique_ptr<Index> m_index;
};

enum class TSimpleXMLElemKind : unsigned char {
    Classic,
    Text,
    Comment,
    CData,
    Header,
    DocType,
    Sheet
};

// An element of the tree. Name, children and attributes belong to every kind; what is read and
// written depends on the kind.
class TSimpleXMLElem {
public:
    virtual ~TSimpleXMLElem();
    TSimpleXMLElem(const TSimpleXMLElem&) = delete;
    TSimpleXMLElem& operator=(const TSimpleXMLElem&) = delete;
    // Elements are recycled per thread: a chart holds tens of thousands.
    static void* operator new(std::size_t size) { return simplexml_detail::allocateBlock(size); }
    static void operator delete(void* memory, std::size_t size) noexcept {
        simplexml_detail::releaseBlock(memory, size);
    }

    // The kind is fixed when the element is made, so that the writer need not ask per node.
    TSimpleXMLElemKind Kind() const { return m_kind; }

    const std::string& Name() const { return m_name; }
    // Ignored for an empty name or the current name; keeps the parent's name index right.
    void SetName(std::string_view name);
    std::string FullName() const; // "Namespace:Name" when Namespace is not empty
    // The element that owns this one; nullptr for a root and for prolog nodes.
    TSimpleXMLElem* Parent() const { return m_owner ? m_owner->Parent() : nullptr; }

    TSimpleXMLElems& Items() { return m_items; }
    const TSimpleXMLElems& Items() const { return m_items; }
    TSimpleXMLProps& Properties() { return m_props; }
    const TSimpleXMLProps& Properties() const { return m_props; }

    // Frees all children and attributes; name, value and namespace stay.
    virtual void Clear();
    // Clear, then (with a source) take over its name (unless empty), value, attributes and
    // children, deeply; every copied child is an ordinary element.
    void CopyFrom(const TSimpleXMLElem* source);
    void CopyFrom(const TSimpleXMLElem& source) { CopyFrom(&source); }

    // This element written with the given indent prefix, as the document writes it.
    std::string SaveToText(std::string_view prefix = {}) const;

    // Value parsed as the lookups do.
    std::int64_t IntValue(std::int64_t defaultValue) const;
    bool BoolValue(bool defaultValue) const;

    std::string Value;
    std::string Namespace;

protected:
    TSimpleXMLElem(TSimpleXMLElemKind kind, std::string_view name);

private:
    friend class TSimpleXMLElems;
    friend class TSimpleXMLReader;
    friend class TSimpleXMLReuse;
    friend class TSimpleXMLWriter;
    TSimpleXMLElemKind m_kind;
    std::string m_name;
    TSimpleXMLElems* m_owner = nullptr;
    TSimpleXMLElems m_items{this};
    TSimpleXMLProps m_props;
};

// An ordinary element: <name attributes>value or children</name>.
class TSimpleXMLElemClassic : public TSimpleXMLElem {
public:
    explicit TSimpleXMLElemClassic(std::string_view name = {}, std::string_view value = {});
};

// Text between the child elements of an element holding both (empty name).
class TSimpleXMLElemText : public TSimpleXMLElem {
public:
    explicit TSimpleXMLElemText(std::string_view value = {});
};

// <!--value-->
class TSimpleXMLElemComment : public TSimpleXMLElem {
public:
    explicit TSimpleXMLElemComment(std::string_view value = {});
};

// <![CDATA[value]]>
class TSimpleXMLElemCData : public TSimpleXMLElem {
public:
    explicit TSimpleXMLElemCData(std::string_view value = {});
};

// The XML declaration of the prolog.
class TSimpleXMLElemHeader : public TSimpleXMLElem {
public:
    TSimpleXMLElemHeader();

    std::string Version = "1.0";
    std::string Encoding = "iso-8859-1"; // not written when empty
    bool StandAlone = false;
};

// <!DOCTYPE value>; the value is kept trimmed of surrounding whitespace.
class TSimpleXMLElemDocType : public TSimpleXMLElem {
public:
    explicit TSimpleXMLElemDocType(std::string_view value = {});
};

// <?xml-stylesheet attributes?>
class TSimpleXMLElemSheet : public TSimpleXMLElem {
public:
    TSimpleXMLElemSheet();
};

// The nodes before the root element: header, comments, stylesheet, doctype.
class TSimpleXMLElemsProlog {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    TSimpleXMLElem* ItemAt(int i) const; // nullptr outside 0..Count()-1
    TSimpleXMLElem& Add(std::unique_ptr<TSimpleXMLElem> node);
    // The first header node, or nullptr.
    TSimpleXMLElemHeader* Header() const;
    void Delete(int i);
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TSimpleXMLElem>> m_items;
};

// A document: a prolog and one root element. Every document of this system indents children by
// two spaces and neither encodes nor decodes values.
class TSimpleXML {
public:
    // Elements may nest at most this deep in a text that is read (real charts nest four levels).
    static constexpr int MaxDepth = 256;

    TSimpleXML();
    TSimpleXML(const TSimpleXML&) = delete;
    TSimpleXML& operator=(const TSimpleXML&) = delete;

    TSimpleXMLElemClassic& Root() { return *m_root; }
    const TSimpleXMLElemClassic& Root() const { return *m_root; }
    TSimpleXMLElemsProlog& Prolog() { return m_prolog; }
    const TSimpleXMLElemsProlog& Prolog() const { return m_prolog; }

    // Clears the root (it keeps its name until the text names it), empties the prolog, then
    // reads the prolog and one element; anything after that element is ignored. Throws
    // ESimpleXMLError at the first error, leaving what was built up to there.
    void LoadFromText(std::string_view text);
    // The prolog (a default header is added first when the prolog is empty), then the root.
    std::string SaveToText();
    // Reads the whole file, then as LoadFromText. Throws ESimpleXMLFileError when the file
    // cannot be read (the document is then unchanged), ESimpleXMLError on a parse error.
    void LoadFromFile(const std::string& path);
    // Writes SaveToText to the file, replacing it whole (an interrupted write leaves the old
    // file as it was); ESimpleXMLFileError on failure.
    void SaveToFile(const std::string& path);

    const std::string IndentString = "  ";

private:
    std::unique_ptr<TSimpleXMLElemClassic> m_root;
    TSimpleXMLElemsProlog m_prolog;
    std::size_t m_writeHint = 0;
};
