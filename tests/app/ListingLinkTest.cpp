// The chart and its listing linked both ways: a click on a line of a generated program text
// selects the block that made it, a selected block marks its lines in the text, and the toolbar
// toggle shows each block's first line number beside it on the canvas.
#include "WindowFixture.h"
#include "editors/values/EditorValues.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolButton>

namespace {

constexpr int kDirect = 1;
constexpr int kWait = 5;
constexpr int kMusic = 6;
constexpr int kLabel = 11;

} // namespace

class ListingLinkTest : public WindowTest {
protected:
    // Direct, Label, Music (two lines: KEY and PLAY) and Wait, generated:
    //   0 "10 REM "ZOLVANE"", 1 "20 REM "FDX"", 2 "40 REM "KEY 1"", 3 "50 REM "PLAY 12"",
    //   4 "60 REM "WAIT 0""   (the Label's number 30 has no line)
    void SetUp() override {
        WindowTest::SetUp();
        for (int type : {kDirect, kLabel, kMusic, kWait})
            chart().AppendBlock(type);
        chart().SetBlockRecord(
            chart().BlockAt(3),
            editors::recordFromValues(BlockType::Music, editors::TMusicValues{1, true, "12"}));
        chart().Relayout();
        generate();
        ASSERT_EQ(lines(), (QStringList{"10 REM \"ZOLVANE\"", "20 REM \"FDX\"", "40 REM \"KEY 1\"",
                                        "50 REM \"PLAY 12\"", "60 REM \"WAIT 0\""}));
    }

    QPlainTextEdit* memo() const { return window->programText(); }
    QStringList lines() const { return memo()->toPlainText().split('\n'); }
    void generate() {
        window->speedButton(7)->click();
        QApplication::processEvents();
    }
    // A real click on text line `line` (counted from 0) of the program text.
    void clickLine(int line) {
        const QTextCursor at(memo()->document()->findBlockByNumber(line));
        QTest::mouseClick(memo()->viewport(), Qt::LeftButton, {},
                          memo()->cursorRect(at).center() + QPoint(4, 0));
        QApplication::processEvents();
    }
    // The text lines marked in the program text, in order.
    std::vector<int> markedLines() const {
        std::vector<int> marked;
        for (const QTextEdit::ExtraSelection& s : memo()->extraSelections())
            marked.push_back(s.cursor.blockNumber());
        return marked;
    }
    void selectOnCanvas(TFcObject* object) {
        canvas().SelectObject(object);
        QApplication::processEvents();
    }
    TFcObject* block(int number) const { return window->chart().BlockAt(number); }
};

TEST_F(ListingLinkTest, AClickOnALineSelectsTheBlockThatMadeIt) {
    struct Case {
        int line;
        int block; // 0: the selection stays as it was
    };
    const Case cases[] = {{4, 4}, {1, 1}, {3, 3}, {2, 3}, {0, 0}};
    for (const Case& c : cases) {
        TFcObject* before = canvas().SelectedObject();
        clickLine(c.line);
        EXPECT_EQ(canvas().SelectedObject(), c.block ? block(c.block) : before) << c.line;
    }
    // The line the cursor is on already, clicked again after the canvas chose another block.
    clickLine(4);
    selectOnCanvas(block(1));
    clickLine(4);
    EXPECT_EQ(canvas().SelectedObject(), block(4));
    // The cursor moved by a key works the same way.
    QTest::keyClick(memo(), Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(canvas().SelectedObject(), block(3));
    EXPECT_TRUE(memo()->hasFocus()) << "the text keeps the keyboard";
}

TEST_F(ListingLinkTest, ASelectedBlockMarksItsLinesAndBringsThemIntoView) {
    struct Case {
        int block;
        std::vector<int> lines;
    };
    const Case cases[] = {{3, {2, 3}}, {1, {1}}, {2, {}}, {4, {4}}};
    for (const Case& c : cases) {
        selectOnCanvas(block(c.block));
        EXPECT_EQ(markedLines(), c.lines) << "block " << c.block;
        if (!c.lines.empty()) {
            EXPECT_EQ(memo()->textCursor().blockNumber(), c.lines.front()) << "block " << c.block;
        }
    }
    // A marker selected marks nothing.
    selectOnCanvas(marker(1));
    EXPECT_TRUE(markedLines().empty());
    // A click on a line marks the lines of its block and leaves the cursor where it was put.
    clickLine(3);
    EXPECT_EQ(markedLines(), (std::vector<int>{2, 3}));
    EXPECT_EQ(memo()->textCursor().blockNumber(), 3);
    // A whole chart of lines: the selected block's line is scrolled into view.
    for (int i = 0; i < 200; ++i)
        chart().AppendBlock(kWait);
    chart().Relayout();
    generate();
    selectOnCanvas(block(204));
    const QRect shown = memo()->viewport()->rect();
    EXPECT_TRUE(shown.contains(memo()->cursorRect().center()))
        << "the block's line is out of sight";
    EXPECT_EQ(lines()[memo()->textCursor().blockNumber()].toStdString(), "2060 REM \"WAIT 0\"");
}

TEST_F(ListingLinkTest, OnlyTheCurrentListingIsLinked) {
    struct Case {
        const char* what;
        std::function<void()> unlink;
    };
    const Case cases[] = {
        {"the chart changed", [this] { chart().SetBlockRecord(block(4), DefaultRecord(kMusic)); }},
        {"the text was typed into",
         [this] {
             memo()->moveCursor(QTextCursor::End);
             QTest::keyClicks(memo(), " ");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        generate();
        c.unlink();
        selectOnCanvas(block(1));
        EXPECT_TRUE(markedLines().empty());
        clickLine(4);
        EXPECT_EQ(canvas().SelectedObject(), block(1));
        selectOnCanvas(block(3));
        EXPECT_TRUE(markedLines().empty());
    }
    // Generated again, the link is back.
    generate();
    clickLine(1);
    EXPECT_EQ(canvas().SelectedObject(), block(1));
}

TEST_F(ListingLinkTest, TheToggleShowsEachBlocksFirstLineNumberBesideIt) {
    QToolButton* toggle = window->lineNumbersButton();
    const TFcRect strip = TFlowChartView::sideLabelRect(*block(1));
    const QRect onScreen = fcToQRect(strip).translated(at(0, 0));
    const QColor background = grab().pixelColor(onScreen.topLeft());
    const auto inkInStrip = [&] {
        const QImage image = grab();
        int ink = 0;
        for (int y = onScreen.top(); y <= onScreen.bottom(); ++y)
            for (int x = onScreen.left(); x <= onScreen.right(); ++x)
                ink += image.pixelColor(x, y) != background ? 1 : 0;
        return ink;
    };
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(window->flowChart()->sideLabels().empty());
    EXPECT_EQ(inkInStrip(), 0) << "off, the chart looks as it always did";

    toggle->click();
    const TFcSideLabels expected{{block(1), "20"}, {block(3), "40"}, {block(4), "60"}};
    EXPECT_EQ(window->flowChart()->sideLabels(), expected);
    EXPECT_GT(inkInStrip(), 0);

    // A changed chart has no line numbers until it is generated again.
    insert(kWait); // at the selected marker, above the first block
    QApplication::processEvents();
    EXPECT_TRUE(window->flowChart()->sideLabels().empty());
    generate();
    EXPECT_EQ(window->flowChart()->sideLabels().at(block(1)), "20");
    EXPECT_EQ(window->flowChart()->sideLabels().at(block(2)), "30");
    EXPECT_EQ(window->flowChart()->sideLabels().size(), 4u);

    toggle->click();
    EXPECT_TRUE(window->flowChart()->sideLabels().empty());
    EXPECT_EQ(inkInStrip(), 0);
}
