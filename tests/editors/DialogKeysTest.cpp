// The editor dialogs driven as a person at the keyboard drives them: number boxes and their
// sliders, Escape, Enter in a value control and Enter on a focused button.
#include "DialogDriver.h"
#include "editors/EditorDialogs.h"
#include "records/BlockCatalog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <set>

using namespace editors;
using editors_test::answerNextDialog;
using editors_test::recordText;

namespace {

using B = BlockType;

class DialogKeys : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_host = new QWidget;
        s_editors = new TEditorDialogs(s_host, {"zero", "one", "two"});
    }
    static void TearDownTestSuite() {
        delete s_editors;
        delete s_host;
        s_editors = nullptr;
        s_host = nullptr;
    }

    static QWidget* s_host;
    static TEditorDialogs* s_editors;
};

QWidget* DialogKeys::s_host = nullptr;
TEditorDialogs* DialogKeys::s_editors = nullptr;

std::string describe(const QWidget* w) {
    return w ? w->objectName().toStdString() + " (" + w->metaObject()->className() + ")"
             : std::string("nothing");
}

// Gives the control the focus and types into it, replacing its text.
void typeInto(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// A key as the person presses it: to whatever has the dialog's focus.
void press(QDialog* d, Qt::Key key) {
    QWidget* target = d->focusWidget() ? d->focusWidget() : d;
    QTest::keyClick(target, key);
}

// ---------------------------------------------------------------------------------------------
// Number boxes coupled to a slider

// Where a click on part `part` of a scroll bar lands.
QPoint pointOf(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

// One coupling: the record the dialog opens with, a number typed into the box (the box keeps
// the focus, so it never settles) and a click on one of the slider's arrows; then a number
// beyond both ends' reach typed and OK.
struct TCouplingCase {
    const char* name;
    BlockType type;
    std::string record;
    const char* box;
    const char* slider;
    const char* typed;
    QStyle::SubControl arrow;
    const char* afterArrow;
    const char* beyond;
    int sliderAtBeyond;
    const char* written; // the element OK writes after `beyond`
};

void PrintTo(const TCouplingCase& c, std::ostream* os) {
    *os << c.name;
}

class NumberSliders : public DialogKeys, public testing::WithParamInterface<TCouplingCase> {};

TEST_P(NumberSliders, TheSliderFollowsTheTypedNumberAndStepsFromIt) {
    const TCouplingCase& c = GetParam();
    answerNextDialog("Button1", [&c](QDialog* d) {
        auto* box = d->findChild<QLineEdit*>(c.box);
        auto* slider = d->findChild<QScrollBar*>(c.slider);
        ASSERT_TRUE(box && slider);
        typeInto(box, c.typed);
        EXPECT_EQ(slider->value(), QString(c.typed).toInt()) << "while the number is typed";

        QTest::mouseClick(slider, Qt::LeftButton, {}, pointOf(slider, c.arrow));
        EXPECT_EQ(box->text(), c.afterArrow) << "one step from the typed number";
        EXPECT_EQ(slider->value(), QString(c.afterArrow).toInt());
        EXPECT_EQ(d->focusWidget(), box) << describe(d->focusWidget());

        typeInto(box, c.beyond);
        EXPECT_EQ(box->text(), c.beyond) << "the slider's end does not cut the typing short";
        EXPECT_EQ(slider->value(), c.sliderAtBeyond);
    });
    const TEditOutcome outcome = s_editors->editBlock(c.type, c.record);
    EXPECT_EQ(outcome.result, TEditResult::Ok);
    EXPECT_NE(outcome.record.find(c.written), std::string::npos) << outcome.record;
}

const TCouplingCase kCouplings[] = {
    {"DirectStepsDownFromTheTopEnd", B::Direct,
     recordText(
         {"<CtrlNode type=\"1\">", "  <mode>0</mode>", "  <wait>32767</wait>", "</CtrlNode>"}),
     "ValidateEdit1", "ScrollBar1", "50", QStyle::SC_ScrollBarSubLine, "49", "40000", 1000,
     "<wait>32767</wait>"},
    {"TurnStepsUpFromZero", B::Turn, DefaultRecord(B::Turn), "ValidateEdit1", "ScrollBar1", "50",
     QStyle::SC_ScrollBarAddLine, "51", "99999", 360, "<wait>32767</wait>"},
    {"WaitStepsUpFromZero", B::Wait, DefaultRecord(B::Wait), "ValidateEdit1", "ScrollBar1", "50",
     QStyle::SC_ScrollBarAddLine, "51", "1234567", 1000, "<wait>32767</wait>"},
    {"MotorLeftNegative", B::MotorOn, DefaultRecord(B::MotorOn), "ValidateEdit1", "ScrollBar1",
     "-50", QStyle::SC_ScrollBarAddLine, "-49", "-300", -255, "<motorL>-255</motorL>"},
    {"MotorRight", B::MotorOn, DefaultRecord(B::MotorOn), "ValidateEdit2", "ScrollBar2", "50",
     QStyle::SC_ScrollBarSubLine, "49", "256", 255, "<motorR>255</motorR>"},
};

INSTANTIATE_TEST_SUITE_P(Table, NumberSliders, testing::ValuesIn(kCouplings),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Escape

// Changes what the focused control holds, as a person would before thinking better of it.
void changeFocusedControl(QDialog* d) {
    QWidget* focus = d->focusWidget();
    if (auto* edit = qobject_cast<QLineEdit*>(focus))
        QTest::keyClicks(edit, "7");
    else if (auto* list = qobject_cast<QComboBox*>(focus); list && list->isEditable())
        QTest::keyClicks(list->lineEdit(), "7");
    else if (focus && !qobject_cast<QPushButton*>(focus))
        QTest::keyClick(focus, Qt::Key_Down); // the next entry, radio button or row
}

TEST_F(DialogKeys, EscapeCancelsEveryDialogAndWritesNothing) {
    for (const TBlockInfo& info : BlockCatalog()) {
        SCOPED_TRACE(info.caption);
        bool closed = false;
        answerNextDialog("Button2", [&closed](QDialog* d) {
            changeFocusedControl(d);
            press(d, Qt::Key_Escape);
            closed = !d->isVisible();
        });
        const TEditOutcome outcome = s_editors->editBlock(info.type, DefaultRecord(info.type));
        EXPECT_TRUE(closed) << "Escape closed the dialog";
        EXPECT_EQ(outcome.result, TEditResult::Cancel);
        EXPECT_EQ(outcome.record, "");
        EXPECT_EQ(outcome.caption, std::nullopt);
    }
}

TEST_F(DialogKeys, EscapeInATypedNumberBoxCancelsAndTheNextShowingStartsFromTheRecord) {
    answerNextDialog("Button2", [](QDialog* d) {
        auto* box = d->findChild<QLineEdit*>("ValidateEdit1");
        typeInto(box, "1234");
        press(d, Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible());
    });
    const std::string record =
        recordText({"<CtrlNode type=\"5\">", "  <wait>20</wait>", "</CtrlNode>"});
    EXPECT_EQ(s_editors->editBlock(B::Wait, record).result, TEditResult::Cancel);
    answerNextDialog("Button1", [](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("ValidateEdit1")->text(), "20");
        EXPECT_EQ(d->findChild<QScrollBar*>("ScrollBar1")->value(), 20);
    });
    EXPECT_EQ(s_editors->editBlock(B::Wait, record).record, record);
}

TEST_F(DialogKeys, EscapeInAnOpenDropDownClosesOnlyTheDropDown) {
    answerNextDialog("Button1", [](QDialog* d) {
        auto* list = d->findChild<QComboBox*>("ComboBox1");
        list->setFocus();
        list->showPopup();
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        QTest::keyClick(popup, Qt::Key_Escape);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_TRUE(d->isVisible());
        list->setCurrentIndex(2);
    });
    const TEditOutcome outcome = s_editors->editBlock(B::VoiceX, DefaultRecord(B::VoiceX));
    EXPECT_EQ(outcome.result, TEditResult::Ok);
    EXPECT_EQ(outcome.record,
              recordText({"<CtrlNode type=\"26\">", "  <index>2</index>", "</CtrlNode>"}));
}

// ---------------------------------------------------------------------------------------------
// Enter in a value control

// One dialog kind: the control that gets the focus (nullptr: the one each showing starts in),
// the text typed there, and what that text must write; Enter then means OK, except in an
// editable name list, which keeps Enter to itself.
struct TEnterCase {
    const char* name;
    BlockType type;
    const char* control;
    const char* typed;
    const char* written;
    bool enterCloses = true;
};

void PrintTo(const TEnterCase& c, std::ostream* os) {
    *os << c.name;
}

class EnterInAControl : public DialogKeys, public testing::WithParamInterface<TEnterCase> {
protected:
    // Focuses and fills the control of the row, or changes the one each showing starts in.
    static void fill(QDialog* d, const TEnterCase& c) {
        // Radio buttons move with the arrows only in the active window.
        ASSERT_TRUE(QTest::qWaitForWindowActive(d));
        if (!c.control) {
            // The next entry or radio button of the first control (nothing on a push button).
            if (QWidget* focus = d->focusWidget(); focus && !qobject_cast<QPushButton*>(focus))
                QTest::keyClick(focus, Qt::Key_Down);
            return;
        }
        QWidget* control = d->findChild<QWidget*>(c.control);
        ASSERT_NE(control, nullptr) << c.control;
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            list->setFocus();
            list->lineEdit()->selectAll();
            QTest::keyClicks(list->lineEdit(), c.typed);
        } else {
            typeInto(qobject_cast<QLineEdit*>(control), c.typed);
        }
    }
};

TEST_P(EnterInAControl, MeansOkWithWhatWasTyped) {
    const TEnterCase& c = GetParam();
    // What OK writes after the same typing, for comparison.
    answerNextDialog("Button1", [&c](QDialog* d) { fill(d, c); });
    const TEditOutcome byButton = s_editors->editBlock(c.type, DefaultRecord(c.type));
    ASSERT_EQ(byButton.result, TEditResult::Ok);

    bool closedByEnter = false;
    answerNextDialog("Button1", [&c, &closedByEnter](QDialog* d) {
        fill(d, c);
        ASSERT_NE(d->focusWidget(), nullptr);
        press(d, Qt::Key_Return);
        closedByEnter = !d->isVisible();
    });
    const TEditOutcome byEnter = s_editors->editBlock(c.type, DefaultRecord(c.type));
    EXPECT_EQ(closedByEnter, c.enterCloses);
    EXPECT_EQ(byEnter.result, TEditResult::Ok);
    EXPECT_EQ(byEnter.record, byButton.record);
    EXPECT_NE(byEnter.record.find(c.written), std::string::npos) << byEnter.record;
}

const TEnterCase kEnterCases[] = {
    {"Direct", B::Direct, "ValidateEdit1", "123", "<wait>123</wait>"},
    {"Turn", B::Turn, "ValidateEdit1", "90", "<wait>90</wait>"},
    {"WaitBeyondItsLimit", B::Wait, "ValidateEdit1", "70000", "<wait>32767</wait>"},
    {"MotorOnRight", B::MotorOn, "ValidateEdit2", "-7", "<motorR>-7</motorR>"},
    {"LoopBegin", B::LoopBegin, "ValidateEdit1", "12", "<times>12</times>"},
    {"Label", B::Label, "Edit1", "top", "<label>top</label>"},
    {"GotoIfCondition", B::GotoIf, "Edit2", "A>1", "<condition>A&gt;1</condition>"},
    {"Expression", B::Expression, "Edit1", "A=A+1", "<command>A=A+1</command>"},
    {"SubBegin", B::SubBegin, "Edit1", "turn", "<sub>turn</sub>"},
    {"GotoNameListKeepsEnter", B::Goto, "NameList1", "top", "<label>top</label>", false},
    {"CallSubNameListKeepsEnter", B::CallSub, "NameList1", "turn", "<sub>turn</sub>", false},
    {"GotoIfNameListKeepsEnter", B::GotoIf, "NameList1", "L", "<label>L</label>", false},
    // Dialogs of lists, radio buttons and lamps: Down, then Enter where each showing starts.
    {"MotorStopRadioButton", B::MotorStop, nullptr, "", "<mode>1</mode>"},
    {"MusicKey", B::Music, nullptr, "", "<key>1</key>"},
    {"LoopEndVariable", B::LoopEnd, nullptr, "", "<var>1</var>"},
    {"LedStartsOnOk", B::Led, nullptr, "", "<led>7</led>"},
    {"IoSetupPort", B::IoSetup, nullptr, "", "<ddr>1</ddr>"},
    {"IoInputVariable", B::IoInput, nullptr, "", "<var>1</var>"},
    {"IoOutputPort", B::IoOutput, nullptr, "", "<port>1</port>"},
    {"ServoStartsOnOk", B::Servo, nullptr, "", "<speed>1</speed>"},
    {"DigitalSensorVariable", B::DigitalSensor, nullptr, "", "<var>1</var>"},
    {"AnalogSensorVariable", B::AnalogSensor, nullptr, "", "<var>1</var>"},
    {"VoiceXPhrase", B::VoiceX, nullptr, "", "<index>1</index>"},
};

INSTANTIATE_TEST_SUITE_P(Table, EnterInAControl, testing::ValuesIn(kEnterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogKeys, EveryDialogWithAnOkIsInTheEnterTable) {
    std::set<BlockType> listed;
    for (const TEnterCase& c : kEnterCases)
        listed.insert(c.type);
    for (const TBlockInfo& info : BlockCatalog()) {
        if (info.type != B::End && info.type != B::SubEnd) {
            EXPECT_TRUE(listed.count(info.type)) << info.caption;
        }
    }
}

TEST_F(DialogKeys, EnterAmongTheMusicNotesDoesNotCloseTheComposer) {
    answerNextDialog("Button1", [](QDialog* d) {
        auto* notes = d->findChild<QListWidget*>("NoteListBox1");
        ASSERT_EQ(notes->count(), 2);
        notes->setFocus();
        notes->setCurrentRow(1);
        press(d, Qt::Key_Return);
        EXPECT_TRUE(d->isVisible());
    });
    const std::string record =
        recordText({"<CtrlNode type=\"6\">", "  <key>0</key>", "  <keycmd>0</keycmd>",
                    "  <content>8408</content>", "</CtrlNode>"});
    const TEditOutcome outcome = s_editors->editBlock(B::Music, record);
    EXPECT_EQ(outcome.result, TEditResult::Ok);
    EXPECT_EQ(outcome.record, record);
}

TEST_F(DialogKeys, EachShowingStartsOnTheChosenRadioButton) {
    const std::string modeOne =
        recordText({"<CtrlNode type=\"4\">", "  <mode>1</mode>", "</CtrlNode>"});
    for (const std::string& record : {DefaultRecord(B::MotorStop), modeOne, modeOne}) {
        const QString chosen = record == modeOne ? "RadioButton2" : "RadioButton1";
        answerNextDialog("Button2", [&chosen](QDialog* d) {
            ASSERT_NE(d->focusWidget(), nullptr);
            EXPECT_EQ(d->focusWidget()->objectName(), chosen);
            // Focus left on the other button must not decide where the next showing starts.
            d->findChild<QRadioButton*>(chosen == "RadioButton1" ? "RadioButton2" : "RadioButton1")
                ->setFocus();
        });
        s_editors->editBlock(B::MotorStop, record);
    }
}

// ---------------------------------------------------------------------------------------------
// Enter on a focused button

// One button: the dialog opens with `record` (the type's default when empty), its number box
// (if any) gets a number and `before` prepares the rest; then the button takes the focus and
// Enter is pressed. The dialog closes as that button closes it, or stays open for a button that
// does not close it (`afterEnter` looks at what the button did, and OK follows).
struct TButtonCase {
    const char* name;
    BlockType type;
    const char* button;
    bool closes;
    TEditResult result;
    const char* written; // in the record; "" for no record
    std::string record = {};
    std::function<void(QDialog*)> before = {};
    std::function<void(QDialog*)> afterEnter = {};
};

void PrintTo(const TButtonCase& c, std::ostream* os) {
    *os << c.name;
}

class EnterOnAButton : public DialogKeys, public testing::WithParamInterface<TButtonCase> {};

TEST_P(EnterOnAButton, PressesThatButton) {
    const TButtonCase& c = GetParam();
    bool closed = false;
    answerNextDialog("Button1", [&c, &closed](QDialog* d) {
        if (auto* box = d->findChild<QLineEdit*>("ValidateEdit1"))
            typeInto(box, "77");
        if (c.before)
            c.before(d);
        auto* button = d->findChild<QAbstractButton*>(c.button);
        ASSERT_NE(button, nullptr) << c.button;
        button->setFocus();
        ASSERT_EQ(d->focusWidget(), button) << describe(d->focusWidget());
        press(d, Qt::Key_Return);
        closed = !d->isVisible();
        if (!closed && c.afterEnter)
            c.afterEnter(d);
    });
    const TEditOutcome outcome =
        s_editors->editBlock(c.type, c.record.empty() ? DefaultRecord(c.type) : c.record);
    EXPECT_EQ(closed, c.closes);
    EXPECT_EQ(outcome.result, c.result);
    if (*c.written)
        EXPECT_NE(outcome.record.find(c.written), std::string::npos) << outcome.record;
    else
        EXPECT_EQ(outcome.record, "");
}

const TButtonCase kButtonCases[] = {
    {"Ok", B::Wait, "Button1", true, TEditResult::Ok, "<wait>77</wait>"},
    {"CancelAfterTyping", B::Wait, "Button2", true, TEditResult::Cancel, ""},
    {"DeleteAfterTyping", B::Direct, "Button3", true, TEditResult::Delete, ""},
    {"EndDelete", B::End, "Button3", true, TEditResult::Delete, ""},
    {"SubEndCancel", B::SubEnd, "Button2", true, TEditResult::Cancel, ""},
    // The composer's Add (a push button) and up arrow (a tool button) do their work only.
    {.name = "MusicAdd",
     .type = B::Music,
     .button = "Button4",
     .closes = false,
     .result = TEditResult::Ok,
     .written = "<content>34</content>",
     .before =
         [](QDialog* d) {
             d->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(3); // "1 beat"
             d->findChild<QRadioButton*>("RadioButton3")->click();      // the low 3 in key 0
         },
     .afterEnter =
         [](QDialog* d) { EXPECT_EQ(d->findChild<QListWidget*>("NoteListBox1")->count(), 1); }},
    {.name = "MusicUpArrowMovesTheSelectedNote",
     .type = B::Music,
     .button = "SpeedButton1",
     .closes = false,
     .result = TEditResult::Ok,
     .written = "<content>0884</content>",
     .record = recordText({"<CtrlNode type=\"6\">", "  <key>0</key>", "  <keycmd>0</keycmd>",
                           "  <content>8408</content>", "</CtrlNode>"}),
     .before = [](QDialog* d) { d->findChild<QListWidget*>("NoteListBox1")->setCurrentRow(1); },
     .afterEnter =
         [](QDialog* d) {
             EXPECT_EQ(d->findChild<QListWidget*>("NoteListBox1")->currentRow(), 0);
         }},
};

INSTANTIATE_TEST_SUITE_P(Table, EnterOnAButton, testing::ValuesIn(kButtonCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
