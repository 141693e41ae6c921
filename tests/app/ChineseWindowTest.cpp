// The main window in Simplified Chinese: every text a person reads on it (menus, actions and
// their tips, toolbar buttons, docks, status texts, the palette, the context menus, the about
// box, the guide's controls) is translated, and View > Language keeps the choice for the next
// start.
#include "WindowFixture.h"
#include "app/About.h"
#include "app/ChartEditing.h"
#include "app/HelpWindow.h"
#include "chart/ChartSelection.h"
#include "platform/i18n/CoreText.h"
#include "platform/i18n/Language.h"
#include "records/BlockCatalog.h"

#include <QAbstractButton>
#include <QDockWidget>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int kWait = 5;

// Words that stay as they are in every language: product and format names, key names, the
// listing's language, and the block captions, which the chart file keeps.
QSet<QString> wordsKeptInEnglish() {
    QSet<QString> words{"ZOLVANE", "FlowChart", "BASIC",   "PNG",   "SVG",    "PDF",
                        "lcs",     "txt",       "png",     "svg",   "pdf",    "Ctrl",
                        "Shift",   "Alt",       "Left",    "Right", "Delete", "Del",
                        "Enter",   "Backspace", "English", "XML"};
    for (const TBlockInfo& info : BlockCatalog())
        for (const QString& word :
             QString::fromLatin1(info.caption.data(), static_cast<qsizetype>(info.caption.size()))
                 .split(' ', Qt::SkipEmptyParts))
            words.insert(word);
    return words;
}

// The words of two letters or more in a text that are not among those kept in English.
QStringList englishWords(const QString& text) {
    static const QSet<QString> kept = wordsKeptInEnglish();
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QStringList found;
    for (auto match = word.globalMatch(QString(text).remove(tag)); match.hasNext();) {
        const QString w = match.next().captured();
        if (!kept.contains(w))
            found << w;
    }
    return found;
}

class ChineseWindowTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::InstallTranslations("zh_CN"));
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        window.reset();
        platform::InstallTranslations("en");
    }

    // Notes a text a person reads on `what`; an empty text says nothing, so it passes.
    void read(const QString& what, const QString& text) {
        if (text.isEmpty())
            return;
        ++m_read;
        if (const QStringList words = englishWords(text); !words.isEmpty())
            m_untranslated << QString("%1: \"%2\" (%3)").arg(what, text, words.join(' '));
    }
    void readAction(const QString& where, QAction* action) {
        if (action->isSeparator())
            return;
        const QString what = where + " > " + action->text();
        read(what, action->text());
        read(what + " tip", action->toolTip());
        read(what + " status tip", action->statusTip());
        if (QMenu* menu = action->menu())
            readMenu(what, menu);
    }
    void readMenu(const QString& where, QMenu* menu) {
        read(where + " title", menu->title());
        emit menu->aboutToShow(); // menus filled as they open (recent charts)
        for (QAction* action : menu->actions())
            readAction(where, action);
    }
    void readWidget(const QString& what, QWidget* widget) {
        read(what + " tip", widget->toolTip());
        read(what + " name", widget->accessibleName());
        read(what + " description", widget->accessibleDescription());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            read(what + " text", button->text());
        if (auto* label = qobject_cast<QLabel*>(widget))
            read(what + " text", label->text());
    }
    void expectAllTranslated() {
        EXPECT_GT(m_read, 0) << "no text was read";
        EXPECT_TRUE(m_untranslated.isEmpty()) << "texts left in English:\n"
                                              << m_untranslated.join('\n').toStdString();
        m_untranslated.clear();
    }

    int m_read = 0;
    QStringList m_untranslated;
};

// Answers as the scripted prompts do, and keeps every message box's text as the person reads it:
// in the interface's language.
class ReadingPrompts : public ScriptedPrompts {
public:
    QStringList shown;

protected:
    void showMessageOf(Severity severity, const files::TMessage& message) override {
        shown << platform::Translated(message);
        ScriptedPrompts::showMessageOf(severity, message);
    }
};

} // namespace

TEST(ChineseWords, TheCheckFindsEnglishAndPassesWhatStaysEnglish) {
    EXPECT_EQ(englishWords(QString::fromUtf8("保存流程图（Ctrl+S）")), QStringList());
    EXPECT_EQ(englishWords(QString::fromUtf8("插入 Wait")), QStringList());
    EXPECT_EQ(englishWords(QString::fromUtf8("流程图文件(*.lcs)")), QStringList());
    EXPECT_EQ(englishWords("Save the chart"), (QStringList{"Save", "the", "chart"}));
    EXPECT_EQ(englishWords(QString::fromUtf8("已保存 chart")), QStringList{"chart"});
    EXPECT_EQ(englishWords(QString::fromUtf8("<a href=\"generate\">重新生成</a>")), QStringList());
    EXPECT_EQ(englishWords("<a href=\"generate\">Generate again</a>"),
              (QStringList{"Generate", "again"}));
}

TEST_F(ChineseWindowTest, MenusToolbarDocksAndStatusTextsAreTranslated) {
    insert(kWait); // a block, so that the block's menu and the undo entry have their words
    for (QAction* top : window->menuBar()->actions())
        readAction("menu bar", top);
    for (int number = 1; number <= 10; ++number)
        readWidget(QString("toolbar button %1").arg(number), window->speedButton(number));
    readWidget("line numbers button", window->lineNumbersButton());
    readWidget("send button", window->sendButton());
    for (QToolButton* button : window->findChildren<QToolButton*>("SimulateButton"))
        readWidget("simulate button", button);
    for (QDockWidget* dock : window->findChildren<QDockWidget*>())
        read("dock " + dock->objectName(), dock->windowTitle());
    QTreeWidget* problems = window->problemsList();
    for (int column = 0; column < problems->columnCount(); ++column)
        read("problems header", problems->headerItem()->text(column));
    readWidget("problems list", problems);
    readWidget("canvas", window->flowChart());
    readWidget("program text", window->programText());
    readWidget("listing bar", window->listingBarText());
    readWidget("palette", window->palette());
    for (int g = 0; g < window->palette()->count(); ++g) {
        read("palette group", window->palette()->itemText(g));
        QListWidget* list = window->palette()->groupList(g);
        readWidget("palette list", list);
        for (int i = 0; i < list->count(); ++i)
            read("palette item " + list->item(i)->text(), list->item(i)->toolTip());
    }
    // The status bar's labels: their names; the statement of the selected block stays as the
    // listing writes it.
    for (QLabel* label : window->statusBar()->findChildren<QLabel*>()) {
        read("status bar " + label->objectName() + " name", label->accessibleName());
        read("status bar " + label->objectName() + " tip", label->toolTip());
    }

    // The context menus of a block and of a spot.
    const std::unique_ptr<QMenu> onBlock(
        window->editing().contextMenuAt(centreOf(chart().BlockAt(1)), window.get()));
    readMenu("block's menu", onBlock.get());
    const std::unique_ptr<QMenu> onSpot(
        window->editing().contextMenuAt(centreOf(chart().SpotMarkerAt(0)), window.get()));
    readMenu("spot's menu", onSpot.get());

    // The status line after a command, and what the pointer is over.
    window->commandAction(7)->trigger(); // Generate
    read("status after Generate", window->statusBar()->currentMessage());
    EXPECT_FALSE(window->statusBar()->currentMessage().isEmpty());
    selectPositions(chart(), TChartSelection::Blocks(1, 1));
    window->editing().copyAction()->trigger();
    read("status after Copy", window->statusBar()->currentMessage());
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("Wait"))
        << "the block keeps its caption";
    expectAllTranslated();
}

TEST_F(ChineseWindowTest, TheAboutBoxAndTheGuidesControlsAreTranslated) {
    auto* about = window->findChild<TFormAbout*>();
    ASSERT_NE(about, nullptr);
    read("about title", about->windowTitle());
    for (QLabel* label : about->findChildren<QLabel*>())
        if (label->objectName() != "Label1") // the product's name
            read("about label " + label->objectName(), label->text());
    for (QAbstractButton* button : about->findChildren<QAbstractButton*>())
        read("about button", button->text());

    THelpWindow* guide = window->helpWindow();
    read("guide title", guide->windowTitle());
    for (QToolButton* button : guide->findChildren<QToolButton*>())
        readWidget("guide button " + button->objectName(), button);
    for (QLineEdit* edit : guide->findChildren<QLineEdit*>()) {
        read("guide search", edit->placeholderText());
        readWidget("guide search", edit);
    }
    expectAllTranslated();
}

TEST_F(ChineseWindowTest, ProblemsPanelCountsInChinese) {
    // A Goto without its label is an error of the check.
    insert(10);
    window->findings();
    QApplication::processEvents();
    const QString title = window->problemsDock()->windowTitle();
    EXPECT_TRUE(title.startsWith(QString::fromUtf8("问题："))) << title.toStdString();
    EXPECT_TRUE(title.contains(QString::fromUtf8("个错误"))) << title.toStdString();
    read("problems title", title);
    // The question before sending a chart with errors, with its choices.
    prompts->choiceAnswers.push_back(1); // Cancel
    window->findChild<QAction*>("SendToRobotAction")->trigger();
    ASSERT_FALSE(prompts->choiceQuestions.empty());
    const auto& asked = prompts->choiceQuestions.back();
    EXPECT_TRUE(QString::fromStdString(asked.question).startsWith(QString::fromUtf8("程序有")))
        << asked.question;
    EXPECT_EQ(asked.choices, (std::vector<std::string>{"仍然发送", "取消"}));
    expectAllTranslated();
}

// A chart file damaged by hand, opened in the Chinese window: the error box is Chinese throughout,
// the reader's own words and the place of the fault included, but for the names the file holds;
// its English is what the tool prints. An empty file's note in the status line is Chinese too.
TEST_F(ChineseWindowTest, ADamagedChartIsReportedInChinese) {
    auto owned = std::make_unique<ReadingPrompts>();
    ReadingPrompts& reading = *owned;
    window->setPrompts(std::move(owned));
    prompts = &reading;
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("zolvane-damaged-" + std::to_string(::getpid()) + ".lcs"))
                                 .string();
    std::ofstream(file, std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<KELMORAX>\r\n  <record>\r\n"
           "  </recrod>\r\n</KELMORAX>\r\n";
    reading.openChartNames.push_back(file);
    window->speedButton(2)->click(); // Open
    std::filesystem::remove(file);

    ASSERT_EQ(reading.errors.size(), 1u);
    EXPECT_EQ(reading.errors[0], "Invalid XML Element: Erroneous end of tag, expecting </record> "
                                 "but </recrod> found (line 4, column 12)");
    ASSERT_EQ(reading.shown.size(), 1);
    const QString shown = reading.shown[0];
    EXPECT_TRUE(shown.contains("</record>") && shown.contains("</recrod>")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QString::fromUtf8("第 4 行")) &&
                shown.contains(QString::fromUtf8("第 12 列")))
        << shown.toStdString();
    read("open error", QString(shown).remove("recrod").remove("record"));
    EXPECT_EQ(chart().BlockCount(), 0) << "nothing of the damaged chart was taken";

    reading.openChartNames.push_back(std::string(ZOLVANE_FIXTURES) + "/hostile/empty.lcs");
    window->speedButton(2)->click();
    const QString note = window->statusBar()->currentMessage();
    EXPECT_TRUE(note.startsWith("empty.lcs")) << note.toStdString();
    read("status after opening an empty file", QString(note).remove("empty.lcs"));
    expectAllTranslated();
}

TEST_F(WindowTest, LanguageMenuKeepsTheChoiceForTheNextStart) {
    QMenu* menu = window->findChild<QMenu*>("LanguageMenu");
    ASSERT_NE(menu, nullptr);
    QStringList names;
    for (QAction* action : menu->actions()) {
        names << action->text();
        EXPECT_TRUE(action->isCheckable()) << action->text().toStdString();
    }
    EXPECT_EQ(names, (QStringList{"System language", "English", QString::fromUtf8("简体中文")}));
    auto action = [&](const char* name) {
        QAction* found = menu->findChild<QAction*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    };
    EXPECT_TRUE(action("LanguageSystem")->isChecked()) << "a first run follows the system";

    // Chinese: kept, and the note says in both languages that it comes with the next start.
    action("Language_zh_CN")->trigger();
    EXPECT_EQ(QSettings().value("language").toString(), "zh_CN");
    EXPECT_EQ(platform::ChosenLanguage(QSettings()), "zh_CN");
    EXPECT_TRUE(action("Language_zh_CN")->isChecked());
    EXPECT_FALSE(action("LanguageSystem")->isChecked()) << "one choice at a time";
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].first, files::TPrompts::Severity::Information);
    const std::string& note = prompts->messages[0].second;
    EXPECT_NE(note.find("The editor speaks 简体中文 from its next start."), std::string::npos)
        << note;
    EXPECT_NE(note.find("编辑器下次启动时将使用“简体中文”。"), std::string::npos) << note;
    EXPECT_EQ(platform::InstalledLanguage(), "en") << "the window keeps its language until then";
    EXPECT_EQ(window->commandAction(1)->text(), "&New");

    // English, which is in force already: kept, said in the status line, no box.
    action("Language_en")->trigger();
    EXPECT_EQ(QSettings().value("language").toString(), "en");
    EXPECT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(window->statusBar()->currentMessage(), "The editor speaks English.");

    // The next window shows the stored choice checked.
    action("Language_zh_CN")->trigger();
    {
        TForm1 next;
        QMenu* nextMenu = next.findChild<QMenu*>("LanguageMenu");
        ASSERT_NE(nextMenu, nullptr);
        EXPECT_TRUE(nextMenu->findChild<QAction*>("Language_zh_CN")->isChecked());
        next.autosave().discard();
    }

    // The system's language again: nothing stored.
    action("LanguageSystem")->trigger();
    EXPECT_FALSE(QSettings().contains("language"));
    EXPECT_EQ(platform::ChosenLanguage(QSettings()), "");
}
