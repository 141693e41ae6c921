#include "download/ProgramMemory.h"

#include "TestSupport.h"
#include "download/PortList.h"

#include <gtest/gtest.h>

namespace download {
namespace {

using Match = TProgramMemory::Match;

Bytes bytesOfText(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(ImageChecksum, IsTheCrc32OfTheBytes) {
    EXPECT_EQ(ImageChecksum(bytesOfText("123456789")), 0xCBF43926u); // the CRC-32 check value
    EXPECT_EQ(ImageChecksum({}), 0u);
    EXPECT_NE(ImageChecksum(bytesOfText("12345678:")), ImageChecksum(bytesOfText("123456789")));
}

TEST(ProgramMemory, TellsWhetherTheRobotOnAPortHasThisProgramOrAnOlderOne) {
    TProgramMemory memory;
    const Bytes sent = bytesOfText("10 REM \"ZOLVANE\"");
    const Bytes edited = bytesOfText("10 REM \"ZOLVANE!\"");
    EXPECT_EQ(memory.compare("/dev/ttyUSB0", sent), Match::Unknown);
    EXPECT_EQ(memory.statusText("/dev/ttyUSB0", sent), "");
    memory.remember("/dev/ttyUSB0", sent);
    EXPECT_EQ(memory.compare("/dev/ttyUSB0", sent), Match::Same);
    EXPECT_EQ(memory.statusText("/dev/ttyUSB0", sent), "The robot on ttyUSB0 has this program");
    EXPECT_EQ(memory.compare("/dev/ttyUSB0", edited), Match::Different);
    EXPECT_EQ(memory.statusText("/dev/ttyUSB0", edited),
              "The robot on ttyUSB0 has an older version of this program");
    // Another port's robot is another robot.
    EXPECT_EQ(memory.compare("/dev/ttyUSB1", sent), Match::Unknown);
    // The same bytes cut short are not the same program.
    EXPECT_EQ(memory.compare("/dev/ttyUSB0", Bytes(sent.begin(), sent.end() - 1)),
              Match::Different);
}

struct RecordCase {
    const char* name;
    bool success;
    bool headerTaken;
    Match afterwards; // compared with the new image
    Match oldOne;     // compared with the image the robot had
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

class ProgramMemoryRecords : public ::testing::TestWithParam<RecordCase> {};

TEST_P(ProgramMemoryRecords, FollowWhatTheRobotMayHoldAfterADownload) {
    TProgramMemory memory;
    const Bytes old = bytesOfText("old program");
    const Bytes fresh = bytesOfText("new program");
    memory.remember("COM3", old);
    memory.record("COM3", fresh, GetParam().success, GetParam().headerTaken);
    EXPECT_EQ(memory.compare("COM3", fresh), GetParam().afterwards);
    EXPECT_EQ(memory.compare("COM3", old), GetParam().oldOne);
}

INSTANTIATE_TEST_SUITE_P(Download, ProgramMemoryRecords,
                         ::testing::Values(RecordCase{"GotThrough", true, true, Match::Same,
                                                      Match::Different},
                                           RecordCase{"FailedBeforeTheHeader", false, false,
                                                      Match::Different, Match::Same},
                                           RecordCase{"FailedAfterTheHeader", false, true,
                                                      Match::Unknown, Match::Unknown}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramMemory, SurvivesASaveAndALoadAndSkipsLinesItCannotRead) {
    TProgramMemory memory;
    memory.remember("/dev/ttyUSB0", bytesOfText("one"));
    memory.remember("COM3", bytesOfText("two"));
    const std::string saved = memory.save();
    TProgramMemory again;
    again.load(saved + "broken line\n\tabc\t3\nCOM9\tnothex\t3\nCOM8\t1f\t\n");
    EXPECT_EQ(again.compare("/dev/ttyUSB0", bytesOfText("one")), Match::Same);
    EXPECT_EQ(again.compare("COM3", bytesOfText("two")), Match::Same);
    EXPECT_EQ(again.save(), saved);
    again.load("");
    EXPECT_TRUE(again.empty());
}

TEST(PortEntries, ShowTheShortNameTheDescriptionAndTheManufacturer) {
    EXPECT_EQ(PortEntryText({"/dev/ttyUSB0", "FT232R USB UART", "FTDI", true}),
              "ttyUSB0 - FT232R USB UART (FTDI)");
    EXPECT_EQ(PortEntryText({"/dev/ttyACM0", "", "Arduino", true}), "ttyACM0 - Arduino");
    EXPECT_EQ(PortEntryText({"/dev/ttyS0", "", "", false}), "ttyS0");
    EXPECT_EQ(PortEntryText({"COM3", "USB Serial", "USB Serial", true}), "COM3 - USB Serial");
}

const TPortInfo kLegacy{"/dev/ttyS0", "", "", false};
const TPortInfo kRobotA{"/dev/ttyUSB0", "CP2102", "Silicon Labs", true};
const TPortInfo kRobotB{"/dev/ttyUSB1", "CP2102", "Silicon Labs", true};

struct ChoiceCase {
    const char* name;
    std::vector<TPortInfo> before, after;
    bool firstListing;
    std::string current, lastUsed;
    TPortChoice choice;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

class PortChoices : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(PortChoices, FollowThePupilsCable) {
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(ChoosePort(c.before, c.after, c.firstListing, c.current, c.lastUsed), c.choice);
}

using R = TPortChoiceReason;
INSTANTIATE_TEST_SUITE_P(Download, PortChoices,
                         ::testing::Values(ChoiceCase{"APluggedInAdapterIsChosen",
                                                      {kLegacy},
                                                      {kLegacy, kRobotA},
                                                      false,
                                                      kLegacy.device,
                                                      "",
                                                      {kRobotA.device, R::NewAdapter}},
                                           ChoiceCase{"ASecondAdapterIsNotChosenForTheUser",
                                                      {kLegacy, kRobotA},
                                                      {kLegacy, kRobotA, kRobotB},
                                                      false,
                                                      kLegacy.device,
                                                      "",
                                                      {kLegacy.device, R::Kept}},
                                           ChoiceCase{"ARemovedPortGivesWayToTheLastUsed",
                                                      {kLegacy, kRobotA, kRobotB},
                                                      {kLegacy, kRobotB},
                                                      false,
                                                      kRobotA.device,
                                                      kLegacy.device,
                                                      {kLegacy.device, R::LastUsed}},
                                           ChoiceCase{"ARemovedPortGivesWayToTheOnlyAdapter",
                                                      {kLegacy, kRobotA, kRobotB},
                                                      {kLegacy, kRobotB},
                                                      false,
                                                      kRobotA.device,
                                                      "",
                                                      {kRobotB.device, R::OnlyAdapter}},
                                           ChoiceCase{"TheFirstListingPrefersTheLastPortUsed",
                                                      {},
                                                      {kRobotA, kRobotB},
                                                      true,
                                                      "",
                                                      kRobotB.device,
                                                      {kRobotB.device, R::LastUsed}},
                                           ChoiceCase{"TheFirstListingTakesTheOnlyAdapter",
                                                      {},
                                                      {kLegacy, kRobotA},
                                                      true,
                                                      "",
                                                      "/dev/gone",
                                                      {kRobotA.device, R::OnlyAdapter}},
                                           ChoiceCase{
                                               "NothingToGoBy", {}, {kLegacy}, true, "", "", {}},
                                           ChoiceCase{"AnUnchangedListKeepsTheChoice",
                                                      {kRobotA, kRobotB},
                                                      {kRobotA, kRobotB},
                                                      false,
                                                      kRobotB.device,
                                                      kRobotA.device,
                                                      {kRobotB.device, R::Kept}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace download
