#include "platform/events/QueuedPoster.h"

#include <QMetaObject>

namespace platform {

void TTaskPoster::post(std::function<void()> task) {
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    // Called by name: the event carries nothing of ours across threads.
    QMetaObject::invokeMethod(this, "runTasks", Qt::QueuedConnection);
}

void TTaskPoster::runTasks() {
    std::vector<std::function<void()>> tasks;
    {
        std::lock_guard lock(m_mutex);
        tasks.swap(m_tasks);
    }
    for (auto& task : tasks)
        task();
}

std::function<void(std::function<void()>)> queuedPoster(QObject* context) {
    auto* poster = new TTaskPoster(context);
    return [poster](std::function<void()> task) { poster->post(std::move(task)); };
}

} // namespace platform
