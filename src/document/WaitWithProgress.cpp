#include "document/WaitWithProgress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace quorvella {

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
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    bool cancelled = false;
    if (cancel == Cancel::Offered) {
        QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
            cancelled = true;
            loop.quit();
        });
    } else {
        dialog.setCancelButton(nullptr);
    }
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

} // namespace quorvella
