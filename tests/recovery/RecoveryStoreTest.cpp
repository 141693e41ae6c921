#include "recovery/RecoveryStore.h"

#include "../support/ScratchFolder.h"
#include "files/Files.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using recovery::DecodeRecoveryFile;
using recovery::EncodeRecoveryFile;
using recovery::TRecoveredChart;
using recovery::TRecoveryStore;
using Clock = std::chrono::system_clock;

// A time of day on a school day, to the millisecond (what a recovery file keeps).
Clock::time_point at(int hours, int minutes, int milliseconds = 0) {
    using namespace std::chrono;
    return sys_days{year{2024} / 3 / 5} + hours * 1h + minutes * 1min +
           std::chrono::milliseconds(milliseconds);
}

const std::string kChart =
    "<?xml version=\"1.0\"?>\r\n<FlowChart><Block type=\"Start\"/></FlowChart>";

class RecoveryStoreTest : public testsupport::ScratchFolder {
protected:
    std::string folder() const { return path("recovery"); }
    std::string inFolder(const std::string& name) const {
        return (fs::path(folder()) / name).string();
    }

    std::set<std::string> names() const {
        std::set<std::string> result;
        std::error_code ec;
        for (fs::directory_iterator it(folder(), ec), end; !ec && it != end; it.increment(ec))
            result.insert(it->path().filename().string());
        return result;
    }

    std::unique_ptr<TRecoveryStore> openStore() const {
        auto store = std::make_unique<TRecoveryStore>(folder());
        const files::TStatus status = store->open();
        EXPECT_TRUE(status.ok()) << status.error();
        return store;
    }

    // The autosave of an editor that ended without a lock file left: what a clean exit that
    // kept its autosave leaves.
    void leaveAutosave(const std::string& id, const std::string& xml, const std::string& name,
                       Clock::time_point when) const {
        fs::create_directories(folder());
        writeBytes(inFolder(id + ".recovery"), EncodeRecoveryFile(xml, name, when));
    }

    // A child process running an editor's store that has autosaved xml; it waits until killed.
    pid_t startEditor(const std::string& xml, const std::string& name, Clock::time_point when) {
        int ready[2];
        if (::pipe(ready) != 0)
            return -1;
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            TRecoveryStore store(folder());
            if (!store.open())
                ::_exit(1);
            store.save(xml, name, when);
            if (!store.flush())
                ::_exit(2);
            const char done = 1;
            if (::write(ready[1], &done, 1) != 1)
                ::_exit(3);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char done = 0;
        const bool started = child > 0 && ::read(ready[0], &done, 1) == 1;
        ::close(ready[0]);
        if (!started && child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        return started ? child : -1;
    }

    static void kill9(pid_t child) {
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
    }
};

// ---- the file ----

TEST(RecoveryFile, KeepsEveryByteOfTheChartItsNameAndTheTime) {
    struct Case {
        std::string xml, name;
        Clock::time_point when;
    };
    const Case cases[] = {
        {kChart, "/home/pupil/charts/square dance.lcs", at(12, 41, 7)},
        {"", "", at(0, 0)}, // empty, unnamed
        {std::string("<a>\0\r\n\n\xC4\xE3</a>", 14), "odd\nname\0.lcs", at(23, 59, 999)},
        {std::string(100000, 'x') + "\n", "chart 5\n", at(9, 5)}, // digits and line ends in bytes
    };
    for (const Case& c : cases) {
        const std::optional<TRecoveredChart> back =
            DecodeRecoveryFile(EncodeRecoveryFile(c.xml, c.name, c.when));
        ASSERT_TRUE(back) << c.name;
        EXPECT_EQ(back->chartXml, c.xml);
        EXPECT_EQ(back->chartFileName, c.name);
        EXPECT_EQ(back->savedAt, c.when);
    }
}

TEST(RecoveryFile, EveryCutOffOrChangedFileIsRefused) {
    const std::string whole = EncodeRecoveryFile("<FlowChart/>", "a.lcs", at(12, 41));
    ASSERT_TRUE(DecodeRecoveryFile(whole));
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(DecodeRecoveryFile(whole.substr(0, size))) << "cut after " << size;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        std::string changed = whole;
        changed[i] = static_cast<char>(changed[i] ^ 0x04);
        EXPECT_FALSE(DecodeRecoveryFile(changed)) << "byte " << i << " changed";
    }
    EXPECT_FALSE(DecodeRecoveryFile(whole + "x"));
    EXPECT_FALSE(DecodeRecoveryFile(kChart)); // a chart file is not a recovery file
}

// ---- which autosaves are offered ----

TEST_F(RecoveryStoreTest, AKilledEditorsAutosaveIsOfferedOnlyOnceItHasDied) {
    const pid_t editor = startEditor(kChart, "/charts/maze.lcs", at(12, 41));
    ASSERT_GT(editor, 0) << "the editor process did not autosave";

    auto store = openStore();
    EXPECT_TRUE(store->orphans().empty()) << "a running editor's autosave was offered";
    kill9(editor);

    const std::vector<TRecoveredChart> found = store->orphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].chartXml, kChart);
    EXPECT_EQ(found[0].chartFileName, "/charts/maze.lcs");
    EXPECT_EQ(found[0].savedAt, at(12, 41));

    store->remove(found[0]);
    EXPECT_TRUE(store->orphans().empty());
    EXPECT_EQ(names(), std::set<std::string>{fs::path(store->fileName()).stem().string() + ".lock"})
        << "the dead editor's files were not all removed";
}

TEST_F(RecoveryStoreTest, TwoRunningEditorsKeepSeparateFilesAndNeverOfferEachOthers) {
    auto first = openStore();
    auto second = openStore();
    ASSERT_NE(first->fileName(), second->fileName());
    first->save("<first/>", "first.lcs", at(10, 0));
    second->save("<second/>", "", at(10, 1));
    ASSERT_TRUE(first->flush());
    ASSERT_TRUE(second->flush());

    const auto onDisk = [](const std::string& file) {
        const std::optional<TRecoveredChart> chart = DecodeRecoveryFile(bytesOf(file));
        return chart ? chart->chartXml : std::string("(damaged)");
    };
    EXPECT_EQ(onDisk(first->fileName()), "<first/>");
    EXPECT_EQ(onDisk(second->fileName()), "<second/>");
    EXPECT_TRUE(first->orphans().empty());
    EXPECT_TRUE(second->orphans().empty());

    // The first ends without removing its autosave (as after a crash of its window).
    first.reset();
    const std::vector<TRecoveredChart> found = second->orphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].chartXml, "<first/>");
    EXPECT_EQ(found[0].chartFileName, "first.lcs");
}

TEST_F(RecoveryStoreTest, DiscardRemovesTheAutosaveAndAWriteNotYetDone) {
    auto editor = openStore();
    editor->save(kChart, "a.lcs", at(8, 0));
    ASSERT_TRUE(editor->flush());
    ASSERT_FALSE(files::IsMissing(editor->fileName()));
    EXPECT_TRUE(editor->discard());
    EXPECT_TRUE(files::IsMissing(editor->fileName()));

    // Saved right after a change: the autosave handed over just before must not come back.
    editor->save(kChart + "<changed/>", "a.lcs", at(8, 1));
    EXPECT_TRUE(editor->discard());
    EXPECT_TRUE(editor->flush());
    EXPECT_TRUE(files::IsMissing(editor->fileName()));

    // A later change is autosaved again.
    editor->save("<later/>", "a.lcs", at(8, 2));
    EXPECT_TRUE(editor->flush());
    EXPECT_FALSE(files::IsMissing(editor->fileName()));
    EXPECT_TRUE(editor->discard());

    editor.reset();
    EXPECT_TRUE(names().empty()) << "a clean exit left files behind";
    auto next = openStore();
    EXPECT_TRUE(next->orphans().empty());
}

TEST_F(RecoveryStoreTest, ManySavesInARowEndWithTheLastTextOnDisk) {
    {
        auto editor = openStore();
        for (int i = 0; i < 300; ++i)
            editor->save("<chart n=\"" + std::to_string(i) + "\"/>", "many.lcs", at(11, 0, i));
        ASSERT_TRUE(editor->flush());
        EXPECT_EQ(names().size(), 2u) << "temporary files were left behind";
        // Handed over and not waited for: the store's end still writes it.
        editor->save("<chart n=\"last\"/>", "many.lcs", at(11, 1));
    }
    auto next = openStore();
    const std::vector<TRecoveredChart> found = next->orphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].chartXml, "<chart n=\"last\"/>");
    EXPECT_EQ(found[0].savedAt, at(11, 1));
}

TEST_F(RecoveryStoreTest, OrphansComeNewestFirst) {
    leaveAutosave("1-aaaaaaaa", "<morning/>", "m.lcs", at(9, 0));
    leaveAutosave("2-bbbbbbbb", "<noon/>", "n.lcs", at(12, 41));
    leaveAutosave("3-cccccccc", "<evening/>", "", at(18, 30));
    auto store = openStore();
    std::vector<std::string> order;
    for (const TRecoveredChart& chart : store->orphans())
        order.push_back(chart.chartXml);
    EXPECT_EQ(order, (std::vector<std::string>{"<evening/>", "<noon/>", "<morning/>"}));
}

TEST_F(RecoveryStoreTest, AnOrphanIsOfferedByOneEditorAtATime) {
    leaveAutosave("1-aaaaaaaa", kChart, "a.lcs", at(12, 41));
    auto first = openStore();
    auto second = openStore();
    const std::vector<TRecoveredChart> found = first->orphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(first->orphans().size(), 1u) << "asked again, the store forgot its own claim";
    EXPECT_TRUE(second->orphans().empty()) << "offered by two editors at once";

    // Removing is for the one that holds it: the other's remove leaves the file.
    second->remove(found[0]);
    EXPECT_FALSE(files::IsMissing(inFolder("1-aaaaaaaa.recovery")));

    first->release(found[0]);
    ASSERT_EQ(second->orphans().size(), 1u);
    EXPECT_TRUE(first->orphans().empty());
    second->remove(found[0]);
    EXPECT_TRUE(files::IsMissing(inFolder("1-aaaaaaaa.recovery")));
    EXPECT_TRUE(files::IsMissing(inFolder("1-aaaaaaaa.lock")));
}

TEST_F(RecoveryStoreTest, RemoveNeverTouchesARunningEditorsFileOrAnythingOutsideTheFolder) {
    auto running = openStore();
    running->save(kChart, "a.lcs", at(7, 0));
    ASSERT_TRUE(running->flush());
    writeBytes(path("outside.recovery"), "mine");
    writeBytes(path("outside.lock"), "");

    auto other = openStore();
    const std::string runningId = fs::path(running->fileName()).stem().string();
    for (const std::string& id : {runningId, std::string("../outside"), std::string("")})
        other->remove(TRecoveredChart{id, "a.lcs", at(7, 0), kChart});
    EXPECT_FALSE(files::IsMissing(running->fileName()));
    EXPECT_EQ(bytesOf(path("outside.recovery")), "mine");
    EXPECT_FALSE(files::IsMissing(path("outside.lock")));
}

TEST_F(RecoveryStoreTest, AdoptingKeepsACopyOnDiskThroughout) {
    leaveAutosave("1-aaaaaaaa", kChart, "/charts/lost.lcs", at(12, 41));
    {
        auto editor = openStore();
        const std::vector<TRecoveredChart> found = editor->orphans();
        ASSERT_EQ(found.size(), 1u);
        ASSERT_TRUE(editor->adopt(found[0]));
        EXPECT_TRUE(files::IsMissing(inFolder("1-aaaaaaaa.recovery")));
        EXPECT_TRUE(files::IsMissing(inFolder("1-aaaaaaaa.lock")));
        // The restored chart crashes again before its next change.
    }
    auto next = openStore();
    const std::vector<TRecoveredChart> found = next->orphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].chartXml, kChart);
    EXPECT_EQ(found[0].chartFileName, "/charts/lost.lcs");
    EXPECT_EQ(found[0].savedAt, at(12, 41));
}

// ---- damaged files, cut-off writes, leftovers ----

TEST_F(RecoveryStoreTest, DamagedRecoveryFilesAreSkippedAndLeftAlone) {
    const std::string whole = EncodeRecoveryFile(kChart, "a.lcs", at(12, 0));
    struct Damage {
        const char* id;
        std::string bytes;
    };
    const Damage damaged[] = {
        {"1-00000001", ""},
        {"1-00000002", whole.substr(0, whole.size() / 2)},
        {"1-00000003", whole.substr(0, whole.size() - 1)},
        {"1-00000004", std::string(whole).replace(60, 1, "#")},
        {"1-00000005", kChart},
        {"1-00000006", "ZOLVANE RECOVERY 1\ntime 1\nname 999999999999\nx"},
        {"1-00000007", "ZOLVANE RECOVERY 1\ntime 99999999999999999999999\n"},
    };
    leaveAutosave("2-0000000a", "<good/>", "good.lcs", at(12, 1));
    for (const Damage& d : damaged)
        writeBytes(inFolder(std::string(d.id) + ".recovery"), d.bytes);
    // Not files at all: a folder and a pipe (which must not hang the reading).
    fs::create_directory(inFolder("1-00000008.recovery"));
    ASSERT_EQ(::mkfifo(inFolder("1-00000009.recovery").c_str(), 0600), 0);

    auto store = openStore();
    const std::vector<TRecoveredChart> found = store->orphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].chartXml, "<good/>");
    for (const Damage& d : damaged)
        EXPECT_EQ(bytesOf(inFolder(std::string(d.id) + ".recovery")), d.bytes) << d.id;
}

TEST_F(RecoveryStoreTest, AWriteCutOffByAPowerCutIsNeverOffered) {
    const std::string whole = EncodeRecoveryFile("<older/>", "a.lcs", at(12, 0));
    const std::string newer = EncodeRecoveryFile("<newer/>", "a.lcs", at(12, 1));
    // One editor had an autosave and was writing the next; another was writing its first.
    leaveAutosave("1-aaaaaaaa", "<older/>", "a.lcs", at(12, 0));
    writeBytes(inFolder("1-aaaaaaaa.lock"), "");
    writeBytes(inFolder(".1-aaaaaaaa.recovery.tmp123456"), newer.substr(0, newer.size() / 2));
    writeBytes(inFolder("2-bbbbbbbb.lock"), "");
    writeBytes(inFolder(".2-bbbbbbbb.recovery.tmp654321"), whole.substr(0, 40));

    auto store = openStore();
    const std::string own = fs::path(store->fileName()).stem().string() + ".lock";
    const std::vector<TRecoveredChart> found = store->orphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].chartXml, "<older/>");
    // The slot with nothing whole to offer is cleared at once; the other once it is dealt with.
    EXPECT_EQ(names(), (std::set<std::string>{own, "1-aaaaaaaa.lock", "1-aaaaaaaa.recovery",
                                              ".1-aaaaaaaa.recovery.tmp123456"}));
    store->remove(found[0]);
    EXPECT_EQ(names(), std::set<std::string>{own});
}

TEST_F(RecoveryStoreTest, LockFilesOfEndedEditorsGoAndThoseOfRunningOnesStay) {
    auto running = openStore();
    const std::string runningLock = fs::path(running->fileName()).stem().string() + ".lock";
    // An editor that ended before its first autosave, and one that ended while claiming its
    // slot (a minute ago), beside one claiming its slot right now.
    writeBytes(inFolder("1-aaaaaaaa.lock"), "");
    writeBytes(inFolder(".1-bbbbbbbb.lock.new"), "");
    fs::last_write_time(inFolder(".1-bbbbbbbb.lock.new"),
                        fs::file_time_type::clock::now() - std::chrono::minutes(2));
    writeBytes(inFolder(".1-cccccccc.lock.new"), "");

    auto store = openStore();
    const std::string ownLock = fs::path(store->fileName()).stem().string() + ".lock";
    EXPECT_TRUE(store->orphans().empty());
    EXPECT_EQ(names(), (std::set<std::string>{runningLock, ownLock, ".1-cccccccc.lock.new"}));
}

// ---- folders that cannot be written ----

// Runs check in a child process as an ordinary user (the tests may run as root, who writes
// everywhere); check returns what went wrong, or nothing.
void expectAsOrdinaryUser(const std::function<std::string()>& check) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        const std::string failure = check();
        [[maybe_unused]] const ssize_t written = ::write(2, failure.data(), failure.size());
        ::_exit(failure.empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: see the message above; 2: no ordinary user";
}

std::string unlessNaming(const files::TStatus& status, const std::string& folder,
                         const std::string& reason) {
    if (status.ok())
        return "no error for \"" + folder + "\"\n";
    if (status.error().find("\"" + folder) == std::string::npos ||
        status.error().find(reason) == std::string::npos)
        return "unclear message: " + status.error() + "\n";
    return {};
}

TEST_F(RecoveryStoreTest, AFolderThatCannotBeMadeOrWrittenIsNamedByOpenAndFlush) {
    // Read-only for everyone (and root's besides, for the child when the tests run as root).
    fs::create_directory(m_dir / "existing");
    writeBytes(path("plain-file"), "");
    const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                          fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(m_dir / "existing", readOnly);
    fs::permissions(m_dir, readOnly);
    expectAsOrdinaryUser([this] {
        std::string failures;
        for (const std::string& where : {folder(), path("existing"), path("plain-file")}) {
            TRecoveryStore store(where);
            failures += unlessNaming(store.open(), where,
                                     where.ends_with("file") ? "ot a directory" : "denied");
            store.save(kChart, "a.lcs", at(9, 0));
            failures += unlessNaming(store.flush(), where, "");
            if (!store.orphans().empty())
                failures += "an orphan in " + where + "\n";
        }
        return failures;
    });
}

TEST_F(RecoveryStoreTest, AFolderThatBecomesReadOnlyIsReportedByFlushUntilItIsWritableAgain) {
    fs::create_directory(m_dir / "own");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path("own").c_str(), 65534, 65534), 0);
    }
    const std::string own = (m_dir / "own" / "recovery").string();
    expectAsOrdinaryUser([own] {
        std::string failures;
        TRecoveryStore store(own);
        if (!store.open())
            return "cannot open " + own + "\n";
        ::chmod(own.c_str(), 0500);
        store.save(kChart, "a.lcs", at(9, 0));
        failures += unlessNaming(store.flush(), own, "denied");
        ::chmod(own.c_str(), 0700);
        store.save(kChart, "a.lcs", at(9, 1));
        if (const files::TStatus status = store.flush(); !status)
            failures += "still failing: " + status.error() + "\n";
        return failures;
    });
}

TEST_F(RecoveryStoreTest, AStoreNeverOpenedWritesNothingAndSaysSo) {
    TRecoveryStore store(folder());
    store.save(kChart, "a.lcs", at(9, 0));
    const files::TStatus status = store.flush();
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.error().find(folder()), std::string::npos) << status.error();
    EXPECT_TRUE(store.discard());
    EXPECT_TRUE(names().empty());
}

} // namespace
