// The vocabulary of the chart: the 24 block types, how the palette presents them, the object kind
// that marks each block on the canvas, and the parameter record a new block starts with.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Object kinds of canvas objects that are not blocks.
inline constexpr int KindStartTerminal = 512;
inline constexpr int KindEndTerminal = 513;
inline constexpr int KindSpotMarker = 514;
// A block's object kind is KindBlockBase + its block type (577 Direct ... 602 VoiceX).
inline constexpr int KindBlockBase = 576;

inline constexpr int MinBlockType = 1;
inline constexpr int MaxBlockType = 26; // 7 and 8 are not assigned

enum class TRecordValueKind { Integer, Boolean, Text };

// One child of a parameter record with its default value (an integer default for Integer,
// 0 or 1 for Boolean, always empty text for Text).
struct TRecordField {
    std::string_view name;
    TRecordValueKind kind;
    std::int64_t defaultValue;
};

// One row of the block catalogue.
struct TBlockInfo {
    int type;                 // the block type, also the palette item number (NavBar1Item<type>)
    std::string_view caption; // palette caption, the caption of a new block
    int group;                // palette group number 1..4 (NavBar1Group<group>)
    int paletteImage;         // index into the 38 x 38 palette pictures
    int kind;                 // canvas object kind, KindBlockBase + type
    std::span<const TRecordField> fields;       // record children in order
    int imageIndex() const { return type - 1; } // the canvas object's ImageIndex
};

// One palette group: its caption and the block types of its items in order.
struct TPaletteGroup {
    int number; // 1..4, NavBar1Group<number>
    std::string_view caption;
    std::span<const int> items;
};

// The catalogue in ascending type order (24 rows).
std::span<const TBlockInfo> BlockCatalog();
// The four palette groups in the order shown.
std::span<const TPaletteGroup> PaletteGroups();

// The catalogue row of a block type, nullptr for 7, 8 and anything outside 1..26.
const TBlockInfo* FindBlockInfo(int type);
inline bool IsBlockType(int type) {
    return FindBlockInfo(type) != nullptr;
}
// The block type of an object kind, 0 when the kind is not a block's.
int BlockTypeOfKind(int kind);

// The default parameter record of a catalogue type, exactly as the record document writes it
// (header line, CtrlNode with its type attribute and default children, CR LF lines). For a type
// outside the catalogue: the empty text.
std::string DefaultRecord(int type);
