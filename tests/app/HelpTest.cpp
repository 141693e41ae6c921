// The guide and the examples: a page for every block type, pages whose links lead somewhere,
// F1 in the window and in a block's dialog, the help window's navigation, search and size, and
// the bundled examples opening as untitled charts that pass the program check.
#include "WindowFixture.h"
#include "app/HelpPages.h"
#include "app/HelpWindow.h"
#include "editors/EditorDialogs.h"
#include "program/BlockStatements.h"
#include "records/BlockCatalog.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QToolButton>

namespace {

QString resourceText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString pageText(const QString& page) {
    return resourceText(QStringLiteral(":/help/") + page);
}

// The statement a new block of the type gives, as the generator makes it.
QString defaultStatement(BlockType type) {
    std::vector<std::string> statements;
    program::blockStatementTexts(KindBlockBase + ToInt(type), DefaultRecord(type), statements);
    EXPECT_EQ(statements.size(), 1u);
    return statements.empty() ? QString() : QString::fromStdString(statements.front());
}

QMenu* subMenu(QMenu* menu, const QString& objectName) {
    for (QAction* action : menu->actions())
        if (action->menu() && action->menu()->objectName() == objectName)
            return action->menu();
    return nullptr;
}

QMenu* topMenu(TForm1& window, const char* objectName) {
    return window.menuBar()->findChild<QMenu*>(QLatin1String(objectName));
}

// ---- the pages, without a window ----

TEST(HelpPages, EveryBlockTypeHasItsPageWithItsPictureAndStatement) {
    help::initResources();
    for (const TBlockInfo& info : BlockCatalog()) {
        const QString page = help::blockPage(info.type);
        SCOPED_TRACE(page.toStdString());
        const QString html = pageText(page);
        ASSERT_FALSE(html.isEmpty()) << "no page in the resource";
        EXPECT_TRUE(html.contains(QStringLiteral("<title>") + QLatin1String(info.caption) +
                                  QStringLiteral(" block</title>")));
        EXPECT_TRUE(html.contains(QStringLiteral("\"../") + help::blockPicture(info.type) + '"'))
            << "the page does not show the block's palette picture";
        const QString statement = defaultStatement(info.type);
        EXPECT_TRUE(html.contains(statement.isEmpty() ? QStringLiteral("A new block gives an empty")
                                                      : "A new block gives <code>" +
                                                            statement.toHtmlEscaped() + "</code>"))
            << "the page does not give the statement \"" << statement.toStdString() << '"';
    }
}

TEST(HelpPages, EveryLinkAndPictureOfEveryPageLeadsToSomething) {
    const QList<help::TPageText> pages = help::guidePages();
    ASSERT_GE(pages.size(), BlockCatalog().size() + 6);
    EXPECT_EQ(pages.front().page, help::kHomePage) << "the contents head the list";
    static const QRegularExpression target(QStringLiteral("(?:href|src)=\"([^\"#]*)[^\"]*\""));
    int links = 0;
    for (const help::TPageText& page : pages) {
        SCOPED_TRACE(page.page.toStdString());
        EXPECT_FALSE(page.title.isEmpty());
        for (const QRegularExpressionMatch& m : target.globalMatch(pageText(page.page))) {
            const QString to = m.captured(1);
            if (to.isEmpty())
                continue; // an anchor on the same page
            ++links;
            if (to.startsWith(QLatin1String(help::kExampleScheme) + ':')) {
                EXPECT_NE(help::findExample(to.mid(8)), nullptr) << to.toStdString();
                continue;
            }
            const QUrl url = help::pageUrl(page.page).resolved(QUrl(to));
            EXPECT_TRUE(QFile::exists(QLatin1Char(':') + url.path()))
                << to.toStdString() << " does not exist";
        }
    }
    EXPECT_GT(links, 100);
}

TEST(HelpPages, TheExamplesPageOffersEveryExample) {
    help::initResources();
    const QString html = pageText(QStringLiteral("examples.html"));
    for (const help::TExample& example : help::examples())
        EXPECT_TRUE(html.contains(QStringLiteral("href=\"example:") + example.name + '"'))
            << example.name;
}

TEST(HelpPages, SearchFindsPagesHoldingEveryWordTitlesFirst) {
    const QList<help::TPageText> pages = {
        {"a.html", "Wait block", "Waits before the next block."},
        {"b.html", "Download", "The robot talks at 115200 baud. Wait for the answer."},
        {"c.html", "Keys", "F1 opens the guide."},
    };
    const struct {
        const char* query;
        QStringList found;
    } cases[] = {
        {"", {"a.html", "b.html", "c.html"}},
        {"   ", {"a.html", "b.html", "c.html"}},
        {"WAIT", {"a.html", "b.html"}}, // any letter case; the title match first
        {"answer wait", {"b.html"}},    // every word, in any order
        {"baud keys", {}},
        {"f1", {"c.html"}},
        {"next", {"a.html"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(help::findPages(pages, QString::fromLatin1(c.query)), c.found) << c.query;
    EXPECT_EQ(help::findPages(pages, "block"), (QStringList{"a.html"}));
    EXPECT_EQ(help::findPages(pages, "the"), (QStringList{"a.html", "b.html", "c.html"}))
        << "no title holds it: the page order stays";
}

// ---- the help window ----

using HelpWindowTest = WindowTest;

TEST_F(HelpWindowTest, GuideIsTheF1EntryOfTheHelpMenuAboveAbout) {
    QMenu* help = topMenu(*window, "HelpMenu");
    ASSERT_NE(help, nullptr);
    const QList<QAction*> actions = help->actions();
    ASSERT_GE(actions.size(), 3);
    EXPECT_EQ(actions[0]->objectName(), "GuideAction");
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(actions.indexOf(window->commandAction(8)), actions.size() - 1);
    EXPECT_TRUE(window->actions().contains(actions[0])) << "F1 must work wherever the focus is";

    QTest::keyClick(window->flowChart(), Qt::Key_F1);
    THelpWindow* guide = window->helpWindow();
    EXPECT_TRUE(guide->isVisible());
    EXPECT_EQ(guide->currentPage().fileName(), help::kHomePage);
    EXPECT_EQ(guide->parentWidget(), window.get());
    EXPECT_TRUE(guide->windowFlags().testFlag(Qt::Tool)) << "a tool window, not a dialog";
    EXPECT_FALSE(guide->isModal());
}

TEST_F(HelpWindowTest, F1InEveryBlockDialogOpensThatBlocksPage) {
    editors::TEditorDialogs& editors = window->editorDialogs();
    for (const TBlockInfo& info : BlockCatalog()) {
        SCOPED_TRACE(std::string(info.caption));
        bool pressed = false;
        editors.setExecHook([&](editors::TEditorDialog& dialog) {
            auto* f1 = dialog.findChild<QAction*>("HelpAction");
            EXPECT_NE(f1, nullptr);
            if (f1) {
                EXPECT_EQ(f1->shortcut(), QKeySequence(Qt::Key_F1));
                f1->trigger();
                pressed = true;
            }
            return 2; // CANCEL
        });
        editors.editBlock(info.type, DefaultRecord(info.type));
        ASSERT_TRUE(pressed);
        EXPECT_EQ(window->helpWindow()->currentPage().fileName(), help::blockPage(info.type));
        EXPECT_TRUE(window->helpWindow()->isVisible());
    }
    editors.setExecHook({});
}

TEST_F(HelpWindowTest, TheGuideOpenedFromAnOpenDialogStaysWithItThenReturnsToTheWindow) {
    // While a modal dialog is open only its own windows take input: the guide goes with it.
    editors::TEditorDialog* dialog =
        window->editorDialogs().dialog(editors::dialogKindForBlockType(BlockType::Music));
    dialog->open();
    QApplication::setActiveWindow(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    QTest::keyClick(dialog, Qt::Key_F1);
    THelpWindow* guide = window->helpWindow();
    EXPECT_EQ(guide->currentPage().fileName(), help::blockPage(BlockType::Music));
    EXPECT_EQ(guide->parentWidget(), dialog);
    EXPECT_TRUE(guide->isVisible());
    dialog->done(2);
    EXPECT_EQ(guide->parentWidget(), window.get());
    EXPECT_TRUE(guide->isVisible()) << "the pupil did not close the guide";

    // Closed by the pupil, it stays closed when the next dialog ends.
    dialog->open();
    QApplication::setActiveWindow(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    QTest::keyClick(dialog, Qt::Key_F1);
    guide->close();
    dialog->done(2);
    EXPECT_FALSE(guide->isVisible());
}

TEST_F(HelpWindowTest, TheGuideMakesRoomForTheDialogItHelpsWith) {
    const QRect screen = window->screen()->availableGeometry();
    THelpWindow* guide = window->helpWindow();
    const struct {
        const char* what;
        int guideWidth;
        bool narrowed;
    } cases[] = {
        {"room beside the dialog", screen.width() - 300, false},
        {"narrowed on the wider side", screen.width() - 100, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QSize chosen(c.guideWidth, screen.height() / 2);
        guide->resize(chosen);
        QDialog dialog(window.get());
        dialog.setGeometry(screen.left() + 50, screen.center().y() - 50, 200, 100);
        dialog.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        guide->move(dialog.pos()); // right over it
        window->showHelp(help::kHomePage, &dialog);
        EXPECT_FALSE(guide->frameGeometry().intersects(dialog.frameGeometry()));
        EXPECT_TRUE(screen.contains(guide->frameGeometry()));
        EXPECT_EQ(guide->width() < chosen.width(), c.narrowed);
        dialog.done(2);
        EXPECT_EQ(guide->size(), chosen) << "back with the window, the size the pupil gave it";
    }
}

TEST_F(HelpWindowTest, BackForwardAndContentsWalkThePagesShown) {
    THelpWindow* guide = window->helpWindow();
    guide->showPage(help::kHomePage);
    EXPECT_FALSE(guide->backButton()->isEnabled());
    guide->showPage("blocks.html");
    guide->showPage(help::blockPage(BlockType::Wait));
    ASSERT_TRUE(guide->backButton()->isEnabled());
    guide->backButton()->click();
    EXPECT_EQ(guide->currentPage().fileName(), "blocks.html");
    guide->backButton()->click();
    EXPECT_EQ(guide->currentPage().fileName(), help::kHomePage);
    EXPECT_FALSE(guide->backButton()->isEnabled());
    ASSERT_TRUE(guide->forwardButton()->isEnabled());
    guide->forwardButton()->click();
    EXPECT_EQ(guide->currentPage().fileName(), "blocks.html");
    guide->homeButton()->click();
    EXPECT_EQ(guide->currentPage().fileName(), help::kHomePage);
    // The page list follows, and a click there shows the page.
    QListWidget* list = guide->pageList();
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->data(Qt::UserRole).toString(), help::kHomePage);
    const QList<QListWidgetItem*> download =
        list->findItems("Sending the program to the robot", Qt::MatchExactly);
    ASSERT_EQ(download.size(), 1);
    list->setCurrentItem(download.front());
    emit list->itemClicked(download.front());
    EXPECT_EQ(guide->currentPage().fileName(), "download.html");
    EXPECT_TRUE(guide->browser()->toPlainText().contains("Test connection"));
}

TEST_F(HelpWindowTest, TheSearchBoxLeavesThePagesHoldingTheWords) {
    THelpWindow* guide = window->helpWindow();
    QListWidget* list = guide->pageList();
    auto shown = [list] {
        QStringList pages;
        for (int i = 0; i < list->count(); ++i)
            if (!list->item(i)->isHidden())
                pages << list->item(i)->data(Qt::UserRole).toString();
        return pages;
    };
    const int all = list->count();
    QTest::keyClicks(guide->searchBox(), "baud");
    EXPECT_EQ(shown(), QStringList{"download.html"});
    guide->searchBox()->clear();
    EXPECT_EQ(shown().size(), all);
    guide->searchBox()->setText("servoe");
    EXPECT_EQ(shown(), QStringList{help::blockPage(BlockType::Servo)});
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->data(Qt::UserRole).toString(), shown().front());
}

TEST_F(HelpWindowTest, TheWindowKeepsItsSizeForTheNextRun) {
    {
        THelpWindow first(window.get());
        first.showPage(help::kHomePage);
        first.resize(640, 480);
        first.close();
    }
    THelpWindow next(window.get());
    EXPECT_EQ(next.size(), QSize(640, 480));
}

TEST_F(HelpWindowTest, ThePagePicturesAreDrawn) {
    THelpBrowser* browser = window->helpWindow()->browser();
    const QVariant picture = browser->loadResource(
        QTextDocument::ImageResource, QUrl("qrc:/" + help::blockPicture(BlockType::Led)));
    const QImage image = picture.value<QImage>();
    ASSERT_FALSE(image.isNull());
    bool painted = false;
    for (int y = 0; y < image.height() && !painted; ++y)
        for (int x = 0; x < image.width() && !painted; ++x)
            painted = qAlpha(image.pixel(x, y)) > 0;
    EXPECT_TRUE(painted) << "the picture is empty";
}

// ---- the examples ----

using ExamplesTest = WindowTest;

TEST_F(ExamplesTest, FileAndHelpMenusListTheSameExampleActions) {
    QMenu* fromFile = subMenu(topMenu(*window, "FileMenu"), "ExamplesMenu");
    QMenu* fromHelp = subMenu(topMenu(*window, "HelpMenu"), "ExamplesMenu");
    ASSERT_NE(fromFile, nullptr);
    ASSERT_EQ(fromFile, fromHelp);
    ASSERT_EQ(fromFile->actions().size(), static_cast<qsizetype>(help::examples().size()));
    EXPECT_GE(help::examples().size(), 8u);
    // File > Examples sits below Open Recent.
    const QList<QAction*> file = topMenu(*window, "FileMenu")->actions();
    const qsizetype recent = file.indexOf(window->findChild<QMenu*>("RecentMenu")->menuAction());
    ASSERT_GE(recent, 0);
    EXPECT_EQ(file.value(recent + 1), fromFile->menuAction());
}

TEST_F(ExamplesTest, EveryExampleOpensUntitledPassesTheCheckAndGivesAListing) {
    for (const help::TExample& example : help::examples()) {
        SCOPED_TRACE(example.name);
        QAction* entry = window->findChild<QAction*>(QStringLiteral("Example_") + example.name);
        ASSERT_NE(entry, nullptr);
        entry->trigger();
        EXPECT_TRUE(prompts->errors.empty()) << prompts->errors.front();
        EXPECT_EQ(window->chartFile().CurrentFileName(), "");
        EXPECT_FALSE(window->chartFile().IsChartChanged());
        EXPECT_FALSE(window->windowTitle().contains(".lcs"));
        EXPECT_GE(chart().BlockCount(), 5);
        for (const check::TFinding& finding : window->findings())
            EXPECT_NE(finding.severity, check::TSeverity::Error)
                << finding.block << ": " << finding.message;
        window->commandAction(7)->trigger(); // Generate
        const QStringList lines =
            window->programText()->toPlainText().split('\n', Qt::SkipEmptyParts);
        EXPECT_GE(lines.size(), 6);
        EXPECT_EQ(lines.value(0).trimmed(), "10 REM \"ZOLVANE\"");
    }
}

TEST_F(ExamplesTest, AnExampleAsksAboutUnsavedChangesAsNewDoes) {
    insert(ToInt(BlockType::Wait));
    ASSERT_EQ(chart().BlockCount(), 1);
    prompts->answers.push_back(files::TPrompts::Answer::Cancel);
    EXPECT_FALSE(window->openExample("square"));
    EXPECT_EQ(prompts->questions.size(), 1u);
    EXPECT_EQ(chart().BlockCount(), 1);

    prompts->answers.push_back(files::TPrompts::Answer::No);
    EXPECT_TRUE(window->openExample("square"));
    EXPECT_EQ(prompts->questions.size(), 2u);
    EXPECT_GT(chart().BlockCount(), 1);
    EXPECT_FALSE(window->openExample("no-such-example"));
}

TEST_F(ExamplesTest, ALinkOnTheExamplesPageOpensTheExample) {
    THelpWindow* guide = window->helpWindow();
    guide->showPage("examples.html");
    guide->browser()->setSource(QUrl("example:lights"));
    EXPECT_EQ(guide->currentPage().fileName(), "examples.html") << "the page stays";
    EXPECT_EQ(window->chartFile().CurrentFileName(), "");
    bool hasLed = false;
    for (TFcObject* block : chart().Blocks())
        hasLed = hasLed || block->Kind == KindBlockBase + ToInt(BlockType::Led);
    EXPECT_TRUE(hasLed);
}

} // namespace
