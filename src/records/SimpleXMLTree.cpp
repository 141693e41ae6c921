// The element tree: attributes, children, the element kinds, the prolog and the document.
// Reading and writing text live in SimpleXMLRead.cpp and SimpleXMLWrite.cpp.
#include "records/SimpleXML.h"
#include "records/SimpleXMLDetail.h"

#include <charconv>
#include <stdexcept>
#include <unordered_map>
#include <utility>

using simplexml_detail::equalsNoCase;
using simplexml_detail::parseInt64;
using simplexml_detail::upperName;

namespace {

// Asks for the cache lines of an element that is about to be visited.
void prefetchElement(const TSimpleXMLElem* e) {
    const char* bytes = reinterpret_cast<const char*>(e);
    for (std::size_t line = 0; line < sizeof(TSimpleXMLElemClassic); line += 64)
        __builtin_prefetch(bytes + line);
}

// Below this many children a backwards scan beats any index.
constexpr std::size_t kIndexThreshold = 16;

} // namespace

bool XmlValueInt(std::string_view value, std::int64_t& out) {
    return parseInt64(value, out);
}

namespace {

std::int64_t intOf(std::string_view value) {
    std::int64_t result = 0;
    return XmlValueInt(value, result) ? result : -1;
}

} // namespace

bool XmlValueBool(std::string_view value, bool defaultValue) {
    if (value.empty())
        return defaultValue;
    std::int64_t number = 0;
    if (XmlValueInt(value, number))
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
    return XmlValueBool(Value, defaultValue);
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
    return prop ? XmlValueBool(prop->Value, defaultValue) : defaultValue;
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
    return child ? XmlValueBool(child->Value, defaultValue) : defaultValue;
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
    // Free the subtree without nested destructors, so that a tree of any depth built by code
    // cannot exhaust the stack, and in the reverse of the order in which the reader made it
    // (last child first, each element after its children): the recycler hands blocks back last
    // in, first out, so the next text read into the tree takes the same blocks in the same
    // order, and a tree laid out in reading order stays so for the writer's walk.
    std::vector<List> lists;
    lists.push_back(std::move(m_items));
    for (;;) {
        List& list = lists.back();
        if (list.empty()) {
            if (lists.size() == 1)
                break;
            lists.pop_back();
            continue;
        }
        List& grandChildren = list.back()->m_items.m_items;
        if (!grandChildren.empty()) {
            List taken = std::move(grandChildren);
            prefetchElement(taken.back().get());
            lists.push_back(std::move(taken));
            continue;
        }
        list.pop_back();
        // Freeing waits mostly for memory: fetch the element after the next one meanwhile.
        if (list.size() >= 2)
            prefetchElement(list[list.size() - 2].get());
    }
    // The emptied list keeps its room: a chart root refilled by the next load needs it again.
    m_items = std::move(lists.front());
}

// ---------------------------------------------------------------------------------------------
// Elements

TSimpleXMLElem::TSimpleXMLElem(TSimpleXMLElemKind kind, std::string_view name)
    : m_kind(kind), m_name(name) {}

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
    return XmlValueBool(Value, defaultValue);
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
    : TSimpleXMLElem(TSimpleXMLElemKind::Classic, name) {
    Value = value;
}

TSimpleXMLElemText::TSimpleXMLElemText(std::string_view value)
    : TSimpleXMLElem(TSimpleXMLElemKind::Text, {}) {
    Value = value;
}

TSimpleXMLElemComment::TSimpleXMLElemComment(std::string_view value)
    : TSimpleXMLElem(TSimpleXMLElemKind::Comment, {}) {
    Value = value;
}

TSimpleXMLElemCData::TSimpleXMLElemCData(std::string_view value)
    : TSimpleXMLElem(TSimpleXMLElemKind::CData, {}) {
    Value = value;
}

TSimpleXMLElemHeader::TSimpleXMLElemHeader() : TSimpleXMLElem(TSimpleXMLElemKind::Header, {}) {}

TSimpleXMLElemDocType::TSimpleXMLElemDocType(std::string_view value)
    : TSimpleXMLElem(TSimpleXMLElemKind::DocType, {}) {
    Value = value;
}

TSimpleXMLElemSheet::TSimpleXMLElemSheet() : TSimpleXMLElem(TSimpleXMLElemKind::Sheet, {}) {}

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
