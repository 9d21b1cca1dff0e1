#include "plot/DiversityWorker.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <exception>
#include <new>

namespace quorvella {

struct DiversityWorker::Outcome
{
    std::shared_ptr<const DiversityResult> result;
    QString error;
};

namespace {

// Superseded jobs stop at their next check, but until then they hold a
// thread: a few more threads than cores keep a new request from queueing
// behind them.
QThreadPool &diversityThreadPool()
{
    static QThreadPool *pool = [] {
        auto *created = new QThreadPool;
        created->setMaxThreadCount(std::max(4, QThread::idealThreadCount() + 2));
        return created;
    }();
    return *pool;
}

class FlagControl final : public DiversityJobControl
{
public:
    FlagControl(const std::atomic<bool> &stop, std::function<void(int, int)> report)
        : m_stop(stop), m_report(std::move(report))
    {}
    const std::atomic<bool> &cancelFlag() const override { return m_stop; }
    void setProgress(int done, int total) override { m_report(done, total); }

private:
    const std::atomic<bool> &m_stop;
    std::function<void(int, int)> m_report;
};

} // namespace

DiversityWorker::DiversityWorker(QObject *parent) : QObject(parent)
{}

DiversityWorker::~DiversityWorker()
{
    if (m_stop) {
        m_stop->store(true);
    }
}

std::uint64_t DiversityWorker::start(DiversityJob job)
{
    if (m_stop) {
        m_stop->store(true);
    }
    const std::uint64_t request = ++m_latestRequest;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_stop = stop;
    m_running = true;

    // Progress and the outcome reach the GUI thread through the future's
    // watcher, which lives and dies with this worker.
    auto *watcher = new QFutureWatcher<Outcome>(this);
    connect(watcher, &QFutureWatcher<Outcome>::progressValueChanged, this,
            [this, watcher, request](int done) {
                if (request == m_latestRequest && m_running) {
                    emit progressChanged(done, watcher->progressMaximum());
                }
            });
    connect(watcher, &QFutureWatcher<Outcome>::finished, this, [this, watcher, request] {
        if (watcher->future().resultCount() > 0) {
            onJobEnded(request, watcher->future().result());
        }
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(
        &diversityThreadPool(), [job = std::move(job), stop](QPromise<Outcome> &promise) {
            Outcome outcome;
            FlagControl control(*stop, [&promise](int done, int total) {
                promise.setProgressRange(0, total);
                promise.setProgressValue(done);
            });
            try {
                outcome.result = job(control);
            } catch (const std::bad_alloc &) {
                outcome.error = QStringLiteral("There is not enough memory for this computation.");
            } catch (const std::exception &error) {
                outcome.error = QString::fromUtf8(error.what());
            }
            promise.addResult(std::move(outcome));
        }));
    emit started(request);
    return request;
}

void DiversityWorker::cancel()
{
    if (!m_running) {
        return;
    }
    m_stop->store(true);
    m_running = false;
    emit cancelled(m_latestRequest);
}

void DiversityWorker::onJobEnded(std::uint64_t request, const Outcome &outcome)
{
    // A superseded or cancelled request never shows.
    if (request != m_latestRequest || !m_running) {
        return;
    }
    m_running = false;
    if (!outcome.result) {
        emit failed(request, outcome.error);
        return;
    }
    m_result = outcome.result;
    m_resultRequest = request;
    emit finished(request);
}

} // namespace quorvella
