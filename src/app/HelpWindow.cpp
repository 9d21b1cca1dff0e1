#include "app/HelpWindow.h"

#include <QAction>
#include <QKeySequence>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

namespace quorvella {

HelpWindow::HelpWindow(QWidget *parent) : QMainWindow(parent), m_browser(new QTextBrowser(this))
{
    setWindowTitle(tr("Quorvella Help"));
    setObjectName(QStringLiteral("helpWindow"));
    // Links to the web open in the user's browser; links inside the guide
    // stay here.
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(QUrl(QString::fromLatin1(guideUrl)));
    setCentralWidget(m_browser);

    QToolBar *navigation = addToolBar(tr("Navigation"));
    navigation->setMovable(false);
    QAction *back = navigation->addAction(tr("Back"), m_browser, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    QAction *forward = navigation->addAction(tr("Forward"), m_browser, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    navigation->addAction(tr("Contents"), m_browser, &QTextBrowser::home);

    resize(720, 760);
}

void HelpWindow::showAnchor(const QString &anchor)
{
    QUrl url(QString::fromLatin1(guideUrl));
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    m_browser->setSource(url);
    show();
    raise();
    activateWindow();
}

} // namespace quorvella
