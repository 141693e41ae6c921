#include "app/Autosave.h"

#include "chart/ChartFile.h"
#include "platform/i18n/CoreText.h"
#include "platform/text/CodePage.h"
#include "recovery/RestoreQuestion.h"

#include <QTimer>
#include <chrono>

TAutosave::TAutosave(TChart& chart, TChartFile& file, const std::string& folder,
                     std::function<void(const QString&)> status, QObject* parent)
    : QObject(parent), m_chart(chart), m_file(file), m_status(std::move(status)),
      m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    m_timer->setInterval(std::chrono::milliseconds(recovery::kAutosaveDelay));
    connect(m_timer, &QTimer::timeout, this, &TAutosave::autosave);
    if (folder.empty())
        return;
    auto store = std::make_unique<recovery::TRecoveryStore>(folder);
    if (files::TStatus opened = store->open(); !opened) {
        m_status(tr("Autosave is off: %1").arg(platform::Translated(opened.errorMessage())));
        return;
    }
    m_store = std::move(store);
}

TAutosave::~TAutosave() = default;

void TAutosave::setDelay(int milliseconds) {
    m_timer->setInterval(milliseconds);
}

void TAutosave::chartChanged() {
    if (m_store && !m_timer->isActive())
        m_timer->start();
}

void TAutosave::saveNow() {
    m_timer->stop();
    autosave();
}

void TAutosave::autosave() {
    if (!m_store)
        return;
    // A chart that is its file again (an undo back to the save) needs no recovery.
    const bool unnamedWork = m_file.CurrentFileName().empty() && !m_chart.IsEmptyChart();
    if (!unnamedWork && !m_file.IsChartChanged()) {
        m_store->discard();
        return;
    }
    // The last write had a minute to finish: its outcome is known without waiting.
    if (files::TStatus last = m_store->flush(); !last && !m_failureShown) {
        m_failureShown = true;
        m_status(tr("Autosave failed: %1").arg(platform::Translated(last.errorMessage())));
    }
    std::string text;
    try {
        text = m_file.ChartText();
    } catch (const std::exception&) {
        return; // a record that cannot be written: the save would say so
    }
    m_store->save(std::move(text), m_file.CurrentFileName(), std::chrono::system_clock::now());
}

void TAutosave::discard() {
    m_timer->stop();
    if (m_store)
        m_store->discard();
}

files::TStatus TAutosave::flush() {
    return m_store ? m_store->flush() : files::TStatus{};
}

bool TAutosave::offerRecovery(files::TPrompts& prompts) {
    if (!m_store)
        return false;
    std::vector<recovery::TRecoveredChart> found = m_store->orphans();
    if (found.empty())
        return false;
    // The newest is offered; older ones wait for another start.
    for (std::size_t i = 1; i < found.size(); ++i)
        m_store->release(found[i]);
    const recovery::TRecoveredChart& newest = found.front();
    switch (prompts.askYesNoCancel(platform::fromQString(platform::Translated(
        recovery::RestoreQuestionMessage(newest, std::chrono::system_clock::now()))))) {
    case files::TPrompts::Answer::Yes:
        break;
    case files::TPrompts::Answer::No:
        m_store->remove(newest);
        return false;
    case files::TPrompts::Answer::Cancel:
        m_store->release(newest);
        return false;
    }
    if (files::TStatus restored = m_file.RestoreChart(newest.chartXml, newest.chartFileName);
        !restored) {
        prompts.showError(
            platform::fromQString(tr("The autosave could not be restored: %1")
                                      .arg(platform::Translated(restored.errorMessage()))));
        m_store->release(newest);
        return false;
    }
    if (files::TStatus adopted = m_store->adopt(newest); !adopted)
        m_status(tr("Autosave failed: %1").arg(platform::Translated(adopted.errorMessage())));
    return true;
}
