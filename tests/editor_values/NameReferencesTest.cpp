#include "editors/values/NameReferences.h"

#include "editors/values/EditorValues.h"
#include "records/BlockCatalog.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace editors;

namespace {

using B = BlockType;

// A block's record as its dialog writes it.
std::string recordOf(B type, const TEditorValues& values) {
    return recordFromValues(type, values);
}

// A chart held as records, and the block list the functions read.
struct Chart {
    std::vector<std::pair<B, std::string>> blocks;

    Chart& add(B type, const TEditorValues& values) {
        blocks.emplace_back(type, recordOf(type, values));
        return *this;
    }
    Chart& add(B type) {
        blocks.emplace_back(type, DefaultRecord(type));
        return *this;
    }
    Chart& addRecord(B type, std::string record) {
        blocks.emplace_back(type, std::move(record));
        return *this;
    }
    std::vector<TBlockRecord> list() const {
        std::vector<TBlockRecord> result;
        for (const auto& [type, record] : blocks)
            result.push_back({KindBlockBase + ToInt(type), record});
        return result;
    }
};

const std::string kBroken = "<CtrlNode type=\"11\"><label>x</lab></CtrlNode>";

TEST(NameReferences, WhichBlocksDefineAndWhichUseNames) {
    for (const TBlockInfo& info : BlockCatalog()) {
        const B t = info.type;
        const std::optional<TNameKind> defined = t == B::Label ? std::optional(TNameKind::Label)
                                                 : t == B::SubBegin
                                                     ? std::optional(TNameKind::Subroutine)
                                                     : std::nullopt;
        const std::optional<TNameKind> used =
            t == B::Goto || t == B::GotoIf ? std::optional(TNameKind::Label)
            : t == B::CallSub              ? std::optional(TNameKind::Subroutine)
                                           : std::nullopt;
        EXPECT_EQ(nameDefinedBy(t), defined) << info.caption;
        EXPECT_EQ(nameUsedBy(t), used) << info.caption;
    }
}

TEST(NameReferences, TheNameInARecordAndARecordWithAnotherName) {
    struct Case {
        const char* what;
        B type;
        TEditorValues values;
        std::optional<std::string> name;
        TEditorValues renamed; // the values after renaming to "New>1"
    };
    const Case cases[] = {
        {"Label", B::Label, TLabelValues{"Top"}, "Top", TLabelValues{"New>1"}},
        {"Goto", B::Goto, TGotoValues{"Top"}, "Top", TGotoValues{"New>1"}},
        {"GotoIf keeps its condition", B::GotoIf, TGotoIfValues{"A<>1", "T&p"}, "T&p",
         TGotoIfValues{"A<>1", "New>1"}},
        {"Sub Begin", B::SubBegin, TSubBeginValues{"S1"}, "S1", TSubBeginValues{"New>1"}},
        {"Call Sub", B::CallSub, TCallSubValues{""}, "", TCallSubValues{"New>1"}},
        {"Wait has no name", B::Wait, TWaitValues{5}, std::nullopt, TWaitValues{5}},
    };
    for (const Case& c : cases) {
        const std::string record = recordOf(c.type, c.values);
        EXPECT_EQ(nameInRecord(c.type, record), c.name) << c.what;
        const std::optional<std::string> renamed = recordWithName(c.type, record, "New>1");
        if (!c.name) {
            EXPECT_EQ(renamed, std::nullopt) << c.what;
            continue;
        }
        ASSERT_TRUE(renamed) << c.what;
        const TValuesResult read = valuesFromRecord(c.type, *renamed);
        ASSERT_TRUE(read.values) << c.what << ": " << read.error;
        EXPECT_EQ(*read.values, c.renamed) << c.what;
    }
    EXPECT_EQ(nameInRecord(B::Label, kBroken), std::nullopt);
    EXPECT_EQ(recordWithName(B::Label, kBroken, "X"), std::nullopt);
}

TEST(NameReferences, DefinedNamesOnceEachInChartOrder) {
    Chart chart;
    chart.add(B::Label, TLabelValues{"Loop"})
        .add(B::SubBegin, TSubBeginValues{"Beep"})
        .add(B::Goto, TGotoValues{"Elsewhere"}) // a use defines nothing
        .add(B::Label, TLabelValues{"End"})
        .add(B::Label, TLabelValues{""})     // no name
        .add(B::Label, TLabelValues{"Loop"}) // twice
        .add(B::Label, TLabelValues{"loop"}) // letter case counts
        .addRecord(B::Label, kBroken)
        .add(B::SubBegin, TSubBeginValues{"Turn"});
    const std::vector<TBlockRecord> list = chart.list();
    EXPECT_EQ(definedNames(list, TNameKind::Label),
              (std::vector<std::string>{"Loop", "End", "loop"}));
    EXPECT_EQ(definedNames(list, TNameKind::Subroutine),
              (std::vector<std::string>{"Beep", "Turn"}));
    EXPECT_TRUE(definedNames({}, TNameKind::Label).empty());
}

TEST(NameReferences, ARenamedLabelTakesItsGotosAlong) {
    Chart chart;
    chart
        .add(B::Label, TLabelValues{"Again"}) // renamed from "Loop"
        .add(B::Goto, TGotoValues{"Loop"})
        .add(B::GotoIf, TGotoIfValues{"A>1", "Loop"})
        .add(B::Goto, TGotoValues{"loop"})       // another name: letter case counts
        .add(B::Goto, TGotoValues{"Loop2"})      // another name
        .add(B::CallSub, TCallSubValues{"Loop"}) // a subroutine of that name is not the label
        .add(B::Goto, TGotoValues{"Loop"})
        .addRecord(B::Goto, "<CtrlNode type=\"12\"><label>Loop</lab></CtrlNode>"); // unreadable
    const std::vector<TRenamedBlock> follow = referencesToFollow(chart.list(), 0, "Loop");
    ASSERT_EQ(follow.size(), 3u);
    EXPECT_EQ(follow[0].block, 1u);
    EXPECT_EQ(follow[0].record, recordOf(B::Goto, TGotoValues{"Again"}));
    EXPECT_EQ(follow[1].block, 2u);
    EXPECT_EQ(follow[1].record, recordOf(B::GotoIf, TGotoIfValues{"A>1", "Again"}));
    EXPECT_EQ(follow[2].block, 6u);
}

TEST(NameReferences, ARenamedSubBeginTakesItsCallsAlong) {
    Chart chart;
    chart.add(B::CallSub, TCallSubValues{"Beep"})
        .add(B::Goto, TGotoValues{"Beep"}) // a label of that name is not the subroutine
        .add(B::SubBegin, TSubBeginValues{"Sound"})
        .add(B::CallSub, TCallSubValues{"Beep"});
    const std::vector<TRenamedBlock> follow = referencesToFollow(chart.list(), 2, "Beep");
    ASSERT_EQ(follow.size(), 2u);
    EXPECT_EQ(follow[0].block, 0u);
    EXPECT_EQ(follow[1].block, 3u);
    EXPECT_EQ(follow[1].record, recordOf(B::CallSub, TCallSubValues{"Sound"}));
}

TEST(NameReferences, NothingFollowsWhenTheOldNameStillLeadsSomewhereOrNoNameIsLeft) {
    struct Case {
        const char* what;
        Chart chart;
        std::size_t renamed;
        const char* oldName;
    };
    const Case cases[] = {
        {"another label still holds the old name",
         Chart{}
             .add(B::Label, TLabelValues{"New"})
             .add(B::Label, TLabelValues{"Old"})
             .add(B::Goto, TGotoValues{"Old"}),
         0, "Old"},
        {"the name did not change",
         Chart{}.add(B::Label, TLabelValues{"Old"}).add(B::Goto, TGotoValues{"Old"}), 0, "Old"},
        {"the new name is empty",
         Chart{}.add(B::Label, TLabelValues{""}).add(B::Goto, TGotoValues{"Old"}), 0, "Old"},
        {"the old name was empty",
         Chart{}.add(B::Label, TLabelValues{"New"}).add(B::Goto, TGotoValues{""}), 0, ""},
        {"nothing used the old name",
         Chart{}.add(B::Label, TLabelValues{"New"}).add(B::Goto, TGotoValues{"Other"}), 0, "Old"},
        {"the block defines no name",
         Chart{}.add(B::Goto, TGotoValues{"New"}).add(B::Goto, TGotoValues{"Old"}), 0, "Old"},
        {"a position past the end", Chart{}.add(B::Goto, TGotoValues{"Old"}), 5, "Old"},
        {"the renamed record does not parse",
         Chart{}.addRecord(B::Label, kBroken).add(B::Goto, TGotoValues{"Old"}), 0, "Old"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(referencesToFollow(c.chart.list(), c.renamed, c.oldName).empty()) << c.what;
}

TEST(NameReferences, OnlyACaseChangeOfTheNameStillFollows) {
    Chart chart;
    chart.add(B::Label, TLabelValues{"loop"}).add(B::Goto, TGotoValues{"Loop"});
    const std::vector<TRenamedBlock> follow = referencesToFollow(chart.list(), 0, "Loop");
    ASSERT_EQ(follow.size(), 1u);
    EXPECT_EQ(follow[0].record, recordOf(B::Goto, TGotoValues{"loop"}));
}

} // namespace
