// The voice phrase list file: line splitting, the numbered fallback and unreadable files.
#include "chart/PhraseList.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct SplitCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> entries;
};

class SplitPhraseLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitPhraseLinesTest, GivesOneEntryPerLine) {
    EXPECT_EQ(splitPhraseLines(GetParam().bytes), GetParam().entries) << GetParam().name;
}

using V = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitPhraseLinesTest,
    ::testing::Values(SplitCase{"empty file", "", V{}},
                      SplitCase{"one line without a break", "hello", V{"hello"}},
                      SplitCase{"final break adds nothing", "a\r\nb\r\n", V{"a", "b"}},
                      SplitCase{"LF lines", "a\nb\nc", V{"a", "b", "c"}},
                      SplitCase{"CR lines", "a\rb\r", V{"a", "b"}},
                      SplitCase{"mixed breaks", "a\r\nb\nc\rd", V{"a", "b", "c", "d"}},
                      SplitCase{"empty line in the middle", "a\r\n\r\nc", V{"a", "", "c"}},
                      SplitCase{"CR then LF then CR", "a\n\rb", V{"a", "", "b"}},
                      SplitCase{"two CRs", "a\r\rb", V{"a", "", "b"}},
                      SplitCase{"only a break", "\r\n", V{""}},
                      SplitCase{"two final breaks", "a\n\n", V{"a", ""}},
                      SplitCase{"spaces kept", " a b \t\n", V{" a b \t"}},
                      SplitCase{"NUL ends the list", std::string("a\nb\0c\nd", 7), V{"a", "b"}},
                      SplitCase{"NUL right after a break", std::string("a\n\0b", 4), V{"a"}},
                      SplitCase{"GBK bytes kept", "\xc4\xe3\xba\xc3\r\n\xd4\xd9\xbc\xfb",
                                V{"\xc4\xe3\xba\xc3", "\xd4\xd9\xbc\xfb"}}));

TEST(NumberedPhrasesTest, HoldsZeroTo127) {
    const V list = numberedPhrases();
    ASSERT_EQ(list.size(), 128u);
    EXPECT_EQ(list.front(), "0");
    EXPECT_EQ(list[5], "5");
    EXPECT_EQ(list.back(), "127");
}

struct PhraseFileFixture : ::testing::Test {
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("zolvane-phrases-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
};

TEST(ProgramFolderTest, IsTheFolderOfTheRunningTestProgram) {
    const fs::path folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::exists(folder / "chart_tests"));
}

TEST_F(PhraseFileFixture, MissingFileGivesTheNumberedList) {
    const TPhraseList list = loadPhraseList(phraseListPath(dir));
    EXPECT_TRUE(list.ok());
    EXPECT_EQ(list.entries, numberedPhrases());
}

TEST_F(PhraseFileFixture, ExistingFileGivesItsLines) {
    EXPECT_EQ(phraseListPath(dir), dir / "qexvo.txt");
    write(phraseListPath(dir), "a\r\n\r\nc\r\n");
    const TPhraseList list = loadPhraseList(phraseListPath(dir));
    EXPECT_TRUE(list.ok());
    EXPECT_EQ(list.entries, (V{"a", "", "c"}));
}

TEST_F(PhraseFileFixture, EmptyFileGivesAnEmptyListNotTheNumbers) {
    write(phraseListPath(dir), "");
    const TPhraseList list = loadPhraseList(phraseListPath(dir));
    EXPECT_TRUE(list.ok());
    EXPECT_TRUE(list.entries.empty());
}

TEST_F(PhraseFileFixture, UnreadableFileIsAnErrorNamingTheFileAndTheReason) {
    const fs::path file = phraseListPath(dir);
    struct Case {
        const char* what;
        std::function<void()> make;
        const char* reason;
    };
    const Case cases[] = {
        {"a folder of that name", [&] { fs::create_directory(file); }, "directory"},
        {"a link to itself", [&] { fs::create_symlink(file, file); }, "symbolic links"},
    };
    for (const Case& c : cases) {
        fs::remove_all(file);
        c.make();
        const TPhraseList list = loadPhraseList(file);
        EXPECT_FALSE(list.ok()) << c.what;
        EXPECT_TRUE(list.entries.empty()) << c.what;
        EXPECT_NE(list.error.English().find(file.string()), std::string::npos) << list.error;
        EXPECT_NE(list.error.English().find(c.reason), std::string::npos) << list.error;
        fs::remove_all(file);
    }
}

TEST_F(PhraseFileFixture, FileWithoutReadPermissionIsAnError) {
    const fs::path file = phraseListPath(dir);
    write(file, "a\n");
    fs::permissions(file, fs::perms::none);
    const auto check = [&file] {
        const TPhraseList list = loadPhraseList(file);
        return !list.ok() && list.entries.empty() &&
               list.error.English().find(file.string()) != std::string::npos &&
               list.error.English().find("Permission denied") != std::string::npos;
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(check());
        return;
    }
    // Root reads every file: look at it as an ordinary user from a child process.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the unreadable file was not reported; 2: no user";
}

TEST_F(PhraseFileFixture, PipeIsRefusedRatherThanWaitedOn) {
    const fs::path file = phraseListPath(dir);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    const TPhraseList list = loadPhraseList(file);
    EXPECT_FALSE(list.ok());
    EXPECT_NE(list.error.English().find("not a file"), std::string::npos) << list.error;
}

} // namespace
