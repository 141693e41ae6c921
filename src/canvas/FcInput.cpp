// The input logic of the canvas: hit testing, the arrow-key rule, the keyboard and the mouse
// drags (press, move, resize, connect). The view forwards its events here.
#include "canvas/FlowChart.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// How close a press must come to a line to hit it.
constexpr int kLineTolerance = 2;
// The pointer must travel more than this (|dx| + |dy|) before a press becomes a drag.
constexpr int kDragThreshold = 4;
// The arrow-key rule only considers scores below this.
constexpr long long kArrowScoreLimit = 1LL << 29;
// Page keys leave this much of the old view visible.
constexpr int kPageOverlap = 16;

// Offsets of the eight keys that move or resize by one pixel: Left, Right, Up, Down, Page Up,
// Page Down, End, Home.
bool stepOfKey(TFcKey key, int& dx, int& dy) {
    switch (key) {
    case TFcKey::Left:
        dx = -1, dy = 0;
        return true;
    case TFcKey::Right:
        dx = 1, dy = 0;
        return true;
    case TFcKey::Up:
        dx = 0, dy = -1;
        return true;
    case TFcKey::Down:
        dx = 0, dy = 1;
        return true;
    case TFcKey::PageUp:
        dx = 1, dy = -1;
        return true;
    case TFcKey::PageDown:
        dx = 1, dy = 1;
        return true;
    case TFcKey::End:
        dx = -1, dy = 1;
        return true;
    case TFcKey::Home:
        dx = -1, dy = -1;
        return true;
    default:
        return false;
    }
}

int nearestLink(const TFcObject& o, TFcPoint p) {
    int best = 0;
    long long bestD = std::numeric_limits<long long>::max();
    for (int i = 0; i < 16; ++i) {
        const TFcPoint q = o.LinkPoint(i);
        const long long dx = q.x - p.x, dy = q.y - p.y;
        const long long d = dx * dx + dy * dy;
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return best;
}

// The rectangle a resize through selection mark `mark` gives, dragged by (dx, dy).
TFcRect resizedBounds(const TFcRect& b, int mark, int dx, int dy) {
    TFcRect r = b;
    const bool moveLeft = mark == 0 || mark == 6 || mark == 7;
    const bool moveRight = mark == 2 || mark == 3 || mark == 4;
    const bool moveTop = mark == 0 || mark == 1 || mark == 2;
    const bool moveBottom = mark == 4 || mark == 5 || mark == 6;
    if (moveLeft)
        r.left += dx;
    if (moveRight)
        r.right += dx;
    if (moveTop)
        r.top += dy;
    if (moveBottom)
        r.bottom += dy;
    if (r.right < r.left)
        std::swap(r.left, r.right);
    if (r.bottom < r.top)
        std::swap(r.top, r.bottom);
    r.right = std::clamp(r.right, r.left + 1, r.left + 65535);
    r.bottom = std::clamp(r.bottom, r.top + 1, r.top + 65535);
    return r;
}

} // namespace

TFcHit TFlowChart::HitTest(TFcPoint p) const {
    TFcHit hit;
    // The topmost object near the point, the topmost whose interior holds it and the last line
    // passing close by, band by band (a band's box holds everything in it).
    for (const auto& band : m_bands) {
        const TFcPoint local{p.x, p.y - band->m_dy};
        if (band->m_liveObjects + band->m_liveLines == 0)
            continue;
        freshBox(*band);
        if (!band->m_box.inflated(std::max(1, kLineTolerance)).contains(local))
            continue;
        compact(*band);
        for (const Slot& slot : band->m_slots) {
            // Nothing of an object reaches beyond its bounds grown by one pixel.
            if (!slot.object || !slot.visible || !slot.bounds.inflated(1).contains(local))
                continue;
            TFcObject* o = slot.object;
            if (!hit.nearObject || o->m_order > hit.nearObject->m_order)
                hit.nearObject = o;
            if ((!hit.object || o->m_order > hit.object->m_order) && o->InteriorContains(p))
                hit.object = o;
        }
        for (const LineSlot& slot : band->m_lineSlots) {
            TFcConnection* c = slot.connection;
            if (!c || !slot.bounds.inflated(kLineTolerance).contains(local) ||
                (hit.connection && c->m_order < hit.connection->m_order))
                continue;
            const auto& pts = c->m_points;
            for (std::size_t i = 1; i < pts.size(); ++i) {
                if (fcNearSegment(pts[i - 1], pts[i], local, kLineTolerance)) {
                    hit.connection = c;
                    break;
                }
            }
        }
    }
    if (const TFcObject* s = SelectedObject())
        hit.selectionMark = fcSelectionMarkAt(s->BoundsRect(), p);
    return hit;
}

TFcObject* TFlowChart::NearestObject(TFcKey arrow) const {
    const TFcObject* s = SelectedObject();
    if (!s)
        return nullptr;
    // Turn the offsets so that the arrow points along d; e runs across it (as fcArrowScore).
    bool vertical = false;
    long long sign = 1;
    switch (arrow) {
    case TFcKey::Left:
        sign = -1;
        break;
    case TFcKey::Right:
        break;
    case TFcKey::Up:
        vertical = true;
        sign = -1;
        break;
    case TFcKey::Down:
        vertical = true;
        break;
    default:
        return nullptr;
    }
    TFcObject* best = nullptr;
    long long bestScore = kArrowScoreLimit;
    const int sTop = s->Top();
    for (const auto& band : m_bands) {
        compact(*band);
        for (const Slot& slot : band->m_slots) {
            if (!slot.object || !slot.visible)
                continue;
            const long long dx = static_cast<long long>(slot.bounds.left) - s->m_left;
            const long long dy = static_cast<long long>(slot.bounds.top) + band->m_dy - sTop;
            const long long d = sign * (vertical ? dy : dx);
            if (d < 0)
                continue;
            const long long e = vertical ? dx : dy;
            const long long score = d + 8 * (e < 0 ? -e : e) + d / 4;
            // Strictly lower: on a tie the object made first keeps its place.
            if ((score < bestScore ||
                 (score == bestScore && best && slot.object->m_order < best->m_order)) &&
                !slot.object->m_selected) {
                bestScore = score;
                best = slot.object;
            }
        }
    }
    return best;
}

void TFlowChart::collectMoveSet(std::vector<TFcObject*>& out) const {
    std::unordered_set<const TFcObject*> seen;
    std::vector<TFcObject*> stack;
    for (TFcObject* s : m_selObjects) {
        stack.push_back(s);
        while (!stack.empty()) {
            TFcObject* o = stack.back();
            stack.pop_back();
            if (!seen.insert(o).second)
                continue;
            out.push_back(o);
            // Depth first, members in the order added.
            for (auto it = o->m_group.rbegin(); it != o->m_group.rend(); ++it)
                stack.push_back(*it);
        }
    }
}

void TFlowChart::MoveSelection(int dx, int dy) {
    if (dx == 0 && dy == 0)
        return;
    std::vector<TFcObject*> set;
    collectMoveSet(set);
    if (set.empty())
        return;
    BeginUpdate();
    for (TFcObject* o : set)
        o->SetBounds(o->m_left + dx, o->Top() + dy, o->m_width, o->m_height);
    EndUpdate();
}

bool TFlowChart::resizeSelected(int dw, int dh) {
    TFcObject* s = SelectedObject();
    if (!s)
        return false;
    const int w = s->m_width + dw, h = s->m_height + dh;
    if (w > 0 && h > 0 && w <= 65535 && h <= 65535)
        s->SetBounds(s->m_left, s->Top(), w, h);
    ScrollIntoView(s);
    return true;
}

bool TFlowChart::KeyDown(TFcKey key, TFcShiftState shift) {
    if (OnKeyDown && OnKeyDown(*this, key, shift))
        return true;
    if (key == TFcKey::Delete) {
        if (!(Options & fcoCanDelete))
            return false;
        BeginUpdate();
        while (!m_selConnections.empty())
            RemoveConnection(m_selConnections.back());
        while (!m_selObjects.empty())
            RemoveObject(m_selObjects.back());
        EndUpdate();
        return true;
    }
    int dx = 0, dy = 0;
    const bool step = stepOfKey(key, dx, dy);
    if (shift & ssAlt) {
        if (!step || !(Options & fcoCanDrag) || m_selObjects.empty())
            return false;
        MoveSelection(dx, dy);
        return true;
    }
    if (shift & ssShift) {
        if (!step || !(Options & fcoCanDrag) || !(Options & fcoCanResize))
            return false;
        return resizeSelected(dx, dy); // the resize table matches the move table
    }
    const int pageX = std::max(1, m_client.width - kPageOverlap);
    const int pageY = std::max(1, m_client.height - kPageOverlap);
    const TFcRect lim = ScrollLimits();
    const TFcPoint pos = ScrollPos();
    if (shift & ssCtrl) {
        switch (key) {
        case TFcKey::Left:
            ScrollBy(-pageX, 0);
            return true;
        case TFcKey::Right:
            ScrollBy(pageX, 0);
            return true;
        case TFcKey::PageUp:
            ScrollTo(pos.x, lim.top);
            return true;
        case TFcKey::PageDown:
            ScrollTo(pos.x, lim.bottom);
            return true;
        case TFcKey::Home:
            ScrollTo(lim.left, lim.top);
            return true;
        case TFcKey::End:
            ScrollTo(lim.right, lim.bottom);
            return true;
        default:
            return false;
        }
    }
    switch (key) {
    case TFcKey::Left:
    case TFcKey::Right:
    case TFcKey::Up:
    case TFcKey::Down: {
        TFcObject* next = NearestObject(key);
        if (!next)
            return false;
        ClearSelection();
        if (SelectItem(*next))
            ScrollIntoView(next);
        return true;
    }
    case TFcKey::PageUp:
        ScrollBy(0, -pageY);
        return true;
    case TFcKey::PageDown:
        ScrollBy(0, pageY);
        return true;
    case TFcKey::Home:
        ScrollTo(lim.left, pos.y);
        return true;
    case TFcKey::End:
        ScrollTo(lim.right, pos.y);
        return true;
    default:
        return false;
    }
}

void TFlowChart::CancelDrag() {
    m_drag = TFcDrag{};
    m_dragObject = nullptr;
    m_pressedSelected = nullptr;
    m_dragMark = -1;
}

void TFlowChart::MouseDown(TFcPoint clientPoint, TFcShiftState shift) {
    CancelDrag();
    if (shift & (ssCtrl | ssAlt))
        return;
    const TFcPoint p = clientToCanvas(clientPoint);
    const TFcHit hit = HitTest(p);
    m_drag.press = m_drag.current = p;
    if (hit.selectionMark >= 0 && (Options & fcoCanDrag) && (Options & fcoCanResize) &&
        shift == 0) {
        m_drag.kind = TFcDrag::Resizing;
        m_dragObject = SelectedObject();
        m_dragMark = hit.selectionMark;
        updateDragFeedback();
        return;
    }
    m_drag.kind = TFcDrag::Pressed;
    m_dragObject = hit.nearObject;
    if (hit.object && hit.object->m_selected && !(shift & ssShift)) {
        // The selection stays for a drag; a click that does not drag selects only this object.
        m_pressedSelected = hit.object;
        return;
    }
    TFcItem* item = hit.connection ? static_cast<TFcItem*>(hit.connection) : hit.object;
    if (!item)
        return;
    if ((shift & ssShift) && OnExtendSelection && hit.object && !hit.connection) {
        OnExtendSelection(*this, *hit.object);
        return;
    }
    if (!(shift & ssShift))
        ClearSelection();
    if (item->m_selected)
        DeselectItem(*item);
    else
        SelectItem(*item);
}

void TFlowChart::updateDragFeedback() {
    m_drag.outlines.clear();
    const int dx = m_drag.current.x - m_drag.press.x, dy = m_drag.current.y - m_drag.press.y;
    switch (m_drag.kind) {
    case TFcDrag::Moving: {
        std::vector<TFcObject*> set;
        collectMoveSet(set);
        for (const TFcObject* o : set)
            m_drag.outlines.push_back(o->BoundsRect().translated(dx, dy));
        m_drag.target = OnDragOver ? OnDragOver(*this, m_drag.current) : TFcRect{};
        break;
    }
    case TFcDrag::Resizing:
        if (m_dragObject)
            m_drag.outlines.push_back(
                resizedBounds(m_dragObject->BoundsRect(), m_dragMark, dx, dy));
        break;
    case TFcDrag::Connecting:
        if (m_dragObject)
            m_drag.lineFrom = m_dragObject->LinkPoint(nearestLink(*m_dragObject, m_drag.press));
        m_drag.lineTo = m_drag.current;
        break;
    default:
        break;
    }
}

void TFlowChart::MouseMove(TFcPoint clientPoint) {
    if (m_drag.kind == TFcDrag::None)
        return;
    m_drag.current = clientToCanvas(clientPoint);
    if (m_drag.kind == TFcDrag::Pressed) {
        const int travel = std::abs(m_drag.current.x - m_drag.press.x) +
                           std::abs(m_drag.current.y - m_drag.press.y);
        if (travel <= kDragThreshold || !(Options & fcoCanDrag))
            return;
        const TFcHit atPress = HitTest(m_drag.press);
        if (atPress.object && atPress.object->m_selected)
            m_drag.kind = TFcDrag::Moving;
        else if (m_dragObject && m_dragObject->m_selected && atPress.object != m_dragObject &&
                 (Options & fcoCanConnect))
            m_drag.kind = TFcDrag::Connecting;
        else
            return;
    }
    updateDragFeedback();
}

void TFlowChart::MouseUp(TFcPoint clientPoint) {
    MouseMove(clientPoint);
    const TFcDrag drag = m_drag;
    TFcObject* object = m_dragObject;
    TFcObject* pressedSelected = m_pressedSelected;
    const int mark = m_dragMark;
    CancelDrag();
    const int dx = drag.current.x - drag.press.x, dy = drag.current.y - drag.press.y;
    switch (drag.kind) {
    case TFcDrag::Moving:
        if (OnDrop)
            OnDrop(*this, drag.current);
        else
            MoveSelection(dx, dy);
        break;
    case TFcDrag::Resizing:
        if (object) {
            const TFcRect r = resizedBounds(object->BoundsRect(), mark, dx, dy);
            object->SetBounds(r.left, r.top, r.width(), r.height());
        }
        break;
    case TFcDrag::Connecting:
        if (object) {
            const int from = nearestLink(*object, drag.press);
            const TFcHit hit = HitTest(drag.current);
            TFcObject* target = hit.object ? hit.object : hit.nearObject;
            if (target)
                AddConnection(object, target, from, nearestLink(*target, drag.current));
            else
                AddConnectionTo(object, from, drag.current);
        }
        break;
    case TFcDrag::Pressed:
        if (pressedSelected && SelectedCount() > 1 && pressedSelected->m_selected)
            SelectObject(pressedSelected);
        break;
    default:
        break;
    }
}

void TFlowChart::DblClick() {
    if (OnDblClick)
        OnDblClick(*this);
}
