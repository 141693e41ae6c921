#include "editors/frmBiaoDaShi.h"
#include "editors/frmFaYin.h"
#include "editors/frmGOSUB.h"
#include "editors/frmGOTOBegin.h"
#include "editors/frmGOTOEnd.h"
#include "editors/frmGOTOIF.h"
#include "editors/frmLED.h"
#include "editors/frmPORTDDR.h"
#include "editors/frmQiDongDJ.h"
#include "editors/frmSubBegin.h"
#include "editors/frmYanshi.h"
#include "platform/text/CodePage.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace editors;

namespace {

void leave(QWidget* widget) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
}

// A number box on its own, shown so it takes keys as in a dialog.
class NumberBox : public testing::Test {
protected:
    void SetUp() override {
        box = new TValidateEdit(&host, -255, 255);
        host.show();
    }
    QWidget host;
    TValidateEdit* box = nullptr;
};

TEST_F(NumberBox, TypingTakesDigitsAndOneSignOfEachKind) {
    box->clear();
    QTest::keyClicks(box, "a-12-x+3+ .");
    EXPECT_EQ(box->text(), "-12+3");
    // Characters beyond ASCII, digits of other scripts and surrogate pairs included, are refused.
    const QString foreign = QString::fromUtf8("\xd9\xa3\xef\xbc\x95\xf0\x9f\x98\x80");
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, foreign);
    QApplication::sendEvent(box, &key);
    EXPECT_EQ(box->text(), "-12+3");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "-12+");
}

TEST_F(NumberBox, LeavingReadsLimitsAndShowsThePlainNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"-120", "-120"}, {"300", "255"}, {"-999", "-255"}, {"", "0"},
        {"5-", "0"},      {"+7", "7"},    {"007", "7"},     {"99999999999999999999", "255"},
    };
    for (const auto& [typed, shown] : cases) {
        box->clear();
        QTest::keyClicks(box, typed);
        leave(box);
        EXPECT_EQ(box->text(), shown) << typed;
        EXPECT_EQ(box->value(), QString(shown).toInt()) << typed;
    }
}

TEST_F(NumberBox, ValueChangedOnlyWhenTheSettledTextChanges) {
    QSignalSpy changed(box, &TValidateEdit::valueChanged);
    box->setValue(10);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.takeFirst().at(0).toInt(), 10);
    box->setValue(10);
    leave(box);
    EXPECT_EQ(changed.count(), 0);
    box->clear();
    QTest::keyClicks(box, "010");
    leave(box); // shows "10" again: no change
    EXPECT_EQ(changed.count(), 0);
    box->setValue(1000);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.takeFirst().at(0).toInt(), 255);
}

TEST_F(NumberBox, EscapeBringsBackTheTextBeforeTheTyping) {
    box->setValue(42);
    box->selectAll();
    QTest::keyClicks(box, "-7");
    EXPECT_EQ(box->text(), "-7");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(box->text(), "42");
}

TEST_F(NumberBox, PasteIsFilteredAndSettled) {
    box->setValue(0);
    box->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("x1\t2-3 4"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    // "12-34" reads as no number: 0, shown settled.
    EXPECT_EQ(box->text(), "0");
    box->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("abc-1x2y0"));
    QSignalSpy changed(box, &TValidateEdit::valueChanged);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "-120");
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(NumberBox, TextIsRightAligned) {
    EXPECT_TRUE(box->alignment() & Qt::AlignRight);
}

TEST(SliderCoupling, WaitBoxAboveTheLimitPutsTheSliderAtItsRightEnd) {
    QWidget host;
    TFormYanShi form(&host);
    form.setValues({100});
    auto* box = form.findChild<QLineEdit*>("ValidateEdit1");
    auto* slider = form.findChild<QScrollBar*>("ScrollBar1");
    EXPECT_EQ(box->text(), "100");
    EXPECT_EQ(slider->value(), 100);
    box->selectAll();
    QTest::keyClicks(box, "50000");
    leave(box);
    EXPECT_EQ(box->text(), "32767");
    // The slider covers ten seconds; the box keeps the whole range, the slider rests at its end
    // and steps from there.
    EXPECT_EQ(slider->maximum(), 1000);
    EXPECT_EQ(slider->value(), slider->maximum());
    slider->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(box->text(), "990");
    slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(box->text(), "989");
}

TEST(SliderCoupling, MotorRowsFollowEachOtherWithoutEndlessCalls) {
    QWidget host;
    TFormQiDongDJ form(&host);
    form.setValues({0, 0});
    auto* box1 = static_cast<TValidateEdit*>(form.findChild<QLineEdit*>("ValidateEdit1"));
    auto* slider1 = form.findChild<QScrollBar*>("ScrollBar1");
    auto* box2 = form.findChild<QLineEdit*>("ValidateEdit2");
    auto* slider2 = form.findChild<QScrollBar*>("ScrollBar2");
    QSignalSpy sliderMoves(slider1, &QScrollBar::valueChanged);
    QSignalSpy boxChanges(box1, &TValidateEdit::valueChanged);

    box1->selectAll();
    QTest::keyClicks(box1, "-120");
    // The slider went along with each key ("-" reads 0, where it stood); the box settles once,
    // on leaving.
    QList<int> positions;
    for (const QList<QVariant>& move : sliderMoves)
        positions << move.at(0).toInt();
    EXPECT_EQ(positions, (QList<int>{-1, -12, -120}));
    EXPECT_EQ(boxChanges.count(), 0);
    leave(box1);
    EXPECT_EQ(slider1->value(), -120);
    EXPECT_EQ(sliderMoves.count(), 3);
    EXPECT_EQ(boxChanges.count(), 1);

    slider1->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(box1->text(), "-255");
    EXPECT_EQ(sliderMoves.count(), 4);
    EXPECT_EQ(boxChanges.count(), 2);
    // The other row is independent.
    EXPECT_EQ(box2->text(), "0");
    EXPECT_EQ(slider2->value(), 0);
    slider2->setValue(77);
    EXPECT_EQ(box2->text(), "77");
    EXPECT_EQ(form.values(), (TMotorOnValues{-255, 77}));
}

// Label, Goto, Sub Begin and Call Sub names: "<" and "&" cannot get in.
template <class Form> class NameEdit : public testing::Test {};
using NameForms = testing::Types<TFormGOTOBegin, TFormGOTOEnd, TFormSubBegin, TFormGOSUB>;
TYPED_TEST_SUITE(NameEdit, NameForms);

TYPED_TEST(NameEdit, RefusesLessThanAndAmpersandTypedOrPastedWithAHint) {
    QWidget host;
    TypeParam form(&host);
    form.setValues({"start"});
    form.show();
    auto* edit = form.template findChild<QLineEdit*>("Edit1");
    auto* hint = form.template findChild<QLabel*>("LabelHint");
    ASSERT_TRUE(edit && hint);
    EXPECT_FALSE(hint->isVisible());
    edit->selectAll();
    QTest::keyClicks(edit, "<"); // refused: the selected name stays
    EXPECT_EQ(edit->text(), "start");
    EXPECT_TRUE(hint->isVisible());
    form.setValues({"start"});
    edit->selectAll();
    QTest::keyClicks(edit, "a b");
    EXPECT_FALSE(hint->isVisible());
    QTest::keyClicks(edit, "<&c");
    EXPECT_EQ(edit->text(), "a bc");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_FALSE(hint->text().isEmpty());

    QApplication::clipboard()->setText(QStringLiteral("x<y&z\"'"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "a bcxyz\"'");
    EXPECT_EQ(form.values().name, "a bcxyz\"'");

    // A new showing starts without the hint; a stored name is shown as it is.
    form.setValues({"old&name"});
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(edit->text(), "old&name");
}

// Goto, GotoIf and Call Sub: the name is typed, or picked from the chart's names in the list.
class NameLists : public testing::Test {
protected:
    QWidget host;
    TFormGOTOEnd gotoForm{&host};
    TFormGOTOIF gotoIfForm{&host};
    TFormGOSUB callSubForm{&host};
    TFormGOTOBegin labelForm{&host};
    TFormSubBegin subBeginForm{&host};

    static QStringList entries(const QComboBox* list) {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result << list->itemText(i);
        return result;
    }
    // The three dialogs with a list, filled and shown: each with its list and text box.
    struct Listed {
        const char* what;
        QDialog* dialog;
        std::function<void(const std::vector<std::string>&)> offer;
        std::function<void(const std::string&)> setName;
        std::function<std::string()> name;
    };
    std::vector<Listed> listed() {
        return {
            {"Goto", &gotoForm, [this](const auto& n) { gotoForm.setNameChoices(n); },
             [this](const std::string& n) { gotoForm.setValues({n}); },
             [this] { return gotoForm.values().name; }},
            {"GotoIf", &gotoIfForm, [this](const auto& n) { gotoIfForm.setNameChoices(n); },
             [this](const std::string& n) {
                 gotoIfForm.setValues({"A>1", n});
             },
             [this] { return gotoIfForm.values().label; }},
            {"Call Sub", &callSubForm, [this](const auto& n) { callSubForm.setNameChoices(n); },
             [this](const std::string& n) { callSubForm.setValues({n}); },
             [this] { return callSubForm.values().name; }},
        };
    }
};

TEST_F(NameLists, OfferTheNamesGivenAndKeepTheTextAsItIs) {
    for (const Listed& l : listed()) {
        SCOPED_TRACE(l.what);
        l.setName("typed");
        l.offer({"Loop", "End", "\xe9t\xe9"}); // bytes of the code page
        l.dialog->show();
        auto* list = l.dialog->findChild<QComboBox*>("NameList1");
        auto* edit = l.dialog->findChild<QLineEdit*>("Edit1");
        ASSERT_TRUE(list && edit);
        EXPECT_TRUE(list->isEditable());
        EXPECT_EQ(list->lineEdit(), edit) << "the text box is the list's own";
        EXPECT_EQ(entries(list), (QStringList{"Loop", "End", platform::toQString("\xe9t\xe9")}));
        EXPECT_EQ(edit->text(), "typed") << "offering names changes no text";
        EXPECT_EQ(l.name(), "typed");

        // Picking a name puts it in the box.
        list->setCurrentIndex(1);
        EXPECT_EQ(l.name(), "End");
        // Typing is neither completed nor added to the list, Enter included.
        edit->clear();
        list->setFocus(); // keys reach the list through its text box, which has the focus
        QTest::keyClicks(edit, "Lo");
        EXPECT_EQ(edit->text(), "Lo");
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(l.name(), "Lo");
        EXPECT_EQ(list->count(), 3);
        EXPECT_TRUE(l.dialog->isVisible()) << "Enter closes no editor";

        // A new offer replaces the old one; none leaves the list empty.
        l.offer({"Other"});
        EXPECT_EQ(entries(list), QStringList{"Other"});
        l.offer({});
        EXPECT_EQ(list->count(), 0);
        EXPECT_EQ(l.name(), "Lo");
        l.dialog->hide();
    }
}

TEST_F(NameLists, OnlyTheDialogsThatGoToANameHaveAList) {
    EXPECT_NE(gotoForm.findChild<QComboBox*>("NameList1"), nullptr);
    EXPECT_NE(gotoIfForm.findChild<QComboBox*>("NameList1"), nullptr);
    EXPECT_NE(callSubForm.findChild<QComboBox*>("NameList1"), nullptr);
    EXPECT_EQ(labelForm.findChild<QComboBox*>(), nullptr);
    EXPECT_EQ(subBeginForm.findChild<QComboBox*>(), nullptr);
    labelForm.setNameChoices({"Loop"}); // nothing to offer in
    labelForm.setValues({"x"});
    EXPECT_EQ(labelForm.values().name, "x");
}

TEST(GotoIfEdits, AcceptAnyCharacters) {
    QWidget host;
    TFormGOTOIF form(&host);
    form.setValues({"", ""});
    form.show();
    QTest::keyClicks(form.findChild<QLineEdit*>("Edit2"), "A<5&B>\"1\"");
    QTest::keyClicks(form.findChild<QLineEdit*>("Edit1"), "<L&>");
    EXPECT_EQ(form.values(), (TGotoIfValues{"A<5&B>\"1\"", "<L&>"}));
}

// A line break or NUL would split the statement out of its program line: pasted into any
// statement or name box, they are left out and the rest of the text goes in.
TEST(StatementEdits, LeaveOutLineBreaksAndNulPasted) {
    QWidget host;
    TFormBiaoDaShi expression(&host);
    TFormGOTOIF gotoIf(&host);
    TFormGOTOBegin label(&host);
    expression.setValues({""});
    gotoIf.setValues({"", ""});
    label.setValues({""});
    const QString pasted = QStringLiteral("A=1\r\n5 REM \"END") + QChar(0) + QStringLiteral("X\n");
    const QString kept = QStringLiteral("A=15 REM \"ENDX");
    for (QWidget* form : std::initializer_list<QWidget*>{&expression, &gotoIf, &label}) {
        form->show();
        for (QLineEdit* edit : form->findChildren<QLineEdit*>()) {
            QApplication::clipboard()->setText(pasted);
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(edit->text(), kept) << edit->objectName().toStdString();
        }
    }
    EXPECT_EQ(expression.values().command, kept.toStdString());
}

class MusicDialog : public testing::Test {
protected:
    QRadioButton* tone(int n) {
        return form.findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(n));
    }
    void click(const char* name) { form.findChild<QAbstractButton*>(name)->click(); }
    // The note codes of the list: each entry's text begins with its code.
    QStringList entries() {
        QStringList list;
        for (const QString& text : texts())
            list << text.section(QLatin1Char(' '), 0, 0);
        return list;
    }
    QStringList texts() {
        QStringList list;
        auto* box = form.findChild<QListWidget*>("NoteListBox1");
        for (int i = 0; i < box->count(); ++i)
            list << box->item(i)->text();
        return list;
    }
    void select(int row) { form.findChild<QListWidget*>("NoteListBox1")->setCurrentRow(row); }
    void setDuration(int index) { form.findChild<QComboBox*>("ComboBox2")->setCurrentIndex(index); }

    QWidget host;
    TFormFaYin form{&host};
};

TEST_F(MusicDialog, KeySevenEnablesTheColonOneAndAddsF8) {
    form.setValues({7, false, ""});
    for (int n = 1; n <= 7; ++n)
        EXPECT_FALSE(tone(n)->isEnabled()) << n;
    for (int n = 8; n <= 22; ++n)
        EXPECT_TRUE(tone(n)->isEnabled()) << n;
    EXPECT_TRUE(tone(23)->isChecked());
    tone(22)->click();
    setDuration(7);
    click("Button4");
    EXPECT_EQ(entries(), QStringList{"F8"});
    EXPECT_EQ(form.values(), (TMusicValues{7, false, "F8"}));
}

TEST_F(MusicDialog, SwitchingTheKeyRefreshesButtonsAndKeepsTheNotes) {
    form.setValues({0, true, "8408"});
    tone(15)->click();
    form.findChild<QComboBox*>("ComboBox1")->setCurrentIndex(3);
    for (int n = 1; n <= 22; ++n)
        EXPECT_EQ(tone(n)->isEnabled(), n >= 4 && n <= 18) << n;
    EXPECT_TRUE(tone(23)->isChecked());
    EXPECT_EQ(entries(), (QStringList{"84", "08"}));
    EXPECT_EQ(form.values(), (TMusicValues{3, true, "8408"}));
    // The notes are named as they sound under the key now chosen.
    EXPECT_EQ(texts(), (QStringList{"84  fa, 1 beat", "08  rest, 2 beats"}));
    form.findChild<QComboBox*>("ComboBox1")->setCurrentIndex(0);
    EXPECT_EQ(texts(), (QStringList{"84  do, 1 beat", "08  rest, 2 beats"}));
}

TEST_F(MusicDialog, PlaysTheTuneAsTheRobotWouldWhereThereIsSound) {
    form.setValues({2, false, "1408X"}); // a last piece that is no note
    const std::vector<TNoteSound> sounds = form.tuneSounds();
    const TMusicTuning tuning;
    ASSERT_EQ(sounds.size(), 2u) << "the piece that is no note is not played";
    EXPECT_EQ(sounds[0], *noteSound(2, "14", tuning)) << "under the key chosen";
    EXPECT_EQ(sounds[1], (TNoteSound{0, 8 * 150}));
    auto* play = form.findChild<QPushButton*>("PlayButton");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->text(), "Play");
    EXPECT_EQ(play->accessibleName(), "Play");
    // Without a sound device the button says why it cannot play.
    form.show();
    EXPECT_EQ(play->isEnabled(), form.canPlay());
    if (!form.canPlay()) {
        EXPECT_EQ(play->toolTip(), "This computer has no sound output");
        play->click(); // nothing happens, nothing breaks
        EXPECT_EQ(play->text(), "Play");
    }
}

TEST_F(MusicDialog, ExamplesOfNoteCodes) {
    form.setValues({2, false, ""});
    tone(8)->click();
    setDuration(7);
    click("Button4"); // key 2, middle 1, 2 beat
    form.setValues({0, false, contentFromNotes({"68"})});
    tone(8)->click();
    setDuration(3);
    click("Button4"); // key 0, middle 1, 1 beat
    tone(15)->click();
    setDuration(0);
    click("Button4"); // key 0, high 1, 1/4 beat
    tone(23)->click();
    setDuration(4);
    click("Button4"); // rest, 1+1/4 beat
    EXPECT_EQ(entries(), (QStringList{"68", "84", "F1", "05"}));
}

TEST_F(MusicDialog, ReplaceDeleteAndArrowsWorkOnTheSelection) {
    form.setValues({0, false, "841122"});
    setDuration(1);
    tone(9)->click();
    click("Button5"); // nothing selected: nothing replaced
    EXPECT_EQ(entries(), (QStringList{"84", "11", "22"}));
    click("SpeedButton1");
    click("SpeedButton2");
    EXPECT_EQ(entries(), (QStringList{"84", "11", "22"}));

    select(1);
    click("Button5");
    EXPECT_EQ(entries(), (QStringList{"84", "92", "22"}));
    click("SpeedButton1");
    EXPECT_EQ(entries(), (QStringList{"92", "84", "22"}));
    click("SpeedButton1"); // at the top: stays
    EXPECT_EQ(form.noteList().selected, 0);
    click("SpeedButton2");
    click("SpeedButton2");
    click("SpeedButton2"); // at the bottom: stays
    EXPECT_EQ(entries(), (QStringList{"84", "22", "92"}));
    EXPECT_EQ(form.noteList().selected, 2);
    click("Button6");
    EXPECT_EQ(entries(), (QStringList{"84", "22"}));
    EXPECT_EQ(form.values().content, "8422");
}

TEST_F(MusicDialog, AnEmptyListWritesAnEmptyContent) {
    form.setValues({0, false, ""});
    EXPECT_TRUE(entries().isEmpty());
    click("Button6");
    EXPECT_EQ(form.values().content, "");
}

TEST_F(MusicDialog, ToneButtonsCarryTheirDigitsAndRest) {
    EXPECT_EQ(tone(23)->text(), "Rest");
    EXPECT_FALSE(tone(23)->isHidden());
    EXPECT_EQ(form.findChild<QPushButton*>("Button4")->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(form.findChild<QPushButton*>("Button4")->text(), "Add");
    EXPECT_EQ(form.findChild<QPushButton*>("Button5")->text(), "Replace");
    EXPECT_EQ(form.findChild<QPushButton*>("Button6")->text(), "Delete");
}

TEST(CodePage, SystemTextRoundTripsAndForeignBytesFallBackToGb18030) {
    const QString text = QStringLiteral("Label A1");
    EXPECT_EQ(platform::toQString(platform::fromQString(text)), text);
    EXPECT_EQ(platform::fromQString(QStringLiteral("abc")), "abc");
    const QString wide = QString::fromUtf8("\xe4\xb8\xad\xe6\x96\x87"); // two Chinese characters
    EXPECT_EQ(platform::toQString(platform::fromQString(wide)), wide);

    if (!QStringDecoder("GB18030").isValid())
        GTEST_SKIP() << "no GB18030 decoder in this Qt";
    const std::string gbk = "\xD6\xD0\xCE\xC4"; // the same two characters in GBK
    QStringDecoder system(QStringConverter::System);
    const QString asSystem = system.decode(QByteArray::fromStdString(gbk));
    if (!system.hasError())
        GTEST_SKIP() << "the system code page reads these bytes itself";
    EXPECT_EQ(platform::toQString(gbk), wide);
}

} // namespace

namespace {

TEST(FilteredEdits, TheContextMenuPasteGoesThroughTheFilter) {
    // The menu's Paste is found and rewired to the filtered paste: exactly one action.
    QWidget host;
    TValidateEdit box(&host, 0, 100);
    std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    int found = 0;
    for (QAction* action : menu->actions())
        found += TFilteredEdit::isPasteAction(action) ? 1 : 0;
    EXPECT_EQ(found, 1);
}

} // namespace

namespace {

TEST(LedDialog, ClickingALampTogglesItsBitOnly) {
    QWidget host;
    TFormLED form(&host);
    form.setValues({7});
    form.show();
    QTest::mouseClick(form.findChild<QWidget*>("LED1"), Qt::LeftButton); // PB0
    EXPECT_TRUE(form.lamp(0)->isLit());
    EXPECT_EQ(form.values().led, 6);
    QTest::mouseClick(form.findChild<QWidget*>("LED3"), Qt::LeftButton); // PB2
    EXPECT_EQ(form.values().led, 2);
    QTest::mouseClick(form.findChild<QLabel*>("LabelPB2"), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QWidget*>("LED1"), Qt::LeftButton);
    EXPECT_EQ(form.values().led, 7);
}

TEST(PortBitRows, TickingARowByHandUpdatesItsTextsAndTheValue) {
    QWidget host;
    TFormPORTDDR form(&host);
    form.setValues({0, 0});
    auto* rows = form.findChild<QTreeWidget*>("ListView1");
    ASSERT_NE(rows, nullptr);
    EXPECT_TRUE(rows->isHeaderHidden());
    EXPECT_EQ(rows->columnCount(), 3);
    QTreeWidgetItem* bit7 = rows->topLevelItem(7);
    EXPECT_FALSE(bit7->flags() & Qt::ItemIsEditable);
    bit7->setCheckState(0, Qt::Checked);
    EXPECT_EQ(bit7->text(1), "1");
    EXPECT_EQ(bit7->text(2), "Output");
    EXPECT_EQ(form.values(), (TIoSetupValues{0, 128}));
    bit7->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(bit7->text(2), "Input");
    // A missing value ticks every row; OK then writes 255.
    form.setValues({-1, -1});
    EXPECT_EQ(form.values(), (TIoSetupValues{-1, 255}));
    EXPECT_EQ(rows->topLevelItem(0)->text(2), "Output");
}

} // namespace
