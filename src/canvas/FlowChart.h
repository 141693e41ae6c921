// The chart canvas model: objects, connections, link points, move groups, selection, scroll
// extent and the pure logic of mouse and keyboard input. Plain data, no window: the view in
// canvas/view/ paints it and forwards input to it.
#pragma once

#include "canvas/FcGeometry.h"

#include <array>
#include <boost/container/small_vector.hpp>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

class TFlowChart;
class TFcObject;
class TFcConnection;
class TFcBand;

// Caption font of an item.
struct TFcFont {
    std::string Face = "Sans Serif";
    int Height = 13; // pixels
    bool Bold = false;
    TFcColor Color = fcBlack;

    friend bool operator==(const TFcFont&, const TFcFont&) = default;
    friend auto operator<=>(const TFcFont&, const TFcFont&) = default;
};

// Canvas options; their effect on input is applied by the input operations below.
enum TFcOption : unsigned {
    fcoCanDrag = 1u << 0,
    fcoCanSelect = 1u << 1,
    fcoCanDelete = 1u << 2,
    fcoMultiSelect = 1u << 3,
    fcoHideSelection = 1u << 4,
    fcoDelOnClick = 1u << 5,
    // A drag on a selection mark (or Shift with an arrow key) resizes the selected object.
    fcoCanResize = 1u << 6,
    // A drag from just outside a selected object draws a connection from it.
    fcoCanConnect = 1u << 7,
};
using TFcOptions = unsigned;

// Receives what the model wants painted again. Areas are in canvas coordinates.
class TFcListener {
public:
    virtual ~TFcListener() = default;
    // An area whose picture changed. Outside an update bracket this is called for every change;
    // a view should collect the areas and paint once per event. ScrollPos() is cheap to read
    // here; Extent() and ScrollLimits() may rescan the canvas once after an edit that shrank it,
    // so read those once per event (a queued update), not once per area.
    virtual void fcInvalidate(const TFcRect& area) = 0;
    // The scroll position changed (scrolling, ScrollIntoView, keys, or new limits pinning it;
    // the last may happen inside a read of Extent() or ScrollLimits()).
    virtual void fcScrolled() {}
    // An item became selected or stopped being selected. A change of the selection may call
    // this more than once (a new selection clears the old one first).
    virtual void fcSelectionChanged() {}
    // The object is about to be removed from the canvas: whatever refers to it lets go.
    virtual void fcRemoving(const TFcObject&) {}
};

// A band: canvas objects, and the lines between them, that move up and down together. An object
// in a band keeps its place relative to the band, so shifting the band (TFlowChart::ShiftBand)
// moves everything in it at once, whatever its number: a long chart is kept as a run of bands,
// and an edit near its top shifts the bands below instead of every object. Objects outside any
// band lie in the canvas's own band, which never moves. Made and removed by the canvas.
class TFcBand {
public:
    TFcBand(const TFcBand&) = delete;
    TFcBand& operator=(const TFcBand&) = delete;

    // How far the band has been shifted down (up when negative) since it was made.
    int Offset() const { return m_dy; }
    // Counts every change within the band other than shifts of the band itself: an object or
    // line added, removed, moved, resized or repainted wider. Equal counts: the band's content
    // still lies as it did, relative to the band.
    std::uint64_t Revision() const { return m_revision; }
    int ObjectCount() const { return static_cast<int>(m_liveObjects); }

private:
    friend class TFlowChart;
    friend class TFcObject;
    friend class TFcConnection;
    TFcBand() = default;

    // Bounds of every object of the band in list order, relative to the band and packed, so that
    // hit tests, painting queries and the arrow-key rule scan memory linearly. A removed object
    // leaves a hole; holes are squeezed out at the next scan once they make up half the index.
    struct Slot {
        TFcRect bounds;
        TFcObject* object; // null: a hole
        bool visible;
    };
    // The same for lines: their bounding rectangles.
    struct LineSlot {
        TFcRect bounds;
        TFcConnection* connection; // null: a hole
    };

    // What shifts and the extent read comes first, together.
    int m_dy = 0;
    mutable bool m_boxEmpty = true;
    mutable bool m_boxStale = false;
    std::uint64_t m_revision = 0;
    std::size_t m_liveObjects = 0;
    std::size_t m_liveLines = 0;
    // Union of the bounds of everything in the band, and of the areas they repaint, relative to
    // the band. Grown as things are added; marked stale when something on its edge goes or moves,
    // and worked out again (one pass over the band) when next needed.
    mutable TFcRect m_box;
    mutable TFcRect m_damage;
    // Lines with an end on an object of this band that lie outside it (their other end is
    // elsewhere): they are rerouted when the band shifts.
    std::vector<TFcConnection*> m_crossLines;
    // Squeezed when scanned, so kept mutable.
    mutable std::vector<Slot> m_slots;
    mutable std::size_t m_holes = 0;
    mutable std::vector<LineSlot> m_lineSlots;
    mutable std::size_t m_lineHoles = 0;
    std::size_t m_index = 0; // in the canvas's band list
};

// Only the canvas makes objects and connections: each lives in a node of the canvas's lists.
class TFcMade {
    friend class TFlowChart;
    TFcMade() = default;
};

// Common part of objects and connections: caption, font and the selected flag.
class TFcItem {
public:
    virtual ~TFcItem() = default;
    TFcItem(const TFcItem&) = delete;
    TFcItem& operator=(const TFcItem&) = delete;

    virtual TFcObject* asObject() { return nullptr; }
    virtual TFcConnection* asConnection() { return nullptr; }

    const std::string& Text() const { return m_text; }
    const TFcFont& Font() const { return *m_font; }
    bool Selected() const { return m_selected; }
    TFlowChart& Owner() const { return *m_owner; }

    void SetText(const std::string& text);
    void SetFont(const TFcFont& font);

protected:
    explicit TFcItem(TFlowChart& owner);
    virtual void repaint() = 0;

private:
    friend class TFlowChart;
    TFlowChart* m_owner;
    std::string m_text;
    const TFcFont* m_font; // one of the canvas's fonts, shared by every item that uses it
    bool m_selected = false;
};

// A canvas object: a shape with a caption and an optional picture, owned by the canvas.
// Its connection ends lie on its link points and follow it whenever it moves or is resized.
class TFcObject final : public TFcItem {
public:
    TFcObject(TFlowChart& owner, TFcMade);
    TFcObject* asObject() override { return this; }

    // Free fields: never repaint.
    int Kind = 0;
    std::string Payload;
    const void* Tag = nullptr; // whatever the object stands for, to the one who made it

    int Left() const { return m_left; }
    int Top() const { return m_top + m_band->m_dy; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    TFcRect BoundsRect() const { return localRect().translated(0, m_band->m_dy); }
    TFcShape Shape() const { return m_shape; }
    int EdgeFlags() const { return m_edgeFlags; }
    int EdgeSides() const { return m_edgeSides; }
    int TextHorz() const { return m_textHorz; }
    int TextVert() const { return m_textVert; }
    int ImageIndex() const { return m_imageIndex; }
    int ImageHorz() const { return m_imageHorz; }
    int ImageVert() const { return m_imageVert; }
    bool Transparent() const { return m_transparent; }
    bool Visible() const { return m_visible; }
    TFcColor FillColor() const { return m_fillColor; }
    TFcColor OutlineColor() const { return m_outlineColor; }
    int OutlineWidth() const { return m_outlineWidth; }

    // Stores the bounds (sizes kept as 16-bit), moves attached connection ends, repaints the
    // old and new areas. No-op when nothing changes.
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, m_top, m_width, m_height); }
    void SetTop(int top) { SetBounds(m_left, top, m_width, m_height); }
    void SetWidth(int width) { SetBounds(m_left, m_top, width, m_height); }
    void SetHeight(int height) { SetBounds(m_left, m_top, m_width, height); }

    // Each setter is a no-op when the value is unchanged, otherwise stores and repaints.
    void SetShape(TFcShape shape);
    void SetEdgeFlags(int flags);
    void SetEdgeSides(int sides);
    void SetTextHorz(int placement);
    void SetTextVert(int placement);
    void SetImageIndex(int index);
    void SetImageHorz(int placement);
    void SetImageVert(int placement);
    void SetTransparent(bool transparent);
    void SetVisible(bool visible);
    void SetFillColor(TFcColor color);
    void SetOutlineColor(TFcColor color);
    void SetOutlineWidth(int width);

    // One of the 16 link points, numbered clockwise from the top-left corner.
    TFcPoint LinkPoint(int index) const {
        return fcLinkPoint(m_left, Top(), m_width, m_height, index);
    }
    // The band the object lies in; null for the canvas's own band.
    TFcBand* Band() const;

    // Connections whose source or destination is this object, in the order attached.
    std::span<TFcConnection* const> AttachedConnections() const {
        return {m_attached.data(), m_attached.size()};
    }
    // The objects at the other ends of the attached connections (once each, attach order).
    std::vector<TFcObject*> LinkedObjects() const;

    // Appends member to the move group unless it is this object or already reachable from
    // this object through move groups.
    void AddGroupMember(TFcObject* member);
    int GroupMemberCount() const { return static_cast<int>(m_group.size()); }
    // The member at index, or null outside 0..GroupMemberCount() - 1.
    TFcObject* GroupMember(int index) const {
        return index >= 0 && index < GroupMemberCount() ? m_group[index] : nullptr;
    }
    const std::vector<TFcObject*>& GroupMembers() const { return m_group; }
    // True when target is this object or reachable through move groups.
    bool ReachesInGroup(const TFcObject* target) const;

    // Makes the object visible and scrolls the canvas as little as possible to show it.
    void ScrollIntoView();

    // Position in the object list: later objects lie on top. Strictly increasing with creation.
    std::uint64_t Order() const { return m_order; }

    // Geometry of this object for painting and hit testing (see FcGeometry.h).
    TFcRect InnerArea() const;
    TFcRect InteriorRect() const;
    bool InteriorContains(TFcPoint p) const;

private:
    friend class TFlowChart;
    friend class TFcConnection;
    void repaint() override;
    // The bounds relative to the object's band.
    TFcRect localRect() const { return {m_left, m_top, m_left + m_width, m_top + m_height}; }

    int m_left = 0;
    int m_top = 0; // relative to the band
    std::uint16_t m_width = 0;
    std::uint16_t m_height = 0;
    std::uint16_t m_edgeFlags = 0;
    std::uint16_t m_edgeSides = 15;
    std::uint8_t m_textHorz = 0;
    std::uint8_t m_textVert = 0;
    std::int16_t m_imageIndex = -1;
    std::uint8_t m_imageHorz = 0;
    std::uint8_t m_imageVert = 0;
    bool m_transparent = false;
    bool m_visible = true;
    bool m_shifting = false; // inside ShiftObjects, for the lines that move with it
    TFcColor m_fillColor = 0;
    TFcColor m_outlineColor = fcBlack;
    TFcShape m_shape = ShapeNone;
    std::uint8_t m_outlineWidth = 1;

    std::uint64_t m_order = 0;
    std::list<TFcObject>::iterator m_self;
    TFcBand* m_band;        // never null: the canvas's own band when in no other
    std::size_t m_slot = 0; // entry in the band's scan index
    // A spot's marker has two lines and its anchors one each; a move group's member has one
    // owner: such short lists stay inside the object instead of taking an allocation each.
    boost::container::small_vector<TFcConnection*, 2> m_attached;
    std::vector<TFcObject*> m_group; // direct members, in the order added
    boost::container::small_vector<TFcObject*, 1> m_groupOwners; // whose move group holds it
};

// Pen of a connection line.
struct TFcPen {
    TFcColor Color = fcBlack;
    int Width = 1;
    friend bool operator==(const TFcPen&, const TFcPen&) = default;
};

// A straight line from a link point of one object to a link point of another (or to a free
// point). Its ends follow the objects; it is destroyed with either object.
class TFcConnection final : public TFcItem {
public:
    TFcConnection(TFlowChart& owner, TFcMade);
    TFcConnection* asConnection() override { return this; }

    TFcObject* SourceObject() const { return m_source; }
    TFcObject* DestObject() const { return m_dest; }
    int SourceLink() const { return m_sourceLink; }
    int DestLink() const { return m_destLink; }
    // First point on the source link point, last on the destination link point (or free end).
    std::vector<TFcPoint> Points() const;
    TFcRect BoundsRect() const { return localBounds().translated(0, m_band->m_dy); }
    // Later connections are painted over earlier ones. Strictly increasing with creation.
    std::uint64_t Order() const { return m_order; }
    int Style() const { return m_style; } // 0 straight polyline
    const TFcPen& Pen() const { return m_pen; }
    void SetPen(const TFcPen& pen);

private:
    friend class TFlowChart;
    friend class TFcObject;
    void repaint() override;
    void reroute(); // ends back onto the link points; the caller ends with geometryChanged
    // The bounds of the points, relative to the band: kept in the band's line index.
    TFcRect localBounds() const { return m_band->m_lineSlots[m_slot].bounds; }
    // The area the line repaints, relative to its band.
    TFcRect localDamage() const;

    TFcObject* m_source = nullptr;
    TFcObject* m_dest = nullptr;
    int m_sourceLink = 0;
    int m_destLink = 0;
    std::array<TFcPoint, 2> m_points; // its two ends, relative to the band
    int m_style = 0;
    TFcPen m_pen;
    std::uint64_t m_order = 0;
    std::list<TFcConnection>::iterator m_self;
    TFcBand* m_band = nullptr; // the band of both ends, else the canvas's own
    std::size_t m_slot = 0;    // entry in the band's line index
};

// Result of a hit test at one point.
struct TFcHit {
    TFcObject* nearObject = nullptr;     // topmost object whose bounds grown by 1 hold the point
    TFcObject* object = nullptr;         // topmost object whose interior holds the point
    TFcConnection* connection = nullptr; // last connection whose line passes close by
    int selectionMark = -1;              // 0..7 mark of the single selected object, or -1
};

// Keys the canvas handles; modifiers as a bit set.
enum class TFcKey { Left, Right, Up, Down, PageUp, PageDown, Home, End, Delete };
enum TFcShift : unsigned { ssShift = 1u, ssAlt = 2u, ssCtrl = 4u };
using TFcShiftState = unsigned;

// The drag the mouse is doing, for the view to draw its feedback.
struct TFcDrag {
    enum Kind { None, Pressed, Moving, Resizing, Connecting };
    Kind kind = None;
    TFcPoint press;   // canvas coordinates
    TFcPoint current; // canvas coordinates
    // Moving: the outlines of every moved object, displaced. Resizing: the rubber band.
    std::vector<TFcRect> outlines;
    // Connecting: the line being drawn.
    TFcPoint lineFrom, lineTo;
    // Moving: where the objects would land if dropped now, as the drop hook sees it (empty when
    // there is no hook or no place to drop).
    TFcRect target;
};

// The canvas. Owns its objects and connections. All calls on the user-interface thread.
class TFlowChart {
public:
    using ObjectList = std::list<TFcObject>;
    using ConnectionList = std::list<TFcConnection>;

    TFlowChart();
    ~TFlowChart();
    TFlowChart(const TFlowChart&) = delete;
    TFlowChart& operator=(const TFlowChart&) = delete;

    // ---- configuration (defaults are this system's set-up) ----
    TFcColor Color = fcRgb(166, 202, 240); // background
    TFcOptions Options = fcoCanDrag | fcoCanSelect | fcoCanResize | fcoCanConnect;
    TFcFont Font;                                     // font of new objects
    std::vector<TFcSize> ImageSizes{TFcSize{32, 31}}; // image list: sizes of its pictures
    int ImageCount() const { return static_cast<int>(ImageSizes.size()); }

    // Asked whenever an item is about to become selected; allow enters as fcoCanSelect.
    std::function<void(TFlowChart& sender, TFcItem& item, bool& allow)> OnSelection;
    // Raised by DblClick().
    std::function<void(TFlowChart& sender)> OnDblClick;
    // Asked first for every key; true when it used the key (the canvas's own rules then do
    // nothing).
    std::function<bool(TFlowChart& sender, TFcKey key, TFcShiftState shift)> OnKeyDown;
    // A Shift+click on an object: when set, it decides what becomes selected (instead of the
    // click adding the object to the selection or taking it out).
    std::function<void(TFlowChart& sender, TFcObject& object)> OnExtendSelection;
    // While the selection is dragged: the area where it would land at the canvas point (empty
    // for nowhere), shown as the drag's target.
    std::function<TFcRect(TFlowChart& sender, TFcPoint point)> OnDragOver;
    // The selection dragged by the mouse was dropped at the canvas point: when set, it decides
    // what happens and the objects themselves do not move.
    std::function<void(TFlowChart& sender, TFcPoint point)> OnDrop;

    // The painter; may be null. Not owned.
    void setListener(TFcListener* listener) { m_listener = listener; }

    // ---- objects and connections ----
    // Creates an object with the defaults, topmost, then sets the shape and the bounds, in the
    // band (the canvas's own band when null).
    TFcObject* AddObject(int left, int top, int width, int height, TFcShape shape,
                         TFcBand* band = nullptr);
    // Deselects it, destroys its connections, takes it out of every move group, removes it.
    void RemoveObject(TFcObject* object);
    TFcConnection* AddConnection(TFcObject* source, TFcObject* dest, int sourceLink, int destLink);
    // A connection whose far end stays at a free canvas point.
    TFcConnection* AddConnectionTo(TFcObject* source, int sourceLink, TFcPoint freeEnd);
    void RemoveConnection(TFcConnection* connection);

    const ObjectList& Objects() const { return m_objects; } // creation order, last on top
    const ConnectionList& Connections() const { return m_connections; }
    int ObjectCount() const { return static_cast<int>(m_objects.size()); }
    int ConnectionCount() const { return static_cast<int>(m_connections.size()); }
    // Visible objects whose bounds meet area, first to topmost (for painting).
    std::vector<TFcObject*> ObjectsIn(const TFcRect& area) const;
    // Connections whose bounding rectangle meets area, first to last (for painting).
    std::vector<TFcConnection*> ConnectionsIn(const TFcRect& area) const;

    // Moves each object down by dy (up when negative), as SetBounds on each would: their lines
    // follow, the old and new areas are repainted, the extent follows. One pass, for shifting
    // the part of a chart below an edit.
    void ShiftObjects(std::span<TFcObject* const> objects, int dy);

    // ---- bands ----
    // A band, with room for that many objects and lines before its index grows (a band's
    // index grown step by step leaves holes in the heap that later objects fill, scattering them).
    TFcBand* AddBand(std::size_t objects = 0, std::size_t lines = 0);
    // Objects still in the band go to the canvas's own band, where they are.
    void RemoveBand(TFcBand* band);
    // Removes the band with every object and line in it, as RemoveObject on each object would
    // (lines to objects elsewhere go too; selection, move groups, repaint and extent follow), in
    // one pass rather than object by object. The canvas's own band is only emptied.
    void DropBand(TFcBand* band);
    // Puts the objects into the band (the canvas's own band when null) where they are: nothing
    // moves or repaints. Their lines follow into the band when both ends are in it.
    void MoveToBand(std::span<TFcObject* const> objects, TFcBand* band);
    // Moves everything in the band down by dy (up when negative), in constant time but for the
    // lines that leave the band: repaints, scroll extent and lines end as moving each object
    // would. The canvas's own band never moves.
    void ShiftBand(TFcBand* band, int dy);
    // ShiftBand for each band, repainted once.
    void ShiftBands(std::span<TFcBand* const> bands, int dy);
    int BandCount() const { return static_cast<int>(m_bands.size()) - 1; }

    // ---- selection ----
    TFcObject* SelectedObject() const; // exactly one object and no connection selected
    void SelectObject(TFcObject* object);
    int SelectedCount() const { return static_cast<int>(m_selObjects.size()); }
    const std::vector<TFcObject*>& SelectedObjects() const { return m_selObjects; }
    const std::vector<TFcConnection*>& SelectedConnections() const { return m_selConnections; }
    // The selection step: asks OnSelection unless already selected. True if selected after.
    bool SelectItem(TFcItem& item);
    void DeselectItem(TFcItem& item);
    void ClearSelection();

    // ---- update bracket ----
    void BeginUpdate();
    void EndUpdate();
    int UpdateDepth() const { return m_updateDepth; }

    // ---- extent and scrolling ----
    // Smallest rectangle holding the origin, every object's bounds and every connection's points.
    TFcRect Extent() const;
    void setClientSize(int width, int height);
    TFcSize ClientSize() const { return m_client; }
    // Canvas point at the client's top-left corner. Cheap: never rescans the canvas, so the
    // painter may read it for every damaged area. After an edit that may have shrunk the extent
    // it is pinned into the new limits when the extent is next read (Extent, ScrollLimits, any
    // scrolling, EndUpdate), with fcScrolled when that moves it.
    TFcPoint ScrollPos() const;
    void ScrollTo(int x, int y); // kept within the scroll limits
    void ScrollBy(int dx, int dy);
    TFcRect ScrollLimits() const; // allowed scroll positions: left..right, top..bottom inclusive
    void ScrollIntoView(TFcObject* object);
    TFcPoint clientToCanvas(TFcPoint p) const;
    TFcPoint canvasToClient(TFcPoint p) const;

    // ---- input logic (the view forwards events here) ----
    TFcHit HitTest(TFcPoint canvasPoint) const;
    // Nearest visible unselected object in the arrow's direction from the single selection.
    TFcObject* NearestObject(TFcKey arrow) const;
    // Keyboard rules of the canvas; true if the key was used.
    bool KeyDown(TFcKey key, TFcShiftState shift);
    // Moves the selected objects with their move groups by (dx, dy).
    void MoveSelection(int dx, int dy);
    // Left button; points in client coordinates. Ctrl or Alt held: nothing.
    void MouseDown(TFcPoint clientPoint, TFcShiftState shift);
    void MouseMove(TFcPoint clientPoint);
    void MouseUp(TFcPoint clientPoint);
    void CancelDrag();
    const TFcDrag& Drag() const { return m_drag; }
    void DblClick();

private:
    friend class TFcItem;
    friend class TFcObject;
    friend class TFcConnection;

    void invalidate(const TFcRect& area);
    void noteRectAdded(const TFcRect& r);
    void noteRectRemoved(const TFcRect& r);
    void noteRectChanged(const TFcRect& before, const TFcRect& after);
    void geometryChanged();
    void recomputeExtent() const;
    TFcRect limitsOf(const TFcRect& extent) const;
    void clampScroll();
    void setScroll(TFcPoint p);
    void objectMoved(TFcObject& object, const TFcRect& before);
    void collectMoveSet(std::vector<TFcObject*>& out) const;
    void updateDragFeedback();
    bool resizeSelected(int dw, int dh);

    using Slot = TFcBand::Slot;
    using LineSlot = TFcBand::LineSlot;
    static void compact(const TFcBand& band);
    // Squeezes the holes (null entries) out of one of a band's indexes once they make up half of
    // it, telling each entry's object or line its new place.
    template <typename SlotT, typename Item>
    static void squeeze(std::vector<SlotT>& slots, std::size_t& holes, Item* SlotT::*item);
    // Calls visit(band, area relative to the band) for each band with objects (or lines) whose
    // box meets the area, its index squeezed first.
    template <typename Visit>
    void forBandsMeeting(const TFcRect& area, bool lines, Visit visit) const;
    // The band's box and damage follow what is added, removed or changed in it.
    void bandAdded(TFcBand& band, const TFcRect& local, const TFcRect& localDamage);
    void bandRemoved(TFcBand& band, const TFcRect& local, const TFcRect& localDamage);
    void bandChanged(TFcBand& band, const TFcRect& before, const TFcRect& beforeDamage,
                     const TFcRect& after, const TFcRect& afterDamage);
    void freshBox(const TFcBand& band) const;
    // The band a line belongs in: its ends' band when they share one, else the canvas's own.
    TFcBand& lineBand(const TFcConnection& connection) const;
    // Puts a line with these ends (canvas coordinates) into its band's index, or takes it out.
    void linkLine(TFcConnection& connection, TFcPoint from, TFcPoint to);
    void unlinkLine(TFcConnection& connection);
    // The canvas's copy of the font: items keep a pointer to one shared copy of each font
    // instead of a font each (a chart uses two or three for tens of thousands of items).
    const TFcFont* sharedFont(const TFcFont& font);

    std::set<TFcFont> m_fonts; // nodes never move: items point at them until the canvas goes
    const TFcFont* m_lastFont = nullptr; // the one sharedFont gave last
    ObjectList m_objects;
    ConnectionList m_connections;
    std::vector<std::unique_ptr<TFcBand>> m_bands; // the canvas's own band first
    TFcBand* m_root = nullptr;
    std::uint64_t m_nextOrder = 1;
    std::vector<TFcObject*> m_selObjects;
    std::vector<TFcConnection*> m_selConnections;
    TFcListener* m_listener = nullptr;

    int m_updateDepth = 0;
    bool m_pendingRepaint = false;
    TFcRect m_pendingArea;

    // The extent is kept current for growth; a change that may shrink it marks it stale and it is
    // recomputed once when next read, so long edit sequences (removing a chart from the bottom
    // up) never rescan all objects per step.
    mutable TFcRect m_extent;
    mutable bool m_extentStale = false;
    TFcSize m_client{0, 0};
    // Pinned into the limits whenever they are computed afresh.
    mutable TFcPoint m_scroll{0, 0};

    TFcDrag m_drag;
    TFcObject* m_dragObject = nullptr;      // object pressed near (connecting) or resized
    TFcObject* m_pressedSelected = nullptr; // already selected object pressed without Shift
    int m_dragMark = -1;
};

// TFcUpdateBracket: BeginUpdate on creation, EndUpdate however the bracketed work ends, so the
// canvas repaints once for the whole operation.
class TFcUpdateBracket {
public:
    explicit TFcUpdateBracket(TFlowChart& canvas) : m_canvas(canvas) { m_canvas.BeginUpdate(); }
    ~TFcUpdateBracket() { m_canvas.EndUpdate(); }
    TFcUpdateBracket(const TFcUpdateBracket&) = delete;
    TFcUpdateBracket& operator=(const TFcUpdateBracket&) = delete;

private:
    TFlowChart& m_canvas;
};
