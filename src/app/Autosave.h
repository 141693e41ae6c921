// The main window's autosave: a minute after a change at the latest (and before a download)
// the chart goes to this editor's recovery file, written off the window's thread; a save or a
// clean exit removes it. At start the autosave of an editor that closed before its chart was
// saved is offered back.
#pragma once

#include "files/Prompts.h"
#include "recovery/RecoveryStore.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QTimer;
class TChart;
class TChartFile;

class TAutosave : public QObject {
    Q_OBJECT

public:
    // `folder` is where the recovery files go (the user's data folder normally); `status` shows
    // a word in the window's status line.
    TAutosave(TChart& chart, TChartFile& file, const std::string& folder,
              std::function<void(const QString&)> status, QObject* parent = nullptr);
    ~TAutosave() override;

    // The chart changed: an autosave is due within the delay (the first change starts the clock).
    void chartChanged();
    // Hands the chart to the writer now when it differs from its file (before a download).
    void saveNow();
    // The chart was saved, or replaced by a new or opened one, or the window closes with the
    // chart kept or thrown away on purpose: no recovery file is left.
    void discard();
    // Offers the newest autosave an ended editor left behind; Yes restores it as a changed
    // chart, No throws it away, Cancel leaves it for later. True when a chart was restored.
    bool offerRecovery(files::TPrompts& prompts);

    // How long after a change the autosave happens (tests shorten it).
    void setDelay(int milliseconds);
    // Waits for the writer (tests; the window never waits).
    files::TStatus flush();
    recovery::TRecoveryStore* store() const { return m_store.get(); }

private:
    void autosave();

    TChart& m_chart;
    TChartFile& m_file;
    std::function<void(const QString&)> m_status;
    std::unique_ptr<recovery::TRecoveryStore> m_store; // null when the folder cannot be used
    QTimer* m_timer = nullptr;
    bool m_failureShown = false;
};
