// The block dialogs in Simplified Chinese: every dialog of the catalogue, opened under zh_CN,
// shows no English word a pupil would have to read (statements, port names, variable letters
// and key names stay as they are), and the dialogs write the same records in either language.
#include "editors/EditorDialogs.h"
#include "platform/i18n/Language.h"
#include "records/BlockCatalog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace editors;

namespace {

using B = BlockType;

// Phrases as a phrase file may hold them: shown as they are in every language.
std::vector<std::string> phrases() {
    return {"你好", "再见", "前进", "123"};
}

// The interface in zh_CN for one test, English again afterwards for the tests that follow.
class ChineseDialogs : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(platform::InstallTranslations("zh_CN")); }
    void TearDown() override { platform::InstallTranslations("en"); }
};

// A text a person meets in a dialog, with the control it is on.
struct TSeenText {
    QString where;
    QString text;
};

QString describe(const QWidget* w) {
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
}

// Every text of the dialog a person reads or hears: its title, the captions of labels,
// buttons, group boxes and check boxes, the entries of lists, tool tips, and the names and
// descriptions a screen reader says. Typed values (the edits' texts) are the user's, not the
// dialog's.
std::vector<TSeenText> seenTexts(QDialog* dialog) {
    std::vector<TSeenText> seen{{QStringLiteral("title"), dialog->windowTitle()}};
    auto add = [&seen](const QWidget* w, const QString& what, const QString& text) {
        if (!text.isEmpty())
            seen.push_back({describe(w) + QLatin1Char(' ') + what, text});
    };
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        add(w, QStringLiteral("tooltip"), w->toolTip());
        add(w, QStringLiteral("accessible name"), w->accessibleName());
        add(w, QStringLiteral("accessible description"), w->accessibleDescription());
        if (auto* label = qobject_cast<QLabel*>(w))
            add(w, QStringLiteral("text"), label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(w, QStringLiteral("text"), button->text());
        if (auto* group = qobject_cast<QGroupBox*>(w))
            add(w, QStringLiteral("title"), group->title());
        if (auto* list = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < list->count(); ++i)
                add(w, QStringLiteral("entry"), list->itemText(i));
        if (auto* list = qobject_cast<QListWidget*>(w))
            for (int i = 0; i < list->count(); ++i)
                add(w, QStringLiteral("entry"), list->item(i)->text());
        if (auto* tree = qobject_cast<QTreeWidget*>(w))
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                for (int column = 0; column < tree->columnCount(); ++column)
                    add(w, QStringLiteral("row"), tree->topLevelItem(i)->text(column));
    }
    return seen;
}

// The Latin words of a text that are not left in English on purpose: statement keywords, the
// robot's port and register names and the IO of its ports. Single letters are variables.
QStringList englishWords(const QString& text) {
    static const QSet<QString> kept{// Statements and their keywords.
                                    "KEY", "GOTO", "IF",
                                    // Ports, registers and pins as the robot names them.
                                    "IO", "PB", "PC", "PCX", "MIC", "ADC", "DDRA", "DDRB", "DDRC",
                                    "DDRD", "PINA", "PINB", "PINC", "PIND", "PORTA", "PORTB",
                                    "PORTC", "PORTD"};
    QStringList words;
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]+"));
    for (auto it = latin.globalMatch(text); it.hasNext();) {
        const QString word = it.next().captured();
        if (word.size() > 1 && !kept.contains(word))
            words << word;
    }
    return words;
}

bool holdsChinese(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

TEST(EnglishWords, AreFoundOutsideStatementsPortsAndVariables) {
    const std::pair<const char*, QStringList> cases[] = {
        {"Length:", {"Length"}},  {"变量：", {}},
        {"加入 KEY 语句", {}},    {"IO 端口：PORTA", {}},
        {"A = ADC0", {}},         {"指示灯 PB1 Off", {"Off"}},
        {"84  中音 1，1 拍", {}}, {"84  do, 1 beat", {"do", "beat"}},
    };
    for (const auto& [text, words] : cases)
        EXPECT_EQ(englishWords(QString::fromUtf8(text)), words) << text;
}

// The record a block type's dialog is opened with: its default, but with notes in the music
// composer and ticked bits in the port dialogs, so that every kind of entry is shown.
std::string recordShowingEverything(BlockType type) {
    switch (type) {
    case B::Music:
        return recordFromValues(type, TMusicValues{2, true, "11848F08F1A705G4"});
    case B::IoSetup:
        return recordFromValues(type, TIoSetupValues{1, 0x5A});
    case B::IoOutput:
        return recordFromValues(type, TIoOutputValues{2, 0xA5});
    default:
        return DefaultRecord(type);
    }
}

TEST_F(ChineseDialogs, EveryDialogOfTheCatalogueShowsNoEnglishWord) {
    QWidget host;
    TEditorDialogs editors(&host, phrases());
    int shown = 0;
    editors.setExecHook([&shown](TEditorDialog& dialog) {
        ++shown;
        dialog.show(); // what only a shown dialog sets (the composer's sound check) is there too
        const QString name = dialog.objectName();
        EXPECT_TRUE(holdsChinese(dialog.windowTitle())) << name.toStdString();
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            EXPECT_TRUE(holdsChinese(button->text()))
                << name.toStdString() << " " << button->objectName().toStdString();
        // Chinese labels are narrower: the text box of a name list still leaves its arrow free.
        for (QComboBox* list : dialog.findChildren<QComboBox*>()) {
            if (!list->lineEdit())
                continue;
            QStyleOptionComboBox option;
            option.initFrom(list);
            option.editable = true;
            const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                              QStyle::SC_ComboBoxEditField, list);
            EXPECT_LE(list->lineEdit()->geometry().right(), field.right())
                << name.toStdString() << " " << list->objectName().toStdString();
        }
        for (const TSeenText& seen : seenTexts(&dialog))
            EXPECT_EQ(englishWords(seen.text), QStringList())
                << name.toStdString() << " " << seen.where.toStdString() << ": "
                << seen.text.toStdString();
        dialog.hide();
        return static_cast<int>(TEditResult::Cancel);
    });
    int dialogs = 0;
    for (const TBlockInfo& info : BlockCatalog()) {
        if (dialogKindForBlockType(info.type) == TDialogKind::None)
            continue;
        ++dialogs;
        const TEditOutcome outcome =
            editors.editBlock(info.type, recordShowingEverything(info.type));
        EXPECT_TRUE(outcome.opened) << ToInt(info.type) << " " << outcome.error;
    }
    EXPECT_EQ(shown, dialogs);
    EXPECT_GT(dialogs, 20);
}

TEST_F(ChineseDialogs, TheTextsThatAppearLaterAreChineseToo) {
    QWidget host;
    TEditorDialogs editors(&host, phrases());
    // The name hint appears on a refused character; the composer's list follows the key.
    editors.setExecHook([](TEditorDialog& dialog) {
        if (auto* edit = dialog.findChild<QLineEdit*>("Edit1")) {
            QTest::keyClicks(edit, "<");
            auto* hint = dialog.findChild<QLabel*>("LabelHint");
            EXPECT_TRUE(hint && holdsChinese(hint->text()));
        }
        if (auto* key = dialog.findChild<QComboBox*>("ComboBox1"); key && key->count() == 8) {
            key->setCurrentIndex(7);
            auto* notes = dialog.findChild<QListWidget*>("NoteListBox1");
            EXPECT_TRUE(notes && notes->count() == 2);
            if (notes && notes->count() == 2) {
                // "F8" under key 7 is the 1 two octaves up, "08" a rest.
                EXPECT_EQ(notes->item(0)->text(), QString::fromUtf8("F8  倍高音 1，2 拍"));
                EXPECT_EQ(notes->item(1)->text(), QString::fromUtf8("08  休止，2 拍"));
            }
        }
        return static_cast<int>(TEditResult::Cancel);
    });
    editors.editBlock(B::Label, DefaultRecord(B::Label));
    editors.editBlock(B::Music, recordFromValues(B::Music, TMusicValues{0, false, "F808"}));
}

TEST_F(ChineseDialogs, UnitsAndRangesSpeakTheLanguage) {
    QWidget host;
    TEditorDialogs editors(&host, {});
    struct Case {
        BlockType type;
        const char* unit;
        const char* tip;
    };
    const Case cases[] = {
        {B::Direct, "毫米", "数值（毫米）：0 至 32767"},
        {B::Turn, "度", "数值（度）：0 至 32767"},
        {B::Wait, "×10 毫秒", "等待时间（×10 毫秒）：0 至 32767"},
    };
    for (const Case& c : cases) {
        editors.setExecHook([&c](TEditorDialog& dialog) {
            auto* unit = dialog.findChild<QLabel*>("UnitLabel");
            auto* box = dialog.findChild<QLineEdit*>("ValidateEdit1");
            EXPECT_TRUE(unit && box);
            if (unit && box) {
                EXPECT_EQ(unit->text(), QString::fromUtf8(c.unit));
                EXPECT_EQ(box->toolTip(), QString::fromUtf8(c.tip));
            }
            return static_cast<int>(TEditResult::Cancel);
        });
        editors.editBlock(c.type, DefaultRecord(c.type));
    }
}

// One row: what a person does in a block's dialog, found by the controls' names alone, and the
// values that must come out of it whatever the language.
struct TWriteCase {
    const char* name;
    BlockType type;
    std::function<void(TEditorDialog&)> act;
    TEditorValues expected;
    std::optional<std::string> caption; // the caption's text, for a block whose caption follows
};

void click(TEditorDialog& d, const char* name) {
    auto* button = d.findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

void type(TEditorDialog& d, const char* name, const char* text) {
    auto* edit = d.findChild<QLineEdit*>(QString::fromLatin1(name));
    ASSERT_NE(edit, nullptr) << name;
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
}

void choose(TEditorDialog& d, const char* name, int index) {
    auto* list = d.findChild<QComboBox*>(QString::fromLatin1(name));
    ASSERT_NE(list, nullptr) << name;
    list->setCurrentIndex(index);
}

void tick(TEditorDialog& d, int row) {
    auto* rows = d.findChild<QTreeWidget*>("ListView1");
    ASSERT_NE(rows, nullptr);
    rows->topLevelItem(row)->setCheckState(0, Qt::Checked);
}

const TWriteCase kWriteCases[] = {
    {"Direct",
     B::Direct,
     [](TEditorDialog& d) {
         click(d, "RadioButton3");
         type(d, "ValidateEdit1", "250");
     },
     TDirectValues{2, 250},
     {}},
    {"MotorStop",
     B::MotorStop,
     [](TEditorDialog& d) { click(d, "RadioButton2"); },
     TMotorStopValues{1},
     {}},
    {"Music",
     B::Music,
     [](TEditorDialog& d) {
         choose(d, "ComboBox1", 2);
         click(d, "CheckBox1");
         choose(d, "ComboBox2", 3);
         click(d, "RadioButton10"); // the middle 3, the second tone under key 2
         click(d, "Button4");
         click(d, "RadioButton23"); // Rest
         click(d, "Button4");
     },
     TMusicValues{2, true, "8404"},
     {}},
    {"IoSetup",
     B::IoSetup,
     [](TEditorDialog& d) {
         choose(d, "ComboBox1", 1);
         tick(d, 0);
         tick(d, 3);
     },
     TIoSetupValues{1, 9},
     {}},
    {"LoopBegin",
     B::LoopBegin,
     [](TEditorDialog& d) {
         type(d, "ValidateEdit1", "12");
         choose(d, "ComboBox1", 3);
     },
     TLoopBeginValues{12, 3},
     {}},
    {"GotoIf",
     B::GotoIf,
     [](TEditorDialog& d) {
         type(d, "Edit2", "A>1");
         type(d, "Edit1", "Again");
     },
     TGotoIfValues{"A>1", "Again"},
     {}},
    {"VoiceX", B::VoiceX, [](TEditorDialog& d) { choose(d, "ComboBox1", 2); }, TVoiceXValues{2},
     "前进"},
};

// Edits the block in the language in force with a dialog set built for it.
TEditOutcome editIn(const QString& language, const TWriteCase& c) {
    platform::InstallTranslations(language);
    QWidget host;
    TEditorDialogs editors(&host, phrases());
    editors.setExecHook([&c](TEditorDialog& dialog) {
        c.act(dialog);
        click(dialog, "Button1");
        return dialog.result();
    });
    return editors.editBlock(c.type, DefaultRecord(c.type));
}

class DialogsWriteTheSameRecords : public ChineseDialogs,
                                   public testing::WithParamInterface<TWriteCase> {};

TEST_P(DialogsWriteTheSameRecords, InChineseAsInEnglish) {
    const TWriteCase& c = GetParam();
    const TEditOutcome english = editIn(QStringLiteral("en"), c);
    const TEditOutcome chinese = editIn(QStringLiteral("zh_CN"), c);
    EXPECT_EQ(english.result, TEditResult::Ok);
    EXPECT_EQ(chinese.result, TEditResult::Ok);
    EXPECT_EQ(english.record, recordFromValues(c.type, c.expected));
    EXPECT_EQ(chinese.record, english.record);
    EXPECT_EQ(chinese.caption, english.caption);
    if (c.caption) {
        EXPECT_EQ(chinese.caption, captionAfterEdit(c.type, *c.caption));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DialogsWriteTheSameRecords, testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
