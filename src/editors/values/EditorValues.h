// The values each block editor shows and edits, one struct per dialog, and their conversion to
// and from a block's parameter record. Only the editor dispatch converts records; the dialogs
// see nothing but these structs, so every reading and writing rule is tested without a window.
//
// Integers hold what the record says (int64, -1 for a missing or non-numeric child); a dialog
// applies its controls' limits when it is filled and hands back the limited values.
#pragma once

#include "files/Message.h"
#include "records/BlockCatalog.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace editors {

// How a modal editor dialog was closed.
enum class TEditResult { Ok = 1, Cancel = 2, Delete = 7 };

// Which editor dialog a block type opens.
enum class TDialogKind {
    None, // not a block with an editor (terminals, spot markers, kinds of types 7 and 8)
    ZhiXing,
    ZhuanXiang,
    QiDongDJ,
    TingZhiDJ,
    YanShi,
    FaYin,
    FORBegin,
    FOREnd,
    GOTOBegin,
    GOTOEnd,
    GOTOIF,
    JieShu,
    LED,
    PORTDDR,
    PORTIN,
    PORTOUT,
    Servo,
    BiaoDaShi,
    DIN,
    AIN,
    SubBegin,
    SubEnd,
    GOSUB,
    VOICEX,
};

// The dialog of a block type.
TDialogKind dialogKindForBlockType(BlockType blockType);
// The dialog of a canvas object kind (576 + block type); None for terminals and markers.
TDialogKind dialogKindForObjectKind(int objectKind);
// False for End and Sub End, whose records are neither read nor written, and for None.
bool dialogEditsRecord(TDialogKind kind);

// Direct and Turn: radio index `mode`, slider `wait`.
template <class Tag> struct TModeWaitValues {
    std::int64_t mode = 0;
    std::int64_t wait = 0;
    bool operator==(const TModeWaitValues&) const = default;
};
using TDirectValues = TModeWaitValues<struct DirectTag>;
using TTurnValues = TModeWaitValues<struct TurnTag>;

struct TMotorOnValues {
    std::int64_t motorL = 0;
    std::int64_t motorR = 0;
    bool operator==(const TMotorOnValues&) const = default;
};

struct TMotorStopValues {
    std::int64_t mode = 0;
    bool operator==(const TMotorStopValues&) const = default;
};

struct TWaitValues {
    std::int64_t wait = 0;
    bool operator==(const TWaitValues&) const = default;
};

// Music: the key list index, the KEY statement check box and the note codes joined.
struct TMusicValues {
    std::int64_t key = 0;
    bool keycmd = false;
    std::string content;
    bool operator==(const TMusicValues&) const = default;
};

struct TLoopBeginValues {
    std::int64_t times = 1;
    std::int64_t var = 0; // variable list index, 0 = "A"
    bool operator==(const TLoopBeginValues&) const = default;
};

struct TLoopEndValues {
    std::int64_t var = 0;
    bool operator==(const TLoopEndValues&) const = default;
};

// Label, Goto, Sub Begin and Call Sub: one name, stored exactly as typed.
template <class Tag> struct TNameValues {
    std::string name;
    bool operator==(const TNameValues&) const = default;
};
using TLabelValues = TNameValues<struct LabelTag>;
using TGotoValues = TNameValues<struct GotoTag>;
using TSubBeginValues = TNameValues<struct SubBeginTag>;
using TCallSubValues = TNameValues<struct CallSubTag>;

// GotoIf: both texts as the user sees them (the record holds them XmlEncode'd).
struct TGotoIfValues {
    std::string condition;
    std::string label;
    bool operator==(const TGotoIfValues&) const = default;
};

// Expression: the statement as the user sees it (the record holds it XmlEncode'd).
struct TExpressionValues {
    std::string command;
    bool operator==(const TExpressionValues&) const = default;
};

struct TLedValues {
    std::int64_t led = 7;
    bool operator==(const TLedValues&) const = default;
};

// IO Setup (`ddr`, `data`) and IO Output (`port`, `data`): a port list index and eight bits.
template <class Tag> struct TPortBitsValues {
    std::int64_t port = 0;
    std::int64_t data = 0;
    bool operator==(const TPortBitsValues&) const = default;
};
using TIoSetupValues = TPortBitsValues<struct IoSetupTag>;
using TIoOutputValues = TPortBitsValues<struct IoOutputTag>;

struct TIoInputValues {
    std::int64_t var = 0;
    std::int64_t port = 0;
    bool operator==(const TIoInputValues&) const = default;
};

// Digital and Analog Sensor: a variable and a sensor list index.
template <class Tag> struct TSensorValues {
    std::int64_t var = 0;
    std::int64_t index = 0;
    bool operator==(const TSensorValues&) const = default;
};
using TDigitalSensorValues = TSensorValues<struct DigitalTag>;
using TAnalogSensorValues = TSensorValues<struct AnalogTag>;

struct TServoValues {
    std::array<std::int64_t, 5> data{9, 9, 9, 9, 9}; // data1..data5
    std::int64_t speed = 1;
    bool operator==(const TServoValues&) const = default;
};

struct TVoiceXValues {
    std::int64_t index = 0; // phrase list position
    bool operator==(const TVoiceXValues&) const = default;
};

// The values of any dialog; std::monostate for End and Sub End, which carry none.
using TEditorValues =
    std::variant<std::monostate, TDirectValues, TTurnValues, TMotorOnValues, TMotorStopValues,
                 TWaitValues, TMusicValues, TLoopBeginValues, TLoopEndValues, TLabelValues,
                 TGotoValues, TGotoIfValues, TLedValues, TIoSetupValues, TIoInputValues,
                 TIoOutputValues, TServoValues, TExpressionValues, TDigitalSensorValues,
                 TAnalogSensorValues, TSubBeginValues, TCallSubValues, TVoiceXValues>;

// What reading a record gave: the values, or the parse error's message and no values.
struct TValuesResult {
    std::optional<TEditorValues> values;
    files::TMessage error;
};

// Reads a parameter record the way the dispatch does: integers default to -1 (also when the
// child is not a number), texts to empty, `keycmd` to true; GotoIf and Expression texts are
// XmlDecode'd. A record that does not parse gives the parser's message. A block type without
// a record (End, Sub End) gives std::monostate.
TValuesResult valuesFromRecord(BlockType blockType, std::string_view record);

// Builds the record of a block type from scratch: header line, CtrlNode with its type, the
// type's children in catalogue order (GotoIf and Expression texts XmlEncode'd). The empty text
// for End and Sub End, or when the values are of another dialog.
std::string recordFromValues(BlockType blockType, const TEditorValues& values);

// The record the dispatch edits: the object's own, or the type's default when it is empty.
std::string recordForEditing(BlockType blockType, std::string_view payload);

// A block's caption and height on the canvas after an edit (the catalogue's).
using ::TBlockCaption;

// What editing one block gave.
struct TEditOutcome {
    bool opened = false; // a dialog was shown
    TEditResult result = TEditResult::Cancel;
    files::TMessage error; // the record did not parse: no dialog was shown; show this message
    std::string record;    // on OK: the block's new record (empty for End and Sub End)
    std::optional<TBlockCaption> caption; // on OK: the new caption and height, when they change
    bool relayout = false; // on OK for Label, Expression, Sub Begin, Call Sub and VoiceX
};

// Every block's height and a bare caption's, and a caption's with a name (the catalogue's).
using ::BlockHeight;
using ::NamedBlockHeight;

// True for Label, Expression, Sub Begin, Call Sub and VoiceX (HasNamedCaption): after OK the
// chart is laid out again, even when the caption stays.
bool editChangesCaption(BlockType blockType);

// The caption after OK, given the text the user typed (for VoiceX the chosen phrase's text),
// by the catalogue's rule (NamedCaption): "Label:" + text at height 40, or the bare "Label" at
// 32 for an empty text; "VoiceX: " + text, or nothing (caption and height stay) for an empty
// text. Nothing for other types.
std::optional<TBlockCaption> captionAfterEdit(BlockType blockType, std::string_view text);

// The name or text the caption of Label, Expression, Sub Begin and Call Sub is made from; empty
// for every other dialog's values (VoiceX takes the phrase text from its dialog).
std::string captionTextOf(const TEditorValues& values);

} // namespace editors
