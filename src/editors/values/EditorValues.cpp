#include "editors/values/EditorValues.h"

#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

#include <utility>

namespace editors {

namespace {

// The dispatch's reading rules on the children of a loaded record.
struct TRecordReader {
    const TSimpleXMLElems& items;
    std::int64_t integer(std::string_view name) const { return items.ChildInt(name, -1); }
    std::string text(std::string_view name) const { return items.ChildText(name, {}); }
    std::string decoded(std::string_view name) const { return XmlDecode(text(name)); }
};

TEditorValues readValues(TDialogKind kind, const TRecordReader& r) {
    switch (kind) {
    case TDialogKind::ZhiXing:
        return TDirectValues{r.integer("mode"), r.integer("wait")};
    case TDialogKind::ZhuanXiang:
        return TTurnValues{r.integer("mode"), r.integer("wait")};
    case TDialogKind::QiDongDJ:
        return TMotorOnValues{r.integer("motorL"), r.integer("motorR")};
    case TDialogKind::TingZhiDJ:
        return TMotorStopValues{r.integer("mode")};
    case TDialogKind::YanShi:
        return TWaitValues{r.integer("wait")};
    case TDialogKind::FaYin:
        return TMusicValues{r.integer("key"), r.items.ChildBool("keycmd", true), r.text("content")};
    case TDialogKind::FORBegin:
        return TLoopBeginValues{r.integer("times"), r.integer("var")};
    case TDialogKind::FOREnd:
        return TLoopEndValues{r.integer("var")};
    case TDialogKind::GOTOBegin:
        return TLabelValues{r.text("label")};
    case TDialogKind::GOTOEnd:
        return TGotoValues{r.text("label")};
    case TDialogKind::GOTOIF:
        return TGotoIfValues{r.decoded("condition"), r.decoded("label")};
    case TDialogKind::LED:
        return TLedValues{r.integer("led")};
    case TDialogKind::PORTDDR:
        return TIoSetupValues{r.integer("ddr"), r.integer("data")};
    case TDialogKind::PORTIN:
        return TIoInputValues{r.integer("var"), r.integer("port")};
    case TDialogKind::PORTOUT:
        return TIoOutputValues{r.integer("port"), r.integer("data")};
    case TDialogKind::Servo:
        return TServoValues{{r.integer("data1"), r.integer("data2"), r.integer("data3"),
                             r.integer("data4"), r.integer("data5")},
                            r.integer("speed")};
    case TDialogKind::BiaoDaShi:
        return TExpressionValues{r.decoded("command")};
    case TDialogKind::DIN:
        return TDigitalSensorValues{r.integer("var"), r.integer("index")};
    case TDialogKind::AIN:
        return TAnalogSensorValues{r.integer("var"), r.integer("index")};
    case TDialogKind::SubBegin:
        return TSubBeginValues{r.text("sub")};
    case TDialogKind::GOSUB:
        return TCallSubValues{r.text("sub")};
    case TDialogKind::VOICEX:
        return TVoiceXValues{r.integer("index")};
    case TDialogKind::None:
    case TDialogKind::JieShu:
    case TDialogKind::SubEnd:
        break;
    }
    return std::monostate{};
}

// Adds the children of a record in catalogue order; false when the values are not the ones
// this dialog kind carries.
bool writeValues(TDialogKind kind, const TEditorValues& values, TSimpleXMLElems& out) {
    auto ints = [&out](std::initializer_list<std::pair<std::string_view, std::int64_t>> list) {
        for (const auto& [name, value] : list)
            out.AddChildInt(name, value);
        return true;
    };
    switch (kind) {
    case TDialogKind::ZhiXing:
        if (auto* v = std::get_if<TDirectValues>(&values))
            return ints({{"mode", v->mode}, {"wait", v->wait}});
        break;
    case TDialogKind::ZhuanXiang:
        if (auto* v = std::get_if<TTurnValues>(&values))
            return ints({{"mode", v->mode}, {"wait", v->wait}});
        break;
    case TDialogKind::QiDongDJ:
        if (auto* v = std::get_if<TMotorOnValues>(&values))
            return ints({{"motorL", v->motorL}, {"motorR", v->motorR}});
        break;
    case TDialogKind::TingZhiDJ:
        if (auto* v = std::get_if<TMotorStopValues>(&values))
            return ints({{"mode", v->mode}});
        break;
    case TDialogKind::YanShi:
        if (auto* v = std::get_if<TWaitValues>(&values))
            return ints({{"wait", v->wait}});
        break;
    case TDialogKind::FaYin:
        if (auto* v = std::get_if<TMusicValues>(&values)) {
            out.AddChildInt("key", v->key);
            out.AddChildBool("keycmd", v->keycmd);
            out.AddChildText("content", v->content);
            return true;
        }
        break;
    case TDialogKind::FORBegin:
        if (auto* v = std::get_if<TLoopBeginValues>(&values))
            return ints({{"times", v->times}, {"var", v->var}});
        break;
    case TDialogKind::FOREnd:
        if (auto* v = std::get_if<TLoopEndValues>(&values))
            return ints({{"var", v->var}});
        break;
    case TDialogKind::GOTOBegin:
        if (auto* v = std::get_if<TLabelValues>(&values)) {
            out.AddChildText("label", v->name);
            return true;
        }
        break;
    case TDialogKind::GOTOEnd:
        if (auto* v = std::get_if<TGotoValues>(&values)) {
            out.AddChildText("label", v->name);
            return true;
        }
        break;
    case TDialogKind::GOTOIF:
        if (auto* v = std::get_if<TGotoIfValues>(&values)) {
            out.AddChildText("condition", XmlEncode(v->condition));
            out.AddChildText("label", XmlEncode(v->label));
            return true;
        }
        break;
    case TDialogKind::LED:
        if (auto* v = std::get_if<TLedValues>(&values))
            return ints({{"led", v->led}});
        break;
    case TDialogKind::PORTDDR:
        if (auto* v = std::get_if<TIoSetupValues>(&values))
            return ints({{"ddr", v->port}, {"data", v->data}});
        break;
    case TDialogKind::PORTIN:
        if (auto* v = std::get_if<TIoInputValues>(&values))
            return ints({{"var", v->var}, {"port", v->port}});
        break;
    case TDialogKind::PORTOUT:
        if (auto* v = std::get_if<TIoOutputValues>(&values))
            return ints({{"port", v->port}, {"data", v->data}});
        break;
    case TDialogKind::Servo:
        if (auto* v = std::get_if<TServoValues>(&values))
            return ints({{"data1", v->data[0]},
                         {"data2", v->data[1]},
                         {"data3", v->data[2]},
                         {"data4", v->data[3]},
                         {"data5", v->data[4]},
                         {"speed", v->speed}});
        break;
    case TDialogKind::BiaoDaShi:
        if (auto* v = std::get_if<TExpressionValues>(&values)) {
            out.AddChildText("command", XmlEncode(v->command));
            return true;
        }
        break;
    case TDialogKind::DIN:
        if (auto* v = std::get_if<TDigitalSensorValues>(&values))
            return ints({{"var", v->var}, {"index", v->index}});
        break;
    case TDialogKind::AIN:
        if (auto* v = std::get_if<TAnalogSensorValues>(&values))
            return ints({{"var", v->var}, {"index", v->index}});
        break;
    case TDialogKind::SubBegin:
        if (auto* v = std::get_if<TSubBeginValues>(&values)) {
            out.AddChildText("sub", v->name);
            return true;
        }
        break;
    case TDialogKind::GOSUB:
        if (auto* v = std::get_if<TCallSubValues>(&values)) {
            out.AddChildText("sub", v->name);
            return true;
        }
        break;
    case TDialogKind::VOICEX:
        if (auto* v = std::get_if<TVoiceXValues>(&values))
            return ints({{"index", v->index}});
        break;
    case TDialogKind::None:
    case TDialogKind::JieShu:
    case TDialogKind::SubEnd:
        break;
    }
    return false;
}

} // namespace

TDialogKind dialogKindForBlockType(BlockType blockType) {
    // Every block type has its dialog; a type missing here is a compiler warning.
    switch (blockType) {
    case BlockType::Direct:
        return TDialogKind::ZhiXing;
    case BlockType::Turn:
        return TDialogKind::ZhuanXiang;
    case BlockType::MotorOn:
        return TDialogKind::QiDongDJ;
    case BlockType::MotorStop:
        return TDialogKind::TingZhiDJ;
    case BlockType::Wait:
        return TDialogKind::YanShi;
    case BlockType::Music:
        return TDialogKind::FaYin;
    case BlockType::LoopBegin:
        return TDialogKind::FORBegin;
    case BlockType::LoopEnd:
        return TDialogKind::FOREnd;
    case BlockType::Label:
        return TDialogKind::GOTOBegin;
    case BlockType::Goto:
        return TDialogKind::GOTOEnd;
    case BlockType::GotoIf:
        return TDialogKind::GOTOIF;
    case BlockType::End:
        return TDialogKind::JieShu;
    case BlockType::Led:
        return TDialogKind::LED;
    case BlockType::IoSetup:
        return TDialogKind::PORTDDR;
    case BlockType::IoInput:
        return TDialogKind::PORTIN;
    case BlockType::IoOutput:
        return TDialogKind::PORTOUT;
    case BlockType::Servo:
        return TDialogKind::Servo;
    case BlockType::Expression:
        return TDialogKind::BiaoDaShi;
    case BlockType::DigitalSensor:
        return TDialogKind::DIN;
    case BlockType::AnalogSensor:
        return TDialogKind::AIN;
    case BlockType::SubBegin:
        return TDialogKind::SubBegin;
    case BlockType::SubEnd:
        return TDialogKind::SubEnd;
    case BlockType::CallSub:
        return TDialogKind::GOSUB;
    case BlockType::VoiceX:
        return TDialogKind::VOICEX;
    }
    return TDialogKind::None;
}

TDialogKind dialogKindForObjectKind(int objectKind) {
    const std::optional<BlockType> blockType = BlockTypeOfKind(objectKind);
    return blockType ? dialogKindForBlockType(*blockType) : TDialogKind::None;
}

bool dialogEditsRecord(TDialogKind kind) {
    return kind != TDialogKind::None && kind != TDialogKind::JieShu && kind != TDialogKind::SubEnd;
}

TValuesResult valuesFromRecord(BlockType blockType, std::string_view record) {
    const TDialogKind kind = dialogKindForBlockType(blockType);
    if (!dialogEditsRecord(kind))
        return {TEditorValues{}, {}};
    TSimpleXML document;
    try {
        document.LoadFromText(record);
    } catch (const ESimpleXMLError& error) {
        return {std::nullopt, error.Message()};
    }
    return {readValues(kind, TRecordReader{document.Root().Items()}), {}};
}

std::string recordFromValues(BlockType blockType, const TEditorValues& values) {
    const TDialogKind kind = dialogKindForBlockType(blockType);
    if (!dialogEditsRecord(kind))
        return {};
    TSimpleXML document;
    TSimpleXMLElemClassic& root = document.Root();
    root.SetName("CtrlNode");
    root.Properties().AddAttributeInt("type", ToInt(blockType));
    if (!writeValues(kind, values, root.Items()))
        return {};
    return document.SaveToText();
}

std::string recordForEditing(BlockType blockType, std::string_view payload) {
    if (payload.empty())
        return DefaultRecord(blockType);
    return std::string(payload);
}

bool editChangesCaption(BlockType blockType) {
    return HasNamedCaption(blockType);
}

std::optional<TBlockCaption> captionAfterEdit(BlockType blockType, std::string_view text) {
    return NamedCaption(blockType, text);
}

std::string captionTextOf(const TEditorValues& values) {
    if (auto* v = std::get_if<TLabelValues>(&values))
        return v->name;
    if (auto* v = std::get_if<TSubBeginValues>(&values))
        return v->name;
    if (auto* v = std::get_if<TCallSubValues>(&values))
        return v->name;
    if (auto* v = std::get_if<TExpressionValues>(&values))
        return v->command;
    return {};
}

} // namespace editors
