#include "app/HelpPages.h"

#include "platform/i18n/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <algorithm>

// Outside any namespace, as the resource's initialiser is declared there.
static void initHelpResource() {
    Q_INIT_RESOURCE(help);
}

namespace help {

namespace {

// The titles and tips are translated where they are shown, in the context "Examples".
constexpr TExample kExamples[] = {
    {"square", QT_TRANSLATE_NOOP("Examples", "Drive a Square"),
     QT_TRANSLATE_NOOP("Examples", "Drive forward and turn right, four times in a loop")},
    {"dance", QT_TRANSLATE_NOOP("Examples", "Dance with Music"),
     QT_TRANSLATE_NOOP("Examples", "Play a tune, sway and step to it")},
    {"lights", QT_TRANSLATE_NOOP("Examples", "Lights"),
     QT_TRANSLATE_NOOP("Examples", "Switch the LEDs one after the other, again and again")},
    {"counting", QT_TRANSLATE_NOOP("Examples", "Counted Loop"),
     QT_TRANSLATE_NOOP("Examples", "Repeat blocks five times and count the rounds in B")},
    {"subroutine", QT_TRANSLATE_NOOP("Examples", "Subroutine"),
     QT_TRANSLATE_NOOP("Examples", "Call the same blocks from three places")},
    {"line-follower", QT_TRANSLATE_NOOP("Examples", "Line Follower"),
     QT_TRANSLATE_NOOP("Examples", "Follow a line with two digital sensors")},
    {"obstacle-avoider", QT_TRANSLATE_NOOP("Examples", "Obstacle Avoider"),
     QT_TRANSLATE_NOOP("Examples",
                       "Back off and turn when the distance sensor sees something near")},
    {"talking", QT_TRANSLATE_NOOP("Examples", "Talking Robot"),
     QT_TRANSLATE_NOOP("Examples", "Say phrases with VoiceX between moves")},
};

constexpr char kHelpFolder[] = ":/help/";

// The resource folder of a language's pages: ":/help/" for English, ":/help/zh_CN/".
QString pageFolder(const QString& language) {
    if (language.isEmpty() || language == QLatin1String("en"))
        return QString::fromLatin1(kHelpFolder);
    return QString::fromLatin1(kHelpFolder) + language + QLatin1Char('/');
}

// The resource file that shows `page` in `language`, the English one where it is missing.
QString pageFile(const QString& page, const QString& language) {
    const QString translated = pageFolder(language) + page;
    if (QFile::exists(translated))
        return translated;
    return QString::fromLatin1(kHelpFolder) + page;
}

} // namespace

void initResources() {
    initHelpResource();
}

QUrl pageUrl(const QString& page) {
    return pageUrl(page, platform::InstalledLanguage());
}

QUrl pageUrl(const QString& page, const QString& language) {
    initResources();
    return QUrl(QStringLiteral("qrc") + pageFile(page, language));
}

QString blockPage(BlockType type) {
    QString caption = QString::fromLatin1(BlockInfo(type).caption).toLower();
    caption.replace(QLatin1Char(' '), QLatin1Char('-'));
    return QStringLiteral("block-") + caption + QStringLiteral(".html");
}

QString blockPicture(BlockType type) {
    return QStringLiteral("palette/palette_%1.svg")
        .arg(BlockInfo(type).paletteImage, 2, 10, QLatin1Char('0'));
}

std::span<const TExample> examples() {
    return kExamples;
}

const TExample* findExample(const QString& name) {
    for (const TExample& example : kExamples)
        if (name == QLatin1String(example.name))
            return &example;
    return nullptr;
}

QString exampleTitle(const TExample& example) {
    return QCoreApplication::translate("Examples", example.title);
}

QString exampleTip(const TExample& example) {
    return QCoreApplication::translate("Examples", example.tip);
}

QString exampleResource(const TExample& example) {
    return QStringLiteral(":/examples/") + QLatin1String(example.name) + QStringLiteral(".lcs");
}

QList<TPageText> guidePages() {
    return guidePages(platform::InstalledLanguage());
}

QList<TPageText> guidePages(const QString& language) {
    initResources();
    QList<TPageText> pages;
    // The English pages name every page; each is read in the language where it has one.
    const QDir folder(QString::fromLatin1(kHelpFolder));
    for (const QString& name : folder.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile file(pageFile(name, language));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString html = QString::fromUtf8(file.readAll());
        static const QRegularExpression titleTag(QStringLiteral("<title>(.*)</title>"));
        const QString title =
            QTextDocumentFragment::fromHtml(titleTag.match(html).captured(1)).toPlainText();
        pages.append({name, title, QTextDocumentFragment::fromHtml(html).toPlainText()});
    }
    // The guide's own pages in reading order, then the blocks by name.
    static const QStringList kFirst = {
        QString::fromLatin1(kHomePage),  QStringLiteral("start.html"),
        QStringLiteral("blocks.html"),   QStringLiteral("examples.html"),
        QStringLiteral("download.html"), QStringLiteral("simulator.html"),
        QStringLiteral("problems.html"), QStringLiteral("keys.html")};
    auto rank = [](const TPageText& p) {
        const qsizetype at = kFirst.indexOf(p.page);
        return at < 0 ? kFirst.size() : at;
    };
    std::sort(pages.begin(), pages.end(), [&rank](const TPageText& a, const TPageText& b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        return a.title.compare(b.title, Qt::CaseInsensitive) < 0;
    });
    return pages;
}

QStringList findPages(const QList<TPageText>& pages, const QString& query) {
    const QStringList words = query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    auto holdsAll = [&words](const TPageText& p) {
        return std::all_of(words.begin(), words.end(), [&p](const QString& word) {
            return p.title.contains(word, Qt::CaseInsensitive) ||
                   p.text.contains(word, Qt::CaseInsensitive);
        });
    };
    auto inTitle = [&words](const TPageText& p) {
        return std::any_of(words.begin(), words.end(), [&p](const QString& word) {
            return p.title.contains(word, Qt::CaseInsensitive);
        });
    };
    QStringList first;
    QStringList then;
    for (const TPageText& p : pages)
        if (holdsAll(p))
            (inTitle(p) ? first : then).append(p.page);
    return first + then;
}

} // namespace help
