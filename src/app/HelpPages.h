// The guide's pages and the example charts as the program bundles them: where each lives in
// the resource, the page of every block type, the examples in menu order and the search over
// the pages.
//
// The guide is written in English (help/start.html) and translated page by page into the
// interface's other languages, under the same file names in a folder of the language's name
// (help/zh_CN/start.html). A page keeps its file name in every language, so links between
// pages, the page list and F1 in a block's dialog name pages alike; where a language lacks a
// page the English one stands in.
#pragma once

#include "records/BlockCatalog.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <span>

namespace help {

// The contents page.
inline constexpr char kHomePage[] = "index.html";
// The page a link "example:NAME" in the guide opens the example NAME of (examples.html).
inline constexpr char kExampleScheme[] = "example";

// Makes the guide's and the examples' resource available (it lives in a static library).
void initResources();

// The address of a page of the guide by its file name ("blocks.html"), in the language in
// force (platform::InstalledLanguage()).
QUrl pageUrl(const QString& page);
// The address of the page in `language` ("en", "zh_CN"), or of the English page when that
// language has no such page: "qrc:/help/zh_CN/blocks.html".
QUrl pageUrl(const QString& page, const QString& language);
// The page of a block type, named after the block's caption in the catalogue, so that every
// block type has one: "block-motor-on.html" for Motor On.
QString blockPage(BlockType type);
// The palette picture of a block type as the pages show it: "palette/palette_02.svg".
QString blockPicture(BlockType type);

// One bundled example chart.
struct TExample {
    const char* name;  // the file name without ".lcs", as a link "example:NAME" names it
    const char* title; // the menu entry, in English (translated in the context "Examples")
    const char* tip;   // what it shows, for the status line, in English (the same)
};
// The examples in menu order.
std::span<const TExample> examples();
// The example of a name, nullptr when there is none.
const TExample* findExample(const QString& name);
// Its title and tip in the language in force, as the menu shows them.
QString exampleTitle(const TExample& example);
QString exampleTip(const TExample& example);
// Its chart file in the resource: ":/examples/square.lcs".
QString exampleResource(const TExample& example);

// A page of the guide as the search knows it.
struct TPageText {
    QString page;  // file name
    QString title; // the page's <title>
    QString text;  // its words as a person reads them
};
// Every page of the guide: the contents and the other pages of the guide in reading order,
// then the block pages by title; each in the language in force where it has the page.
QList<TPageText> guidePages();
// The same in `language` ("en", "zh_CN").
QList<TPageText> guidePages(const QString& language);
// The pages whose title or text hold every word of `query`, letter case ignored: pages with a
// word in the title first, then the others, each in the order given. All pages for an empty
// query.
QStringList findPages(const QList<TPageText>& pages, const QString& query);

} // namespace help
