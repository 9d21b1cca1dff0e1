#include "document/WaitWithProgress.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace quorvella {
namespace {

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

bool runWhileWaiting(const QString &label, std::function<void()> work, Cancel cancel)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    // The application waits for its pool's threads before it ends.
    QThreadPool::globalInstance()->start([work = std::move(work), done] {
        work();
        *done = true;
    });
    QEventLoop loop;
    QProgressDialog dialog(label, QProgressDialog::tr("Cancel"), 0, 0);
    bool cancelled = false;
    prepareDialog(dialog, loop, cancel, cancelled);
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (*done)
            loop.quit();
    });
    poll.start();
    dialog.show();
    loop.exec();
    // The loop also ends when the application quits; work without Cancel
    // reads what the caller owns, so it must end first.
    while (cancel == Cancel::NotOffered && !*done)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !cancelled;
}

std::size_t runStepsWhileWaiting(const QString &label,
                                 const std::vector<std::function<void()>> &steps, Cancel cancel)
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
        if (inTurn || cancelled)
            return;
        inTurn = true;
        // The first turn takes one step, so the dialog is seen at once.
        const qint64 budget = next == 0 ? 0 : turnMs;
        QElapsedTimer elapsed;
        elapsed.start();
        do {
            steps[next++]();
        } while (next < steps.size() && elapsed.elapsed() < budget);
        if (next == steps.size())
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
