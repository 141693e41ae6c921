// Texts of the core as the windows show them: the English the tool prints, word for word, and
// the same messages in Simplified Chinese with their values in place; the download window in
// Simplified Chinese.
#include "platform/i18n/CoreText.h"

#include "../check/CheckSupport.h"
#include "../download/TestSupport.h"
#include "../program/RecordText.h"
#include "chart/ChartExample.h"
#include "chart/ChartFile.h"
#include "check/Check.h"
#include "download/DownloadFailure.h"
#include "download/DownloadStages.h"
#include "download/ProgramImage.h"
#include "download/UDownloadDo.h"
#include "download/VirtualRobot.h"
#include "download/window/frmDownload.h"
#include "editors/values/EditorValues.h"
#include "files/Files.h"
#include "files/Message.h"
#include "platform/i18n/Language.h"
#include "platform/text/CodePage.h"
#include "program/BlockSummary.h"
#include "program/Listing.h"
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"
#include "recovery/RecoveryStore.h"
#include "sim/Floor.h"
#include "sim/RobotModel.h"
#include "sim/Simulator.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace check_test;

// Words that stay as they are in every language: the product's name, the robot's BASIC and
// its sensor names, the block captions (which the chart file keeps), and the words of commands
// typed as they are, key names, and the names of the chart file's format.
QSet<QString> wordsKeptInEnglish() {
    QSet<QString> words{"ZOLVANE", "COM",   "FD",  "WAIT",  "IF",     "THEN", "AND",  "OR",
                        "PLAY",    "NEXT",  "FOR", "GOSUB", "RETURN", "END",  "REM",  "TO",
                        "PINA",    "PC",    "MIC", "ADC",   "AA",     "NUL",  "sudo", "adduser",
                        "USER",    "Linux", "Esc", "XML",   "CDATA"};
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
    QStringList found;
    for (auto match = word.globalMatch(text); match.hasNext();) {
        const QString w = match.next().captured();
        if (!kept.contains(w))
            found << w;
    }
    return found;
}

class ChineseTexts : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(platform::InstallTranslations("zh_CN")); }
    void TearDown() override { platform::InstallTranslations("en"); }
};

// ---- the messages ----

files::TMessage finding(const std::vector<Block>& blocks, std::size_t which) {
    const Chart chart(blocks);
    const std::vector<check::TFinding> findings = check::CheckProgram(chart.sources);
    return which < findings.size() ? findings[which].message : files::TMessage{};
}

files::TMessage runError(const std::vector<std::string>& lines) {
    sim::TSimulator simulator;
    simulator.load(lines);
    simulator.run();
    return simulator.status().message;
}

files::TMessage loadFinding(const std::vector<std::string>& lines) {
    sim::TSimulator simulator;
    const std::vector<sim::TDiagnostic> found = simulator.load(lines);
    return found.empty() ? files::TMessage{} : found.front().message;
}

download::TFailureReport failure(download::TFailureCause cause, std::string where = {},
                                 bool headerTaken = false) {
    download::TFailureFacts facts;
    facts.cause = cause;
    facts.port = "ttyUSB0";
    facts.where = std::move(where);
    facts.headerTaken = headerTaken;
    facts.confirmedBytes = 1024;
    facts.imageBytes = 4032;
    facts.open.user = "pupil";
    facts.open.group = "dialout";
    return download::DescribeFailure(facts);
}

// The value a block of the type shows under its caption.
files::TMessage blockValue(int type, const std::string& children) {
    return program::BlockSummary(program_test::kindOf(type), program_test::record(type, children))
        .value;
}

// A chart in a folder that does not exist.
constexpr const char* kMissing = "/nonexistent-zolvane/chart.lcs";

// What the element tree's reader says about a text it cannot read; nothing for one it reads.
files::TMessage readerError(std::string_view text) {
    TSimpleXML document;
    try {
        document.LoadFromText(text);
    } catch (const ESimpleXMLError& error) {
        return error.Message();
    }
    return {};
}

// What generating the listing of these records says.
files::TMessage listingError(const std::vector<std::string>& records) {
    return program::generateListingFromRecords(records).error.value_or(files::TMessage{});
}

// An empty chart file, and the note opening it gives.
const std::string kEmptyChart = std::string(ZOLVANE_FIXTURES) + "/hostile/empty.lcs";

files::TMessage openNote(const std::string& path) {
    const files::TResult<TOpenedChart> opened = openChart(path);
    return opened ? opened->file->OpenNote() : opened.errorMessage();
}

files::TMessage exampleNote(std::string_view title) {
    files::TResult<TOpenedChart> opened = openChart(kEmptyChart);
    if (!opened)
        return opened.errorMessage();
    files::TSilentPrompts prompts;
    return OpenExampleChart(*opened->file, prompts,
                            "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<KELMORAX/>\r\n",
                            title)
        .note;
}

files::TMessage floorError(std::string_view text) {
    return sim::ReadFloor(text).errorMessage();
}

files::TMessage robotModelError(std::string_view text) {
    return sim::ReadRobotModel(text).errorMessage();
}

// A floor file with a fault on its third line, as the simulator panel opens it.
const std::string kBadFloor = (std::filesystem::temp_directory_path() /
                               ("zolvane-core-text-floor-" + std::to_string(::getpid()) + ".txt"))
                                  .string();

files::TMessage badFloorFileError() {
    std::ofstream(kBadFloor, std::ios::binary) << "zolvane-floor 1\nname a\nname b\n";
    files::TMessage message = sim::LoadFloor(kBadFloor).errorMessage();
    std::filesystem::remove(kBadFloor);
    return message;
}

// The reason beside "... bytes data send fail" of a download of an image of `bytes` bytes over
// the open port, answers waited for 1000 ms on a simulated clock; arrange spoils the download.
files::TMessage sendReason(download::TSerialPortInterface& port,
                           download::test::TManualClock& clock, std::size_t bytes,
                           const std::function<void(download::TReceiveQueue&)>& arrange = {}) {
    download::TReceiveQueue queue;
    port.setReceiveHandler([&queue](std::span<const std::uint8_t> b) { queue.append(b); });
    port.setErrorHandler([&queue](const std::string& message) { queue.fail(message); });
    download::TPacketLink link(port, queue, clock, std::chrono::milliseconds(1000));
    if (arrange)
        arrange(queue);
    const download::TSendResult result =
        download::RunSendSequence(link, clock, download::Bytes(bytes, 0x41), {});
    port.setReceiveHandler(nullptr);
    port.setErrorHandler(nullptr);
    // The tool prints the reason; the windows show its message.
    EXPECT_EQ(result.reason, result.reasonMessage.English());
    return result.reasonMessage;
}

// The reason of a download to the virtual robot that arrange makes fail.
files::TMessage virtualRobotReason(const std::function<void(download::TVirtualRobotPort&)>& arrange,
                                   std::size_t bytes = 84) {
    download::TVirtualRobotPort port;
    port.open();
    arrange(port);
    download::test::TManualClock clock;
    return sendReason(port, clock, bytes);
}

// The reason of a download to a robot whose answers begin `latency` late and come a byte every
// `gap`.
files::TMessage slowRobotReason(std::chrono::milliseconds latency, std::chrono::milliseconds gap,
                                std::size_t bytes) {
    download::test::TManualClock clock;
    download::test::TSlowRobotPort port(clock, latency, gap);
    port.open();
    return sendReason(port, clock, bytes);
}

struct MessageCase {
    const char* name;
    std::function<files::TMessage()> make;
    std::string english;
    std::vector<std::string> values; // shown as they are in every language, a longer one
                                     // before any it holds
};

std::ostream& operator<<(std::ostream& os, const MessageCase& c) {
    return os << c.name;
}

const std::vector<MessageCase>& messageCases() {
    static const std::vector<MessageCase> cases{
        {"check_wait_of_nothing",
         [] {
             return finding({wait("0"), end()}, 0);
         },
         "The wait time is 0, so it does not wait at all. Set a time above 0, or remove the block.",
         {"0"}},
        {"check_no_end",
         [] { return finding({wait("5")}, 0); },
         "The program has no End. Put an End at the bottom of the main program, so that the robot "
         "stops there.",
         {}},
        {"check_jump_to_no_label",
         [] {
             return finding({jump("home"), end()}, 0);
         },
         "No Label is named \"home\". Put a Label named \"home\" where the jump should go, or "
         "choose the name of an existing Label.",
         {"\"home\""}},
        {"check_name_in_other_case",
         [] {
             return finding({jump("Home"), label("home"), end()}, 0);
         },
         "No Label is named exactly \"Home\": the one at block 2 is named \"home\", and names "
         "must match in letter case and blanks. Choose \"home\" here, or rename that Label.",
         {"\"Home\"", "\"home\"", "2"}},
        {"check_unreadable_expression",
         [] {
             return finding({expression("A=2*"), end()}, 0);
         },
         "The robot cannot read the expression \"A=2*\": at its end the robot expects a value: a "
         "variable A to Z, a number, a port or sensor name (PINA, PC0, MIC, ADC0, ...) or \"(\". "
         "Write an assignment such as A=B+1, or a command such as WAIT 100.",
         {"\"A=2*\""}},
        {"check_unreached_blocks",
         [] {
             return finding({jump("x"), wait(), wait(), label("x"), end()}, 0);
         },
         "No path reaches this block and the 1 block after it (up to block 3): the blocks above "
         "end the program or jump away, and no jump leads here. Remove them, or put a Label "
         "above and jump to it.",
         {"1", "3"}},
        {"download_no_answer",
         [] { return failure(download::TFailureCause::NoAnswer).headline; },
         "No robot answered on ttyUSB0.",
         {"ttyUSB0"}},
        {"download_lost_during_a_chunk",
         [] { return failure(download::TFailureCause::PortLost, "chunk 3 of 5", true).headline; },
         "The connection to the robot on ttyUSB0 was lost during chunk 3 of 5.",
         {"ttyUSB0", "3", "5"}},
        {"download_part_taken_remedy",
         [] { return failure(download::TFailureCause::StoppedAnswering, "", true).remedy; },
         "Check that the robot is still switched on and that its cable is firmly in at both "
         "ends, then try again. The robot may now hold only part of the new program (1,024 of "
         "4,032 bytes): download it again before running it.",
         {"1,024", "4,032"}},
        {"download_refused_hello",
         [] { return failure(download::TFailureCause::Refused, "the hello packet").headline; },
         "The robot refused the hello packet 11 times.",
         {"11"}},
        {"download_no_permission",
         [] { return failure(download::TFailureCause::NoPermission).remedy; },
         "Ask the administrator to let pupil use ttyUSB0: on Linux, by adding pupil to the group "
         "dialout (sudo adduser pupil dialout); then log out and in again.",
         {"pupil", "ttyUSB0", "dialout"}},
        {"download_stage_resend",
         [] {
             download::TDownloadStages stages;
             stages.start(4032);
             stages.retry({download::TRetry::What::Hello, 0, 0, 2});
             return stages.view().text;
         },
         "Connecting to the robot; hello: sent again (2 of 11)",
         {"2", "11"}},
        {"download_dropped_lines",
         [] {
             return download::DroppedLinesQuestionMessage(
                 download::PackListing({"10 REM", "20 REM \"A=1\"", "30 X \"B=2\""}));
         },
         "2 lines will be left out because they fail the line check:\nline 1 (code 1: 8 "
         "characters or fewer)\nline 3 (code 4: the second word does not begin with REM)\nSend "
         "the rest?",
         {"2", "1", "3", "4"}},
        // The reason of a failed download, the detail under the window's headline.
        {"download_reason_no_answer",
         [] {
             return virtualRobotReason(
                 [](download::TVirtualRobotPort& p) { p.robot().setSilentAfterPackets(0); });
         },
         "The robot did not accept the hello packet in 11 attempts (last: no answer within 1000 "
         "ms). The robot confirmed 0 of 84 bytes.",
         {"1000", "84", "11", "0"}},
        {"download_reason_refused",
         [] {
             return virtualRobotReason(
                 [](download::TVirtualRobotPort& p) { p.robot().rejectNextPackets(11); });
         },
         "The robot did not accept the hello packet in 11 attempts (last: the robot refused it). "
         "The robot confirmed 0 of 84 bytes.",
         {"84", "11", "0"}},
        {"download_reason_damaged_replies",
         [] {
             return virtualRobotReason(
                 [](download::TVirtualRobotPort& p) { p.robot().corruptNextReplies(11); });
         },
         "No intact hello reply arrived in 11 attempts (last: the packet arrived damaged). The "
         "robot confirmed 0 of 84 bytes.",
         {"84", "11", "0"}},
        {"download_reason_reply_too_slow",
         [] {
             using namespace std::chrono_literals;
             return slowRobotReason(900ms, 900ms, 84);
         },
         "No intact hello reply arrived in 11 attempts (last: the reply was not whole within "
         "1404 ms). The robot confirmed 0 of 84 bytes.",
         {"1404", "84", "11", "0"}},
        {"download_reason_hung_up",
         [] {
             return virtualRobotReason(
                 [](download::TVirtualRobotPort& p) { p.robot().hangUpAfterChunks(2); }, 300);
         },
         "The connection to the robot was lost during chunk 3 of 5: the virtual robot hung up. "
         "The robot confirmed 128 of 300 bytes.",
         {"128", "300", "3", "5"}},
        {"download_reason_port_closed",
         [] { return virtualRobotReason([](download::TVirtualRobotPort& p) { p.close(); }); },
         "The connection to the robot was lost during the hello packet: the port Virtual robot "
         "was closed. The robot confirmed 0 of 84 bytes.",
         {"Virtual robot", "84", "0"}},
        {"download_reason_not_taken",
         [] {
             return virtualRobotReason(
                 [](download::TVirtualRobotPort& p) { p.robot().setHeaderReply(0xAA, 0x55); });
         },
         "The robot's header reply began AA 55 instead of AA AA: it did not take the program. "
         "The robot confirmed 0 of 84 bytes.",
         {"AA 55", "84", "0"}},
        {"download_reason_out_of_time",
         [] {
             using namespace std::chrono_literals;
             return slowRobotReason(950ms, 0ms, 4000);
         },
         "The download ran out of time during chunk 54 of 63: a program image of 4000 bytes must "
         "arrive within 56 s. The robot confirmed 3392 of 4000 bytes.",
         {"4000", "3392", "54", "63", "56"}},
        {"download_reason_cancelled",
         [] {
             download::TVirtualRobotPort port;
             port.open();
             download::test::TManualClock clock;
             return sendReason(port, clock, 84, [&clock](download::TReceiveQueue& queue) {
                 queue.stop(clock.now() + download::kWindDown);
             });
         },
         "The download was cancelled during the hello packet. The robot confirmed 0 of 84 bytes.",
         {"84", "0"}},
        {"download_port_not_open",
         [] { return download::PortWordsMessage("the serial port ttyUSB0 is not open"); },
         "the serial port ttyUSB0 is not open",
         {"ttyUSB0"}},
        {"download_virtual_port_not_open",
         [] {
             download::TVirtualRobotPort port;
             port.writeByte(0);
             return download::PortWordsMessage(port.errorString());
         },
         "the port Virtual robot is not open",
         {"Virtual robot"}},
        {"sim_next_without_for",
         [] { return runError({"10 REM \"NEXT B\""}); },
         "NEXT B without FOR B",
         {}},
        {"sim_division_by_zero",
         [] { return runError({"10 REM \"A=5/0\""}); },
         "division by zero",
         {}},
        {"sim_jump_to_no_line",
         [] { return loadFinding({"10 REM \"GOTO 70\""}); },
         "no line 70 or after it to go to",
         {"70"}},
        // The value painted under a block's caption.
        {"block_loop_times",
         [] {
             return blockValue(9,
                               program_test::child("var", "0") + program_test::child("times", "4"));
         },
         "x4",
         {"4"}},
        {"block_goto_where",
         [] { return blockValue(12, program_test::child("label", "dance")); },
         "to dance",
         {"dance"}},
        {"block_gotoif_condition",
         [] {
             return blockValue(13, program_test::child("condition", "A&gt;3") +
                                       program_test::child("label", "L1"));
         },
         "if A>3 to L1",
         {"A>3", "L1"}},
        {"block_music_notes",
         [] {
             return blockValue(6, program_test::child("keycmd", "0") +
                                      program_test::child("content", "8408F1"));
         },
         "3 notes",
         {"3"}},
        {"block_music_empty",
         [] { return blockValue(6, program_test::child("keycmd", "0")); },
         "no notes",
         {}},
        {"sim_unreadable",
         [] { return loadFinding({"10 REM \"A=\""}); },
         "the statement cannot be read at column 3: expected a value: a variable A to Z, a "
         "number, a port or sensor name (PINA, PC0, MIC, ADC0, ...) or \"(\"",
         {"3"}},
        // Files: the system's common reasons are translated along with the wording.
        {"files_open_missing",
         [] { return files::ReadWholeFile(kMissing).errorMessage(); },
         "Cannot open file \"/nonexistent-zolvane/chart.lcs\". No such file or directory",
         {kMissing}},
        {"files_open_folder",
         [] { return files::ReadWholeFile("/").errorMessage(); },
         "Cannot open file \"/\". Is a directory",
         {"/"}},
        {"files_open_device",
         [] { return files::ReadWholeFile("/dev/null").errorMessage(); },
         "Cannot open file \"/dev/null\". It is a device or pipe, not a file",
         {"/dev/null"}},
        {"files_replace_read_only",
         [] { return files::ReplaceFile("/proc/version", "x").errorMessage(); },
         "Cannot open file \"/proc/version\". Permission denied",
         {"/proc/version"}},
        {"files_replace_in_missing_folder",
         [] { return files::ReplaceFile(kMissing, "x").errorMessage(); },
         "Cannot create file \"/nonexistent-zolvane/chart.lcs\". No such file or directory",
         {kMissing}},
        {"files_temporary_in_missing_folder",
         [] { return files::MakeTempFile("/nonexistent-zolvane", "zv").errorMessage(); },
         "Cannot create file \"/nonexistent-zolvane/zvNNNNNN\". No such file or directory",
         {"/nonexistent-zolvane/zvNNNNNN"}},
        {"files_remove_with_reason_of_the_system",
         [] { return files::FileError("remove", "/tmp/a.lcs", files::SystemReasonMessage(EROFS)); },
         "Cannot remove file \"/tmp/a.lcs\". Read-only file system",
         {"/tmp/a.lcs"}},
        {"files_write_with_full_disk",
         [] { return files::FileError("write", "/tmp/a.png", files::SystemReasonMessage(ENOSPC)); },
         "Cannot write file \"/tmp/a.png\". No space left on device",
         {"/tmp/a.png"}},
        {"recovery_no_folder",
         [] { return recovery::TRecoveryStore("").open().errorMessage(); },
         "Cannot create folder \"\". No folder was given",
         {}},
        {"recovery_never_opened",
         [] {
             return recovery::TRecoveryStore("/nonexistent-zolvane/saved").flush().errorMessage();
         },
         "Cannot autosave in folder \"/nonexistent-zolvane/saved\". It was never opened",
         {"/nonexistent-zolvane/saved"}},
        {"chart_save_question_unnamed",
         [] { return TChartFile::SaveQuestion({}); },
         "Flow Chart changed,\r\nsave it?",
         {}},
        {"chart_save_question_named",
         [] { return TChartFile::SaveQuestion("/home/pupil/dance.lcs"); },
         "Flow Chart /home/pupil/dance.lcs changed,\r\nsave it?",
         {"/home/pupil/dance.lcs"}},
        {"chart_holds_nothing",
         [] { return openNote(kEmptyChart); },
         "empty.lcs holds no chart at all: it opened as an empty chart.",
         {"empty.lcs"}},
        {"chart_example_opened",
         [] { return exampleNote("Loops"); },
         "Example Loops opened as a new chart: save it under a name of your own to keep your "
         "changes.",
         {"Loops"}},
        // The element tree's reader: each of its wordings, with what it found.
        {"records_text_in_prolog",
         [] { return readerError("hello robot"); },
         "Invalid Document: Unexpected text in file prolog",
         {}},
        {"records_character_in_attributes",
         [] { return readerError("<a b=\"1\" %/>"); },
         "Invalid XML Element: Unexpected character in property declaration (\"%\" found)",
         {"%"}},
        {"records_value_without_quotes",
         [] { return readerError("<a b=1/>"); },
         "Invalid XML Element: Unexpected character in property declaration. Expecting \" or ' "
         "but \"1\"  found",
         {"1"}},
        {"records_nested_too_deep",
         [] {
             std::string deep;
             for (int i = 0; i <= TSimpleXML::MaxDepth; ++i)
                 deep += "<a>";
             return readerError(deep);
         },
         "Invalid XML Element: Elements nested deeper than 256 levels",
         {"256"}},
        {"records_text_ends_in_a_tag",
         [] { return readerError("<record"); },
         "Invalid XML Element: Erroneous end of tag, expecting </record> but </> found",
         {"record"}},
        {"records_tag_without_name",
         [] { return readerError("<a>< "); },
         "Invalid XML Element: malformed tag found (no valid name)",
         {}},
        {"records_slash_inside_a_tag",
         [] { return readerError("<a><b/x></a>"); },
         "Invalid XML Element: Expected end of tag but \"x\" found",
         {"x"}},
        {"records_end_tag_of_another_element",
         [] { return readerError("<KELMORAX><record></recrod></KELMORAX>"); },
         "Invalid XML Element: Erroneous end of tag, expecting </record> but </recrod> found",
         {"record", "recrod"}},
        {"records_comment_cut_off",
         [] { return readerError("<a><!-- a note"); },
         "Invalid Comment: Unexpected end of data",
         {}},
        {"records_dashes_in_a_comment",
         [] { return readerError("<!-- a -- b --><a/>"); },
         "Invalid Comment: \"--\" not allowed inside comments",
         {"--"}},
        {"records_cdata_cut_off",
         [] { return readerError("<a><![CDATA[x"); },
         "Invalid CDATA: Unexpected end of data",
         {}},
        {"records_header_not_closed",
         [] { return readerError("<?xml version=\"1.0\"><a/>"); },
         "Invalid Header: expected \"?\" but found \">\"",
         {"?", ">"}},
        {"records_stylesheet_cut_off",
         [] { return readerError("<?xml-stylesheet href=\"a.css\""); },
         "Invalid Stylesheet: Unexpected end of data",
         {}},
        {"records_stylesheet_not_closed",
         [] { return readerError("<?xml-stylesheet href=\"a.css\"/><a/>"); },
         "Invalid Stylesheet: expected \"?\" but found \"/\"",
         {"?", "/"}},
        // A reader's message as a block's dialog reports it, and inside another: the check's
        // finding and the listing's refusal.
        {"editor_unreadable_record",
         [] {
             return editors::valuesFromRecord(BlockType::Wait,
                                              "<CtrlNode type=\"5\"><wait>1</wait></Other>")
                 .error;
         },
         "Invalid XML Element: Erroneous end of tag, expecting </CtrlNode> but </Other> found",
         {"CtrlNode", "Other"}},
        {"check_unreadable_record",
         [] {
             return finding({{5, "", "<CtrlNode type=\"5\"><wait>1</wait></Other>"}, end()}, 0);
         },
         "The Wait block's record cannot be read (Invalid XML Element: Erroneous end of tag, "
         "expecting </CtrlNode> but </Other> found). Delete the block and put a new one in its "
         "place.",
         {"CtrlNode", "Other"}},
        {"program_nul_in_values",
         [] {
             return listingError(
                 {program_test::record(11, program_test::child("label", std::string("L\0X", 3)))});
         },
         "Block 1 holds a NUL byte in its values, which a program line cannot carry. Open the "
         "block and remove it.",
         {"1"}},
        {"program_line_break_in_values",
         [] {
             return listingError(
                 {program_test::record(5, program_test::child("wait", "1")),
                  program_test::record(20, program_test::child("command", "A=1\r\nB=2"))});
         },
         "Block 2 holds a line break in its values, which a program line cannot carry. Open the "
         "block and remove it.",
         {"2"}},
        {"program_empty_statement",
         [] { return listingError({program_test::record(20)}); },
         "Block 1 gives no statement, and the robot cannot take an empty line. Open the block "
         "and fill it in, or delete it.",
         {"1"}},
        // The floor and robot model files: the line, and what is wrong on it.
        {"sim_floor_header",
         [] { return floorError("floor 1\n"); },
         "line 1: a floor file begins with \"zolvane-floor 1\"",
         {"zolvane-floor 1"}},
        {"sim_floor_version",
         [] { return floorError("zolvane-floor 2\n"); },
         "line 1: floor format version 2 is not known (this program reads version 1)",
         {"2", "1"}},
        {"sim_floor_empty",
         [] { return floorError(" \n# nothing\n"); },
         "an empty text is not a floor: a floor file begins with \"zolvane-floor 1\"",
         {"zolvane-floor 1"}},
        {"sim_floor_given_twice",
         [] { return floorError("zolvane-floor 1\nname a\nname b\n"); },
         "line 3: name is given twice",
         {"3", "name"}},
        {"sim_floor_area_corners",
         [] { return floorError("zolvane-floor 1\narea 0 0 -5 10\n"); },
         "line 2: the area's upper right corner must lie above and right of its lower left one",
         {"2"}},
        {"sim_floor_start_heading",
         [] { return floorError("zolvane-floor 1\nstart 0 0 360\n"); },
         "line 2: the start heading must lie from 0 to 359 degrees",
         {"2", "0", "359"}},
        {"sim_floor_line_points",
         [] { return floorError("zolvane-floor 1\nline 20 0 0\n"); },
         "line 2: expected line WIDTH X1 Y1 X2 Y2, and more X Y pairs if any",
         {"line WIDTH X1 Y1 X2 Y2", "2"}},
        {"sim_floor_line_width",
         [] { return floorError("zolvane-floor 1\nline 0 0 0 10 10\n"); },
         "line 2: a line's width must be 1 or more",
         {"2", "1"}},
        {"sim_floor_box_size",
         [] { return floorError("zolvane-floor 1\nbox 0 0 0 5\n"); },
         "line 2: a box's width and height must be 1 or more",
         {"2", "1"}},
        {"sim_floor_unknown_item",
         [] { return floorError("zolvane-floor 1\ntree 1 2\n"); },
         "line 2: unknown item \"tree\" (expected name, area, start, line, wall or box)",
         {"2", "tree", "name", "area", "start", "line", "wall", "box"}},
        {"sim_floor_item_numbers",
         [] { return floorError("zolvane-floor 1\nwall 1 2 3\n"); },
         "line 2: expected wall X1 Y1 X2 Y2",
         {"wall X1 Y1 X2 Y2", "2"}},
        {"sim_floor_not_a_whole_number",
         [] { return floorError("zolvane-floor 1\nwall 1 2 3 4.5\n"); },
         "line 2: \"4.5\" is not a whole number from -1000000 to 1000000",
         {"2", "4.5", "-1000000", "1000000"}},
        {"sim_floor_file",
         [] { return badFloorFileError(); },
         "Floor \"" + kBadFloor + "\", line 3: name is given twice",
         {kBadFloor, "3", "name"}},
        {"sim_model_not_a_setting",
         [] { return robotModelError("fast\n"); },
         "line 1: expected NAME = VALUE",
         {"1", "NAME = VALUE"}},
        {"sim_model_unknown_name",
         [] { return robotModelError("# speeds\nspeed = 3\n"); },
         "line 2: unknown name \"speed\"",
         {"2", "speed"}},
        {"sim_model_set_twice",
         [] { return robotModelError("adc_max = 255\nadc_max = 1023\n"); },
         "line 2: adc_max is set twice",
         {"2", "adc_max"}},
        {"sim_model_not_a_number",
         [] { return robotModelError("wait_unit_ms = soon\n"); },
         "line 1: wait_unit_ms takes a decimal number, not \"soon\"",
         {"1", "wait_unit_ms", "soon"}},
        {"sim_model_not_whole",
         [] { return robotModelError("start_key = 2.5\n"); },
         "line 1: start_key takes a whole number",
         {"1", "start_key"}},
        {"sim_model_out_of_range",
         [] { return robotModelError("start_key = 9\n"); },
         "line 1: start_key must lie from 0 to 7",
         {"1", "start_key", "0", "7"}},
    };
    return cases;
}

class CoreMessages : public testing::TestWithParam<MessageCase> {};

TEST_P(CoreMessages, EnglishIsTheToolsTextWordForWord) {
    const files::TMessage message = GetParam().make();
    EXPECT_EQ(message.English(), GetParam().english);
    // Without a translation in force the window shows the same English.
    EXPECT_EQ(platform::Translated(message), QString::fromStdString(GetParam().english));
}

TEST_P(CoreMessages, ChineseKeepsTheValuesAndLeavesNoEnglish) {
    const files::TMessage message = GetParam().make();
    ASSERT_TRUE(platform::InstallTranslations("zh_CN"));
    const QString chinese = platform::Translated(message);
    platform::InstallTranslations("en");
    ASSERT_FALSE(chinese.isEmpty());
    EXPECT_NE(chinese, QString::fromStdString(GetParam().english));
    QString rest = chinese;
    for (const std::string& value : GetParam().values) {
        EXPECT_TRUE(chinese.contains(QString::fromStdString(value)))
            << value << " in " << chinese.toStdString();
        rest.remove(QString::fromStdString(value));
    }
    EXPECT_TRUE(englishWords(rest).isEmpty())
        << chinese.toStdString() << "\n  English: " << englishWords(rest).join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Core, CoreMessages, testing::ValuesIn(messageCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChineseTexts, EveryMessageOfTheTableIsAnotherText) {
    // Two messages that differ in English differ in Chinese too: no wording was translated as
    // another's.
    QSet<QString> seen;
    for (const MessageCase& c : messageCases())
        seen.insert(platform::Translated(c.make()));
    EXPECT_EQ(seen.size(), static_cast<qsizetype>(messageCases().size()));
}

TEST_F(ChineseTexts, ThePortsOwnWordsFromTheSystemStayAsTheSystemGaveThem) {
    // Only the link's and the virtual robot's words are wordings of this program.
    for (const std::string words :
         {"Input/output error", "the port ttyUSB0 was closed", "the virtual robot hung up again"}) {
        const files::TMessage message = download::PortWordsMessage(words);
        EXPECT_EQ(message, files::Value(words));
        EXPECT_EQ(platform::Translated(message), QString::fromStdString(words));
    }
}

// ---- the download window ----

class SilentWindow : public ChineseTexts {
protected:
    files::TSilentPrompts prompts;
};

TEST_F(SilentWindow, DownloadWindowShowsEveryTextInChinese) {
    TFormDownload form;
    form.setPrompts(&prompts);
    form.setPortSource([] { return std::vector<download::TPortInfo>{}; });
    form.show();
    QStringList texts{form.windowTitle()};
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>())
        texts << button->text() << button->toolTip();
    for (const QLabel* label : form.findChildren<QLabel*>())
        texts << label->text() << label->toolTip();
    // Download without a program: the status line says why nothing happened.
    form.setProgramText({});
    QTest::mouseClick(form.findChild<QAbstractButton*>("Button6"), Qt::LeftButton);
    const QString status = form.findChild<QLabel*>("StatusLine")->text();
    EXPECT_FALSE(status.isEmpty());
    texts << status;
    for (const QString& text : texts)
        EXPECT_TRUE(englishWords(text).isEmpty()) << text.toStdString();
}

TEST_F(SilentWindow, ADownloadsWordsComeInChinese) {
    TFormDownload form;
    form.setPrompts(&prompts);
    form.setPortSource([] { return std::vector<download::TPortInfo>{}; });
    form.setLastPort(TFormDownload::virtualRobotEntry());
    QSignalSpy stages(&form, &TFormDownload::stageChanged);
    QSignalSpy finished(&form, &TFormDownload::downloadFinished);
    ASSERT_TRUE(form.sendToRobot("10 REM \"ZOLVANE\"\r\n20 REM \"A=1\"\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.size() == 1; }, 10000));
    ASSERT_TRUE(finished[0][0].toBool());
    const QString done = finished[0][1].toString();
    EXPECT_TRUE(done.contains("(") || done.contains(QString::fromUtf8("（"))) << done.toStdString();
    EXPECT_TRUE(englishWords(done).isEmpty()) << done.toStdString();
    ASSERT_FALSE(stages.isEmpty());
    for (const QList<QVariant>& stage : stages)
        EXPECT_TRUE(englishWords(stage[0].toString()).isEmpty())
            << stage[0].toString().toStdString();

    // A port that is not there: what happened and what to do, in Chinese but for its name.
    form.setLastPort("/dev/zolvane-no-such-port");
    EXPECT_FALSE(form.sendToRobot("10 REM \"ZOLVANE\"\r\n20 REM \"A=1\"\r\n"));
    ASSERT_EQ(finished.size(), 2);
    const QString headline = finished[1][1].toString().remove("zolvane-no-such-port");
    const QString remedy = finished[1][2].toString();
    EXPECT_FALSE(headline.isEmpty());
    EXPECT_FALSE(remedy.isEmpty());
    EXPECT_TRUE(englishWords(headline).isEmpty()) << headline.toStdString();
    EXPECT_TRUE(englishWords(remedy).isEmpty()) << remedy.toStdString();
}

TEST_F(SilentWindow, AFailedDownloadsDetailComesInChinese) {
    TFormDownload form;
    form.setPrompts(&prompts);
    form.setPortSource([] { return std::vector<download::TPortInfo>{}; });
    form.setLastPort(TFormDownload::virtualRobotEntry());
    form.setAnswerTimeout(std::chrono::milliseconds(20));
    form.virtualRobotPort().robot().setSilentAfterPackets(0);
    QSignalSpy finished(&form, &TFormDownload::downloadFinished);
    ASSERT_TRUE(form.sendToRobot("10 REM \"ZOLVANE\"\r\n20 REM \"A=1\"\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.size() == 1; }, 10000));
    ASSERT_FALSE(finished[0][0].toBool());
    // The status line's tip: the headline, then the detail of what the link met.
    const QStringList tip = form.findChild<QLabel*>("StatusLine")->toolTip().split('\n');
    ASSERT_EQ(tip.size(), 2) << tip.join('|').toStdString();
    EXPECT_EQ(tip[0], finished[0][1].toString());
    const QString detail = tip[1];
    for (const char* value : {"11", "20", "0"})
        EXPECT_TRUE(detail.contains(QLatin1String(value))) << detail.toStdString();
    EXPECT_TRUE(englishWords(detail).isEmpty()) << detail.toStdString();
    const QString headline = QString(tip[0]).remove(TFormDownload::virtualRobotEntry());
    EXPECT_TRUE(englishWords(headline).isEmpty()) << headline.toStdString();
}

} // namespace
