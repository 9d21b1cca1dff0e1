#include "document/BackgroundTask.h"

namespace quorvella {

struct BackgroundTask::Run
{
    BackgroundProgress progress;
    std::function<void()> finished;
    std::atomic<bool> over{false};
    std::thread thread;
};

BackgroundTask::BackgroundTask(QObject *parent) : QObject(parent)
{
    m_progressTimer.setInterval(100);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] {
        if (m_current)
            emit progressChanged(m_current->progress.done, m_current->progress.total);
    });
}

BackgroundTask::~BackgroundTask()
{
    if (m_current) {
        m_current->progress.cancelled = true;
        m_ended.push_back(std::move(m_current));
    }
    for (const std::shared_ptr<Run> &run : m_ended)
        run->thread.join();
}

void BackgroundTask::start(Work work, std::function<void()> finished)
{
    abandonCurrent();
    joinEnded();
    auto run = std::make_shared<Run>();
    run->finished = std::move(finished);
    m_current = run;
    run->thread = std::thread([this, run, work = std::move(work)] {
        work(run->progress);
        run->over = true;
        // Dropped unread when this object goes first.
        QMetaObject::invokeMethod(
            this, [this, run] { finish(run); }, Qt::QueuedConnection);
    });
    m_progressTimer.start();
    setRunning(true);
}

void BackgroundTask::abandonCurrent()
{
    if (!m_current)
        return;
    m_current->progress.cancelled = true;
    m_ended.push_back(std::move(m_current));
    m_progressTimer.stop();
}

void BackgroundTask::cancel()
{
    abandonCurrent();
    setRunning(false);
}

void BackgroundTask::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    emit runningChanged(running);
}

void BackgroundTask::finish(const std::shared_ptr<Run> &run)
{
    if (run != m_current) {
        joinEnded();
        return;
    }
    m_ended.push_back(std::move(m_current));
    m_progressTimer.stop();
    joinEnded();
    run->finished();
    if (!m_current) // finished may have started another run
        setRunning(false);
}

void BackgroundTask::joinEnded()
{
    std::erase_if(m_ended, [](const std::shared_ptr<Run> &run) {
        if (!run->over)
            return false;
        run->thread.join();
        return true;
    });
}

} // namespace quorvella
