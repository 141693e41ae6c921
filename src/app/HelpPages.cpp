#include "app/HelpPages.h"

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

constexpr TExample kExamples[] = {
    {"square", "Drive a Square", "Drive forward and turn right, four times in a loop"},
    {"dance", "Dance with Music", "Play a tune, sway and step to it"},
    {"lights", "Lights", "Switch the LEDs one after the other, again and again"},
    {"counting", "Counted Loop", "Repeat blocks five times and count the rounds in B"},
    {"subroutine", "Subroutine", "Call the same blocks from three places"},
    {"line-follower", "Line Follower", "Follow a line with two digital sensors"},
    {"obstacle-avoider", "Obstacle Avoider",
     "Back off and turn when the distance sensor sees "
     "something near"},
    {"talking", "Talking Robot", "Say phrases with VoiceX between moves"},
};

} // namespace

void initResources() {
    initHelpResource();
}

QUrl pageUrl(const QString& page) {
    return QUrl(QStringLiteral("qrc:/help/") + page);
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

QString exampleResource(const TExample& example) {
    return QStringLiteral(":/examples/") + QLatin1String(example.name) + QStringLiteral(".lcs");
}

QList<TPageText> guidePages() {
    initResources();
    QList<TPageText> pages;
    const QDir folder(QStringLiteral(":/help"));
    for (const QString& name : folder.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile file(folder.filePath(name));
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
