// Autosave copies of the chart being edited, kept in a folder of their own so that the changes
// survive a crash, a power cut or a kill of the editor, and are offered again at the next start.
//
// Each running editor claims a slot in the folder: "ID.lock", a file it holds an exclusive
// lock on for as long as it runs (the system lets go of the lock when the process ends, however
// it ends), and "ID.recovery", its latest autosave. A recovery file whose lock can be taken
// belongs to an editor that is gone; a locked one belongs to a running editor and is never
// offered. A recovery file is always replaced whole (files::ReplaceFile) and checked when read,
// so a damaged or cut-off file is skipped, never offered.
#pragma once

#include "files/Result.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace recovery {

// The longest a change stays without an autosave.
inline constexpr std::chrono::minutes kAutosaveDelay{1};

// An autosave left behind by an editor that is no longer running.
struct TRecoveredChart {
    std::string id;            // the slot it was found in
    std::string chartFileName; // the chart's own file; empty for a chart never saved
    std::chrono::system_clock::time_point savedAt;
    std::string chartXml;
};

// TRecoveryStore: this editor's slot in the recovery folder, written by a thread of its own,
// and the autosaves of editors that are gone. Every call comes from one thread (the window's);
// only the writing happens on the store's thread. The destructor finishes the write handed over
// last and lets go of the slot; a recovery file not discarded by then is offered at the next
// start.
class TRecoveryStore {
public:
    explicit TRecoveryStore(std::string folder);
    ~TRecoveryStore();
    TRecoveryStore(const TRecoveryStore&) = delete;
    TRecoveryStore& operator=(const TRecoveryStore&) = delete;

    // Creates the folder when it is missing and claims this editor's slot. The message names
    // the folder when that fails; the store then writes nothing, and flush() gives the same
    // message.
    files::TStatus open();

    // Hands the chart over to be written; returns at once. When saves arrive faster than they
    // are written, only the latest is written.
    void save(std::string chartXml, std::string chartFileName,
              std::chrono::system_clock::time_point when);
    // Waits until everything handed over is written; the status of the last write (or of
    // open(), when it failed).
    files::TStatus flush();
    // Drops a write not yet started, waits for one under way and removes this editor's
    // recovery file: after a save of the chart, or a clean exit.
    files::TStatus discard();

    // The autosaves of editors no longer running, newest first; damaged files are left out.
    // Each one returned stays claimed by this store (no other editor offers it) until it is
    // removed, adopted or released, or the store ends. Lock files of editors that ended before
    // their first autosave are removed on the way.
    std::vector<TRecoveredChart> orphans();
    // Removes an autosave after it was restored or declined. Does nothing when its editor is
    // running or another editor has claimed it: their files are never touched.
    void remove(const TRecoveredChart& chart);
    // Restores: writes the chart as this editor's own autosave, and removes the old one once
    // that is on the disk (so there is no moment without a copy).
    files::TStatus adopt(const TRecoveredChart& chart);
    // Lets go of the claim and leaves the file for another editor or a later start.
    void release(const TRecoveredChart& chart);

    const std::string& folder() const { return m_folder; }
    // This editor's recovery file; empty before open() succeeded.
    const std::string& fileName() const { return m_fileName; }

private:
    struct TPending {
        std::string chartXml;
        std::string chartFileName;
        std::chrono::system_clock::time_point when;
    };

    void work();
    // Takes the lock of slot id (creating its lock file when it is missing); -1 when the slot's
    // editor is running, another store claimed it, or the lock cannot be had.
    int claim(const std::string& id) const;
    void removeClaimed(const std::string& id);
    void removeUnsavedSlots();

    const std::string m_folder;
    std::string m_id;
    std::string m_fileName;
    std::string m_lockName;
    int m_lockFd = -1;
    std::map<std::string, int> m_claims; // claimed orphans: id and the descriptor holding its lock

    std::mutex m_mutex; // guards everything below
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<TPending> m_pending;
    bool m_writing = false;
    bool m_stopping = false;
    std::string m_target;        // the file the thread writes; empty until open() succeeded
    files::TStatus m_lastStatus; // of the last write, or of open()
    std::thread m_thread;        // started last, once everything it uses is there
};

// The bytes of a recovery file, and back; nothing when the bytes are not a whole, unchanged
// recovery file.
std::string EncodeRecoveryFile(const std::string& chartXml, const std::string& chartFileName,
                               std::chrono::system_clock::time_point when);
std::optional<TRecoveredChart> DecodeRecoveryFile(const std::string& bytes);

} // namespace recovery
