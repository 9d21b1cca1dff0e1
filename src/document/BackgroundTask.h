#pragma once

// Work that would stall the window, run on a thread of its own. The work
// counts its progress and looks at the cancel flag now and then; when it
// ends, finished runs on the GUI thread. A cancelled run reports nothing.
// Destroying the task cancels the work and waits for its thread, so the
// work never outlives what it reports to.

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace quorvella {

struct BackgroundProgress
{
    std::atomic<bool> cancelled{false};
    std::atomic<long long> done{0};
    std::atomic<long long> total{0}; // 0: not known
};

class BackgroundTask final : public QObject
{
    Q_OBJECT
public:
    using Work = std::function<void(BackgroundProgress &progress)>;

    explicit BackgroundTask(QObject *parent = nullptr);
    ~BackgroundTask() override;

    // Cancels a run in progress, then starts work.
    void start(Work work, std::function<void()> finished);
    // The run stops at its next look at the flag; it is over at once.
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    // While running, a few times a second.
    void progressChanged(long long done, long long total);
    // True when a run starts; false when it was cancelled or has finished
    // (after finished ran, unless that started another run).
    void runningChanged(bool running);

private:
    struct Run;
    void abandonCurrent();
    void finish(const std::shared_ptr<Run> &run);
    void joinEnded();
    void setRunning(bool running);

    bool m_running = false;
    std::shared_ptr<Run> m_current;
    std::vector<std::shared_ptr<Run>> m_ended; // threads still to join
    QTimer m_progressTimer;
};

} // namespace quorvella
