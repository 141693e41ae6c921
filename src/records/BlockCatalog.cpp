#include "records/BlockCatalog.h"

#include "records/SimpleXML.h"

#include <array>
#include <cstdlib>

namespace {

using K = TRecordValueKind;

constexpr std::array<TRecordField, 2> kModeWait{{{"mode", K::Integer, 0}, {"wait", K::Integer, 0}}};
constexpr std::array<TRecordField, 2> kMotorOn{
    {{"motorL", K::Integer, 0}, {"motorR", K::Integer, 0}}};
constexpr std::array<TRecordField, 1> kMode{{{"mode", K::Integer, 0}}};
constexpr std::array<TRecordField, 1> kWait{{{"wait", K::Integer, 0}}};
constexpr std::array<TRecordField, 3> kMusic{
    {{"key", K::Integer, 0}, {"keycmd", K::Boolean, 0}, {"content", K::Text, 0}}};
constexpr std::array<TRecordField, 2> kLoopBegin{
    {{"times", K::Integer, 1}, {"var", K::Integer, 0}}};
constexpr std::array<TRecordField, 1> kVar{{{"var", K::Integer, 0}}};
constexpr std::array<TRecordField, 1> kLabel{{{"label", K::Text, 0}}};
constexpr std::array<TRecordField, 2> kGotoIf{{{"condition", K::Text, 0}, {"label", K::Text, 0}}};
constexpr std::array<TRecordField, 1> kLed{{{"led", K::Integer, 7}}};
constexpr std::array<TRecordField, 2> kIoSetup{{{"ddr", K::Integer, 0}, {"data", K::Integer, 0}}};
constexpr std::array<TRecordField, 2> kIoInput{{{"var", K::Integer, 0}, {"port", K::Integer, 0}}};
constexpr std::array<TRecordField, 2> kIoOutput{{{"port", K::Integer, 0}, {"data", K::Integer, 0}}};
constexpr std::array<TRecordField, 6> kServo{{{"data1", K::Integer, 9},
                                              {"data2", K::Integer, 9},
                                              {"data3", K::Integer, 9},
                                              {"data4", K::Integer, 9},
                                              {"data5", K::Integer, 9},
                                              {"speed", K::Integer, 1}}};
constexpr std::array<TRecordField, 1> kCommand{{{"command", K::Text, 0}}};
constexpr std::array<TRecordField, 2> kSensor{{{"var", K::Integer, 0}, {"index", K::Integer, 0}}};
constexpr std::array<TRecordField, 1> kSub{{{"sub", K::Text, 0}}};
constexpr std::array<TRecordField, 1> kIndex{{{"index", K::Integer, 0}}};
constexpr std::span<const TRecordField> kNone{};

constexpr int kExecutable = 1;
constexpr int kSensorGroup = 2;
constexpr int kControl = 3;
constexpr int kProgram = 4;

using B = BlockType;
using N = TCaptionName;

constexpr TBlockInfo row(BlockType type, std::string_view caption, int group, int picture,
                         std::span<const TRecordField> fields, TCaptionName captionName = N::None,
                         std::string_view nameChild = {}) {
    return TBlockInfo{type,   caption,     group,    picture, KindBlockBase + ToInt(type),
                      fields, captionName, nameChild};
}

// Every block type once, in ascending type order. A new block type is one enumerator and one
// row here; its palette item follows from its group.
constexpr TBlockInfo kCatalog[] = {
    row(B::Direct, "Direct", kExecutable, 0, kModeWait),
    row(B::Turn, "Turn", kExecutable, 1, kModeWait),
    row(B::MotorOn, "Motor On", kExecutable, 2, kMotorOn),
    row(B::MotorStop, "Motor Stop", kExecutable, 3, kMode),
    row(B::Wait, "Wait", kExecutable, 4, kWait),
    row(B::Music, "Music", kExecutable, 5, kMusic),
    row(B::LoopBegin, "Loop Begin", kControl, 14, kLoopBegin),
    row(B::LoopEnd, "Loop End", kControl, 15, kVar),
    row(B::Label, "Label", kControl, 16, kLabel, N::Text, "label"),
    row(B::Goto, "Goto", kControl, 17, kLabel),
    row(B::GotoIf, "GotoIf", kControl, 11, kGotoIf),
    row(B::End, "End", kProgram, 13, kNone),
    row(B::Led, "LED", kExecutable, 18, kLed),
    row(B::IoSetup, "IO Setup", kSensorGroup, 21, kIoSetup),
    row(B::IoInput, "IO Input", kSensorGroup, 20, kIoInput),
    row(B::IoOutput, "IO Output", kSensorGroup, 19, kIoOutput),
    row(B::Servo, "Servo", kExecutable, 23, kServo),
    row(B::Expression, "Expression", kExecutable, 22, kCommand, N::Text, "command"),
    row(B::DigitalSensor, "Digital Sensor", kSensorGroup, 24, kSensor),
    row(B::AnalogSensor, "Analog Sensor", kSensorGroup, 25, kSensor),
    row(B::SubBegin, "Sub Begin", kControl, 26, kSub, N::Text, "sub"),
    row(B::SubEnd, "Sub End", kControl, 27, kNone),
    row(B::CallSub, "Call Sub", kControl, 28, kSub, N::Text, "sub"),
    row(B::VoiceX, "VoiceX", kExecutable, 29, kIndex, N::Phrase, "index"),
};

constexpr bool catalogueIsOrdered() {
    for (std::size_t i = 1; i < std::size(kCatalog); ++i)
        if (ToInt(kCatalog[i - 1].type) >= ToInt(kCatalog[i].type))
            return false;
    return true;
}
static_assert(catalogueIsOrdered(), "one row per block type, in ascending type order");

// A Text name is read from a text child, a Phrase from an integer one.
constexpr bool namesAreFields() {
    for (const TBlockInfo& info : kCatalog) {
        if (info.captionName == N::None) {
            if (!info.nameChild.empty())
                return false;
            continue;
        }
        const TRecordValueKind kind =
            info.captionName == N::Phrase ? TRecordValueKind::Integer : TRecordValueKind::Text;
        bool found = false;
        for (const TRecordField& field : info.fields)
            found = found || (field.name == info.nameChild && field.kind == kind);
        if (!found)
            return false;
    }
    return true;
}
static_assert(namesAreFields(), "a named caption's child is one of its record's fields");

constexpr std::size_t countInGroup(int group) {
    std::size_t count = 0;
    for (const TBlockInfo& info : kCatalog)
        count += info.group == group ? 1 : 0;
    return count;
}

// The palette items of a group: its blocks in catalogue order.
template <int Group> constexpr std::array<int, countInGroup(Group)> itemsOfGroup() {
    std::array<int, countInGroup(Group)> items{};
    std::size_t i = 0;
    for (const TBlockInfo& info : kCatalog)
        if (info.group == Group)
            items[i++] = ToInt(info.type);
    return items;
}

constexpr auto kExecutableItems = itemsOfGroup<kExecutable>();
constexpr auto kSensorItems = itemsOfGroup<kSensorGroup>();
constexpr auto kControlItems = itemsOfGroup<kControl>();
constexpr auto kProgramItems = itemsOfGroup<kProgram>();

constexpr std::array<TPaletteGroup, 4> kGroups{{
    {kExecutable, "Executable Mod", kExecutableItems},
    {kSensorGroup, "Sensor Mod", kSensorItems},
    {kControl, "Control Mod", kControlItems},
    {kProgram, "Program Mod", kProgramItems},
}};

} // namespace

std::optional<BlockType> BlockTypeFrom(std::int64_t number) {
    for (const TBlockInfo& info : kCatalog) {
        if (ToInt(info.type) == number)
            return info.type;
    }
    return std::nullopt;
}

std::span<const TBlockInfo> BlockCatalog() {
    return kCatalog;
}

std::span<const TPaletteGroup> PaletteGroups() {
    return kGroups;
}

const TBlockInfo& BlockInfo(BlockType type) {
    for (const TBlockInfo& info : kCatalog) {
        if (info.type == type)
            return info;
    }
    // Only a number cast to BlockType behind BlockTypeFrom's back gets here.
    std::abort();
}

const TBlockInfo* FindBlockInfo(int type) {
    const std::optional<BlockType> blockType = BlockTypeFrom(type);
    return blockType ? &BlockInfo(*blockType) : nullptr;
}

std::optional<BlockType> BlockTypeOfKind(int kind) {
    return BlockTypeFrom(std::int64_t{kind} - KindBlockBase);
}

bool HasNamedCaption(BlockType type) {
    return BlockInfo(type).captionName != TCaptionName::None;
}

std::optional<TBlockCaption> NamedCaption(BlockType type, std::string_view name) {
    const TBlockInfo& info = BlockInfo(type);
    switch (info.captionName) {
    case TCaptionName::Text:
        if (name.empty())
            return TBlockCaption{std::string(info.caption), BlockHeight};
        return TBlockCaption{std::string(info.caption) + ":" + std::string(name), NamedBlockHeight};
    case TCaptionName::Phrase:
        if (name.empty())
            return std::nullopt;
        return TBlockCaption{std::string(info.caption) + ": " + std::string(name),
                             NamedBlockHeight};
    case TCaptionName::None:
        break;
    }
    return std::nullopt;
}

std::string DefaultRecord(BlockType type) {
    const TBlockInfo& info = BlockInfo(type);
    // A document of its own: the record text is the same whatever another document holds.
    TSimpleXML document;
    TSimpleXMLElemClassic& root = document.Root();
    root.Clear();
    root.SetName("CtrlNode");
    root.Properties().AddAttributeInt("type", ToInt(type));
    for (const TRecordField& field : info.fields) {
        switch (field.kind) {
        case TRecordValueKind::Integer:
            root.Items().AddChildInt(field.name, field.defaultValue);
            break;
        case TRecordValueKind::Boolean:
            root.Items().AddChildBool(field.name, field.defaultValue != 0);
            break;
        case TRecordValueKind::Text:
            root.Items().AddChildText(field.name, {});
            break;
        }
    }
    return document.SaveToText();
}

std::string DefaultRecord(int type) {
    const std::optional<BlockType> blockType = BlockTypeFrom(type);
    return blockType ? DefaultRecord(*blockType) : std::string();
}
