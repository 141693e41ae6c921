#include "canvas/FlowChart.h"

#include <algorithm>
#include <cassert>
#include <unordered_set>

namespace {

// Selection marks reach 2 pixels beyond the bounds; the near band one more.
constexpr int kObjectDamageMargin = 3;
constexpr int kConnectionDamageMargin = 2;

std::uint16_t toSize16(int v) {
    return static_cast<std::uint16_t>(std::clamp(v, 0, 65535));
}

int wrapLink(int index) {
    return ((index % 16) + 16) % 16;
}

template <typename List, typename T> void eraseValue(List& list, const T& value) {
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

[[gnu::always_inline]] inline void growBy(TFcRect& e, const TFcRect& r) {
    e.left = std::min(e.left, r.left);
    e.top = std::min(e.top, r.top);
    e.right = std::max(e.right, r.right);
    e.bottom = std::max(e.bottom, r.bottom);
}

// True when r reaches the edge of box (or beyond): taking it away may shrink the box.
bool onEdge(const TFcRect& r, const TFcRect& box) {
    return r.left <= box.left || r.top <= box.top || r.right >= box.right || r.bottom >= box.bottom;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TFcItem

TFcItem::TFcItem(TFlowChart& owner) : m_owner(&owner), m_font(owner.sharedFont(owner.Font)) {}

void TFcItem::SetText(const std::string& text) {
    if (text == m_text)
        return;
    m_text = text;
    repaint();
}

void TFcItem::SetFont(const TFcFont& font) {
    if (font == *m_font)
        return;
    m_font = m_owner->sharedFont(font);
    repaint();
}

// ---------------------------------------------------------------------------------------------
// TFcObject

TFcObject::TFcObject(TFlowChart& owner, TFcMade)
    : TFcItem(owner), m_fillColor(owner.Color), m_band(owner.m_root) {}

TFcBand* TFcObject::Band() const {
    return m_band == Owner().m_root ? nullptr : m_band;
}

void TFcObject::repaint() {
    Owner().invalidate(BoundsRect().inflated(kObjectDamageMargin));
}

void TFcObject::SetBounds(int left, int top, int width, int height) {
    const std::uint16_t w = toSize16(width), h = toSize16(height);
    if (left == m_left && top == m_top && w == m_width && h == m_height)
        return;
    const TFcRect before = BoundsRect();
    m_left = left;
    m_top = top - m_band->m_dy;
    m_width = w;
    m_height = h;
    Owner().objectMoved(*this, before);
}

namespace {
template <typename Field, typename Value> bool assign(Field& field, Value value) {
    const Field v = static_cast<Field>(value);
    if (field == v)
        return false;
    field = v;
    return true;
}
} // namespace

void TFcObject::SetShape(TFcShape shape) {
    if (!assign(m_shape, shape))
        return;
    repaint();
    // Link points depend on the shape in general; keep every connection end on its point.
    for (TFcConnection* c : m_attached)
        c->reroute();
    Owner().geometryChanged();
}

void TFcObject::SetEdgeFlags(int flags) {
    if (assign(m_edgeFlags, flags))
        repaint();
}
void TFcObject::SetEdgeSides(int sides) {
    if (assign(m_edgeSides, sides))
        repaint();
}
void TFcObject::SetTextHorz(int placement) {
    if (assign(m_textHorz, placement))
        repaint();
}
void TFcObject::SetTextVert(int placement) {
    if (assign(m_textVert, placement))
        repaint();
}
void TFcObject::SetImageIndex(int index) {
    if (assign(m_imageIndex, index))
        repaint();
}
void TFcObject::SetImageHorz(int placement) {
    if (assign(m_imageHorz, placement))
        repaint();
}
void TFcObject::SetImageVert(int placement) {
    if (assign(m_imageVert, placement))
        repaint();
}
void TFcObject::SetTransparent(bool transparent) {
    if (assign(m_transparent, transparent))
        repaint();
}
void TFcObject::SetVisible(bool visible) {
    if (!assign(m_visible, visible))
        return;
    m_band->m_slots[m_slot].visible = visible;
    repaint();
}
void TFcObject::SetFillColor(TFcColor color) {
    if (assign(m_fillColor, color))
        repaint();
}
void TFcObject::SetOutlineColor(TFcColor color) {
    if (assign(m_outlineColor, color))
        repaint();
}
void TFcObject::SetOutlineWidth(int width) {
    if (assign(m_outlineWidth, std::clamp(width, 0, 255)))
        repaint();
}

std::vector<TFcObject*> TFcObject::LinkedObjects() const {
    std::vector<TFcObject*> result;
    for (const TFcConnection* c : m_attached) {
        TFcObject* other = c->m_source == this ? c->m_dest : c->m_source;
        if (other && std::find(result.begin(), result.end(), other) == result.end())
            result.push_back(other);
    }
    return result;
}

bool TFcObject::ReachesInGroup(const TFcObject* target) const {
    if (target == this)
        return true;
    // Most groups are one level deep (a spot's base holds its marker and anchors): no walk.
    if (std::all_of(m_group.begin(), m_group.end(),
                    [](const TFcObject* member) { return member->m_group.empty(); }))
        return std::find(m_group.begin(), m_group.end(), target) != m_group.end();
    // Groups may form cycles (A holds B and B holds A is allowed), so remember what was seen.
    // Groups are small (a spot holds three), so a short list serves until it grows.
    std::vector<const TFcObject*> stack{this};
    std::vector<const TFcObject*> seenFew{this};
    std::unordered_set<const TFcObject*> seenMany;
    const auto firstVisit = [&](const TFcObject* o) {
        if (!seenMany.empty())
            return seenMany.insert(o).second;
        if (std::find(seenFew.begin(), seenFew.end(), o) != seenFew.end())
            return false;
        seenFew.push_back(o);
        if (seenFew.size() > 32)
            seenMany.insert(seenFew.begin(), seenFew.end());
        return true;
    };
    while (!stack.empty()) {
        const TFcObject* o = stack.back();
        stack.pop_back();
        for (const TFcObject* m : o->m_group) {
            if (m == target)
                return true;
            if (firstVisit(m))
                stack.push_back(m);
        }
    }
    return false;
}

void TFcObject::AddGroupMember(TFcObject* member) {
    if (!member || member == this || &member->Owner() != &Owner() || ReachesInGroup(member))
        return;
    m_group.push_back(member);
    member->m_groupOwners.push_back(this);
}

void TFcObject::ScrollIntoView() {
    Owner().ScrollIntoView(this);
}

TFcRect TFcObject::InnerArea() const {
    return fcInnerArea(BoundsRect(), m_outlineWidth);
}

TFcRect TFcObject::InteriorRect() const {
    return fcInteriorRect(m_shape, BoundsRect(), m_outlineWidth, m_edgeFlags);
}

bool TFcObject::InteriorContains(TFcPoint p) const {
    return fcInteriorContains(m_shape, BoundsRect(), m_outlineWidth, m_edgeFlags, p);
}

// ---------------------------------------------------------------------------------------------
// TFcConnection

TFcConnection::TFcConnection(TFlowChart& owner, TFcMade) : TFcItem(owner) {}

std::vector<TFcPoint> TFcConnection::Points() const {
    const int dy = m_band->m_dy;
    return {{m_points[0].x, m_points[0].y + dy}, {m_points[1].x, m_points[1].y + dy}};
}

TFcRect TFcConnection::localDamage() const {
    return localBounds().inflated(kConnectionDamageMargin + m_pen.Width);
}

void TFcConnection::repaint() {
    Owner().invalidate(localDamage().translated(0, m_band->m_dy));
}

void TFcConnection::SetPen(const TFcPen& pen) {
    if (pen == m_pen)
        return;
    repaint();
    const TFcRect local = localBounds();
    const TFcRect damageBefore = localDamage();
    m_pen = pen;
    Owner().bandChanged(*m_band, local, damageBefore, local, localDamage());
    repaint();
}

void TFcConnection::reroute() {
    // Points are kept relative to the line's band.
    const int dy = m_band->m_dy;
    TFcPoint first = m_points.front(), last = m_points.back();
    if (m_source) {
        first = m_source->LinkPoint(m_sourceLink);
        first.y -= dy;
    }
    if (m_dest) {
        last = m_dest->LinkPoint(m_destLink);
        last.y -= dy;
    }
    if (first == m_points.front() && last == m_points.back())
        return;
    const TFcRect before = localBounds();
    const TFcRect damageBefore = localDamage();
    repaint();
    m_points.front() = first;
    m_points.back() = last;
    const TFcRect after = fcPointsBounds(m_points);
    m_band->m_lineSlots[m_slot].bounds = after;
    repaint();
    Owner().noteRectChanged(before.translated(0, dy), after.translated(0, dy));
    Owner().bandChanged(*m_band, before, damageBefore, after, localDamage());
}

// ---------------------------------------------------------------------------------------------
// TFlowChart: objects and connections

TFlowChart::TFlowChart() {
    m_bands.push_back(std::unique_ptr<TFcBand>(new TFcBand));
    m_root = m_bands.front().get();
}

TFlowChart::~TFlowChart() {
    m_listener = nullptr;
    m_selObjects.clear();
    m_selConnections.clear();
    m_connections.clear();
    m_objects.clear();
    m_bands.clear();
}

TFcObject* TFlowChart::AddObject(int left, int top, int width, int height, TFcShape shape,
                                 TFcBand* band) {
    TFcObject* o = &m_objects.emplace_back(*this, TFcMade{});
    o->m_order = m_nextOrder++;
    o->m_self = std::prev(m_objects.end());
    o->m_shape = shape;
    TFcBand& b = band ? *band : *m_root;
    o->m_band = &b;
    o->m_left = left;
    o->m_top = top - b.m_dy;
    o->m_width = toSize16(width);
    o->m_height = toSize16(height);
    const TFcRect local = o->localRect();
    compact(b);
    o->m_slot = b.m_slots.size();
    b.m_slots.push_back({local, o, true});
    ++b.m_liveObjects;
    bandAdded(b, local, local.inflated(kObjectDamageMargin));
    // An object with no size at the origin shows nothing, and the extent always holds it.
    const TFcRect bounds = o->BoundsRect();
    if (!(bounds == TFcRect{})) {
        invalidate(bounds.inflated(kObjectDamageMargin));
        noteRectAdded(bounds);
        geometryChanged();
    }
    return o;
}

void TFlowChart::RemoveObject(TFcObject* object) {
    if (!object)
        return;
    assert(&object->Owner() == this && "an object is removed from its own canvas");
    if (m_dragObject == object || m_pressedSelected == object)
        CancelDrag();
    DeselectItem(*object);
    if (m_listener)
        m_listener->fcRemoving(*object);
    // RemoveConnection edits the list we walk, so walk a copy.
    const auto attached = object->m_attached;
    for (TFcConnection* c : attached)
        RemoveConnection(c);
    for (TFcObject* owner : object->m_groupOwners)
        std::erase(owner->m_group, object);
    for (TFcObject* member : object->m_group)
        eraseValue(member->m_groupOwners, object);
    const TFcRect bounds = object->BoundsRect();
    invalidate(bounds.inflated(kObjectDamageMargin));
    noteRectRemoved(bounds);
    TFcBand& band = *object->m_band;
    band.m_slots[object->m_slot].object = nullptr;
    ++band.m_holes;
    --band.m_liveObjects;
    const TFcRect local = object->localRect();
    bandRemoved(band, local, local.inflated(kObjectDamageMargin));
    m_objects.erase(object->m_self);
    geometryChanged();
}

TFcConnection* TFlowChart::AddConnection(TFcObject* source, TFcObject* dest, int sourceLink,
                                         int destLink) {
    if (!source || !dest)
        return nullptr;
    TFcConnection* c = &m_connections.emplace_back(*this, TFcMade{});
    c->m_self = std::prev(m_connections.end());
    c->m_source = source;
    c->m_sourceLink = wrapLink(sourceLink);
    source->m_attached.push_back(c);
    c->m_dest = dest;
    c->m_destLink = wrapLink(destLink);
    if (dest != source)
        dest->m_attached.push_back(c);
    c->m_order = m_nextOrder++;
    linkLine(*c, source->LinkPoint(c->m_sourceLink), dest->LinkPoint(c->m_destLink));
    noteRectAdded(c->BoundsRect());
    c->repaint();
    geometryChanged();
    return c;
}

TFcConnection* TFlowChart::AddConnectionTo(TFcObject* source, int sourceLink, TFcPoint freeEnd) {
    if (!source)
        return nullptr;
    TFcConnection* c = &m_connections.emplace_back(*this, TFcMade{});
    c->m_self = std::prev(m_connections.end());
    c->m_source = source;
    c->m_sourceLink = wrapLink(sourceLink);
    source->m_attached.push_back(c);
    c->m_order = m_nextOrder++;
    linkLine(*c, source->LinkPoint(c->m_sourceLink), freeEnd);
    noteRectAdded(c->BoundsRect());
    c->repaint();
    geometryChanged();
    return c;
}

void TFlowChart::RemoveConnection(TFcConnection* connection) {
    if (!connection)
        return;
    DeselectItem(*connection);
    if (connection->m_source)
        eraseValue(connection->m_source->m_attached, connection);
    if (connection->m_dest && connection->m_dest != connection->m_source)
        eraseValue(connection->m_dest->m_attached, connection);
    connection->repaint();
    noteRectRemoved(connection->BoundsRect());
    unlinkLine(*connection);
    m_connections.erase(connection->m_self);
    geometryChanged();
}

TFcBand& TFlowChart::lineBand(const TFcConnection& c) const {
    if (c.m_source && c.m_dest && c.m_source->m_band == c.m_dest->m_band)
        return *c.m_source->m_band;
    return *m_root;
}

void TFlowChart::linkLine(TFcConnection& c, TFcPoint from, TFcPoint to) {
    TFcBand& band = lineBand(c);
    c.m_band = &band;
    c.m_points = {{{from.x, from.y - band.m_dy}, {to.x, to.y - band.m_dy}}};
    const TFcRect local = fcPointsBounds(c.m_points);
    compact(band);
    c.m_slot = band.m_lineSlots.size();
    band.m_lineSlots.push_back({local, &c});
    ++band.m_liveLines;
    bandAdded(band, local, c.localDamage());
    for (TFcObject* end : {c.m_source, c.m_dest})
        if (end && end->m_band != &band && end->m_band != m_root)
            end->m_band->m_crossLines.push_back(&c);
}

void TFlowChart::unlinkLine(TFcConnection& c) {
    TFcBand& band = *c.m_band;
    ++band.m_lineHoles;
    --band.m_liveLines;
    bandRemoved(band, c.localBounds(), c.localDamage());
    band.m_lineSlots[c.m_slot].connection = nullptr;
    for (TFcObject* end : {c.m_source, c.m_dest})
        if (end && end->m_band != &band)
            std::erase(end->m_band->m_crossLines, &c);
}

const TFcFont* TFlowChart::sharedFont(const TFcFont& font) {
    // Items are mostly made one after another in the same font.
    if (!m_lastFont || !(*m_lastFont == font))
        m_lastFont = &*m_fonts.insert(font).first;
    return m_lastFont;
}

namespace {
// Items gathered band by band come out in creation order, as painting needs them. (Objects moved
// into a band join the end of its index, so even one band may hold them out of order.)
template <typename Item> void sortByOrder(std::vector<Item*>& items) {
    const auto earlier = [](const Item* a, const Item* b) { return a->Order() < b->Order(); };
    if (!std::is_sorted(items.begin(), items.end(), earlier))
        std::sort(items.begin(), items.end(), earlier);
}
} // namespace

template <typename Visit>
void TFlowChart::forBandsMeeting(const TFcRect& area, bool lines, Visit visit) const {
    for (const auto& band : m_bands) {
        if ((lines ? band->m_liveLines : band->m_liveObjects) == 0)
            continue;
        // Whatever meets the area lies within the band's box, so the box is tried first.
        const TFcRect local = area.translated(0, -band->m_dy);
        freshBox(*band);
        if (!band->m_box.intersects(local))
            continue;
        compact(*band);
        visit(*band, local);
    }
}

std::vector<TFcObject*> TFlowChart::ObjectsIn(const TFcRect& area) const {
    std::vector<TFcObject*> result;
    forBandsMeeting(area, false, [&result](const TFcBand& band, const TFcRect& local) {
        for (const Slot& s : band.m_slots)
            if (s.object && s.visible && s.bounds.intersects(local))
                result.push_back(s.object);
    });
    sortByOrder(result);
    return result;
}

std::vector<TFcConnection*> TFlowChart::ConnectionsIn(const TFcRect& area) const {
    std::vector<TFcConnection*> result;
    forBandsMeeting(area, true, [&result](const TFcBand& band, const TFcRect& local) {
        for (const LineSlot& s : band.m_lineSlots)
            if (s.connection && s.bounds.intersects(local))
                result.push_back(s.connection);
    });
    sortByOrder(result);
    return result;
}

template <typename SlotT, typename Item>
void TFlowChart::squeeze(std::vector<SlotT>& slots, std::size_t& holes, Item* SlotT::*item) {
    if (holes < 64 || holes * 2 < slots.size())
        return;
    std::size_t n = 0;
    for (const SlotT& s : slots) {
        if (!(s.*item))
            continue;
        (s.*item)->m_slot = n;
        slots[n++] = s;
    }
    slots.resize(n);
    holes = 0;
}

void TFlowChart::compact(const TFcBand& band) {
    // Holes are squeezed out when the band is next scanned, once they make up half its index:
    // removing objects one by one (a chart cleared) never moves what is left.
    squeeze(band.m_slots, band.m_holes, &Slot::object);
    squeeze(band.m_lineSlots, band.m_lineHoles, &LineSlot::connection);
}

// ---------------------------------------------------------------------------------------------
// Bands

void TFlowChart::bandAdded(TFcBand& band, const TFcRect& local, const TFcRect& localDamage) {
    ++band.m_revision;
    if (band.m_boxStale)
        return;
    if (band.m_boxEmpty) {
        band.m_box = local;
        band.m_damage = localDamage;
        band.m_boxEmpty = false;
        return;
    }
    growBy(band.m_box, local);
    growBy(band.m_damage, localDamage);
}

void TFlowChart::bandRemoved(TFcBand& band, const TFcRect& local, const TFcRect& localDamage) {
    ++band.m_revision;
    if (band.m_boxStale || band.m_boxEmpty)
        return;
    if (onEdge(local, band.m_box) || onEdge(localDamage, band.m_damage))
        band.m_boxStale = true;
}

void TFlowChart::bandChanged(TFcBand& band, const TFcRect& before, const TFcRect& beforeDamage,
                             const TFcRect& after, const TFcRect& afterDamage) {
    bandRemoved(band, before, beforeDamage);
    bandAdded(band, after, afterDamage);
}

void TFlowChart::freshBox(const TFcBand& band) const {
    if (!band.m_boxStale)
        return;
    compact(band);
    band.m_boxEmpty = true;
    const auto add = [&band](const TFcRect& r, const TFcRect& damage) {
        if (band.m_boxEmpty) {
            band.m_box = r;
            band.m_damage = damage;
            band.m_boxEmpty = false;
        } else {
            growBy(band.m_box, r);
            growBy(band.m_damage, damage);
        }
    };
    for (const Slot& s : band.m_slots)
        if (s.object)
            add(s.bounds, s.bounds.inflated(kObjectDamageMargin));
    for (const LineSlot& s : band.m_lineSlots)
        if (s.connection)
            add(s.bounds, s.connection->localDamage());
    band.m_boxStale = false;
}

TFcBand* TFlowChart::AddBand(std::size_t objects, std::size_t lines) {
    m_bands.push_back(std::unique_ptr<TFcBand>(new TFcBand));
    TFcBand* band = m_bands.back().get();
    band->m_slots.reserve(objects);
    band->m_lineSlots.reserve(lines);
    band->m_index = m_bands.size() - 1;
    return band;
}

void TFlowChart::RemoveBand(TFcBand* band) {
    if (!band || band == m_root)
        return;
    if (band->m_liveObjects > 0) {
        std::vector<TFcObject*> left;
        for (const Slot& s : band->m_slots)
            if (s.object)
                left.push_back(s.object);
        MoveToBand(left, nullptr);
    }
    // The order of the bands means nothing: the last takes the removed one's place.
    const std::size_t at = band->m_index;
    m_bands[at] = std::move(m_bands.back());
    m_bands[at]->m_index = at;
    m_bands.pop_back();
}

void TFlowChart::DropBand(TFcBand* band) {
    if (!band)
        return;
    TFcBand& b = *band;
    if ((m_dragObject && m_dragObject->m_band == band) ||
        (m_pressedSelected && m_pressedSelected->m_band == band))
        CancelDrag();
    // Lines with one end elsewhere go the usual way: that end keeps living.
    const std::vector<TFcConnection*> crossing = b.m_crossLines;
    for (TFcConnection* c : crossing)
        RemoveConnection(c);
    freshBox(b);
    if (!b.m_boxEmpty) {
        invalidate(b.m_damage.translated(0, b.m_dy));
        noteRectRemoved(b.m_box.translated(0, b.m_dy));
    }
    // Whoever is told of an object going may still look at it and its lines.
    const auto elsewhere = [band](const TFcObject* o) { return o->m_band != band; };
    for (const Slot& s : b.m_slots) {
        TFcObject* o = s.object;
        if (!o)
            continue;
        DeselectItem(*o);
        if (m_listener)
            m_listener->fcRemoving(*o);
        for (TFcObject* owner : o->m_groupOwners)
            if (elsewhere(owner))
                std::erase(owner->m_group, o);
        for (TFcObject* member : o->m_group)
            if (elsewhere(member))
                eraseValue(member->m_groupOwners, o);
    }
    for (const LineSlot& s : b.m_lineSlots) {
        if (!s.connection)
            continue;
        DeselectItem(*s.connection);
        m_connections.erase(s.connection->m_self);
    }
    for (const Slot& s : b.m_slots)
        if (s.object)
            m_objects.erase(s.object->m_self);
    b.m_slots.clear();
    b.m_lineSlots.clear();
    b.m_holes = b.m_lineHoles = 0;
    b.m_liveObjects = b.m_liveLines = 0;
    b.m_boxEmpty = true;
    ++b.m_revision;
    if (band != m_root)
        RemoveBand(band);
    geometryChanged();
}

void TFlowChart::MoveToBand(std::span<TFcObject* const> objects, TFcBand* band) {
    TFcBand& to = band ? *band : *m_root;
    // Lines come out of their bands while their ends are still where they were, and go back
    // once every end has arrived: a line between two moved objects lands in the new band.
    std::vector<TFcConnection*> lines;
    for (const TFcObject* o : objects)
        if (o->m_band != &to)
            lines.insert(lines.end(), o->m_attached.begin(), o->m_attached.end());
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    std::vector<std::vector<TFcPoint>> points;
    points.reserve(lines.size());
    for (TFcConnection* c : lines) {
        points.push_back(c->Points());
        unlinkLine(*c);
    }
    for (TFcObject* o : objects) {
        TFcBand& from = *o->m_band;
        if (&from == &to)
            continue;
        const int top = o->Top();
        const Slot slot = from.m_slots[o->m_slot];
        from.m_slots[o->m_slot].object = nullptr;
        ++from.m_holes;
        --from.m_liveObjects;
        const TFcRect before = o->localRect();
        bandRemoved(from, before, before.inflated(kObjectDamageMargin));
        o->m_band = &to;
        o->m_top = top - to.m_dy;
        const TFcRect local = o->localRect();
        o->m_slot = to.m_slots.size();
        to.m_slots.push_back({local, o, slot.visible});
        ++to.m_liveObjects;
        bandAdded(to, local, local.inflated(kObjectDamageMargin));
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        linkLine(*lines[i], points[i].front(), points[i].back());
}

void TFlowChart::ShiftBand(TFcBand* band, int dy) {
    ShiftBands({&band, 1}, dy);
}

void TFlowChart::ShiftBands(std::span<TFcBand* const> bands, int dy) {
    if (dy == 0 || bands.empty())
        return;
    BeginUpdate();
    // Everything moves by dy: the union of the bands' boxes speaks for them all.
    bool moved = false;
    TFcRect box, damage;
    for (TFcBand* band : bands) {
        if (!band || band == m_root)
            continue;
        if (band->m_liveObjects + band->m_liveLines > 0) {
            freshBox(*band);
            const TFcRect b = band->m_box.translated(0, band->m_dy);
            const TFcRect d = band->m_damage.translated(0, band->m_dy);
            if (!moved) {
                box = b;
                damage = d;
            } else {
                growBy(box, b);
                growBy(damage, d);
            }
            moved = true;
        }
        band->m_dy += dy;
        for (TFcConnection* c : band->m_crossLines)
            c->reroute();
    }
    if (moved) {
        invalidate(damage);
        invalidate(damage.translated(0, dy));
        noteRectChanged(box, box.translated(0, dy));
    }
    EndUpdate();
}

namespace {
// Rectangles of one band gathered while they all move by the same amount: whatever asks about
// each of them (the damage, the extent, the band's box) gets the same answer from their union.
struct TShiftRun {
    TFcBand* band = nullptr;
    TFcRect bounds;
    TFcRect damage;
    void add(const TFcRect& r, const TFcRect& d) {
        if (!band) {
            bounds = r;
            damage = d;
        } else {
            growBy(bounds, r);
            growBy(damage, d);
        }
    }
};
} // namespace

void TFlowChart::ShiftObjects(std::span<TFcObject* const> objects, int dy) {
    if (dy == 0 || objects.empty())
        return;
    BeginUpdate();
    TShiftRun run;
    const auto flush = [this, &run, dy] {
        if (!run.band)
            return;
        const int at = run.band->m_dy;
        invalidate(run.damage.translated(0, at));
        invalidate(run.damage.translated(0, at + dy));
        noteRectChanged(run.bounds.translated(0, at), run.bounds.translated(0, at + dy));
        bandChanged(*run.band, run.bounds, run.damage, run.bounds.translated(0, dy),
                    run.damage.translated(0, dy));
        run.band = nullptr;
    };
    const auto gather = [&](TFcBand* band, const TFcRect& r, const TFcRect& d) {
        if (band != run.band)
            flush();
        run.add(r, d);
        run.band = band;
    };
    for (TFcObject* o : objects)
        o->m_shifting = true;
    for (TFcObject* o : objects) {
        const TFcRect local = o->localRect();
        gather(o->m_band, local, local.inflated(kObjectDamageMargin));
        o->m_top += dy;
        o->m_band->m_slots[o->m_slot].bounds = local.translated(0, dy);
    }
    // A line whose ends both moved moves with them, in one piece; any other is rerouted once
    // every end has moved.
    std::vector<TFcConnection*> others;
    for (TFcObject* o : objects)
        for (TFcConnection* c : o->m_attached) {
            if (!c->m_source || !c->m_dest || !c->m_source->m_shifting || !c->m_dest->m_shifting) {
                others.push_back(c);
                continue;
            }
            if (c->m_source != o)
                continue; // moved from its source
            const TFcRect local = c->localBounds();
            gather(c->m_band, local, c->localDamage());
            for (TFcPoint& p : c->m_points)
                p.y += dy;
            c->m_band->m_lineSlots[c->m_slot].bounds = local.translated(0, dy);
        }
    flush();
    for (TFcObject* o : objects)
        o->m_shifting = false;
    for (TFcConnection* c : others)
        c->reroute();
    EndUpdate();
}

void TFlowChart::objectMoved(TFcObject& object, const TFcRect& before) {
    const TFcRect after = object.BoundsRect();
    TFcBand& band = *object.m_band;
    const TFcRect localBefore = before.translated(0, -band.m_dy);
    const TFcRect local = object.localRect();
    band.m_slots[object.m_slot].bounds = local;
    invalidate(before.inflated(kObjectDamageMargin));
    invalidate(after.inflated(kObjectDamageMargin));
    noteRectChanged(before, after);
    bandChanged(band, localBefore, localBefore.inflated(kObjectDamageMargin), local,
                local.inflated(kObjectDamageMargin));
    for (TFcConnection* c : object.m_attached)
        c->reroute();
    geometryChanged();
}

// ---------------------------------------------------------------------------------------------
// Selection

TFcObject* TFlowChart::SelectedObject() const {
    if (m_selObjects.size() == 1 && m_selConnections.empty())
        return m_selObjects.front();
    return nullptr;
}

void TFlowChart::SelectObject(TFcObject* object) {
    if (object && object == SelectedObject())
        return;
    ClearSelection();
    if (object)
        SelectItem(*object);
}

bool TFlowChart::SelectItem(TFcItem& item) {
    if (item.m_selected)
        return true;
    bool allow = (Options & fcoCanSelect) != 0;
    if (OnSelection)
        OnSelection(*this, item, allow);
    if (!allow)
        return false;
    if (!(Options & fcoMultiSelect))
        ClearSelection();
    item.m_selected = true;
    if (TFcObject* o = item.asObject())
        m_selObjects.push_back(o);
    else if (TFcConnection* c = item.asConnection())
        m_selConnections.push_back(c);
    item.repaint();
    if (m_listener)
        m_listener->fcSelectionChanged();
    return true;
}

void TFlowChart::DeselectItem(TFcItem& item) {
    if (!item.m_selected)
        return;
    item.m_selected = false;
    if (TFcObject* o = item.asObject())
        std::erase(m_selObjects, o);
    else if (TFcConnection* c = item.asConnection())
        std::erase(m_selConnections, c);
    item.repaint();
    if (m_listener)
        m_listener->fcSelectionChanged();
}

void TFlowChart::ClearSelection() {
    while (!m_selConnections.empty())
        DeselectItem(*m_selConnections.back());
    while (!m_selObjects.empty())
        DeselectItem(*m_selObjects.back());
}

// ---------------------------------------------------------------------------------------------
// Update bracket and damage

void TFlowChart::invalidate(const TFcRect& area) {
    if (m_updateDepth > 0) {
        m_pendingArea = m_pendingRepaint ? m_pendingArea.united(area) : area;
        m_pendingRepaint = true;
        return;
    }
    if (m_listener)
        m_listener->fcInvalidate(area);
}

void TFlowChart::BeginUpdate() {
    ++m_updateDepth;
}

void TFlowChart::EndUpdate() {
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth > 0)
        return;
    if (m_extentStale)
        recomputeExtent();
    clampScroll();
    if (m_pendingRepaint) {
        m_pendingRepaint = false;
        const TFcRect area = m_pendingArea;
        m_pendingArea = {};
        if (m_listener)
            m_listener->fcInvalidate(area);
    }
}

// ---------------------------------------------------------------------------------------------
// Extent and scrolling

void TFlowChart::noteRectAdded(const TFcRect& r) {
    if (!m_extentStale)
        growBy(m_extent, r);
}

void TFlowChart::noteRectRemoved(const TFcRect& r) {
    if (m_extentStale)
        return;
    // Only a rectangle on the boundary can take the boundary with it; the origin always stays.
    const TFcRect& e = m_extent;
    if ((r.left == e.left && e.left < 0) || (r.top == e.top && e.top < 0) ||
        (r.right == e.right && e.right > 0) || (r.bottom == e.bottom && e.bottom > 0))
        m_extentStale = true;
}

void TFlowChart::noteRectChanged(const TFcRect& before, const TFcRect& after) {
    if (m_extentStale)
        return;
    const TFcRect& e = m_extent;
    if ((before.left == e.left && e.left < 0 && after.left > before.left) ||
        (before.top == e.top && e.top < 0 && after.top > before.top) ||
        (before.right == e.right && e.right > 0 && after.right < before.right) ||
        (before.bottom == e.bottom && e.bottom > 0 && after.bottom < before.bottom)) {
        m_extentStale = true;
        return;
    }
    growBy(m_extent, after);
}

namespace {
TFcPoint clampInto(TFcPoint p, const TFcRect& limits) {
    return {std::clamp(p.x, limits.left, limits.right), std::clamp(p.y, limits.top, limits.bottom)};
}
} // namespace

void TFlowChart::recomputeExtent() const {
    // The union of every band's box: a band's objects and lines are rescanned only when
    // something on the edge of its own box went.
    TFcRect e{0, 0, 0, 0};
    for (const auto& band : m_bands) {
        if (band->m_liveObjects + band->m_liveLines == 0)
            continue;
        freshBox(*band);
        growBy(e, band->m_box.translated(0, band->m_dy));
    }
    m_extent = e;
    m_extentStale = false;
    // The position follows the fresh limits at once, and the painter hears of it.
    const TFcPoint pinned = clampInto(m_scroll, limitsOf(m_extent));
    if (pinned != m_scroll) {
        m_scroll = pinned;
        if (m_listener)
            m_listener->fcScrolled();
    }
}

void TFlowChart::geometryChanged() {
    // Outside a bracket the scroll position follows a grown extent at once; a possibly shrunk
    // extent is rescanned when next read rather than after every step of a long edit.
    if (m_updateDepth == 0 && !m_extentStale)
        clampScroll();
}

TFcRect TFlowChart::Extent() const {
    if (m_extentStale)
        recomputeExtent();
    return m_extent;
}

void TFlowChart::setClientSize(int width, int height) {
    m_client = {std::max(0, width), std::max(0, height)};
    clampScroll();
}

TFcRect TFlowChart::limitsOf(const TFcRect& e) const {
    return {e.left, e.top, std::max(e.left, e.right - m_client.width),
            std::max(e.top, e.bottom - m_client.height)};
}

TFcRect TFlowChart::ScrollLimits() const {
    return limitsOf(Extent());
}

TFcPoint TFlowChart::ScrollPos() const {
    return m_scroll;
}

void TFlowChart::clampScroll() {
    setScroll(m_scroll);
}

void TFlowChart::setScroll(TFcPoint p) {
    const TFcRect limits = ScrollLimits(); // may pin the old position first
    const TFcPoint before = m_scroll;
    m_scroll = clampInto(p, limits);
    if (m_scroll != before && m_listener)
        m_listener->fcScrolled();
}

void TFlowChart::ScrollTo(int x, int y) {
    setScroll({x, y});
}

void TFlowChart::ScrollBy(int dx, int dy) {
    ScrollLimits(); // pins a position left behind by a shrunk extent before stepping from it
    const TFcPoint p = ScrollPos();
    setScroll({p.x + dx, p.y + dy});
}

void TFlowChart::ScrollIntoView(TFcObject* object) {
    if (!object)
        return;
    object->SetVisible(true);
    ScrollLimits(); // pins a position left behind by a shrunk extent before measuring from it
    const TFcPoint s = ScrollPos();
    TFcRect r = object->BoundsRect();
    // An object larger than the client shows its inner area rather than its edges.
    if (r.width() > m_client.width || r.height() > m_client.height)
        r = TFcRect{r.left + object->OutlineWidth(), r.top + object->OutlineWidth(),
                    r.right - 1 - object->OutlineWidth(), r.bottom - 1 - object->OutlineWidth()};
    r = r.translated(-s.x, -s.y);
    int x = r.left, y = r.top;
    if (r.right > m_client.width)
        x -= r.right - m_client.width;
    if (r.bottom > m_client.height)
        y -= r.bottom - m_client.height;
    x = std::max(x, 0);
    y = std::max(y, 0);
    if (x != r.left || y != r.top)
        setScroll({s.x + (r.left - x), s.y + (r.top - y)});
}

TFcPoint TFlowChart::clientToCanvas(TFcPoint p) const {
    const TFcPoint s = ScrollPos();
    return {p.x + s.x, p.y + s.y};
}

TFcPoint TFlowChart::canvasToClient(TFcPoint p) const {
    const TFcPoint s = ScrollPos();
    return {p.x - s.x, p.y - s.y};
}
