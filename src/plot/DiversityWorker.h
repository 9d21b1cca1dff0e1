#pragma once

// Runs diversity computations off the GUI thread, one request at a time as
// far as the user can tell: a new request supersedes the running one, Cancel
// abandons it, and only the result of the latest request is ever handed
// out. A superseded or cancelled job is asked to stop and its result, should
// it still finish, is dropped; the last finished result stays available.

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

template <typename T> class QPromise;

namespace quorvella {

struct DiversityResult;

// What a running job may ask and tell: whether it should stop (it checks
// between pieces of work) and how far it has come.
class DiversityJobControl
{
public:
    virtual ~DiversityJobControl() = default;
    bool isCancelled() const { return cancelFlag().load(std::memory_order_relaxed); }
    // The flag itself, for computations that watch it on their own.
    virtual const std::atomic<bool> &cancelFlag() const = 0;
    virtual void setProgress(int done, int total) = 0;
};

// A job computes a result from data it owns (it must not touch the document
// or any widget). It may throw; the message reaches failed().
using DiversityJob = std::function<std::shared_ptr<const DiversityResult>(DiversityJobControl &)>;

class DiversityWorker : public QObject
{
    Q_OBJECT
public:
    explicit DiversityWorker(QObject *parent = nullptr);
    // Asks the running job to stop; it is not waited for.
    ~DiversityWorker() override;

    // Starts job in the background, superseding any running one. Returns the
    // request's number; numbers grow with every request.
    std::uint64_t start(DiversityJob job);
    // Abandons the running job; the last finished result stays.
    void cancel();
    bool isRunning() const { return m_running; }

    // The result of the latest request that finished, or nullptr.
    std::shared_ptr<const DiversityResult> result() const { return m_result; }
    // The number of that request (0 before any).
    std::uint64_t resultRequest() const { return m_resultRequest; }

signals:
    void started(std::uint64_t request);
    void progressChanged(int done, int total);
    // The latest request finished; result() holds what it computed.
    void finished(std::uint64_t request);
    void failed(std::uint64_t request, const QString &message);
    void cancelled(std::uint64_t request);

private:
    struct Outcome;
    void onJobEnded(std::uint64_t request, const Outcome &outcome);

    std::uint64_t m_latestRequest = 0;
    bool m_running = false;
    // Set to stop the running job; every job has its own flag.
    std::shared_ptr<std::atomic<bool>> m_stop;
    std::shared_ptr<const DiversityResult> m_result;
    std::uint64_t m_resultRequest = 0;
};

} // namespace quorvella
