// The chart sequence: the ordered chain of chart items (start terminal, insertion spots, blocks,
// end terminal) that is the authoritative order of a chart, kept in step with its picture on the
// canvas. Insert, append, delete, resize and lay out; decide what the user may select.
#pragma once

#include "canvas/FlowChart.h"
#include "records/BlockCatalog.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TChart;
struct TChartChunk;

// A block as the chain holds it: type, parameter record, caption and height. What it takes to
// make the block again exactly as it was (undo, the clipboard, a move).
struct TBlockCopy {
    BlockType type = BlockType::Direct;
    std::string record;
    TBlockCaption caption; // the caption shown and the height that goes with it
    bool operator==(const TBlockCopy&) const = default;
};

// A new block of that type as the palette makes it: the default record, the type's caption.
TBlockCopy NewBlockCopy(BlockType type);

// One block changed in place, before and after (its number counted from 1).
struct TBlockChange {
    int number = 0;
    TBlockCopy before;
    TBlockCopy after;
};

enum class TChartItemClass { StartPanel, NormalSpot, SeqPanel, EndPanel };

// Common part of the four chart items: the position the layout last gave the item (0 until it is
// first placed) and the recorded size. The layout reads the height of the item's main canvas
// object, not Height.
class TChartItem {
public:
    virtual ~TChartItem() = default;
    TChartItem(const TChartItem&) = delete;
    TChartItem& operator=(const TChartItem&) = delete;

    TChartItemClass Class() const { return m_class; }
    // "TStartPanel", "TNormalSpot", "TSeqPanel" or "TEndPanel".
    const char* ClassName() const;
    // The object the layout measures: a terminal's or block's Object, a spot's base.
    TFcObject* MainObject() const { return m_main; }

    // The top the layout last gave the item (it follows the item's band when the band shifts).
    int Top() const;
    int Left = 0;
    int Width = 90;
    int Height = 32;

    TChart& Chart() const { return *m_chart; }
    TFlowChart& Canvas() const { return *m_canvas; }

protected:
    TChartItem(TChartItemClass cls, TChart& chart, TFlowChart& canvas)
        : m_class(cls), m_chart(&chart), m_canvas(&canvas) {}
    TFcObject* m_main = nullptr; // set by each item's constructor
    // The item's canvas objects went with its chunk's band: its destructor leaves the canvas be.
    bool ObjectsGone() const { return m_objectsGone; }
    // The band the item's objects are made in: its chunk's, when the chart knows it already.
    TFcBand* newBand() const;

private:
    friend class TChart;
    TChartItemClass m_class;
    TChart* m_chart;
    TFlowChart* m_canvas;
    TChartChunk* m_chunk = nullptr; // the run of items that holds it (none outside the chart)
    std::size_t m_local = 0;        // position within the chunk, kept current by TChart
    int m_top = 0;                  // relative to the chunk's band
    bool m_objectsGone = false;
};

// A terminal or a block: one canvas object, removed from the canvas with the item.
class TPanelItem : public TChartItem {
public:
    ~TPanelItem() override;

    TFcObject* const Object;

protected:
    TPanelItem(TChartItemClass cls, TChart& chart, TFlowChart& canvas, TFcShape shape,
               TFcPoint origin = {});
};

// The start terminal: a yellow rounded rectangle captioned "BEGIN" (kind 512).
class TStartPanel final : public TPanelItem {
public:
    TStartPanel(TChart& chart, TFlowChart& canvas);
};

// A block: a teal rectangle with the block's caption. Its creator sets the image index, the
// kind and the parameter record.
class TSeqPanel final : public TPanelItem {
public:
    // The object's top-left corner starts at origin.
    TSeqPanel(TChart& chart, TFlowChart& canvas, std::string_view caption, TFcPoint origin = {});
};

// The end terminal: nothing but the robot picture (kind 513).
class TEndPanel final : public TPanelItem {
public:
    TEndPanel(TChart& chart, TFlowChart& canvas);
};

// An insertion spot: an invisible 90 x 32 base carrying in its move group a marker (kind 514,
// at (25, 9) inside the base) and two zero-size anchors at (45, -1) and (45, 32), with a line
// from the upper anchor to the marker's top middle and one from its bottom middle to the lower
// anchor. Stacked between two items, the lines join them.
class TNormalSpot final : public TChartItem {
public:
    // The base's top-left corner starts at origin ((0, 0) unless the creator knows better).
    TNormalSpot(TChart& chart, TFlowChart& canvas, TFcPoint origin = {});
    ~TNormalSpot() override;

    TFcObject* UpperAnchor = nullptr;
    TFcObject* LowerAnchor = nullptr;
    TFcObject* Base = nullptr;
    TFcObject* Marker = nullptr;
};

// The chart item list and the operations on it. Owns the items; each item owns its canvas
// objects. The canvas must outlive the chart.
//
// The list is kept in chunks of a few dozen items, each with its own canvas band: an insert or a
// removal renumbers and lays out one chunk and shifts the bands of the chunks below it, so its
// cost does not grow with the chart.
//
// Invariant, after every public operation: item 0 is the TStartPanel, the last item the
// TEndPanel, item 1 a TNormalSpot, and after it zero or more pairs (TSeqPanel, TNormalSpot).
// So the list holds 3 + 2 x blocks items and a chart without blocks holds exactly three items.
// (Only between ClearChart and NewChart is the list empty.)
class TChart {
public:
    // The chain's shape: start terminal, then spot and block in turn, a spot last, end
    // terminal; each item knows its own position (or no item at all between ClearChart and
    // NewChart). Checked after every change in builds with
    // assertions, and by the tests in every build.
    bool InvariantHolds() const;
    // Queues a task to run on the user-interface thread after the current event has finished.
    using PostFunction = std::function<void(std::function<void()>)>;

    static constexpr int LayoutLeft = 70;
    static constexpr int LayoutTop = 16;
    static constexpr int MarkerLeft = 25; // within its spot's base
    static constexpr int MarkerTop = 9;
    static constexpr int NamedBlockHeight = ::NamedBlockHeight; // the catalogue's heights
    static constexpr int BlockHeight = ::BlockHeight;

    // Installs the selection rule as the canvas's selection hook. Without a post function the
    // deferred selection of DeleteBlock runs at once.
    explicit TChart(TFlowChart& canvas, PostFunction post = {});
    ~TChart();
    TChart(const TChart&) = delete;
    TChart& operator=(const TChart&) = delete;

    TFlowChart& Canvas() const { return m_canvas; }

    // ---- the list ----
    int Count() const { return static_cast<int>(m_count); }
    // nullptr outside 0..Count()-1. A binary search among the chunks (BlockAt and SpotMarkerAt
    // too).
    TChartItem* Item(int i) const;
    bool IsEmptyChart() const { return m_count == 3; }
    int BlockCount() const { return m_count >= 3 ? (Count() - 3) / 2 : 0; }
    // The canvas objects of the blocks, from top to bottom.
    std::vector<TFcObject*> Blocks() const;
    // The parameter records of the blocks, from top to bottom; views valid until the chart or a
    // record changes.
    std::vector<std::string_view> BlockRecords() const;
    // The position of a block among the blocks, counted from 1 at the top; 0 for any other
    // object. Constant time.
    int BlockNumberOf(const TFcObject* object) const;
    // The object of block `number` (counted from 1); nullptr outside 1..BlockCount().
    TFcObject* BlockAt(int number) const;
    // Spot `number` is the one below block `number`; spot 0 is the one below the start terminal.
    // Its marker, or nullptr outside 0..BlockCount().
    TFcObject* SpotMarkerAt(int number) const;
    // The spot number of a spot's marker; -1 for any other object. Constant time.
    int SpotNumberOf(const TFcObject* marker) const;
    // Blocks `first` to `first + count - 1` as they stand (numbers from 1, clipped to the chain).
    std::vector<TBlockCopy> CopyBlocks(int first, int count) const;

    // ---- changes ----
    // Counts the changes to what the chart holds: a block added or removed, a block's record
    // replaced by a different one, the chart cleared or begun anew. Layout, heights, captions,
    // selection and scrolling are no change. A listing made at one revision is the chart's
    // listing for as long as the revision stays.
    std::uint64_t Revision() const { return m_revision; }
    // Called after every counted change, once per operation (a chart read from a file calls it
    // once per block: a listener that does real work should gather the calls).
    std::function<void()> OnChange;

    // ---- operations ----
    // Start terminal, one spot, end terminal; selects the spot's marker. Destroys any items
    // still in the list first.
    void NewChart();
    // Destroys every item, last to first, and empties the list.
    void ClearChart();
    // A new block of that type below the selected spot marker, selected and scrolled into view.
    // Nothing happens unless exactly one spot marker is selected and the type is a block type.
    void InsertBlock(int blockType);
    // A new block and spot just before the end terminal, made where the layout will put them
    // below the last spot; nothing else moves (the end terminal waits for Relayout), nothing is
    // selected. Records LastAppendedBlock. Nothing for a type outside the catalogue. Returns the
    // block's object.
    TFcObject* AppendBlock(int blockType);
    // AppendBlock, then the record as the block's parameter record (the chart-file loader's
    // step), without building the default record first.
    TFcObject* AppendBlock(int blockType, std::string record);
    // AppendBlock with the copy's record, caption and height (the chart-file loader's step).
    TFcObject* AppendBlock(TBlockCopy copy);
    // Removes the block with that object and the spot below it, lays out, and selects the
    // marker of the spot above once the current event has finished. Nothing for other objects.
    void DeleteBlock(TFcObject* object);
    // The block's object and item take the height; no layout. Nothing for other objects.
    void SetBlockHeight(TFcObject* object, int height);
    // Replaces the block's parameter record; a change only when the record differs. Nothing for
    // other objects. True when the record changed.
    bool SetBlockRecord(TFcObject* object, std::string record);
    // The block's caption and height; no layout. Nothing for other objects.
    void SetBlockCaption(TFcObject* object, const TBlockCaption& caption);

    // ---- the steps of editing (undo and redo replay them) ----
    // New blocks made from the copies just below spot `spot` (0..BlockCount(), clipped), laid
    // out. One change; the selection is left alone.
    void InsertBlocks(int spot, const std::vector<TBlockCopy>& blocks);
    // Removes blocks `first` to `first + count - 1` (clipped) with the spot below each, laid out.
    // One change; the selection is left alone (removed objects leave it).
    void RemoveBlocks(int first, int count);
    // Block `number` takes the copy's record, caption and height (a block of another type is
    // made anew in its place), laid out when its height changed.
    void RestoreBlock(int number, const TBlockCopy& copy);
    // While recording, every block whose record, caption or height is about to change is copied
    // first; StopRecording gives each such block before and after, in block order, leaving out
    // blocks that came back to what they were. Blocks inserted or removed meanwhile are not
    // followed: record in-place changes only.
    void StartRecording();
    std::vector<TBlockChange> StopRecording();
    // Places every item from the top, each below the previous with no gap. A chunk whose items
    // have not changed since it was last laid out is shifted as a whole.
    void Relayout();

    // ---- layout steps ----
    // Moves the object and (depth first) its move-group members so the object's top-left comes
    // to (left, top); the others keep their offsets to it.
    void MoveGroup(TFcObject* object, int left, int top);
    void PlaceItem(TChartItem& item, int left, int top);
    void SetItemLeft(TChartItem& item, int left);
    static int ItemLeft(const TChartItem& item) { return item.Left; }
    static int ItemHeight(const TChartItem& item) { return item.MainObject()->Height(); }

    // ---- lookups (constant time) ----
    int IndexOfBlock(const TFcObject* object) const;
    int IndexOfSpotMarker(const TFcObject* object) const;
    int IndexOfSpotBase(const TFcObject* object) const;

    // The selection rule: connections never; objects unless they are the start or end terminal
    // or a spot's base.
    bool SelectionAllowed(TFcItem& item) const;
    // FlowChart1Selection: the canvas's selection hook.
    void FlowChart1Selection(TFlowChart& sender, TFcItem& item, bool& allow);

    // Runs the selection DeleteBlock left pending (the posted task calls it).
    void RunPendingSelection();

    TFcObject* StartObject() const { return m_startObject; }
    TFcObject* EndObject() const { return m_endObject; }
    TFcObject* LastAppendedBlock() const { return m_lastAppendedBlock; }
    TFcObject* PendingSelection() const { return m_pendingSelection; }

private:
    friend class TChartItem;
    enum class Role { Object, Marker, Base };

    int indexOf(const TFcObject* object, TChartItemClass cls, Role role) const;
    void placeSpot(TNormalSpot& spot, int left, int top);
    // Adds the item's objects to the shift list when moving it to top is a plain shift of all
    // of them (same left, a spot's marker where placing would put it); false otherwise.
    bool collectShift(TChartItem& item, int left);
    std::unique_ptr<TSeqPanel> makeBlock(int blockType, std::string record, TFcPoint origin = {});
    TFcObject* appendBlock(int blockType, std::string* record, const TBlockCaption* caption);
    void insertItem(std::size_t position, std::unique_ptr<TChartItem> item);
    void destroyItem(std::size_t position);
    // ---- the chunks ----
    TChartItem& itemAt(std::size_t position) const;
    std::size_t indexOf(const TChartItem& item) const;
    // The chunk holding the position (the last chunk for the position after the last item).
    TChartChunk& chunkAt(std::size_t position) const;
    std::size_t chunkIndexAt(std::size_t position) const;
    TFcBand* addBand();           // a new chunk's band
    void dropBand(TFcBand* band); // a chunk's band, when the chunk goes
    // Items go in at the position, into the chunk there (and its band), which is cut into pieces
    // when it grows too long; or come out, chunks left empty or short being tidied.
    void putItems(std::size_t position, std::vector<std::unique_ptr<TChartItem>> items);
    std::vector<std::unique_ptr<TChartItem>> takeItems(std::size_t begin, std::size_t end);
    void splitChunk(std::size_t chunk, std::size_t cut);
    // The item belongs to the chunk from now on, keeping its top; its objects join `moving` when
    // they lie in another band (the caller moves them into the chunk's band).
    void enterChunk(TChartItem& item, TChartChunk& chunk, std::vector<TFcObject*>& moving);
    void tidyChunks();
    // The list positions of the chunks' first items, from fromChunk on, when no chunk after
    // `through` changed its number of items.
    void renumberChunks(std::size_t fromChunk, std::size_t through = SIZE_MAX);
    void reindexChunks(); // and the chunks' own positions too
    // New items' objects are made in the band of the chunk that will hold position.
    void makeNear(std::size_t position);
    void layOutChunk(TChartChunk& chunk, int& y);
    void registerItem(TChartItem& item);
    void unregisterItem(const TChartItem& item);
    // Asserts InvariantHolds in builds with assertions.
    void checkInvariant() const;
    // Counts a change and tells the listener.
    void changed();
    // Notes the block's copy before a change while recording.
    void noteChange(const TFcObject* object);

    TFlowChart& m_canvas;
    PostFunction m_post;
    std::vector<std::unique_ptr<TChartChunk>> m_chunks;
    std::vector<std::size_t> m_firsts;   // list position of each chunk's first item
    std::size_t m_count = 0;             // items in all chunks
    TFcBand* m_makeBand = nullptr;       // where new items' objects are made (see makeNear)
    std::vector<TFcObject*> m_groupList; // scratch list of MoveGroup
    std::vector<TFcObject*> m_shiftList; // scratch list of Relayout: objects moving by one dy
    std::vector<TFcBand*> m_bandList;    // scratch list of Relayout: bands moving by one dy

    TFcObject* m_startObject = nullptr;
    TFcObject* m_endObject = nullptr;
    TFcObject* m_lastAppendedBlock = nullptr;
    TFcObject* m_pendingSelection = nullptr;
    std::uint64_t m_revision = 0;
    bool m_recording = false;
    std::vector<std::pair<int, TBlockCopy>> m_recorded; // block number, copy before

    // Posted tasks hold a weak reference, so a task that outlives the chart does nothing.
    std::shared_ptr<TChart*> m_alive = std::make_shared<TChart*>(this);
};
