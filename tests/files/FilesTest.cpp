#include "files/Files.h"

#include "../support/ScratchFolder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using files::TResult;
using files::TStatus;
using Lines = std::vector<std::string>;

class FilesTest : public testsupport::ScratchFolder {
protected:
    static void write(const std::string& file, std::string_view bytes) { writeBytes(file, bytes); }
    std::set<std::string> names() const {
        std::set<std::string> result;
        for (const auto& entry : fs::directory_iterator(m_dir))
            result.insert(entry.path().filename().string());
        return result;
    }
};

// ---- lines ----

struct SplitCase {
    const char* name;
    std::string bytes;
    Lines lines;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitLines : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, BreakAtEveryKindOfLineEnd) {
    EXPECT_EQ(files::SplitLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitLines,
    testing::Values(SplitCase{"Empty", "", {}}, SplitCase{"NoLineEnd", "a", {"a"}},
                    SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                    SplitCase{"LoneCr", "a\rb\r", {"a", "b"}},
                    SplitCase{"LoneLf", "a\nb", {"a", "b"}},
                    SplitCase{"LfCrIsTwoLineEnds", "a\n\rb", {"a", "", "b"}},
                    SplitCase{"Mixed", "1\r\n2\r3\n4", {"1", "2", "3", "4"}},
                    SplitCase{"EmptyLinesKept", "\r\n\r\nx\r\n\r\n", {"", "", "x", ""}},
                    SplitCase{"OnlyALineEnd", "\r\n", {""}},
                    SplitCase{"BytesKept",
                              std::string("\xC4\xE3\0\x7F\r\n", 6),
                              {std::string("\xC4\xE3\0\x7F", 4)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JoinLines, EndsEveryLineWithCrLfAndSplitsBack) {
    EXPECT_EQ(files::JoinLines(Lines{}), "");
    EXPECT_EQ(files::JoinLines(Lines{""}), "\r\n");
    const Lines lines{"10 REM \"A\"", "", "x"};
    EXPECT_EQ(files::JoinLines(lines), "10 REM \"A\"\r\n\r\nx\r\n");
    EXPECT_EQ(files::SplitLines(files::JoinLines(lines)), lines);
}

// ---- reading ----

TEST_F(FilesTest, ReadsAWholeFileWithEveryByte) {
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    write(path("a.bin"), bytes);
    const TResult<std::string> read = files::ReadWholeFile(path("a.bin"));
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(*read, bytes);
    write(path("empty"), "");
    EXPECT_EQ(files::ReadWholeFile(path("empty")).value(), "");
}

TEST_F(FilesTest, ReadFollowsALinkToAFile) {
    write(path("target"), "x");
    fs::create_symlink(path("target"), path("link"));
    EXPECT_EQ(files::ReadWholeFile(path("link")).value(), "x");
}

// What is not a regular file is refused before a byte is read: nothing blocks, nothing grows
// without end, and the message names the file.
TEST_F(FilesTest, ReadRefusesWhatIsNotARegularFile) {
    fs::create_directory(path("folder"));
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", path("zero"));
    const struct {
        std::string name;
        std::string error;
    } cases[] = {
        {path("missing"),
         "Cannot open file \"" + path("missing") + "\". No such file or directory"},
        {path("folder"), "Cannot open file \"" + path("folder") + "\". Is a directory"},
        {path("fifo"),
         "Cannot open file \"" + path("fifo") + "\". It is a device or pipe, not a file"},
        {path("zero"),
         "Cannot open file \"" + path("zero") + "\". It is a device or pipe, not a file"},
    };
    for (const auto& c : cases) {
        const TResult<std::string> read = files::ReadWholeFile(c.name);
        EXPECT_FALSE(read) << c.name;
        EXPECT_EQ(read.error(), c.error);
    }
}

TEST_F(FilesTest, ReadRefusesAFileBeyondTheLimitUnread) {
    // A sparse file: its size is past the limit without the disk holding it.
    {
        std::ofstream out(path("huge.lcs"), std::ios::binary);
        out.seekp(static_cast<std::streamoff>(files::kMaxFileSize));
        out.put('x');
    }
    const TResult<std::string> read = files::ReadWholeFile(path("huge.lcs"));
    EXPECT_FALSE(read);
    EXPECT_EQ(read.error(), "Cannot open file \"" + path("huge.lcs") +
                                "\". The file is larger than 64 MiB, more than any chart or "
                                "program holds");
}

// ---- replacing ----

TEST_F(FilesTest, ReplaceCreatesANewFileAndReplacesAnOldOneKeepingItsMode) {
    ASSERT_TRUE(files::ReplaceFile(path("new.txt"), "one"));
    EXPECT_EQ(bytesOf(path("new.txt")), "one");
    write(path("old.txt"), std::string(1000, 'o'));
    fs::permissions(path("old.txt"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(files::ReplaceFile(path("old.txt"), "two"));
    EXPECT_EQ(bytesOf(path("old.txt")), "two");
    EXPECT_EQ(fs::status(path("old.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(names(), (std::set<std::string>{"new.txt", "old.txt"})); // no temporary left
}

TEST_F(FilesTest, ReplaceThroughALinkReplacesTheFileItNames) {
    write(path("target.lcs"), "old");
    fs::create_symlink(path("target.lcs"), path("link.lcs"));
    ASSERT_TRUE(files::ReplaceFile(path("link.lcs"), "new"));
    EXPECT_TRUE(fs::is_symlink(path("link.lcs")));
    EXPECT_EQ(bytesOf(path("target.lcs")), "new");
}

// Nothing but a writable regular file (or a new name) is ever replaced: a read-only file stays
// read-only for everybody, the superuser included, and a device or pipe behind a link is never
// written through or swapped for a file.
TEST_F(FilesTest, ReplaceRefusesReadOnlyFilesDevicesPipesAndFolders) {
    write(path("readonly.lcs"), "kept");
    fs::permissions(path("readonly.lcs"), fs::perms::owner_read);
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    fs::create_symlink(path("fifo"), path("to-fifo.lcs"));
    fs::create_symlink("/dev/null", path("to-null.lcs"));
    fs::create_directory(path("folder.lcs"));
    const struct {
        std::string name;
        std::string reason;
    } cases[] = {
        {path("readonly.lcs"), "Permission denied"},
        {path("to-fifo.lcs"), "It is a device or pipe, not a file"},
        {path("to-null.lcs"), "It is a device or pipe, not a file"},
        {path("folder.lcs"), "Is a directory"},
    };
    for (const auto& c : cases) {
        const TStatus replaced = files::ReplaceFile(c.name, "new");
        EXPECT_FALSE(replaced) << c.name;
        EXPECT_EQ(replaced.error(), "Cannot open file \"" + c.name + "\". " + c.reason);
    }
    EXPECT_EQ(bytesOf(path("readonly.lcs")), "kept");
    EXPECT_TRUE(fs::is_fifo(path("fifo")));
    EXPECT_TRUE(fs::is_symlink(path("to-null.lcs")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(FilesTest, ReplaceIntoAMissingFolderSaysSo) {
    const TStatus replaced = files::ReplaceFile(path("no/such/x.lcs"), "x");
    EXPECT_EQ(replaced.error(),
              "Cannot create file \"" + path("no/such/x.lcs") + "\". No such file or directory");
}

// Saves interrupted between writing and renaming leave ".NAME.tmpNNNNNN" behind; the next save
// of that file removes its own old ones, and nothing else.
TEST_F(FilesTest, ReplaceRemovesStaleTemporariesOfThatFileOnly) {
    write(path("lesson.lcs"), "old");
    const std::string prefix = files::ReplaceTemporaryPrefix(path("lesson.lcs"));
    EXPECT_EQ(prefix, ".lesson.lcs.tmp");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name :
         {".lesson.lcs.tmp123456", ".lesson.lcs.tmp000001", ".other.lcs.tmp123456",
          ".lesson.lcs.tmpabc", ".lesson.lcs.tmp654321"}) {
        write(path(name), "partial");
        fs::last_write_time(path(name), old);
    }
    write(path(".lesson.lcs.tmp777777"), "a save running right now"); // young: kept
    ASSERT_TRUE(files::ReplaceFile(path("lesson.lcs"), "new"));
    EXPECT_EQ(names(), (std::set<std::string>{"lesson.lcs", ".other.lcs.tmp123456",
                                              ".lesson.lcs.tmpabc", ".lesson.lcs.tmp777777"}));
}

// ---- temporary files ----

TEST_F(FilesTest, TemporaryFilesAreNewPrivateAndUnique) {
    std::set<std::string> made;
    for (int i = 0; i < 20; ++i) {
        const TResult<std::string> name = files::MakeTempFile(m_dir.string(), "tpx");
        ASSERT_TRUE(name) << name.error();
        const fs::path file(*name);
        EXPECT_TRUE(file.filename().string().starts_with("tpx")) << *name;
        EXPECT_TRUE(fs::equivalent(file.parent_path(), m_dir));
        EXPECT_EQ(fs::file_size(file), 0u);
        EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
        made.insert(*name);
    }
    EXPECT_EQ(made.size(), 20u);
    EXPECT_TRUE(files::TempFolder());
}

TEST_F(FilesTest, TemporaryFileInAMissingFolderSaysWhy) {
    const TResult<std::string> name = files::MakeTempFile(path("gone"), "tpx");
    EXPECT_FALSE(name);
    EXPECT_EQ(name.error(),
              "Cannot create file \"" + path("gone") + "/tpxNNNNNN\". No such file or directory");
}

} // namespace
