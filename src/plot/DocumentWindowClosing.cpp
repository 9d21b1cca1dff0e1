#include "plot/DocumentWindowClosing.h"

#include <QEvent>
#include <QWidget>

namespace quorvella {

namespace {

class CloseWatcher final : public QObject
{
public:
    CloseWatcher(QObject *context, std::function<void()> closeAll)
        : QObject(context), m_closeAll(std::move(closeAll))
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close && watched->isWidgetType()) {
            auto *window = static_cast<QWidget *>(watched);
            QMetaObject::invokeMethod(
                this,
                [this, window] {
                    if (!window->isVisible()) {
                        m_closeAll();
                    }
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_closeAll;
};

} // namespace

void whenDocumentWindowCloses(QWidget &documentWindow, QObject *context,
                              std::function<void()> closeAll)
{
    documentWindow.installEventFilter(new CloseWatcher(context, std::move(closeAll)));
}

} // namespace quorvella
