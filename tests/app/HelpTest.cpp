// The guide and the examples: a page for every block type, pages whose links lead somewhere,
// the guide in every language of the interface (each page translated, in that language, with
// the English page's links and pictures), F1 in the window and in a block's dialog, the help
// window's navigation, search and size, and the bundled examples opening as untitled charts
// that pass the program check, their menu entries translated.
#include "WindowFixture.h"
#include "app/HelpPages.h"
#include "app/HelpWindow.h"
#include "editors/EditorDialogs.h"
#include "platform/i18n/Language.h"
#include "program/BlockStatements.h"
#include "records/BlockCatalog.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QTranslator>
#include <algorithm>

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

// The text of a page as a language shows it.
QString pageText(const QString& page, const QString& language) {
    return resourceText(QLatin1Char(':') + help::pageUrl(page, language).path());
}

// The file names of the pages in a resource folder.
QStringList pagesIn(const QString& folder) {
    help::initResources();
    return QDir(folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

// What a block's page says in each language of the guide.
struct TGuideLanguage {
    const char* language;
    const char* title;        // the page's <title>, %1 the block's caption
    const char* pictureUp;    // the way from the page up to the pictures' folders
    const char* gives;        // the words before a new block's statement
    const char* givesNothing; // the words for a new block that gives an empty statement
};
constexpr TGuideLanguage kGuideLanguages[] = {
    {"en", "<title>%1 block</title>", "../", "A new block gives <code>",
     "A new block gives an empty"},
    // The caption stays as charts hold it, with its Chinese name beside it.
    {"zh_CN", "<title>%1（\\p{Han}+）模块</title>", "../../", "新放的模块生成 <code>",
     "新放的模块生成一条空语句"},
};

bool isHan(QChar c) {
    return c.script() == QChar::Script_Han;
}

qsizetype hanCount(const QString& text) {
    return std::count_if(text.begin(), text.end(), isHan);
}

// The paragraphs, list items, table cells and headings of a page that read as English: three
// or more words of small letters and fewer than two Chinese characters for each. Statements
// (<code>, <pre>) do not count, nor do captions, key and port names (they begin with a capital
// or are no words at all).
QStringList englishParagraphs(QString html) {
    static const QRegularExpression code(QStringLiteral("<(code|pre)>.*?</\\1>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression element(
        QStringLiteral("<(p|li|td|th|h1|h2)\\b[^>]*>(.*?)</\\1>"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>|&[a-z]+;"));
    static const QRegularExpression word(QStringLiteral("\\b[a-z][a-z]+\\b"));
    html.remove(code);
    html = html.mid(html.indexOf(QLatin1String("<body")));
    QStringList english;
    for (const QRegularExpressionMatch& m : element.globalMatch(html)) {
        const QString text = m.captured(2).replace(tag, QStringLiteral(" ")).simplified();
        qsizetype words = 0;
        for ([[maybe_unused]] const QRegularExpressionMatch& w : word.globalMatch(text))
            ++words;
        if (words >= 3 && hanCount(text) < 2 * words)
            english.append(text);
    }
    return english;
}

// The statement a new block of the type gives, as the generator makes it.
QString defaultStatement(BlockType type) {
    std::vector<std::string> statements;
    program::blockStatementTexts(KindBlockBase + ToInt(type), DefaultRecord(type), statements);
    EXPECT_EQ(statements.size(), 1u);
    return statements.empty() ? QString() : QString::fromStdString(statements.front());
}

// The interface in a language for a test's time, and in English again after it.
class TLanguageScope {
public:
    explicit TLanguageScope(const QString& language)
        : installed(platform::InstallTranslations(language)) {}
    ~TLanguageScope() { platform::InstallTranslations(QStringLiteral("en")); }
    TLanguageScope(const TLanguageScope&) = delete;
    TLanguageScope& operator=(const TLanguageScope&) = delete;
    const bool installed;
};

// Marks every text of the context "Examples" it is asked for, so that a test sees which texts
// are shown translated.
class TMarkingTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* = nullptr,
                      int = -1) const override {
        if (qstrcmp(context, "Examples") != 0)
            return {};
        return QStringLiteral("[") + QString::fromUtf8(source) + QStringLiteral("]");
    }
    bool isEmpty() const override { return false; }
};

// A translator in force for a test's time.
class TTranslatorScope {
public:
    explicit TTranslatorScope(QTranslator& translator) : m_translator(translator) {
        QCoreApplication::installTranslator(&m_translator);
    }
    ~TTranslatorScope() { QCoreApplication::removeTranslator(&m_translator); }
    TTranslatorScope(const TTranslatorScope&) = delete;
    TTranslatorScope& operator=(const TTranslatorScope&) = delete;

private:
    QTranslator& m_translator;
};

// A mouse click on the first link of the page shown that leads to `href`.
void clickLink(THelpBrowser& browser, const QString& href) {
    const QTextDocument* page = browser.document();
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorHref() == href) {
                QTextCursor at(block);
                at.setPosition(it.fragment().position() + 1);
                browser.ensureCursorVisible();
                browser.setTextCursor(at);
                browser.ensureCursorVisible();
                const QPoint point = browser.cursorRect(at).center() - QPoint(3, 0);
                QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, point);
                return;
            }
    ADD_FAILURE() << "no link to " << href.toStdString();
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

TEST(HelpPages, EveryBlockTypeHasItsPageWithItsPictureAndStatementInEveryLanguage) {
    help::initResources();
    for (const TGuideLanguage& language : kGuideLanguages) {
        for (const TBlockInfo& info : BlockCatalog()) {
            const QString page = help::blockPage(info.type);
            SCOPED_TRACE(language.language + std::string(" ") + page.toStdString());
            const QString html = pageText(page, QLatin1String(language.language));
            ASSERT_FALSE(html.isEmpty()) << "no page in the resource";
            const QRegularExpression title(
                QString::fromUtf8(language.title)
                    .arg(QRegularExpression::escape(QString(QLatin1String(info.caption)))));
            EXPECT_TRUE(title.match(html).hasMatch())
                << "not titled " << title.pattern().toStdString();
            EXPECT_TRUE(html.contains('"' + QLatin1String(language.pictureUp) +
                                      help::blockPicture(info.type) + '"'))
                << "the page does not show the block's palette picture";
            const QString statement = defaultStatement(info.type);
            EXPECT_TRUE(html.contains(statement.isEmpty()
                                          ? QString::fromUtf8(language.givesNothing)
                                          : QString::fromUtf8(language.gives) +
                                                statement.toHtmlEscaped() + "</code>"))
                << "the page does not give the statement \"" << statement.toStdString() << '"';
        }
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

TEST(HelpPages, EveryPageIsTranslatedAndNoTranslationLacksItsEnglishPage) {
    const QStringList english = pagesIn(QStringLiteral(":/help"));
    ASSERT_GE(english.size(), BlockCatalog().size() + 7);
    for (const QString& language : platform::TranslatedLanguages()) {
        SCOPED_TRACE(language.toStdString());
        EXPECT_EQ(pagesIn(QStringLiteral(":/help/") + language), english);
    }
}

TEST(HelpPages, ATranslatedPageIsInItsLanguageWithTheEnglishPagesLinksAndPictures) {
    static const QRegularExpression target(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"));
    // Where the links and pictures of a page lead, the language's folder taken out.
    auto targets = [](const QString& page, const QString& language) {
        const QUrl url = help::pageUrl(page, language);
        QStringList to;
        for (const QRegularExpressionMatch& m : target.globalMatch(pageText(page, language))) {
            QString path = url.resolved(QUrl(m.captured(1))).toString();
            if (path.endsWith(QLatin1String(".html")) || path.contains(QLatin1String(".html#"))) {
                // A link to a page stays with the pages of its language.
                EXPECT_TRUE(path.startsWith(url.resolved(QUrl(".")).toString()))
                    << path.toStdString();
            }
            to.append(
                path.replace(QStringLiteral("/help/") + language + '/', QStringLiteral("/help/")));
        }
        return to;
    };
    const QString zh = QStringLiteral("zh_CN");
    for (const QString& page : pagesIn(QStringLiteral(":/help"))) {
        SCOPED_TRACE(page.toStdString());
        const QString html = pageText(page, zh);
        ASSERT_TRUE(help::pageUrl(page, zh).path().startsWith(QLatin1String("/help/zh_CN/")));
        EXPECT_TRUE(html.contains(QLatin1String("<html lang=\"zh-CN\">")));
        EXPECT_TRUE(html.contains(QLatin1String("<meta charset=\"utf-8\">")));
        EXPECT_GT(hanCount(title.match(html).captured(1)), 0) << "the title is not Chinese";
        EXPECT_EQ(targets(page, zh), targets(page, QStringLiteral("en")));
        EXPECT_EQ(englishParagraphs(html), QStringList());
        // Statements, captions and key names stand in English among the Chinese, but the page
        // is mostly Chinese.
        const QString text = QTextDocumentFragment::fromHtml(html).toPlainText();
        const qsizetype letters = std::count_if(
            text.begin(), text.end(), [](QChar c) { return c.isLetter() && c.unicode() < 0x80; });
        EXPECT_GE(2 * hanCount(text), letters);
    }
}

TEST(HelpPages, TheEnglishPagesAreWhatTheLeftoverCheckCatches) {
    // The check above would pass a page it could not read: every English page fails it.
    for (const QString& page : pagesIn(QStringLiteral(":/help"))) {
        SCOPED_TRACE(page.toStdString());
        EXPECT_FALSE(englishParagraphs(pageText(page)).isEmpty());
    }
    EXPECT_EQ(englishParagraphs("<body><p>Drive <code>FD 100</code> 向前走</p>"
                                "<td>Ctrl+plus、Ctrl+minus</td><li>Motor On（启动电机）</li>"),
              QStringList());
    EXPECT_EQ(englishParagraphs("<body><p>机器人 drives as far as it says.</p>"),
              QStringList{"机器人 drives as far as it says."});
}

TEST(HelpPages, APageIsShownInTheLanguageInForceOrElseInEnglish) {
    const struct {
        const char* language;
        const char* page;
        const char* url;
    } cases[] = {
        {"en", "block-wait.html", "qrc:/help/block-wait.html"},
        {"zh_CN", "block-wait.html", "qrc:/help/zh_CN/block-wait.html"},
        {"zh_CN", "index.html", "qrc:/help/zh_CN/index.html"},
        {"zh_CN", "no-such-page.html", "qrc:/help/no-such-page.html"},
        {"de", "block-wait.html", "qrc:/help/block-wait.html"}, // no pages in that language
        {"", "block-wait.html", "qrc:/help/block-wait.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(help::pageUrl(c.page, c.language).toString(), c.url)
            << c.language << " " << c.page;

    // The page list and the search read the pages of the language.
    const QList<help::TPageText> pages = help::guidePages(QStringLiteral("zh_CN"));
    ASSERT_EQ(pages.size(), help::guidePages(QStringLiteral("en")).size());
    EXPECT_EQ(pages.front().page, help::kHomePage);
    EXPECT_EQ(pages.front().title, QString::fromUtf8("ZOLVANE FlowChart 使用指南"));
    EXPECT_EQ(help::findPages(pages, QString::fromUtf8("舵机")).value(0),
              help::blockPage(BlockType::Servo));
    for (const help::TPageText& page : pages)
        EXPECT_GT(hanCount(page.title), 0) << page.page.toStdString();
}

TEST(HelpPages, TheExamplesPageOffersEveryExampleInEveryLanguage) {
    help::initResources();
    for (const TGuideLanguage& language : kGuideLanguages) {
        const QString html = pageText("examples.html", QLatin1String(language.language));
        for (const help::TExample& example : help::examples())
            EXPECT_TRUE(html.contains(QStringLiteral("href=\"example:") + example.name + '"'))
                << language.language << " " << example.name;
    }
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

TEST_F(HelpWindowTest, F1InEveryBlockDialogOpensThatBlocksPageInTheLanguageInForce) {
    const struct {
        const char* language;
        const char* folder;
    } cases[] = {
        {"en", "qrc:/help/"},
        {"zh_CN", "qrc:/help/zh_CN/"},
    };
    editors::TEditorDialogs& editors = window->editorDialogs();
    for (const auto& c : cases) {
        const TLanguageScope language(QLatin1String(c.language));
        ASSERT_EQ(platform::InstalledLanguage(), c.language);
        for (const TBlockInfo& info : BlockCatalog()) {
            SCOPED_TRACE(c.language + std::string(" ") + std::string(info.caption));
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
            EXPECT_EQ(window->helpWindow()->currentPage().toString(),
                      c.folder + help::blockPage(info.type));
            EXPECT_TRUE(window->helpWindow()->isVisible());
            EXPECT_FALSE(window->helpWindow()->browser()->toPlainText().isEmpty());
        }
    }
    editors.setExecHook({});
}

TEST_F(HelpWindowTest, UnderChineseThePageListSearchAndContentsAreChinese) {
    const TLanguageScope language(QStringLiteral("zh_CN"));
    ASSERT_TRUE(language.installed);
    THelpWindow* guide = window->helpWindow();
    guide->showPage(QString());
    EXPECT_EQ(guide->currentPage().toString(), "qrc:/help/zh_CN/index.html");
    EXPECT_TRUE(guide->browser()->toPlainText().contains(QString::fromUtf8("目录")));
    QListWidget* list = guide->pageList();
    const QList<QListWidgetItem*> download =
        list->findItems(QString::fromUtf8("把程序发送给机器人"), Qt::MatchExactly);
    ASSERT_EQ(download.size(), 1);
    list->setCurrentItem(download.front());
    emit list->itemClicked(download.front());
    EXPECT_EQ(guide->currentPage().toString(), "qrc:/help/zh_CN/download.html");
    // A click on a link between pages stays in Chinese.
    clickLink(*guide->browser(), "blocks.html");
    EXPECT_EQ(guide->currentPage().toString(), "qrc:/help/zh_CN/blocks.html");
    clickLink(*guide->browser(), "block-servo.html");
    EXPECT_EQ(guide->currentPage().toString(), "qrc:/help/zh_CN/block-servo.html");
    guide->homeButton()->click();
    EXPECT_EQ(guide->currentPage().toString(), "qrc:/help/zh_CN/index.html");

    guide->searchBox()->setText(QString::fromUtf8("舵机"));
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        if (!list->item(i)->isHidden())
            shown << list->item(i)->data(Qt::UserRole).toString();
    EXPECT_TRUE(shown.contains("blocks.html"));
    EXPECT_FALSE(shown.contains("download.html"));
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->data(Qt::UserRole).toString(), help::blockPage(BlockType::Servo))
        << "the page titled with the word comes first";
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

TEST_F(ExamplesTest, TheMenuShowsTheExamplesTitlesAndTipsTranslated) {
    EXPECT_EQ(help::exampleTitle(help::examples().front()), "Drive a Square")
        << "English without a translation";
    TMarkingTranslator marking;
    const TTranslatorScope installed(marking);
    TForm1 translated;
    QMenu* menu = subMenu(topMenu(translated, "HelpMenu"), "ExamplesMenu");
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> entries = menu->actions();
    ASSERT_EQ(entries.size(), static_cast<qsizetype>(help::examples().size()));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const help::TExample& example = help::examples()[i];
        EXPECT_EQ(entries[i]->text(), '[' + QString::fromLatin1(example.title) + ']');
        EXPECT_EQ(entries[i]->statusTip(), '[' + QString::fromLatin1(example.tip) + ']');
    }
    translated.autosave().discard();
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
