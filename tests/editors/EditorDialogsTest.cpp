#include "editors/EditorDialogs.h"

#include "DialogDriver.h"
#include "records/BlockCatalog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace editors;
using editors_test::answerNextDialog;
using editors_test::recordText;

namespace {

using B = BlockType;

class EditorDialogsFixture : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_host = new QWidget;
        std::vector<std::string> phrases;
        for (int i = 0; i < 128; ++i)
            phrases.push_back(std::to_string(i));
        s_editors = new TEditorDialogs(s_host, phrases);
    }
    static void TearDownTestSuite() {
        delete s_editors;
        delete s_host; // the dialogs go with their parent
        s_editors = nullptr;
        s_host = nullptr;
    }

    static QWidget* s_host;
    static TEditorDialogs* s_editors;
};

QWidget* EditorDialogsFixture::s_host = nullptr;
TEditorDialogs* EditorDialogsFixture::s_editors = nullptr;

template <class T> T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

int radioIndex(QWidget* dialog) {
    const auto buttons = child<QWidget>(dialog, "RadioGroup1")->findChildren<QRadioButton*>();
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return i;
    return -1;
}

// One row: a record goes into its block type's dialog; `onShown` checks what the dialog shows
// and may change it, then OK; the record written and the caption are compared exactly.
struct TEditCase {
    const char* name;
    BlockType type;
    std::string in;
    std::function<void(QDialog*)> onShown;
    std::string out;
    std::optional<TBlockCaption> caption;
};

void PrintTo(const TEditCase& c, std::ostream* os) {
    *os << c.name;
}

class EditEveryBlockType : public EditorDialogsFixture,
                           public testing::WithParamInterface<TEditCase> {};

TEST_P(EditEveryBlockType, ShowsTheRecordAndWritesItBackOnOk) {
    const TEditCase& c = GetParam();
    answerNextDialog("Button1", c.onShown);
    const TEditOutcome outcome = s_editors->editBlock(c.type, c.in);
    EXPECT_TRUE(outcome.opened);
    EXPECT_TRUE(outcome.error.empty()) << outcome.error;
    EXPECT_EQ(outcome.result, TEditResult::Ok);
    EXPECT_EQ(outcome.record, c.out);
    EXPECT_EQ(outcome.caption, c.caption);
    EXPECT_EQ(outcome.relayout, editChangesCaption(c.type));
}

using editors_test::recordText;

const TEditCase kEditCases[] = {
    {"DirectSliderAndBoxShowTheRecord", B::Direct,
     recordText({"<CtrlNode type=\"1\">", "  <mode>2</mode>", "  <wait>500</wait>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Direct");
         EXPECT_EQ(radioIndex(d), 2);
         EXPECT_EQ(child<QScrollBar>(d, "ScrollBar1")->value(), 500);
         EXPECT_EQ(child<QLineEdit>(d, "ValidateEdit1")->text(), "500");
     },
     recordText({"<CtrlNode type=\"1\">", "  <mode>2</mode>", "  <wait>500</wait>", "</CtrlNode>"}),
     std::nullopt},
    {"TurnOutOfRangeValuesAreLimited", B::Turn,
     recordText({"<CtrlNode type=\"2\">", "  <wait>40000</wait>", "  <mode>9</mode>", "  <x>1</x>",
                 "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Turn");
         EXPECT_EQ(radioIndex(d), 3);
         EXPECT_EQ(child<QLineEdit>(d, "ValidateEdit1")->text(), "32767");
     },
     recordText(
         {"<CtrlNode type=\"2\">", "  <mode>3</mode>", "  <wait>32767</wait>", "</CtrlNode>"}),
     std::nullopt},
    {"DirectMissingModeChoosesNoneAndWritesMinusOne", B::Direct,
     recordText({"<CtrlNode type=\"1\">", "  <wait>abc</wait>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(radioIndex(d), -1);
         EXPECT_EQ(child<QLineEdit>(d, "ValidateEdit1")->text(), "0");
     },
     recordText({"<CtrlNode type=\"1\">", "  <mode>-1</mode>", "  <wait>0</wait>", "</CtrlNode>"}),
     std::nullopt},
    {"MotorOnBothRows", B::MotorOn,
     recordText({"<CtrlNode type=\"3\">", "  <motorL>-300</motorL>", "  <motorR>120</motorR>",
                 "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Motor On");
         EXPECT_EQ(child<QLineEdit>(d, "ValidateEdit1")->text(), "-255");
         EXPECT_EQ(child<QScrollBar>(d, "ScrollBar2")->value(), 120);
         EXPECT_EQ(child<QLineEdit>(d, "ValidateEdit2")->text(), "120");
     },
     recordText({"<CtrlNode type=\"3\">", "  <motorL>-255</motorL>", "  <motorR>120</motorR>",
                 "</CtrlNode>"}),
     std::nullopt},
    {"MotorStop", B::MotorStop, DefaultRecord(B::MotorStop),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Motor Off");
         EXPECT_EQ(radioIndex(d), 0);
         d->findChild<QWidget*>("RadioGroup1")->findChildren<QRadioButton*>()[1]->click();
     },
     recordText({"<CtrlNode type=\"4\">", "  <mode>1</mode>", "</CtrlNode>"}), std::nullopt},
    {"WaitTypedAboveTheLimit", B::Wait, DefaultRecord(B::Wait),
     [](QDialog* d) {
         auto* box = child<QLineEdit>(d, "ValidateEdit1");
         box->selectAll();
         QTest::keyClicks(box, "99999");
         // OK settles the box as leaving it would.
     },
     recordText({"<CtrlNode type=\"5\">", "  <wait>32767</wait>", "</CtrlNode>"}), std::nullopt},
    {"MusicOddContentAndWrongKey", B::Music,
     recordText({"<CtrlNode type=\"6\">", "  <key>12</key>", "  <content>8408F1X</content>",
                 "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Music");
         EXPECT_EQ(child<QComboBox>(d, "ComboBox1")->currentIndex(), 0);
         EXPECT_TRUE(child<QCheckBox>(d, "CheckBox1")->isChecked()); // keycmd missing: true
         EXPECT_EQ(child<QListWidget>(d, "NoteListBox1")->count(), 3);
         EXPECT_TRUE(child<QRadioButton>(d, "RadioButton23")->isChecked());
     },
     recordText({"<CtrlNode type=\"6\">", "  <key>0</key>", "  <keycmd>-1</keycmd>",
                 "  <content>8408F1</content>", "</CtrlNode>"}),
     std::nullopt},
    {"LoopBeginTimesZeroBecomesOne", B::LoopBegin,
     recordText({"<CtrlNode type=\"9\">", "  <times>0</times>", "  <var>30</var>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Times Loop Begin");
         EXPECT_EQ(child<QLineEdit>(d, "ValidateEdit1")->text(), "1");
         EXPECT_EQ(child<QComboBox>(d, "ComboBox1")->currentIndex(), -1);
     },
     recordText({"<CtrlNode type=\"9\">", "  <times>1</times>", "  <var>-1</var>", "</CtrlNode>"}),
     std::nullopt},
    {"LoopBeginClearedBoxStoresOne", B::LoopBegin, DefaultRecord(B::LoopBegin),
     [](QDialog* d) {
         child<QLineEdit>(d, "ValidateEdit1")->clear();
         child<QComboBox>(d, "ComboBox1")->setCurrentIndex(25);
     },
     recordText({"<CtrlNode type=\"9\">", "  <times>1</times>", "  <var>25</var>", "</CtrlNode>"}),
     std::nullopt},
    {"LoopEnd", B::LoopEnd, recordText({"<CtrlNode type=\"10\">", "  <var>3</var>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Times Loop End");
         EXPECT_EQ(child<QComboBox>(d, "ComboBox1")->currentText(), "D");
     },
     recordText({"<CtrlNode type=\"10\">", "  <var>3</var>", "</CtrlNode>"}), std::nullopt},
    {"LabelNamedGrowsTheBlock", B::Label, DefaultRecord(B::Label),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Label for GOTO:");
         QTest::keyClicks(child<QLineEdit>(d, "Edit1"), "loop 1");
     },
     recordText({"<CtrlNode type=\"11\">", "  <label>loop 1</label>", "</CtrlNode>"}),
     TBlockCaption{"Label:loop 1", 40}},
    {"LabelMadeEmptyShrinksTheBlock", B::Label,
     recordText({"<CtrlNode type=\"11\">", "  <label>old</label>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(child<QLineEdit>(d, "Edit1")->text(), "old");
         child<QLineEdit>(d, "Edit1")->clear();
     },
     DefaultRecord(B::Label), TBlockCaption{"Label", 32}},
    {"GotoKeepsItsCaption", B::Goto,
     recordText({"<CtrlNode type=\"12\">", "  <label>L</label>", "</CtrlNode>"}),
     [](QDialog* d) { EXPECT_EQ(d->windowTitle(), "GOTO"); },
     recordText({"<CtrlNode type=\"12\">", "  <label>L</label>", "</CtrlNode>"}), std::nullopt},
    {"GotoIfStoresTypedMarkupEncoded", B::GotoIf, DefaultRecord(B::GotoIf),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "GOTO IF");
         QTest::keyClicks(child<QLineEdit>(d, "Edit2"), "A<5 & \"B\"");
         QTest::keyClicks(child<QLineEdit>(d, "Edit1"), "L&1");
     },
     recordText({"<CtrlNode type=\"13\">", "  <condition>A&lt;5 &amp; &quot;B&quot;</condition>",
                 "  <label>L&amp;1</label>", "</CtrlNode>"}),
     std::nullopt},
    {"GotoIfShowsStoredTextDecoded", B::GotoIf,
     recordText({"<CtrlNode type=\"13\">", "  <condition>A&lt;&gt;B</condition>",
                 "  <label>x</label>", "</CtrlNode>"}),
     [](QDialog* d) { EXPECT_EQ(child<QLineEdit>(d, "Edit2")->text(), "A<>B"); },
     recordText({"<CtrlNode type=\"13\">", "  <condition>A&lt;&gt;B</condition>",
                 "  <label>x</label>", "</CtrlNode>"}),
     std::nullopt},
    {"LedSixLightsPB0AndClickingLabelPB1LightsIt", B::Led,
     recordText({"<CtrlNode type=\"15\">", "  <led>6</led>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "LED");
         auto* form = static_cast<TFormLED*>(d);
         EXPECT_TRUE(form->lamp(0)->isLit());
         EXPECT_FALSE(form->lamp(1)->isLit());
         EXPECT_FALSE(form->lamp(2)->isLit());
         EXPECT_EQ(form->lamp(0)->color(), QColor(0, 255, 0));
         EXPECT_EQ(form->lamp(1)->color(), QColor(0, 128, 128));
         QTest::mouseClick(child<QLabel>(d, "LabelPB1"), Qt::LeftButton);
     },
     recordText({"<CtrlNode type=\"15\">", "  <led>4</led>", "</CtrlNode>"}), std::nullopt},
    {"LedMissingShowsAllDarkAndWritesSeven", B::Led, recordText({"<CtrlNode type=\"15\"/>"}),
     [](QDialog* d) {
         auto* form = static_cast<TFormLED*>(d);
         for (int n = 0; n < 3; ++n)
             EXPECT_FALSE(form->lamp(n)->isLit()) << n;
     },
     recordText({"<CtrlNode type=\"15\">", "  <led>7</led>", "</CtrlNode>"}), std::nullopt},
    {"IoSetupDropsBitsAboveSeven", B::IoSetup,
     recordText({"<CtrlNode type=\"16\">", "  <ddr>2</ddr>", "  <data>300</data>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "IO Setup");
         EXPECT_EQ(child<QComboBox>(d, "ComboBox1")->currentText(), "DDRC");
         auto* rows = child<QTreeWidget>(d, "ListView1");
         EXPECT_EQ(rows->topLevelItem(2)->checkState(0), Qt::Checked);
         EXPECT_EQ(rows->topLevelItem(2)->text(2), "Output");
         EXPECT_EQ(rows->topLevelItem(0)->text(2), "Input");
     },
     recordText({"<CtrlNode type=\"16\">", "  <ddr>2</ddr>", "  <data>44</data>", "</CtrlNode>"}),
     std::nullopt},
    {"IoInput", B::IoInput,
     recordText({"<CtrlNode type=\"17\">", "  <var>4</var>", "  <port>3</port>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "IO Input");
         EXPECT_EQ(child<QComboBox>(d, "ComboBox2")->currentText(), "PIND");
     },
     recordText({"<CtrlNode type=\"17\">", "  <var>4</var>", "  <port>3</port>", "</CtrlNode>"}),
     std::nullopt},
    {"IoOutputFiveTicksBit0AndBit2", B::IoOutput,
     recordText({"<CtrlNode type=\"18\">", "  <port>1</port>", "  <data>5</data>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "IO Output");
         auto* rows = child<QTreeWidget>(d, "ListView1");
         for (int i = 0; i < 8; ++i) {
             const bool ticked = i == 0 || i == 2;
             EXPECT_EQ(rows->topLevelItem(i)->text(0), QStringLiteral("bit%1").arg(i));
             EXPECT_EQ(rows->topLevelItem(i)->text(1), ticked ? "1" : "0") << i;
             EXPECT_EQ(rows->topLevelItem(i)->text(2), ticked ? "High Level" : "Low Level") << i;
         }
     },
     recordText({"<CtrlNode type=\"18\">", "  <port>1</port>", "  <data>5</data>", "</CtrlNode>"}),
     std::nullopt},
    {"ServoSliderToTheBottomShowsEighteen", B::Servo, DefaultRecord(B::Servo),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Servo");
         EXPECT_EQ(child<QLabel>(d, "LabelVal3")->text(), "9");
         auto* slider = child<QScrollBar>(d, "ScrollBar3");
         slider->triggerAction(QAbstractSlider::SliderToMaximum);
         EXPECT_EQ(child<QLabel>(d, "LabelVal3")->text(), "18");
     },
     recordText({"<CtrlNode type=\"19\">", "  <data1>9</data1>", "  <data2>9</data2>",
                 "  <data3>18</data3>", "  <data4>9</data4>", "  <data5>9</data5>",
                 "  <speed>1</speed>", "</CtrlNode>"}),
     std::nullopt},
    {"ServoOutOfRangeIsClamped", B::Servo,
     recordText({"<CtrlNode type=\"19\">", "  <data1>-4</data1>", "  <data2>30</data2>",
                 "  <speed>8</speed>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(child<QLabel>(d, "LabelVal1")->text(), "0");
         EXPECT_EQ(child<QLabel>(d, "LabelVal2")->text(), "18");
         EXPECT_EQ(child<QLabel>(d, "LabelSpdVal")->text(), "5");
     },
     recordText({"<CtrlNode type=\"19\">", "  <data1>0</data1>", "  <data2>18</data2>",
                 "  <data3>0</data3>", "  <data4>0</data4>", "  <data5>0</data5>",
                 "  <speed>5</speed>", "</CtrlNode>"}),
     std::nullopt},
    {"ExpressionCaptionShowsTheTypedText", B::Expression, DefaultRecord(B::Expression),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Expression or Statement");
         QTest::keyClicks(child<QLineEdit>(d, "Edit1"), "A=A<<1");
     },
     recordText({"<CtrlNode type=\"20\">", "  <command>A=A&lt;&lt;1</command>", "</CtrlNode>"}),
     TBlockCaption{"Expression:A=A<<1", 40}},
    {"DigitalSensor", B::DigitalSensor,
     recordText({"<CtrlNode type=\"21\">", "  <var>0</var>", "  <index>5</index>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Digital Sensor");
         EXPECT_EQ(child<QComboBox>(d, "ComboBox2")->currentText(), "MIC");
     },
     recordText({"<CtrlNode type=\"21\">", "  <var>0</var>", "  <index>5</index>", "</CtrlNode>"}),
     std::nullopt},
    {"AnalogSensorIndexBeyondTheList", B::AnalogSensor,
     recordText({"<CtrlNode type=\"22\">", "  <var>2</var>", "  <index>8</index>", "</CtrlNode>"}),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Analog Sensor");
         EXPECT_EQ(child<QComboBox>(d, "ComboBox2")->currentIndex(), -1);
         EXPECT_EQ(child<QComboBox>(d, "ComboBox2")->count(), 8);
     },
     recordText({"<CtrlNode type=\"22\">", "  <var>2</var>", "  <index>-1</index>", "</CtrlNode>"}),
     std::nullopt},
    {"SubBegin", B::SubBegin, DefaultRecord(B::SubBegin),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "Subroutine Begin");
         QTest::keyClicks(child<QLineEdit>(d, "Edit1"), "beep");
     },
     recordText({"<CtrlNode type=\"23\">", "  <sub>beep</sub>", "</CtrlNode>"}),
     TBlockCaption{"Sub Begin:beep", 40}},
    {"CallSub", B::CallSub,
     recordText({"<CtrlNode type=\"25\">", "  <sub>beep</sub>", "</CtrlNode>"}),
     [](QDialog* d) { EXPECT_EQ(d->windowTitle(), "Call Subroutine"); },
     recordText({"<CtrlNode type=\"25\">", "  <sub>beep</sub>", "</CtrlNode>"}),
     TBlockCaption{"Call Sub:beep", 40}},
    {"VoiceXChoosingFive", B::VoiceX, DefaultRecord(B::VoiceX),
     [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "VoiceX");
         auto* list = child<QComboBox>(d, "ComboBox1");
         EXPECT_EQ(list->count(), 128);
         list->setCurrentIndex(5);
     },
     recordText({"<CtrlNode type=\"26\">", "  <index>5</index>", "</CtrlNode>"}),
     TBlockCaption{"VoiceX: 5", 40}},
    {"VoiceXIndexBeyondTheListWritesMinusOne", B::VoiceX,
     recordText({"<CtrlNode type=\"26\">", "  <index>300</index>", "</CtrlNode>"}),
     [](QDialog* d) { EXPECT_EQ(child<QComboBox>(d, "ComboBox1")->currentIndex(), -1); },
     recordText({"<CtrlNode type=\"26\">", "  <index>-1</index>", "</CtrlNode>"}), std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Table, EditEveryBlockType, testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorDialogsFixture, CancelWritesNothingForAnyBlockType) {
    for (const TBlockInfo& info : BlockCatalog()) {
        answerNextDialog("Button2", [](QDialog* d) {
            // Whatever was changed before CANCEL is not written.
            for (QLineEdit* edit : d->findChildren<QLineEdit*>())
                if (edit->isEnabled() && !edit->isReadOnly())
                    QTest::keyClicks(edit, "7");
        });
        const TEditOutcome outcome = s_editors->editBlock(info.type, DefaultRecord(info.type));
        EXPECT_TRUE(outcome.opened) << ToInt(info.type);
        EXPECT_EQ(outcome.result, TEditResult::Cancel) << ToInt(info.type);
        EXPECT_EQ(outcome.record, "") << ToInt(info.type);
        EXPECT_EQ(outcome.caption, std::nullopt) << ToInt(info.type);
        EXPECT_FALSE(outcome.relayout) << ToInt(info.type);
    }
}

TEST_F(EditorDialogsFixture, DeleteIsReportedByEveryDialogWithoutARecord) {
    for (const TBlockInfo& info : BlockCatalog()) {
        answerNextDialog("Button3");
        const TEditOutcome outcome = s_editors->editBlock(info.type, DefaultRecord(info.type));
        EXPECT_EQ(outcome.result, TEditResult::Delete) << ToInt(info.type);
        EXPECT_EQ(outcome.record, "") << ToInt(info.type);
    }
}

TEST_F(EditorDialogsFixture, EndAndSubEndOfferOnlyCancelAndDelete) {
    for (const BlockType type : {B::End, B::SubEnd}) {
        QDialog* d = s_editors->dialog(dialogKindForBlockType(type));
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->findChild<QPushButton*>("Button1"), nullptr) << ToInt(type);
        EXPECT_EQ(d->findChild<QPushButton*>("Button2")->text(), "CANCEL");
        EXPECT_EQ(d->findChild<QPushButton*>("Button3")->text(), "DELETE");
    }
    EXPECT_EQ(s_editors->formJieShu()->windowTitle(), "End");
    EXPECT_EQ(s_editors->formSubEnd()->windowTitle(), "Subroutine End");
}

TEST_F(EditorDialogsFixture, EveryOtherDialogHasTheThreeButtonsInOrder) {
    for (const TBlockInfo& info : BlockCatalog()) {
        if (info.type == B::End || info.type == B::SubEnd)
            continue;
        QDialog* d = s_editors->dialog(dialogKindForBlockType(info.type));
        ASSERT_NE(d, nullptr) << ToInt(info.type);
        auto* ok = d->findChild<QPushButton*>("Button1");
        auto* cancel = d->findChild<QPushButton*>("Button2");
        auto* remove = d->findChild<QPushButton*>("Button3");
        ASSERT_TRUE(ok && cancel && remove) << ToInt(info.type);
        EXPECT_EQ(ok->text(), "OK");
        EXPECT_EQ(cancel->text(), "CANCEL");
        EXPECT_EQ(remove->text(), "DELETE");
        EXPECT_EQ(ok->size(), QSize(75, 25));
        for (QPushButton* b : {ok, cancel, remove})
            EXPECT_FALSE(b->isDefault() || b->autoDefault()) << ToInt(info.type);
    }
}

TEST_F(EditorDialogsFixture, ShowingStartsInTheFirstValueControlAndTheFrameButtonCancels) {
    answerNextDialog("Button1", [](QDialog* d) {
        QLineEdit* box = d->findChild<QLineEdit*>("ValidateEdit1");
        // Each showing starts in the first value control, not on a button.
        EXPECT_EQ(d->focusWidget(), box)
            << (d->focusWidget() ? d->focusWidget()->objectName().toStdString() + " " +
                                       d->focusWidget()->metaObject()->className()
                                 : "none");
        QTest::keyClicks(box, "5");
        d->close(); // the frame's close button
        EXPECT_FALSE(d->isVisible());
    });
    const TEditOutcome outcome = s_editors->editBlock(B::Wait, DefaultRecord(B::Wait));
    EXPECT_EQ(outcome.result, TEditResult::Cancel);
    EXPECT_EQ(outcome.record, "");
}

TEST_F(EditorDialogsFixture, EnterPressesAFocusedButton) {
    answerNextDialog("Button2", [](QDialog* d) {
        auto* remove = d->findChild<QPushButton*>("Button3");
        remove->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(remove, &enter);
    });
    EXPECT_EQ(s_editors->editBlock(B::LoopEnd, DefaultRecord(B::LoopEnd)).result,
              TEditResult::Delete);
}

TEST_F(EditorDialogsFixture, ARecordThatDoesNotParseOpensNothingAndGivesTheMessage) {
    const TEditOutcome outcome =
        s_editors->editBlock(B::Wait, "<CtrlNode type=\"5\"><wait>1</wait></Ctrl>");
    EXPECT_FALSE(outcome.opened);
    EXPECT_NE(outcome.error.English().find("Erroneous end of tag"), std::string::npos)
        << outcome.error;
    EXPECT_EQ(outcome.record, "");
}

TEST_F(EditorDialogsFixture, NoValueSurvivesFromOneBlockToTheNext) {
    answerNextDialog("Button1", [](QDialog* d) {
        auto* box = d->findChild<QLineEdit*>("ValidateEdit1");
        box->selectAll();
        QTest::keyClicks(box, "1234"); // typed, then CANCEL without leaving the box
        d->findChild<QPushButton*>("Button2")->click();
    });
    EXPECT_EQ(s_editors->editBlock(B::Wait, DefaultRecord(B::Wait)).result, TEditResult::Cancel);
    answerNextDialog("Button1", [](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("ValidateEdit1")->text(), "0");
        EXPECT_EQ(d->findChild<QScrollBar*>("ScrollBar1")->value(), 0);
    });
    EXPECT_EQ(s_editors->editBlock(B::Wait, DefaultRecord(B::Wait)).record, DefaultRecord(B::Wait));
}

TEST_F(EditorDialogsFixture, TheMusicDurationIsKeptBetweenShowings) {
    answerNextDialog("Button2", [](QDialog* d) {
        d->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(7); // "2 beat"
    });
    s_editors->editBlock(B::Music, DefaultRecord(B::Music));
    answerNextDialog("Button1", [](QDialog* d) {
        EXPECT_EQ(d->findChild<QComboBox*>("ComboBox2")->currentText(), "2 beat");
        // Key 0, the middle 1 for "2 beat".
        d->findChild<QRadioButton*>("RadioButton8")->click();
        d->findChild<QPushButton*>("Button4")->click();
    });
    const TEditOutcome outcome = s_editors->editBlock(B::Music, DefaultRecord(B::Music));
    EXPECT_EQ(outcome.record,
              recordText({"<CtrlNode type=\"6\">", "  <key>0</key>", "  <keycmd>0</keycmd>",
                          "  <content>88</content>", "</CtrlNode>"}));
}

TEST(PhraseDialog, AnEmptyEntryKeepsTheCaptionAndAnEmptyListWritesMinusOne) {
    QWidget host;
    TEditorDialogs withFile(&host, {"a", "", "c"});
    answerNextDialog("Button1", [](QDialog* d) {
        auto* list = d->findChild<QComboBox*>("ComboBox1");
        EXPECT_EQ(list->count(), 3);
        EXPECT_EQ(list->currentIndex(), 0);
        // Each phrase beside its number.
        EXPECT_EQ(list->itemText(0), "0: a");
        EXPECT_EQ(list->itemText(1), "1: ");
        EXPECT_EQ(list->itemText(2), "2: c");
        list->setCurrentIndex(1);
    });
    TEditOutcome outcome = withFile.editBlock(B::VoiceX, DefaultRecord(B::VoiceX));
    EXPECT_EQ(outcome.record,
              recordText({"<CtrlNode type=\"26\">", "  <index>1</index>", "</CtrlNode>"}));
    EXPECT_EQ(outcome.caption, std::nullopt);
    EXPECT_TRUE(outcome.relayout);

    TEditorDialogs unreadable(&host, {});
    answerNextDialog("Button1");
    outcome = unreadable.editBlock(B::VoiceX, DefaultRecord(B::VoiceX));
    EXPECT_EQ(outcome.record,
              recordText({"<CtrlNode type=\"26\">", "  <index>-1</index>", "</CtrlNode>"}));
    EXPECT_EQ(outcome.caption, std::nullopt);
}

TEST(PhraseDialog, PhraseBytesComeBackAsInTheFile) {
    QWidget host;
    const std::string gbk = "\xC4\xE3\xBA\xC3"; // a GBK name on any system
    TEditorDialogs editors(&host, {"zero", gbk});
    answerNextDialog("Button1",
                     [](QDialog* d) { d->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1); });
    const TEditOutcome outcome = editors.editBlock(B::VoiceX, DefaultRecord(B::VoiceX));
    ASSERT_TRUE(outcome.caption.has_value());
    EXPECT_EQ(outcome.caption->text, "VoiceX: " + gbk);
}

} // namespace

namespace {

TEST(ExecHook, AnswersTheEditorWithoutShowingIt) {
    QWidget host;
    TEditorDialogs editors(&host, {});
    std::vector<QString> seen;
    editors.setExecHook([&seen](TEditorDialog& dialog) {
        seen.push_back(dialog.windowTitle());
        auto* box = dialog.findChild<QLineEdit*>("ValidateEdit1");
        box->setText(QStringLiteral("70000"));
        dialog.findChild<QPushButton*>("Button1")->click(); // settles the box, then OK
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    const TEditOutcome outcome = editors.editBlock(B::Wait, DefaultRecord(B::Wait));
    EXPECT_EQ(seen, std::vector<QString>{"Wait"});
    EXPECT_EQ(outcome.result, TEditResult::Ok);
    EXPECT_EQ(outcome.record,
              recordText({"<CtrlNode type=\"5\">", "  <wait>32767</wait>", "</CtrlNode>"}));

    editors.setExecHook([](TEditorDialog& dialog) {
        dialog.findChild<QPushButton*>("Button3")->click();
        return dialog.result();
    });
    EXPECT_EQ(editors.editBlock(B::End, "").result, TEditResult::Delete);
}

// What a screen reader calls a control: its accessible name, else the words of the label whose
// buddy it is (empty when it has neither).
QString spokenName(QWidget* dialog, QWidget* control) {
    if (!control->accessibleName().trimmed().isEmpty())
        return control->accessibleName();
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (label->buddy() == control && !label->text().trimmed().isEmpty())
            return labelWords(label->text());
    return {};
}

// The controls of a dialog a person reaches with the keyboard or the mouse: the focusable ones
// in its own window (not in a list's drop-down), and its value sliders.
QList<QWidget*> reachableControls(TEditorDialog* dialog) {
    QList<QWidget*> controls;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        const bool valueSlider =
            qobject_cast<QAbstractSlider*>(w) && w->parentWidget() == dialog->panel();
        if (w->window() == dialog && (w->focusPolicy() != Qt::NoFocus || valueSlider))
            controls << w;
    }
    return controls;
}

struct TNamedKind {
    TDialogKind kind;
    const char* name;
};

const TNamedKind kEveryKind[] = {
    {TDialogKind::ZhiXing, "ZhiXing"},
    {TDialogKind::ZhuanXiang, "ZhuanXiang"},
    {TDialogKind::QiDongDJ, "QiDongDJ"},
    {TDialogKind::TingZhiDJ, "TingZhiDJ"},
    {TDialogKind::YanShi, "YanShi"},
    {TDialogKind::FaYin, "FaYin"},
    {TDialogKind::FORBegin, "FORBegin"},
    {TDialogKind::FOREnd, "FOREnd"},
    {TDialogKind::GOTOBegin, "GOTOBegin"},
    {TDialogKind::GOTOEnd, "GOTOEnd"},
    {TDialogKind::GOTOIF, "GOTOIF"},
    {TDialogKind::JieShu, "JieShu"},
    {TDialogKind::LED, "LED"},
    {TDialogKind::PORTDDR, "PORTDDR"},
    {TDialogKind::PORTIN, "PORTIN"},
    {TDialogKind::PORTOUT, "PORTOUT"},
    {TDialogKind::Servo, "Servo"},
    {TDialogKind::BiaoDaShi, "BiaoDaShi"},
    {TDialogKind::DIN, "DIN"},
    {TDialogKind::AIN, "AIN"},
    {TDialogKind::SubBegin, "SubBegin"},
    {TDialogKind::SubEnd, "SubEnd"},
    {TDialogKind::GOSUB, "GOSUB"},
    {TDialogKind::VOICEX, "VOICEX"},
};

class EveryDialogIsNamed : public EditorDialogsFixture,
                           public testing::WithParamInterface<TNamedKind> {};

TEST_P(EveryDialogIsNamed, EveryControlHasANameAndNumbersTellTheirRange) {
    TEditorDialog* d = s_editors->dialog(GetParam().kind);
    ASSERT_NE(d, nullptr);
    const QList<QWidget*> controls = reachableControls(d);
    ASSERT_FALSE(controls.isEmpty());
    for (QWidget* w : controls) {
        EXPECT_FALSE(spokenName(d, w).isEmpty())
            << d->objectName().toStdString() << " " << w->metaObject()->className() << " "
            << w->objectName().toStdString();
        // What the accessibility bridge hands the screen reader.
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(spoken, nullptr) << w->objectName().toStdString();
        EXPECT_FALSE(spoken->text(QAccessible::Name).trimmed().isEmpty())
            << d->objectName().toStdString() << " " << w->metaObject()->className() << " "
            << w->objectName().toStdString();
    }
    for (TValidateEdit* box : d->findChildren<TValidateEdit*>())
        EXPECT_TRUE(box->toolTip().endsWith(
            QStringLiteral(": %1 to %2").arg(box->minValue()).arg(box->maxValue())))
            << d->objectName().toStdString() << " " << box->objectName().toStdString() << " "
            << box->toolTip().toStdString();
    for (QAbstractSlider* slider :
         d->panel()->findChildren<QAbstractSlider*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(slider->toolTip().endsWith(
            QStringLiteral(": %1 to %2").arg(slider->minimum()).arg(slider->maximum())))
            << d->objectName().toStdString() << " " << slider->objectName().toStdString() << " "
            << slider->toolTip().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, EveryDialogIsNamed, testing::ValuesIn(kEveryKind),
                         [](const testing::TestParamInfo<TNamedKind>& info) {
                             return std::string(info.param.name);
                         });

TEST(EveryDialogIsNamedTable, HoldsTheDialogOfEveryBlockType) {
    for (const TBlockInfo& info : BlockCatalog()) {
        const TDialogKind kind = dialogKindForBlockType(info.type);
        if (kind == TDialogKind::None)
            continue;
        EXPECT_TRUE(std::any_of(std::begin(kEveryKind), std::end(kEveryKind),
                                [kind](const TNamedKind& row) { return row.kind == kind; }))
            << ToInt(info.type);
    }
}

// A control named after the wrong label misleads as much as one without a name.
struct TSpokenCase {
    TDialogKind kind;
    const char* control;
    const char* spoken;
};

TEST_F(EditorDialogsFixture, ControlsAreNamedAfterTheirOwnLabels) {
    const TSpokenCase cases[] = {
        {TDialogKind::ZhiXing, "ValidateEdit1", "Length"},
        // A slider is named with the unit of its number.
        {TDialogKind::ZhiXing, "ScrollBar1", "Length (mm)"},
        {TDialogKind::YanShi, "ScrollBar1", "Wait Length (x 10 ms)"},
        {TDialogKind::QiDongDJ, "ValidateEdit1", "L Speed"},
        {TDialogKind::QiDongDJ, "ValidateEdit2", "R Speed"},
        {TDialogKind::QiDongDJ, "ScrollBar2", "R Speed"},
        {TDialogKind::FORBegin, "ValidateEdit1", "Number of times"},
        {TDialogKind::FORBegin, "ComboBox1", "Var"},
        {TDialogKind::FaYin, "ComboBox1", "Key"},
        {TDialogKind::FaYin, "ComboBox2", "Duration"},
        {TDialogKind::FaYin, "RadioButton1", "Tone 1 low"},
        {TDialogKind::FaYin, "RadioButton15", "Tone 1 high"},
        {TDialogKind::GOTOIF, "Edit2", "Expression"},
        {TDialogKind::GOTOIF, "NameList1", "If condition TRUE GOTO Label"},
        {TDialogKind::GOTOIF, "Edit1", "If condition TRUE GOTO Label"},
        {TDialogKind::GOTOEnd, "Edit1", "GOTO Label"},
        {TDialogKind::SubBegin, "Edit1", "Name of the subroutine"},
        {TDialogKind::AIN, "ComboBox1", "Var"},
        {TDialogKind::AIN, "ComboBox2", "Sensor Port"},
        {TDialogKind::PORTOUT, "ComboBox1", "IO Port"},
        {TDialogKind::Servo, "ScrollBar3", "Servo 3"},
        {TDialogKind::TingZhiDJ, "RadioButton2", "Stop that \"Motor On\""},
    };
    for (const TSpokenCase& c : cases) {
        TEditorDialog* d = s_editors->dialog(c.kind);
        ASSERT_NE(d, nullptr) << c.control;
        auto* control = d->findChild<QWidget*>(QString::fromLatin1(c.control));
        ASSERT_NE(control, nullptr) << d->objectName().toStdString() << " " << c.control;
        EXPECT_EQ(spokenName(d, control), QString::fromLatin1(c.spoken))
            << d->objectName().toStdString() << " " << c.control;
    }
}

TEST(LabelWords, AreTheLabelAsOneLineWithoutMarksOrColon) {
    const std::pair<const char*, const char*> cases[] = {
        {"Length:", "Length"},
        {"VoiceX: ", "VoiceX"},
        {"If condition TRUE\nGOTO Label:", "If condition TRUE GOTO Label"},
        {"&Key:", "Key"},
        {"Salt && Pepper", "Salt & Pepper"},
        {"L Speed", "L Speed"},
        {"", ""},
    };
    for (const auto& [text, words] : cases)
        EXPECT_EQ(labelWords(QString::fromLatin1(text)), QString::fromLatin1(words)) << text;
}

} // namespace

namespace {

// The words of the dialogs read as correct English; the records they write do not change.
TEST(DialogWords, ReadAsCorrectEnglish) {
    struct Case {
        BlockType type;
        const char* control;
        QString text;
    };
    const Case cases[] = {{B::Direct, "RadioGroup1", "Please choose"},
                          {B::Turn, "RadioGroup1", "Please choose"},
                          {B::MotorStop, "RadioGroup1", "Please choose"},
                          {B::Music, "CheckBox1", "Add KEY statement"}};
    QWidget host;
    TEditorDialogs editors(&host, {});
    for (const Case& c : cases) {
        QString seen;
        answerNextDialog("Button2", [&](QDialog* d) {
            if (auto* group = d->findChild<QGroupBox*>(c.control))
                seen = group->title();
            else if (auto* box = d->findChild<QCheckBox*>(c.control))
                seen = box->text();
        });
        editors.editBlock(c.type, DefaultRecord(c.type));
        EXPECT_EQ(seen, c.text) << c.control;
    }
}

} // namespace

namespace {

// Every number of a robot statement shows its unit beside it, from the simulator's robot model.
TEST(DialogUnits, StandBesideTheNumbers) {
    struct Case {
        BlockType type;
        QString unit;
        const char* label = "UnitLabel";
    };
    const Case cases[] = {{B::Direct, "mm"},
                          {B::Turn, "degrees"},
                          {B::Wait, "x 10 ms"},
                          {B::MotorOn, "mm/s", "UnitLabel1"},
                          {B::MotorOn, "mm/s", "UnitLabel2"},
                          {B::Servo, "Position (0 to 18): x 10 degrees"}};
    QWidget host;
    TEditorDialogs editors(&host, {});
    for (const Case& c : cases) {
        QString seen;
        answerNextDialog("Button2", [&](QDialog* d) {
            if (auto* unit = d->findChild<QLabel*>(c.label))
                seen = unit->text();
        });
        editors.editBlock(c.type, DefaultRecord(c.type));
        EXPECT_EQ(seen, c.unit) << static_cast<int>(c.type);
    }
}

} // namespace
