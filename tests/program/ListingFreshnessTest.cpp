#include "program/ListingFreshness.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using program::TListingFreshness;
using program::TTextOrigin;
using Lines = std::vector<std::string>;
using Numbers = std::vector<std::size_t>;

// A listing of five blocks: block 1 made two lines, block 2 (a label) none, blocks 3 and 5 one
// each, block 4 (the start of a subroutine) none.
const Lines kLines{"10 REM \"ZOLVANE\"", "20 REM \"KEY 1\"", "30 REM \"PLAY 12\"",
                   "50 REM \"GOTO 40\"", "70 REM \"RETURN\""};
const Numbers kLineBlocks{0, 1, 1, 3, 5};

TEST(ListingFreshness, TheOriginFollowsWhatLastFilledTheText) {
    TListingFreshness f;
    EXPECT_EQ(f.origin(), TTextOrigin::Empty);
    struct Step {
        const char* what;
        void (*apply)(TListingFreshness&);
        TTextOrigin origin;
    };
    const Step steps[] = {
        {"generate", [](TListingFreshness& s) { s.generated(4, kLines, kLineBlocks); },
         TTextOrigin::Generated},
        {"typing", [](TListingFreshness& s) { s.changedByHand(); }, TTextOrigin::ByHand},
        {"generate again", [](TListingFreshness& s) { s.generated(5, kLines, kLineBlocks); },
         TTextOrigin::Generated},
        {"new chart", [](TListingFreshness& s) { s.emptied(); }, TTextOrigin::Empty},
        {"a loaded text", [](TListingFreshness& s) { s.changedByHand(); }, TTextOrigin::ByHand},
        {"opened chart", [](TListingFreshness& s) { s.emptied(); }, TTextOrigin::Empty},
    };
    for (const Step& step : steps) {
        step.apply(f);
        EXPECT_EQ(f.origin(), step.origin) << step.what;
    }
}

TEST(ListingFreshness, OnlyAGeneratedTextOfAnEarlierChartIsStale) {
    struct Case {
        const char* what;
        void (*prepare)(TListingFreshness&);
        std::uint64_t revisionNow;
        bool stale;
        bool linked;
    };
    const Case cases[] = {
        {"never generated", [](TListingFreshness&) {}, 0, false, false},
        {"generated, chart unchanged",
         [](TListingFreshness& f) { f.generated(7, kLines, kLineBlocks); }, 7, false, true},
        {"generated, chart changed since",
         [](TListingFreshness& f) { f.generated(7, kLines, kLineBlocks); }, 8, true, false},
        {"generated, then typed into, chart changed",
         [](TListingFreshness& f) {
             f.generated(7, kLines, kLineBlocks);
             f.changedByHand();
         },
         8, false, false},
        {"generated, then typed into, chart unchanged",
         [](TListingFreshness& f) {
             f.generated(7, kLines, kLineBlocks);
             f.changedByHand();
         },
         7, false, false},
        {"generated, then emptied by a new chart",
         [](TListingFreshness& f) {
             f.generated(7, kLines, kLineBlocks);
             f.emptied();
         },
         9, false, false},
        {"generated twice, the second time current",
         [](TListingFreshness& f) {
             f.generated(7, kLines, kLineBlocks);
             f.generated(9, kLines, kLineBlocks);
         },
         9, false, true},
    };
    for (const Case& c : cases) {
        TListingFreshness f;
        c.prepare(f);
        EXPECT_EQ(f.stale(c.revisionNow), c.stale) << c.what;
        EXPECT_EQ(f.linked(c.revisionNow), c.linked) << c.what;
    }
}

TEST(ListingFreshness, LinesAndBlocksFindEachOther) {
    TListingFreshness f;
    f.generated(1, kLines, kLineBlocks);
    const Numbers blockOfEachLine{0, 1, 1, 3, 5, 0, 0};
    for (std::size_t line = 0; line < blockOfEachLine.size(); ++line)
        EXPECT_EQ(f.blockOfLine(line), blockOfEachLine[line]) << "line " << line;

    struct Block {
        std::size_t number;
        Numbers lines;
        const char* firstNumber;
    };
    const Block blocks[] = {
        {0, {}, ""}, {1, {1, 2}, "20"}, {2, {}, ""}, {3, {3}, "50"},
        {4, {}, ""}, {5, {4}, "70"},    {6, {}, ""},
    };
    for (const Block& b : blocks) {
        EXPECT_EQ(f.linesOfBlock(b.number), b.lines) << "block " << b.number;
        EXPECT_EQ(f.firstLineNumber(b.number), b.firstNumber) << "block " << b.number;
    }
}

TEST(ListingFreshness, ATextNotGeneratedLinksNothing) {
    TListingFreshness f;
    for (int step = 0; step < 2; ++step) {
        f.generated(1, kLines, kLineBlocks);
        if (step == 0)
            f.changedByHand();
        else
            f.emptied();
        EXPECT_EQ(f.blockOfLine(1), 0u) << step;
        EXPECT_TRUE(f.linesOfBlock(1).empty()) << step;
        EXPECT_EQ(f.firstLineNumber(1), "") << step;
    }
}

TEST(ListingFreshness, LeadingLineNumbers) {
    const std::pair<const char*, const char*> cases[] = {
        {"120 REM \"X\"", "120"}, {"10", "10"},    {"", ""},
        {"REM 10", ""},           {" 10 REM", ""}, {"007x", "007"},
    };
    for (const auto& [line, number] : cases)
        EXPECT_EQ(program::leadingLineNumber(line), number) << line;
}

} // namespace
