// The vocabulary of the chart: the 24 block types, how the palette presents them, the object kind
// that marks each block on the canvas, the parameter record a new block starts with and the
// caption a named block shows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The block types. The numbers are the ones chart files and parameter records carry in their
// `type` attribute; 7 and 8 are not assigned.
enum class BlockType : int {
    Direct = 1,
    Turn = 2,
    MotorOn = 3,
    MotorStop = 4,
    Wait = 5,
    Music = 6,
    LoopBegin = 9,
    LoopEnd = 10,
    Label = 11,
    Goto = 12,
    GotoIf = 13,
    End = 14,
    Led = 15,
    IoSetup = 16,
    IoInput = 17,
    IoOutput = 18,
    Servo = 19,
    Expression = 20,
    DigitalSensor = 21,
    AnalogSensor = 22,
    SubBegin = 23,
    SubEnd = 24,
    CallSub = 25,
    VoiceX = 26,
};

// The block type a number in a file or a record stands for; nothing for 7, 8 and any number
// without a catalogue row.
std::optional<BlockType> BlockTypeFrom(std::int64_t number);
// The number a file or record writes for the block type.
constexpr int ToInt(BlockType type) {
    return static_cast<int>(type);
}

// Object kinds of canvas objects that are not blocks.
inline constexpr int KindStartTerminal = 512;
inline constexpr int KindEndTerminal = 513;
inline constexpr int KindSpotMarker = 514;
// A block's object kind is KindBlockBase + its block type (577 Direct ... 602 VoiceX).
inline constexpr int KindBlockBase = 576;

// Block heights on the canvas: every block's and a bare caption's, and that of a block whose
// caption carries a name after the block's word.
inline constexpr int BlockHeight = 32;
inline constexpr int NamedBlockHeight = 40;

enum class TRecordValueKind { Integer, Boolean, Text };

// One child of a parameter record with its default value (an integer default for Integer,
// 0 or 1 for Boolean, always empty text for Text).
struct TRecordField {
    std::string_view name;
    TRecordValueKind kind;
    std::int64_t defaultValue;
};

// Where the name in a block's caption comes from.
enum class TCaptionName {
    None,  // the caption is always the block's word
    Text,  // a text child of the record: "Label:" + name, the bare word for an empty name
    Phrase // the phrase an integer child picks: "VoiceX: " + phrase, unchanged for an empty one
};

// One row of the block catalogue.
struct TBlockInfo {
    BlockType type;           // also the palette item number (NavBar1Item<type>)
    std::string_view caption; // palette caption, the caption of a new block, the caption's word
    int group;                // palette group number 1..4 (NavBar1Group<group>)
    int paletteImage;         // index into the 38 x 38 palette pictures
    int kind;                 // canvas object kind, KindBlockBase + type
    std::span<const TRecordField> fields; // record children in order
    TCaptionName captionName;             // how the caption carries the block's name
    std::string_view nameChild;           // the record child holding it; empty for None
    int imageIndex() const { return ToInt(type) - 1; } // the canvas object's ImageIndex
};

// One palette group: its caption and the block types of its items in order.
struct TPaletteGroup {
    int number; // 1..4, NavBar1Group<number>
    std::string_view caption;
    std::span<const int> items;
};

// The catalogue in ascending type order (24 rows).
std::span<const TBlockInfo> BlockCatalog();
// The four palette groups in the order shown; each lists its blocks in ascending type order.
std::span<const TPaletteGroup> PaletteGroups();

// The catalogue row of a block type.
const TBlockInfo& BlockInfo(BlockType type);
// The catalogue row of a block type number, nullptr for 7, 8 and anything outside 1..26.
const TBlockInfo* FindBlockInfo(int type);
inline bool IsBlockType(int type) {
    return FindBlockInfo(type) != nullptr;
}
// The block type of an object kind; nothing when the kind is not a block's.
std::optional<BlockType> BlockTypeOfKind(int kind);

// A block's caption on the canvas and the height that goes with it.
struct TBlockCaption {
    std::string text;
    int height = BlockHeight;
    bool operator==(const TBlockCaption&) const = default;
};

// True for the blocks whose caption carries a name (Label, Expression, Sub Begin, Call Sub,
// VoiceX).
bool HasNamedCaption(BlockType type);
// The caption of a named block for its name as the user reads it (a Text child decoded, the
// phrase text for VoiceX): the word, ":" and the name at NamedBlockHeight ("Label:loop"), or
// the bare word at BlockHeight for an empty name; for VoiceX "VoiceX: " and the phrase at
// NamedBlockHeight, or nothing for an empty phrase. Nothing for blocks without a named caption.
std::optional<TBlockCaption> NamedCaption(BlockType type, std::string_view name);

// The default parameter record of a block type, exactly as the record document writes it
// (header line, CtrlNode with its type attribute and default children, CR LF lines).
std::string DefaultRecord(BlockType type);
// The same for a block type number; the empty text for a number outside the catalogue.
std::string DefaultRecord(int type);
