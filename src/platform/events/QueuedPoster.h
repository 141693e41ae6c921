// Tasks handed over from any thread, run later on one QObject's thread through its event loop.
#pragma once

#include <QObject>
#include <functional>
#include <mutex>
#include <vector>

namespace platform {

// TTaskPoster: runs tasks handed over from any thread on its own thread,
// through the event loop. The tasks wait in a locked queue.
class TTaskPoster final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    void post(std::function<void()> task);

private:
    Q_INVOKABLE void runTasks();

    std::mutex m_mutex;
    std::vector<std::function<void()>> m_tasks;
};

// A "post to the owner's thread" function: runs each task later on the
// thread of context, through its event loop. The poster it uses is a child
// of context and goes away with it.
std::function<void(std::function<void()>)> queuedPoster(QObject* context);

} // namespace platform
