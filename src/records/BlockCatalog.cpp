#include "records/BlockCatalog.h"

#include "records/SimpleXML.h"

#include <array>

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

constexpr TBlockInfo row(int type, std::string_view caption, int group, int picture,
                         std::span<const TRecordField> fields) {
    return TBlockInfo{type, caption, group, picture, KindBlockBase + type, fields};
}

constexpr std::array<TBlockInfo, 24> kCatalog{{
    row(1, "Direct", kExecutable, 0, kModeWait),
    row(2, "Turn", kExecutable, 1, kModeWait),
    row(3, "Motor On", kExecutable, 2, kMotorOn),
    row(4, "Motor Stop", kExecutable, 3, kMode),
    row(5, "Wait", kExecutable, 4, kWait),
    row(6, "Music", kExecutable, 5, kMusic),
    row(9, "Loop Begin", kControl, 14, kLoopBegin),
    row(10, "Loop End", kControl, 15, kVar),
    row(11, "Label", kControl, 16, kLabel),
    row(12, "Goto", kControl, 17, kLabel),
    row(13, "GotoIf", kControl, 11, kGotoIf),
    row(14, "End", kProgram, 13, kNone),
    row(15, "LED", kExecutable, 18, kLed),
    row(16, "IO Setup", kSensorGroup, 21, kIoSetup),
    row(17, "IO Input", kSensorGroup, 20, kIoInput),
    row(18, "IO Output", kSensorGroup, 19, kIoOutput),
    row(19, "Servo", kExecutable, 23, kServo),
    row(20, "Expression", kExecutable, 22, kCommand),
    row(21, "Digital Sensor", kSensorGroup, 24, kSensor),
    row(22, "Analog Sensor", kSensorGroup, 25, kSensor),
    row(23, "Sub Begin", kControl, 26, kSub),
    row(24, "Sub End", kControl, 27, kNone),
    row(25, "Call Sub", kControl, 28, kSub),
    row(26, "VoiceX", kExecutable, 29, kIndex),
}};

constexpr std::array<int, 10> kExecutableItems{1, 2, 3, 4, 5, 6, 15, 19, 20, 26};
constexpr std::array<int, 5> kSensorItems{16, 17, 18, 21, 22};
constexpr std::array<int, 8> kControlItems{9, 10, 11, 12, 13, 23, 24, 25};
constexpr std::array<int, 1> kProgramItems{14};

constexpr std::array<TPaletteGroup, 4> kGroups{{
    {kExecutable, "Executable Mod", kExecutableItems},
    {kSensorGroup, "Sensor Mod", kSensorItems},
    {kControl, "Control Mod", kControlItems},
    {kProgram, "Program Mod", kProgramItems},
}};

} // namespace

std::span<const TBlockInfo> BlockCatalog() {
    return kCatalog;
}

std::span<const TPaletteGroup> PaletteGroups() {
    return kGroups;
}

const TBlockInfo* FindBlockInfo(int type) {
    for (const TBlockInfo& info : kCatalog) {
        if (info.type == type)
            return &info;
    }
    return nullptr;
}

int BlockTypeOfKind(int kind) {
    const TBlockInfo* info = FindBlockInfo(kind - KindBlockBase);
    return info ? info->type : 0;
}

std::string DefaultRecord(int type) {
    const TBlockInfo* info = FindBlockInfo(type);
    if (!info)
        return {};
    // A document of its own: the record text is the same whatever another document holds.
    TSimpleXML document;
    TSimpleXMLElemClassic& root = document.Root();
    root.Clear();
    root.SetName("CtrlNode");
    root.Properties().AddAttributeInt("type", type);
    for (const TRecordField& field : info->fields) {
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
