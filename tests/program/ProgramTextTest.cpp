#include "program/ProgramText.h"

#include "../support/ScratchFolder.h"
#include "RecordText.h"
#include "records/BlockCatalog.h"

#include <csignal>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using program::ProgramText;
using program_test::child;
using program_test::kindOf;
using program_test::record;

// Answers the commands' questions from a script and keeps what they showed.
class ScriptedPrompts : public files::TPrompts {
public:
    std::deque<std::optional<std::string>> saveNames;
    std::deque<std::optional<std::string>> openNames;
    std::vector<std::string> errors;
    int questions = 0;

    std::optional<std::string> saveFileName(FileKind kind) override {
        EXPECT_EQ(kind, FileKind::ProgramText);
        return next(saveNames);
    }
    std::optional<std::string> openFileName(FileKind kind) override {
        EXPECT_EQ(kind, FileKind::ProgramText);
        return next(openNames);
    }
    Answer askYesNoCancel(const std::string& question) override {
        ADD_FAILURE() << "no command here asks a question: " << question;
        return Answer::Cancel;
    }
    std::size_t askChoice(const std::string& question,
                          const std::vector<std::string>& choices) override {
        ADD_FAILURE() << "no command here asks a question: " << question;
        return choices.empty() ? 0 : choices.size() - 1;
    }
    void showMessage(Severity, const std::string& message) override { errors.push_back(message); }

private:
    std::optional<std::string> next(std::deque<std::optional<std::string>>& script) {
        ++questions;
        if (script.empty()) {
            ADD_FAILURE() << "a file name was asked for that the script does not hold";
            return std::nullopt;
        }
        std::optional<std::string> answer = script.front();
        script.pop_front();
        return answer;
    }
};

// A fresh folder per test, and the commands' questions answered from a script.
class ProgramTextFiles : public testsupport::ScratchFolder {
protected:
    ScriptedPrompts m_prompts;
};

TEST_F(ProgramTextFiles, GeneratedListingSurvivesSaveAndLoad) {
    const std::vector<std::string> records{
        record(11, child("label", "L1")),
        record(6, child("key", "3") + child("keycmd", "-1") + child("content", "1122")),
        record(20, child("command", "PRINT &quot;\xC4&quot;")), record(12, child("label", "L1"))};
    std::vector<program::BlockSource> blocks;
    for (const std::string& r : records)
        blocks.push_back({KindBlockBase + std::stoi(r.substr(r.find("type=\"") + 6)), r});
    ProgramText text{"old"};
    ASSERT_TRUE(program::generateCommand(blocks, text, m_prompts));
    const ProgramText expected{"10 REM \"ZOLVANE\"", "30 REM \"KEY 3\"", "40 REM \"PLAY 1122\"",
                               "50 REM \"PRINT \"\"\xC4\"\"\"", "60 REM \"GOTO 20\""};
    ASSERT_EQ(text, expected);

    m_prompts.saveNames = {path("out.txt")};
    ASSERT_TRUE(program::saveTextCommand(text, m_prompts));
    EXPECT_EQ(bytesOf(path("out.txt")), "10 REM \"ZOLVANE\"\r\n30 REM \"KEY 3\"\r\n40 REM "
                                        "\"PLAY 1122\"\r\n50 REM \"PRINT \"\"\xC4\"\"\"\r\n60 REM "
                                        "\"GOTO 20\"\r\n");

    ProgramText loaded{"something typed"};
    m_prompts.openNames = {path("out.txt")};
    ASSERT_TRUE(program::loadTextCommand(loaded, m_prompts));
    EXPECT_EQ(loaded, text);
    EXPECT_TRUE(m_prompts.errors.empty());
}

TEST_F(ProgramTextFiles, SaveOverwritesAnExistingFile) {
    writeBytes(path("a.txt"), "a much longer text than what comes next\r\n");
    m_prompts.saveNames = {path("a.txt")};
    ASSERT_TRUE(program::saveTextCommand({"x"}, m_prompts));
    EXPECT_EQ(bytesOf(path("a.txt")), "x\r\n");
}

// The old listing is replaced whole: a new file is written beside it and renamed over it, so
// the folder holds only the saved file afterwards, with the old file's permissions.
TEST_F(ProgramTextFiles, SaveReplacesTheFileWholeAndLeavesNothingBeside) {
    writeBytes(path("a.txt"), "old\r\n");
    fs::permissions(path("a.txt"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    m_prompts.saveNames = {path("a.txt")};
    ASSERT_TRUE(program::saveTextCommand({"10 REM \"END\""}, m_prompts));
    EXPECT_EQ(bytesOf(path("a.txt")), "10 REM \"END\"\r\n");
    EXPECT_EQ(fs::status(path("a.txt")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_dir))
        ++entries;
    EXPECT_EQ(entries, 1);
}

// A save that fails half-way (here: the process may not write files longer than 16 bytes)
// shows the reason and leaves the old listing whole.
TEST_F(ProgramTextFiles, AFailedSaveKeepsTheOldFileWhole) {
    writeBytes(path("a.txt"), "old\r\n");
    m_prompts.saveNames = {path("a.txt")};
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok =
        program::saveTextCommand({"10 REM \"a statement longer than sixteen bytes\""}, m_prompts);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved_ok);
    ASSERT_EQ(m_prompts.errors.size(), 1u);
    EXPECT_NE(m_prompts.errors[0].find(path("a.txt")), std::string::npos);
    EXPECT_EQ(bytesOf(path("a.txt")), "old\r\n");
}

TEST_F(ProgramTextFiles, CancelledDialogsChangeNothing) {
    ProgramText text{"kept"};
    m_prompts.saveNames = {std::nullopt};
    m_prompts.openNames = {std::nullopt};
    EXPECT_FALSE(program::saveTextCommand(text, m_prompts));
    EXPECT_FALSE(program::loadTextCommand(text, m_prompts));
    EXPECT_EQ(text, ProgramText{"kept"});
    EXPECT_EQ(m_prompts.questions, 2);
    EXPECT_TRUE(m_prompts.errors.empty());
    EXPECT_TRUE(fs::is_empty(m_dir));
}

TEST_F(ProgramTextFiles, LoadOfAFileThatVanishedEndsSilently) {
    ProgramText text{"kept"};
    m_prompts.openNames = {path("gone.txt")};
    EXPECT_FALSE(program::loadTextCommand(text, m_prompts));
    EXPECT_EQ(text, ProgramText{"kept"});
    EXPECT_TRUE(m_prompts.errors.empty());
}

TEST_F(ProgramTextFiles, LoadReplacesTheWholeText) {
    writeBytes(path("in.txt"), "10 REM \"A\"\r20 REM \"B\"\n");
    ProgramText text{"1", "2", "3"};
    m_prompts.openNames = {path("in.txt")};
    ASSERT_TRUE(program::loadTextCommand(text, m_prompts));
    EXPECT_EQ(text, (ProgramText{"10 REM \"A\"", "20 REM \"B\""}));
}

TEST_F(ProgramTextFiles, FailedLoadShowsTheReasonAndKeepsTheText) {
    // A folder is there but cannot be read as a file.
    fs::create_directory(path("folder.txt"));
    ProgramText text{"kept"};
    m_prompts.openNames = {path("folder.txt")};
    EXPECT_FALSE(program::loadTextCommand(text, m_prompts));
    EXPECT_EQ(text, ProgramText{"kept"});
    ASSERT_EQ(m_prompts.errors.size(), 1u);
    EXPECT_EQ(m_prompts.errors[0],
              "Cannot open file \"" + path("folder.txt") + "\". Is a directory");
}

TEST_F(ProgramTextFiles, SaveIntoAMissingFolderShowsTheReason) {
    m_prompts.saveNames = {path("no/such/folder.txt")};
    EXPECT_FALSE(program::saveTextCommand({"x"}, m_prompts));
    ASSERT_EQ(m_prompts.errors.size(), 1u);
    EXPECT_EQ(m_prompts.errors[0], "Cannot create file \"" + path("no/such/folder.txt") +
                                       "\". No such file or directory");
}

TEST_F(ProgramTextFiles, SaveOverAFolderShowsTheReason) {
    fs::create_directory(path("taken.txt"));
    m_prompts.saveNames = {path("taken.txt")};
    EXPECT_FALSE(program::saveTextCommand({"x"}, m_prompts));
    ASSERT_EQ(m_prompts.errors.size(), 1u);
    EXPECT_EQ(m_prompts.errors[0],
              "Cannot open file \"" + path("taken.txt") + "\". Is a directory");
}

// A device is never written through (nor replaced by a file): the save is refused.
TEST_F(ProgramTextFiles, SaveToADeviceIsRefused) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    m_prompts.saveNames = {"/dev/full"};
    EXPECT_FALSE(program::saveTextCommand({"x"}, m_prompts));
    ASSERT_EQ(m_prompts.errors.size(), 1u);
    EXPECT_EQ(m_prompts.errors[0],
              "Cannot open file \"/dev/full\". It is a device or pipe, not a file");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(ProgramTextFiles, GenerateWithABrokenRecordShowsTheErrorAndKeepsTheText) {
    const std::string good = record(14);
    const std::string broken = "<CtrlNode type=\"5\"><wait>1</wait></CtrlNod>";
    const std::vector<program::BlockSource> blocks{{kindOf(14), good}, {kindOf(5), broken}};
    ProgramText text{"10 REM \"typed by hand\""};
    EXPECT_FALSE(program::generateCommand(blocks, text, m_prompts));
    EXPECT_EQ(text, ProgramText{"10 REM \"typed by hand\""});
    ASSERT_EQ(m_prompts.errors.size(), 1u);
    EXPECT_EQ(m_prompts.errors[0], "Invalid XML Element: Erroneous end of tag, expecting "
                                   "</CtrlNode> but </CtrlNod> found");
}

TEST_F(ProgramTextFiles, GenerateFromRecordsReplacesTheText) {
    const std::vector<std::string> records{record(5, child("wait", "3"))};
    ProgramText text{"old", "lines"};
    EXPECT_TRUE(program::generateFromRecordsCommand(records, text, m_prompts));
    EXPECT_EQ(text, (ProgramText{"10 REM \"ZOLVANE\"", "20 REM \"WAIT 3\""}));
}

} // namespace
