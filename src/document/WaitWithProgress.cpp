#include "document/WaitWithProgress.h"

#include "analysis/Cancellation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace quorvella {
namespace {

// The waits' work runs on a pool of its own, never on Qt's global pool: Qt
// splits some image work of the GUI thread (conversions, smooth scaling)
// into pieces for the global pool and waits for them, so long work there
// (a picture drawn for a file while the view draws its own) would hold the
// window. The pool belongs to the application, which waits for its threads
// before it ends.
QThreadPool &waitingWorkPool()
{
    static QPointer<QThreadPool> pool;
    if (pool.isNull()) {
        pool = new QThreadPool(QCoreApplication::instance());
        // A cancelled work may still be running: the next starts beside it.
        pool->setMaxThreadCount(4);
    }
    return *pool;
}

// Modal and shown at once; Cancel (when offered) sets cancelled and ends the loop.
void prepareDialog(QProgressDialog &dialog, QEventLoop &loop, Cancel cancel, bool &cancelled)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    if (cancel == Cancel::Offered) {
        QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&cancelled, &loop] {
            cancelled = true;
            loop.quit();
        });
    } else {
        dialog.setCancelButton(nullptr);
    }
}

} // namespace

namespace {

// Turns the event loop behind a modal progress dialog until done is set or
// the user cancels (when offered); true when cancelled. With a delay, the
// Cancel button joins the dialog only after it: laying out and drawing the
// button costs the window tens of milliseconds, worth it only for a wait
// long enough to be cancelled.
bool waitBehindDialog(const QString &label, const std::atomic<bool> &done, Cancel cancel,
                      int cancelButtonDelayMs = 0)
{
    QEventLoop loop;
    const bool buttonNow = cancel == Cancel::Offered && cancelButtonDelayMs == 0;
    QProgressDialog dialog(label, buttonNow ? QProgressDialog::tr("Cancel") : QString(), 0, 0);
    bool cancelled = false;
    prepareDialog(dialog, loop, cancel, cancelled);
    QTimer addButton;
    addButton.setSingleShot(true);
    QObject::connect(&addButton, &QTimer::timeout, &dialog,
                     [&dialog] { dialog.setCancelButtonText(QProgressDialog::tr("Cancel")); });
    if (cancel == Cancel::Offered && !buttonNow)
        addButton.start(cancelButtonDelayMs);
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    poll.start();
    dialog.show();
    loop.exec();
    return cancelled;
}

void waitUntil(const std::atomic<bool> &done)
{
    while (!done)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

bool runWhileWaiting(const QString &label, std::function<void()> work, Cancel cancel)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    waitingWorkPool().start([work = std::move(work), done] {
        work();
        *done = true;
    });
    const bool cancelled = waitBehindDialog(label, *done, cancel);
    // The loop also ends when the application quits; work without Cancel
    // reads what the caller owns, so it must end first.
    if (cancel == Cancel::NotOffered)
        waitUntil(*done);
    return !cancelled;
}

bool runStoppableWhileWaiting(const QString &label,
                              std::function<void(const std::atomic<bool> &stop)> work)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    auto stop = std::make_shared<std::atomic<bool>>(false);
    waitingWorkPool().start([work = std::move(work), done, stop] {
        try {
            work(*stop);
        } catch (const ComputationCancelled &) {
            // Stopped at the user's Cancel: nothing to report.
        }
        *done = true;
    });
    const bool cancelled = waitBehindDialog(label, *done, Cancel::Offered, 150);
    *stop = true; // also when the application quits during the wait
    waitUntil(*done);
    return !cancelled;
}

std::size_t runStepsWhileWaiting(const QString &label, std::span<const std::function<void()>> steps,
                                 Cancel cancel)
{
    constexpr qint64 turnMs = 25;
    if (steps.empty())
        return 0;
    QEventLoop loop;
    QProgressDialog dialog(label, QProgressDialog::tr("Cancel"), 0, static_cast<int>(steps.size()));
    bool cancelled = false;
    prepareDialog(dialog, loop, cancel, cancelled);
    std::size_t next = 0;
    bool inTurn = false; // the modal dialog's setValue turns the loop itself
    QTimer turn;
    turn.setInterval(0);
    QObject::connect(&turn, &QTimer::timeout, &loop, [&] {
        // The timer can fire again after the turn that took the last step,
        // before the loop has ended: no step is left to take then.
        if (inTurn || cancelled || next == steps.size())
            return;
        inTurn = true;
        // The first turn takes one step, so the dialog is seen at once.
        const qint64 budget = next == 0 ? 0 : turnMs;
        QElapsedTimer elapsed;
        elapsed.start();
        do {
            steps[next++]();
        } while (next < steps.size() && elapsed.elapsed() < budget && !cancelled);
        if (next == steps.size() || cancelled)
            loop.quit();
        else
            dialog.setValue(static_cast<int>(next));
        inTurn = false;
    });
    dialog.show();
    turn.start();
    loop.exec();
    turn.stop();
    // The loop also ends when the application quits: finish what may not
    // be left half done.
    while (!cancelled && next < steps.size())
        steps[next++]();
    return next;
}

} // namespace quorvella
