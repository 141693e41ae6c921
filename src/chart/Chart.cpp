#include "chart/Chart.h"

#include "records/BlockCatalog.h"

#include <algorithm>
#include <cassert>

namespace {

constexpr int kItemWidth = 90;
constexpr int kItemHeight = 32;
constexpr int kMarkerWidth = 40;
constexpr int kMarkerHeight = 14;
constexpr int kRaisedBevel = 5;

const TFcFont kCaptionFont{"Courier New", 16, true, fcBlack};

// A chunk holds about this many items; one twice as long is cut into pieces of this size, and one
// under a quarter of it joins its neighbour. An edit costs about this many items laid out plus
// one band shifted per chunk below it.
constexpr std::size_t kChunkItems = 96;

} // namespace

// A run of consecutive chart items with their own canvas band.
struct TChartChunk {
    TFcBand* band = nullptr;
    std::vector<std::unique_ptr<TChartItem>> items;
    std::size_t pos = 0; // position among the chunks
    // The band's revision when the chunk was last laid out, and the height of its items then:
    // while the revision stays, the chunk is still stacked as it was and only needs shifting.
    std::uint64_t laidOut = ~std::uint64_t{0};
    int top = 0; // of the first item then, relative to the band
    int height = 0;
};

// ---- items ----

const char* TChartItem::ClassName() const {
    switch (m_class) {
    case TChartItemClass::StartPanel:
        return "TStartPanel";
    case TChartItemClass::NormalSpot:
        return "TNormalSpot";
    case TChartItemClass::SeqPanel:
        return "TSeqPanel";
    case TChartItemClass::EndPanel:
        return "TEndPanel";
    }
    return "";
}

int TChartItem::Top() const {
    return m_top + (m_chunk ? m_chunk->band->Offset() : 0);
}

TFcBand* TChartItem::newBand() const {
    return m_chart->m_makeBand;
}

TPanelItem::TPanelItem(TChartItemClass cls, TChart& chart, TFlowChart& canvas, TFcShape shape,
                       TFcPoint origin)
    : TChartItem(cls, chart, canvas),
      Object(canvas.AddObject(origin.x, origin.y, kItemWidth, kItemHeight, shape, newBand())) {
    m_main = Object;
}

TPanelItem::~TPanelItem() {
    if (!ObjectsGone())
        Canvas().RemoveObject(Object);
}

TStartPanel::TStartPanel(TChart& chart, TFlowChart& canvas)
    : TPanelItem(TChartItemClass::StartPanel, chart, canvas, ShapeRoundRect) {
    Object->SetFillColor(fcRgb(255, 255, 0));
    Object->SetEdgeFlags(kRaisedBevel);
    Object->SetFont(kCaptionFont);
    Object->SetTextHorz(1);
    Object->SetTextVert(1);
    Object->SetText("BEGIN");
    Object->Kind = KindStartTerminal;
}

TSeqPanel::TSeqPanel(TChart& chart, TFlowChart& canvas, std::string_view caption, TFcPoint origin)
    : TPanelItem(TChartItemClass::SeqPanel, chart, canvas, ShapeRectangle, origin) {
    Object->SetFillColor(fcRgb(0, 128, 128));
    Object->SetEdgeFlags(kRaisedBevel);
    TFcFont font = kCaptionFont;
    font.Color = fcWhite;
    Object->SetFont(font);
    Object->SetTextHorz(1);
    Object->SetTextVert(1);
    Object->SetImageHorz(0);
    Object->SetImageVert(1);
    Object->SetText(std::string(caption));
}

TEndPanel::TEndPanel(TChart& chart, TFlowChart& canvas)
    : TPanelItem(TChartItemClass::EndPanel, chart, canvas, ShapeNone) {
    Object->SetOutlineWidth(0);
    Object->SetImageIndex(0);
    Object->SetImageHorz(1);
    Object->SetImageVert(0);
    Object->Kind = KindEndTerminal;
}

TNormalSpot::TNormalSpot(TChart& chart, TFlowChart& canvas, TFcPoint origin)
    : TChartItem(TChartItemClass::NormalSpot, chart, canvas) {
    const int x = origin.x, y = origin.y;
    TFcBand* band = newBand();
    Base = canvas.AddObject(x, y, kItemWidth, kItemHeight, ShapeNone, band);
    Marker = canvas.AddObject(x + TChart::MarkerLeft, y + TChart::MarkerTop, kMarkerWidth,
                              kMarkerHeight, ShapeRectangle, band);
    Marker->SetFillColor(fcRgb(255, 235, 170));
    Marker->SetEdgeFlags(kRaisedBevel);
    Marker->Kind = KindSpotMarker;
    Base->AddGroupMember(Marker);
    UpperAnchor = canvas.AddObject(x + 45, y - 1, 0, 0, ShapeNone, band);
    Base->AddGroupMember(UpperAnchor);
    LowerAnchor = canvas.AddObject(x + 45, y + kItemHeight, 0, 0, ShapeNone, band);
    Base->AddGroupMember(LowerAnchor);
    canvas.AddConnection(UpperAnchor, Marker, 0, 2);
    canvas.AddConnection(Marker, LowerAnchor, 10, 0);
    m_main = Base;
}

TNormalSpot::~TNormalSpot() {
    if (ObjectsGone())
        return;
    // Removing the marker also removes both lines.
    Canvas().RemoveObject(UpperAnchor);
    Canvas().RemoveObject(LowerAnchor);
    Canvas().RemoveObject(Base);
    Canvas().RemoveObject(Marker);
}

// ---- the chart ----

TChart::TChart(TFlowChart& canvas, PostFunction post) : m_canvas(canvas), m_post(std::move(post)) {
    m_canvas.OnSelection = [this](TFlowChart& sender, TFcItem& item, bool& allow) {
        FlowChart1Selection(sender, item, allow);
    };
}

TChart::~TChart() {
    m_canvas.OnSelection = nullptr;
    OnChange = nullptr; // whoever listens may already be half gone
    ClearChart();
}

TChartItem* TChart::Item(int i) const {
    if (i < 0 || i >= Count())
        return nullptr;
    return &itemAt(static_cast<std::size_t>(i));
}

std::vector<TFcObject*> TChart::Blocks() const {
    std::vector<TFcObject*> blocks;
    blocks.reserve(static_cast<std::size_t>(BlockCount()));
    for (const auto& chunk : m_chunks)
        for (const auto& item : chunk->items)
            if (item->Class() == TChartItemClass::SeqPanel)
                blocks.push_back(static_cast<const TSeqPanel&>(*item).Object);
    return blocks;
}

std::vector<std::string_view> TChart::BlockRecords() const {
    std::vector<std::string_view> records;
    records.reserve(static_cast<std::size_t>(BlockCount()));
    for (const auto& chunk : m_chunks)
        for (const auto& item : chunk->items)
            if (item->Class() == TChartItemClass::SeqPanel)
                records.emplace_back(static_cast<const TSeqPanel&>(*item).Object->Payload);
    return records;
}

int TChart::BlockNumberOf(const TFcObject* object) const {
    // Blocks stand at the even positions from 2 on: start, spot, block, spot, block, ...
    const int i = IndexOfBlock(object);
    return i < 0 ? 0 : i / 2;
}

TFcObject* TChart::BlockAt(int number) const {
    if (number < 1 || number > BlockCount())
        return nullptr;
    return static_cast<TSeqPanel&>(itemAt(static_cast<std::size_t>(2 * number))).Object;
}

TBlockCopy NewBlockCopy(BlockType type) {
    return {type, DefaultRecord(type), {std::string(BlockInfo(type).caption), BlockHeight}};
}

TFcObject* TChart::SpotMarkerAt(int number) const {
    if (number < 0 || number > BlockCount())
        return nullptr;
    return static_cast<TNormalSpot&>(itemAt(static_cast<std::size_t>(2 * number + 1))).Marker;
}

int TChart::SpotNumberOf(const TFcObject* marker) const {
    const int i = IndexOfSpotMarker(marker);
    return i < 0 ? -1 : i / 2;
}

namespace {

TBlockCopy copyOf(const TFcObject& object) {
    return {BlockTypeOfKind(object.Kind).value_or(BlockType::Direct),
            object.Payload,
            {object.Text(), object.Height()}};
}

} // namespace

std::vector<TBlockCopy> TChart::CopyBlocks(int first, int count) const {
    std::vector<TBlockCopy> copies;
    const int from = std::max(first, 1);
    const int to = std::min(first + std::max(count, 0) - 1, BlockCount());
    if (to >= from)
        copies.reserve(static_cast<std::size_t>(to - from + 1));
    for (int number = from; number <= to; ++number)
        copies.push_back(copyOf(*BlockAt(number)));
    return copies;
}

void TChart::changed() {
    ++m_revision;
    if (OnChange)
        OnChange();
}

void TChart::NewChart() {
    // Whatever is still in the list would otherwise keep its objects on the canvas for good.
    if (!m_chunks.empty())
        ClearChart();
    TFcUpdateBracket bracket(m_canvas);
    makeNear(0);
    insertItem(0, std::make_unique<TStartPanel>(*this, m_canvas));
    auto spot = std::make_unique<TNormalSpot>(*this, m_canvas);
    TFcObject* marker = spot->Marker;
    insertItem(1, std::move(spot));
    insertItem(2, std::make_unique<TEndPanel>(*this, m_canvas));
    m_canvas.SelectObject(marker);
    for (std::size_t i = 0; i < m_count; ++i)
        SetItemLeft(itemAt(i), LayoutLeft);
    Relayout();
    m_startObject = static_cast<TPanelItem&>(itemAt(0)).Object;
    m_endObject = static_cast<TPanelItem&>(itemAt(m_count - 1)).Object;
    checkInvariant();
    changed();
}

void TChart::ClearChart() {
    TFcUpdateBracket bracket(m_canvas);
    // Everything goes: forget the objects kept at hand at once rather than item by item.
    m_startObject = nullptr;
    m_endObject = nullptr;
    m_lastAppendedBlock = nullptr;
    m_pendingSelection = nullptr;
    // Each chunk's band goes with all its objects in one step; the items then have nothing left
    // on the canvas to remove.
    m_makeBand = nullptr;
    while (!m_chunks.empty()) {
        TChartChunk& chunk = *m_chunks.back();
        m_canvas.DropBand(chunk.band);
        for (auto& item : chunk.items)
            item->m_objectsGone = true;
        chunk.items.clear();
        m_chunks.pop_back();
    }
    m_firsts.clear();
    m_count = 0;
    changed();
}

std::unique_ptr<TSeqPanel> TChart::makeBlock(int blockType, std::string record, TFcPoint origin) {
    const TBlockInfo* info = FindBlockInfo(blockType);
    auto block = std::make_unique<TSeqPanel>(*this, m_canvas, info->caption, origin);
    block->Object->SetImageIndex(info->imageIndex());
    block->Object->Kind = info->kind;
    block->Object->Payload = std::move(record);
    return block;
}

void TChart::InsertBlock(int blockType) {
    TFcObject* s = m_canvas.SelectedObject();
    if (!s || !IsBlockType(blockType))
        return;
    const int at = IndexOfSpotMarker(s);
    if (at < 0 || s->Kind != KindSpotMarker)
        return;
    TFcUpdateBracket bracket(m_canvas);
    const auto position = static_cast<std::size_t>(at) + 1;
    // Made near where it will stand rather than at the origin, so its upper anchor never pokes
    // above the canvas and the canvas has no reason to measure its whole extent again.
    const TFcObject* selectedBase = static_cast<TNormalSpot&>(itemAt(position - 1)).Base;
    makeNear(position);
    const TFcPoint origin{LayoutLeft, std::max(1, selectedBase->Top())};
    auto spot = std::make_unique<TNormalSpot>(*this, m_canvas, origin);
    TNormalSpot& spotRef = *spot;
    insertItem(position, std::move(spot));
    SetItemLeft(spotRef, LayoutLeft);

    auto block = makeBlock(blockType, DefaultRecord(blockType));
    TSeqPanel& blockRef = *block;
    insertItem(position, std::move(block));
    SetItemLeft(blockRef, LayoutLeft);

    Relayout();
    m_canvas.SelectObject(blockRef.Object);
    m_canvas.ScrollIntoView(blockRef.Object);
    checkInvariant();
    changed();
}

TFcObject* TChart::AppendBlock(int blockType) {
    return appendBlock(blockType, nullptr, nullptr);
}

TFcObject* TChart::AppendBlock(int blockType, std::string record) {
    return appendBlock(blockType, &record, nullptr);
}

TFcObject* TChart::AppendBlock(TBlockCopy copy) {
    return appendBlock(ToInt(copy.type), &copy.record, &copy.caption);
}

TFcObject* TChart::appendBlock(int blockType, std::string* record, const TBlockCaption* caption) {
    if (!IsBlockType(blockType) || m_count < 3)
        return nullptr;
    const std::size_t c = m_count;
    // The block and its spot are made where the layout will put them, below the last spot, so
    // that laying out a chart appended block by block moves nothing but the end terminal.
    const TChartItem& lastSpot = itemAt(c - 2);
    const int top = lastSpot.Top() + ItemHeight(lastSpot);
    // A full last chunk hands the end terminal to a new one, where the appended items are made:
    // a chart read from a file fills chunk after chunk and never moves an item between bands.
    if (m_chunks.back()->items.size() >= kChunkItems)
        splitChunk(m_chunks.size() - 1, m_chunks.back()->items.size() - 1);
    makeNear(c - 1);
    const int height = caption ? caption->height : BlockHeight;
    auto spot = std::make_unique<TNormalSpot>(*this, m_canvas, TFcPoint{LayoutLeft, top + height});
    TNormalSpot& spotRef = *spot;
    insertItem(c - 1, std::move(spot));
    PlaceItem(spotRef, LayoutLeft, top + height); // made in place: this only notes where

    auto block = makeBlock(blockType, record ? std::move(*record) : DefaultRecord(blockType),
                           {LayoutLeft, top});
    TSeqPanel& blockRef = *block;
    insertItem(c - 1, std::move(block));
    PlaceItem(blockRef, LayoutLeft, top);
    if (caption && (caption->height != BlockHeight || blockRef.Object->Text() != caption->text))
        SetBlockCaption(blockRef.Object, *caption);
    m_lastAppendedBlock = blockRef.Object;
    checkInvariant();
    changed();
    return m_lastAppendedBlock;
}

void TChart::DeleteBlock(TFcObject* object) {
    const int i = IndexOfBlock(object);
    if (i < 0)
        return;
    TFcUpdateBracket bracket(m_canvas);
    const auto position = static_cast<std::size_t>(i);
    destroyItem(position); // the block
    destroyItem(position); // the spot that was below it
    Relayout();
    TChartItem* above = &itemAt(position - 1);
    if (above->Class() == TChartItemClass::NormalSpot) {
        TFcObject* marker = static_cast<TNormalSpot&>(*above).Marker;
        m_canvas.ScrollIntoView(marker);
        m_pendingSelection = marker;
        if (m_post) {
            std::weak_ptr<TChart*> alive = m_alive;
            m_post([alive] {
                if (auto chart = alive.lock())
                    (*chart)->RunPendingSelection();
            });
        } else {
            RunPendingSelection();
        }
    }
    checkInvariant();
    changed();
}

void TChart::RunPendingSelection() {
    if (m_pendingSelection)
        m_canvas.SelectObject(m_pendingSelection);
}

void TChart::SetBlockHeight(TFcObject* object, int height) {
    const int i = IndexOfBlock(object);
    if (i < 0)
        return;
    noteChange(object);
    object->SetHeight(height);
    itemAt(static_cast<std::size_t>(i)).Height = height;
}

bool TChart::SetBlockRecord(TFcObject* object, std::string record) {
    if (IndexOfBlock(object) < 0 || object->Payload == record)
        return false;
    noteChange(object);
    object->Payload = std::move(record);
    changed();
    return true;
}

void TChart::SetBlockCaption(TFcObject* object, const TBlockCaption& caption) {
    if (IndexOfBlock(object) < 0)
        return;
    noteChange(object);
    object->SetText(caption.text);
    SetBlockHeight(object, caption.height);
}

void TChart::InsertBlocks(int spot, const std::vector<TBlockCopy>& blocks) {
    if (m_count < 3 || blocks.empty())
        return;
    spot = std::clamp(spot, 0, BlockCount());
    TFcUpdateBracket bracket(m_canvas);
    const auto position = static_cast<std::size_t>(2 * spot + 2);
    // New spots are made near where they will stand (see InsertBlock).
    const TFcObject* base = static_cast<TNormalSpot&>(itemAt(position - 1)).Base;
    makeNear(position);
    const TFcPoint origin{LayoutLeft, std::max(1, base->Top())};
    std::vector<std::unique_ptr<TChartItem>> made;
    made.reserve(2 * blocks.size());
    for (const TBlockCopy& copy : blocks) {
        auto block = makeBlock(ToInt(copy.type), copy.record);
        block->Object->SetText(copy.caption.text);
        block->Object->SetHeight(copy.caption.height);
        block->Height = copy.caption.height;
        made.push_back(std::move(block));
        made.push_back(std::make_unique<TNormalSpot>(*this, m_canvas, origin));
    }
    for (auto& item : made)
        SetItemLeft(*item, LayoutLeft);
    putItems(position, std::move(made));
    Relayout();
    checkInvariant();
    changed();
}

void TChart::RemoveBlocks(int first, int count) {
    const int from = std::max(first, 1);
    const int to = std::min(first + std::max(count, 0) - 1, BlockCount());
    if (to < from)
        return;
    TFcUpdateBracket bracket(m_canvas);
    std::vector<std::unique_ptr<TChartItem>> removed =
        takeItems(static_cast<std::size_t>(2 * from), static_cast<std::size_t>(2 * to + 2));
    removed.clear(); // each item takes its objects off the canvas
    tidyChunks();
    Relayout();
    checkInvariant();
    changed();
}

void TChart::RestoreBlock(int number, const TBlockCopy& copy) {
    TFcObject* object = BlockAt(number);
    if (!object)
        return;
    if (BlockTypeOfKind(object->Kind) != copy.type) {
        TFcUpdateBracket bracket(m_canvas);
        RemoveBlocks(number, 1);
        InsertBlocks(number - 1, {copy});
        return;
    }
    const bool relayout = object->Height() != copy.caption.height;
    SetBlockRecord(object, copy.record);
    SetBlockCaption(object, copy.caption);
    if (relayout)
        Relayout();
}

void TChart::StartRecording() {
    m_recording = true;
    m_recorded.clear();
}

std::vector<TBlockChange> TChart::StopRecording() {
    m_recording = false;
    std::sort(m_recorded.begin(), m_recorded.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TBlockChange> changes;
    for (auto& [number, before] : m_recorded) {
        const TFcObject* object = BlockAt(number);
        if (!object)
            continue;
        TBlockCopy after = copyOf(*object);
        if (after != before)
            changes.push_back({number, std::move(before), std::move(after)});
    }
    m_recorded.clear();
    return changes;
}

void TChart::noteChange(const TFcObject* object) {
    if (!m_recording)
        return;
    const int number = BlockNumberOf(object);
    if (number < 1)
        return;
    for (const auto& recorded : m_recorded)
        if (recorded.first == number)
            return;
    m_recorded.emplace_back(number, copyOf(*object));
}

void TChart::Relayout() {
    TFcUpdateBracket bracket(m_canvas);
    // A chunk stacked as it was last laid out moves as a whole; a run of such chunks that all
    // move by the same amount (everything below an edit) is shifted in one step.
    int runShift = 0;
    m_bandList.clear();
    auto flush = [this, &runShift] {
        m_canvas.ShiftBands(m_bandList, runShift);
        m_bandList.clear();
    };
    int y = LayoutTop;
    for (const auto& chunk : m_chunks) {
        TChartChunk& c = *chunk;
        if (c.items.empty())
            continue;
        if (c.laidOut != c.band->Revision()) {
            flush();
            layOutChunk(c, y);
            continue;
        }
        const int shift = y - (c.top + c.band->Offset());
        if (shift != runShift)
            flush();
        runShift = shift;
        if (shift != 0)
            m_bandList.push_back(c.band);
        y += c.height;
    }
    flush();
}

void TChart::layOutChunk(TChartChunk& chunk, int& y) {
    // Below an insert or a removal every item moves by the same amount: such a run of items is
    // handed to the canvas as one shift instead of being placed object by object.
    const int y0 = y;
    int runShift = 0;
    m_shiftList.clear();
    auto flush = [this, &runShift] {
        m_canvas.ShiftObjects(m_shiftList, runShift);
        m_shiftList.clear();
    };
    for (const auto& item : chunk.items) {
        TChartItem& it = *item;
        const int shift = y - it.m_main->Top();
        if (shift != runShift)
            flush();
        runShift = shift;
        if (shift != 0 && collectShift(it, ItemLeft(it)))
            it.m_top = y - chunk.band->Offset();
        else
            PlaceItem(it, ItemLeft(it), y);
        y += it.m_main->Height();
    }
    flush();
    chunk.top = y0 - chunk.band->Offset();
    chunk.height = y - y0;
    chunk.laidOut = chunk.band->Revision();
}

void TChart::MoveGroup(TFcObject* object, int left, int top) {
    m_groupList.clear();
    // Depth first, each object once: a move group that reaches an object along two paths, or
    // comes back to where it started, must not move anything twice (or forever).
    auto collect = [this](auto& self, TFcObject* o) -> void {
        for (const TFcObject* seen : m_groupList)
            if (seen == o)
                return;
        m_groupList.push_back(o);
        for (TFcObject* member : o->GroupMembers())
            self(self, member);
    };
    collect(collect, object);
    const int l0 = object->Left();
    const int t0 = object->Top();
    for (TFcObject* m : m_groupList)
        m->SetBounds(left + m->Left() - l0, top + m->Top() - t0, m->Width(), m->Height());
}

// A spot whose move group is what its constructor made (marker and anchors, none with members of
// its own) is moved directly: the same end positions as MoveGroup followed by putting the marker
// back, without collecting the group for every spot of a long chart.
static bool hasOwnGroupOnly(const TNormalSpot& spot) {
    const auto& group = spot.Base->GroupMembers();
    return group.size() == 3 && group[0] == spot.Marker && group[1] == spot.UpperAnchor &&
           group[2] == spot.LowerAnchor && spot.Marker->GroupMemberCount() == 0 &&
           spot.UpperAnchor->GroupMemberCount() == 0 && spot.LowerAnchor->GroupMemberCount() == 0;
}

static void moveBy(TFcObject* o, int dx, int dy) {
    o->SetBounds(o->Left() + dx, o->Top() + dy, o->Width(), o->Height());
}

void TChart::placeSpot(TNormalSpot& spot, int left, int top) {
    TFcObject* base = spot.Base;
    if (hasOwnGroupOnly(spot)) {
        const int dx = left - base->Left();
        const int dy = top - base->Top();
        if (dx != 0 || dy != 0) {
            base->SetBounds(left, top, base->Width(), base->Height());
            moveBy(spot.UpperAnchor, dx, dy);
            moveBy(spot.LowerAnchor, dx, dy);
        }
    } else {
        MoveGroup(base, left, top);
    }
    spot.Marker->SetBounds(base->Left() + MarkerLeft, base->Top() + MarkerTop, spot.Marker->Width(),
                           spot.Marker->Height());
}

bool TChart::collectShift(TChartItem& item, int left) {
    if (item.Class() != TChartItemClass::NormalSpot) {
        TFcObject* o = static_cast<TPanelItem&>(item).Object;
        if (o->Left() != left)
            return false;
        m_shiftList.push_back(o);
        return true;
    }
    auto& spot = static_cast<TNormalSpot&>(item);
    const TFcObject* base = spot.Base;
    if (base->Left() != left || !hasOwnGroupOnly(spot) ||
        spot.Marker->Left() != base->Left() + MarkerLeft ||
        spot.Marker->Top() != base->Top() + MarkerTop)
        return false;
    m_shiftList.insert(m_shiftList.end(),
                       {spot.Base, spot.Marker, spot.UpperAnchor, spot.LowerAnchor});
    return true;
}

void TChart::PlaceItem(TChartItem& item, int left, int top) {
    if (item.Class() == TChartItemClass::NormalSpot) {
        placeSpot(static_cast<TNormalSpot&>(item), left, top);
    } else {
        TFcObject* o = static_cast<TPanelItem&>(item).Object;
        o->SetBounds(left, top, o->Width(), o->Height());
    }
    item.Left = left;
    item.m_top = top - (item.m_chunk ? item.m_chunk->band->Offset() : 0);
}

void TChart::SetItemLeft(TChartItem& item, int left) {
    if (item.Class() == TChartItemClass::NormalSpot) {
        auto& spot = static_cast<TNormalSpot&>(item);
        placeSpot(spot, left, spot.Base->Top());
    } else {
        static_cast<TPanelItem&>(item).Object->SetLeft(left);
    }
    item.Left = left;
}

int TChart::indexOf(const TFcObject* object, TChartItemClass cls, Role role) const {
    if (!object)
        return -1;
    // A block object, spot marker and spot base of this chart's items point back at their item.
    const auto* item = static_cast<const TChartItem*>(object->Tag);
    if (!item || item->m_chart != this || item->Class() != cls)
        return -1;
    Role is = Role::Object;
    if (cls == TChartItemClass::NormalSpot)
        is = object == static_cast<const TNormalSpot*>(item)->Marker ? Role::Marker : Role::Base;
    if (is != role)
        return -1;
    return static_cast<int>(indexOf(*item));
}

int TChart::IndexOfBlock(const TFcObject* object) const {
    return indexOf(object, TChartItemClass::SeqPanel, Role::Object);
}

int TChart::IndexOfSpotMarker(const TFcObject* object) const {
    return indexOf(object, TChartItemClass::NormalSpot, Role::Marker);
}

int TChart::IndexOfSpotBase(const TFcObject* object) const {
    return indexOf(object, TChartItemClass::NormalSpot, Role::Base);
}

bool TChart::SelectionAllowed(TFcItem& item) const {
    const TFcObject* o = item.asObject();
    if (!o)
        return false;
    // A spot's anchors have no area: selected, the selection would seem to vanish.
    if (o->Width() == 0 || o->Height() == 0)
        return false;
    return o != m_startObject && o != m_endObject && IndexOfSpotBase(o) == -1;
}

void TChart::FlowChart1Selection(TFlowChart&, TFcItem& item, bool& allow) {
    allow = SelectionAllowed(item);
}

// ---- list keeping ----

void TChart::insertItem(std::size_t position, std::unique_ptr<TChartItem> item) {
    std::vector<std::unique_ptr<TChartItem>> one;
    one.push_back(std::move(item));
    putItems(position, std::move(one));
}

void TChart::destroyItem(std::size_t position) {
    takeItems(position, position + 1).clear();
    tidyChunks();
}

TChartItem& TChart::itemAt(std::size_t position) const {
    const TChartChunk& chunk = chunkAt(position);
    return *chunk.items[position - m_firsts[chunk.pos]];
}

std::size_t TChart::indexOf(const TChartItem& item) const {
    return m_firsts[item.m_chunk->pos] + item.m_local;
}

std::size_t TChart::chunkIndexAt(std::size_t position) const {
    // The last chunk whose first item is at or before the position.
    const auto it = std::upper_bound(m_firsts.begin(), m_firsts.end(), position);
    return static_cast<std::size_t>(it - m_firsts.begin()) - 1;
}

TChartChunk& TChart::chunkAt(std::size_t position) const {
    return *m_chunks[chunkIndexAt(position)];
}

TFcBand* TChart::addBand() {
    // A chunk of kChunkItems items: half of them spots of four objects and two lines, half blocks.
    return m_canvas.AddBand(kChunkItems * 5 / 2 + 8, kChunkItems + 4);
}

void TChart::dropBand(TFcBand* band) {
    if (m_makeBand == band)
        m_makeBand = nullptr;
    m_canvas.RemoveBand(band);
}

void TChart::makeNear(std::size_t position) {
    m_makeBand = m_chunks.empty() ? nullptr : chunkAt(std::min(position, m_count)).band;
}

void TChart::putItems(std::size_t position, std::vector<std::unique_ptr<TChartItem>> items) {
    if (items.empty())
        return;
    if (m_chunks.empty()) {
        m_chunks.push_back(std::make_unique<TChartChunk>());
        m_chunks.back()->band = addBand();
        m_firsts.push_back(0);
    }
    const std::size_t at = chunkIndexAt(std::min(position, m_count));
    TChartChunk& chunk = *m_chunks[at];
    const std::size_t local = position - m_firsts[at];
    // Objects made elsewhere come into the chunk's band, where they stand.
    std::vector<TFcObject*> strangers;
    for (const auto& item : items) {
        registerItem(*item);
        enterChunk(*item, chunk, strangers);
    }
    m_canvas.MoveToBand(strangers, chunk.band);
    m_count += items.size();
    chunk.items.insert(chunk.items.begin() + static_cast<std::ptrdiff_t>(local),
                       std::make_move_iterator(items.begin()),
                       std::make_move_iterator(items.end()));
    for (std::size_t i = local; i < chunk.items.size(); ++i)
        chunk.items[i]->m_local = i;
    renumberChunks(at + 1, at);
    if (chunk.items.size() > 2 * kChunkItems)
        splitChunk(at, kChunkItems);
}

std::vector<std::unique_ptr<TChartItem>> TChart::takeItems(std::size_t begin, std::size_t end) {
    std::vector<std::unique_ptr<TChartItem>> taken;
    end = std::min(end, m_count);
    if (begin >= end)
        return taken;
    taken.reserve(end - begin);
    const std::size_t first = chunkIndexAt(begin);
    std::size_t ci = first;
    for (; ci < m_chunks.size() && m_firsts[ci] < end; ++ci) {
        TChartChunk& chunk = *m_chunks[ci];
        const std::size_t chunkFirst = m_firsts[ci];
        const std::size_t from = std::max(begin, chunkFirst);
        const std::size_t to = std::min(end, chunkFirst + chunk.items.size());
        if (from >= to)
            continue;
        const auto b = chunk.items.begin() + static_cast<std::ptrdiff_t>(from - chunkFirst);
        const auto e = chunk.items.begin() + static_cast<std::ptrdiff_t>(to - chunkFirst);
        for (auto it = b; it != e; ++it) {
            unregisterItem(**it);
            (*it)->m_top = (*it)->Top();
            (*it)->m_chunk = nullptr;
            taken.push_back(std::move(*it));
        }
        chunk.items.erase(b, e);
        for (std::size_t i = from - chunkFirst; i < chunk.items.size(); ++i)
            chunk.items[i]->m_local = i;
    }
    m_count -= taken.size();
    renumberChunks(first + 1, ci - 1); // the chunks from first to ci - 1 lost items
    return taken;
}

void TChart::enterChunk(TChartItem& item, TChartChunk& chunk, std::vector<TFcObject*>& moving) {
    const int top = item.Top();
    item.m_chunk = &chunk;
    item.m_top = top - chunk.band->Offset();
    if (item.m_main->Band() == chunk.band)
        return;
    if (item.Class() == TChartItemClass::NormalSpot) {
        const auto& spot = static_cast<const TNormalSpot&>(item);
        moving.insert(moving.end(), {spot.Base, spot.Marker, spot.UpperAnchor, spot.LowerAnchor});
    } else {
        moving.push_back(item.m_main);
    }
}

void TChart::renumberChunks(std::size_t fromChunk, std::size_t through) {
    const std::size_t n = m_chunks.size();
    std::size_t ci = std::max<std::size_t>(fromChunk, 1);
    // Up to the chunk after the last one that changed size, the first positions are summed
    // again; past it they all move by the same amount, added without touching the chunks.
    const std::size_t summed = through < n ? through + 1 : n - 1;
    std::ptrdiff_t moved = 0;
    for (; ci < n && ci <= summed; ++ci) {
        const std::size_t first = m_firsts[ci - 1] + m_chunks[ci - 1]->items.size();
        moved = static_cast<std::ptrdiff_t>(first) - static_cast<std::ptrdiff_t>(m_firsts[ci]);
        m_firsts[ci] = first;
    }
    for (; ci < n; ++ci)
        m_firsts[ci] = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(m_firsts[ci]) + moved);
}

void TChart::reindexChunks() {
    m_firsts.resize(m_chunks.size());
    for (std::size_t ci = 0; ci < m_chunks.size(); ++ci)
        m_chunks[ci]->pos = ci;
    if (!m_firsts.empty())
        m_firsts[0] = 0;
    renumberChunks(1);
}

void TChart::splitChunk(std::size_t at, std::size_t cut) {
    // The items from cut on go, in pieces of kChunkItems, to new chunks with bands of their own.
    TChartChunk& chunk = *m_chunks[at];
    std::vector<std::unique_ptr<TChartChunk>> pieces;
    for (std::size_t from = cut; from < chunk.items.size(); from += kChunkItems) {
        auto piece = std::make_unique<TChartChunk>();
        piece->band = addBand();
        const std::size_t to = std::min(from + kChunkItems, chunk.items.size());
        std::vector<TFcObject*> objects;
        for (std::size_t i = from; i < to; ++i) {
            std::unique_ptr<TChartItem>& item = chunk.items[i];
            enterChunk(*item, *piece, objects);
            item->m_local = i - from;
            piece->items.push_back(std::move(item));
        }
        m_canvas.MoveToBand(objects, piece->band);
        pieces.push_back(std::move(piece));
    }
    chunk.items.resize(cut);
    chunk.laidOut = ~std::uint64_t{0};
    m_chunks.insert(m_chunks.begin() + static_cast<std::ptrdiff_t>(at + 1),
                    std::make_move_iterator(pieces.begin()), std::make_move_iterator(pieces.end()));
    reindexChunks();
}

void TChart::tidyChunks() {
    // Empty chunks go; a short chunk takes in the one after it while the two stay short of a
    // chunk and a half, so a chart thinned by removals keeps few chunks.
    for (std::size_t ci = 0; ci < m_chunks.size();) {
        TChartChunk& chunk = *m_chunks[ci];
        if (chunk.items.empty() && m_chunks.size() > 1) {
            dropBand(chunk.band);
            m_chunks.erase(m_chunks.begin() + static_cast<std::ptrdiff_t>(ci));
            continue;
        }
        if (ci + 1 < m_chunks.size() && chunk.items.size() < kChunkItems / 4 &&
            chunk.items.size() + m_chunks[ci + 1]->items.size() <= kChunkItems * 3 / 2) {
            TChartChunk& next = *m_chunks[ci + 1];
            std::vector<TFcObject*> objects;
            for (auto& item : next.items) {
                enterChunk(*item, chunk, objects);
                item->m_local = chunk.items.size();
                chunk.items.push_back(std::move(item));
            }
            m_canvas.MoveToBand(objects, chunk.band);
            dropBand(next.band);
            m_chunks.erase(m_chunks.begin() + static_cast<std::ptrdiff_t>(ci + 1));
            continue; // it may take in the next one too
        }
        ++ci;
    }
    reindexChunks();
}

void TChart::registerItem(TChartItem& item) {
    if (item.Class() == TChartItemClass::NormalSpot) {
        auto& spot = static_cast<TNormalSpot&>(item);
        spot.Marker->Tag = &item;
        spot.Base->Tag = &item;
    } else {
        static_cast<TPanelItem&>(item).Object->Tag = &item;
    }
}

void TChart::unregisterItem(const TChartItem& item) {
    if (item.Class() == TChartItemClass::NormalSpot) {
        const auto& spot = static_cast<const TNormalSpot&>(item);
        spot.Marker->Tag = nullptr;
        spot.Base->Tag = nullptr;
        if (m_pendingSelection == spot.Marker)
            m_pendingSelection = nullptr;
    } else {
        TFcObject* o = static_cast<const TPanelItem&>(item).Object;
        o->Tag = nullptr;
        if (m_lastAppendedBlock == o)
            m_lastAppendedBlock = nullptr;
        if (m_startObject == o)
            m_startObject = nullptr;
        if (m_endObject == o)
            m_endObject = nullptr;
    }
}

bool TChart::InvariantHolds() const {
    const std::size_t n = m_count;
    if (n == 0)
        return true; // cleared, until NewChart
    if (n < 3 || n % 2 != 1)
        return false;
    std::size_t i = 0;
    if (m_firsts.size() != m_chunks.size())
        return false;
    for (const auto& chunk : m_chunks) {
        if (m_firsts[chunk->pos] != i || chunk->items.empty())
            return false;
        for (std::size_t local = 0; local < chunk->items.size(); ++local, ++i) {
            const TChartItem& item = *chunk->items[local];
            if (item.m_chunk != chunk.get() || item.m_local != local)
                return false;
            const auto expected = i == 0       ? TChartItemClass::StartPanel
                                  : i + 1 == n ? TChartItemClass::EndPanel
                                  : i % 2 == 1 ? TChartItemClass::NormalSpot
                                               : TChartItemClass::SeqPanel;
            if (item.Class() != expected)
                return false;
        }
    }
    return i == n;
}

void TChart::checkInvariant() const {
    // O(n): worth it only where assertions are on (the sanitizer builds).
    assert(InvariantHolds());
}
