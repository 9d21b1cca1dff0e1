#include "document/WaitWithProgress.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <memory>

namespace quorvella {

bool runWhileWaiting(const QString &label, std::function<void()> work, QWidget *parent)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    // The application waits for its pool's threads before it ends.
    QThreadPool::globalInstance()->start([work = std::move(work), done] {
        work();
        *done = true;
    });
    QEventLoop loop;
    QProgressDialog dialog(label, QProgressDialog::tr("Cancel"), 0, 0, parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    bool cancelled = false;
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (*done)
            loop.quit();
    });
    poll.start();
    dialog.show();
    loop.exec();
    return !cancelled;
}

} // namespace quorvella
