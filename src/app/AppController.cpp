#include "app/AppController.h"

#include "app/AboutDialog.h"
#include "app/HelpWindow.h"
#include "app/LayerCommands.h"
#include "app/RecentDocuments.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/QtUi.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <algorithm>

namespace quorvella {

AppController::AppController(Services services, QObject *parent)
    : QObject(parent), m_services(std::move(services)), m_ui(m_services.makeUi()),
      m_menus(std::make_unique<ApplicationMenus>(m_undoGroup, m_services.links)),
      m_recent(new RecentDocuments(this))
{
    connectMenuActions();
    installWindowCommands();
    installLayerCommands(*this);
    m_menus->hideEmptySubmenus();
    rebuildOpenRecentMenu();
    connect(m_recent, &RecentDocuments::changed, this, &AppController::rebuildOpenRecentMenu);
    // The import alert's Help button opens the guide at its section.
    QtUi::setHelpHandler([this](const QString &anchor) { showHelp(anchor); });
}

AppController::~AppController()
{
    QtUi::setHelpHandler({});
    for (const QPointer<DocumentWindow> &window : std::as_const(m_windows)) {
        if (window) {
            window->removeEventFilter(this);
            disconnect(window, nullptr, this, nullptr);
            delete window;
        }
    }
}

void AppController::openStartupDocuments(const QStringList &paths)
{
    for (const QString &path : paths)
        openDocument(path);
    if (m_windows.isEmpty())
        newDocument();
}

// --- documents -------------------------------------------------------------

QList<DocumentWindow *> AppController::documentWindows() const
{
    QList<DocumentWindow *> windows;
    for (const QPointer<DocumentWindow> &window : m_windows) {
        if (window)
            windows.append(window);
    }
    return windows;
}

DocumentWindow *AppController::currentWindow() const
{
    return m_menus->currentWindow();
}

MyDocument *AppController::currentDocument() const
{
    DocumentWindow *window = currentWindow();
    return window ? &window->document() : nullptr;
}

DocumentWindow *AppController::newDocument()
{
    auto *document = new MyDocument;
    document->setUi(m_services.makeUi());
    return addWindow(document);
}

DocumentWindow *AppController::openDocument(const QString &path)
{
    if (DocumentWindow *open = findWindowFor(path)) {
        makeCurrent(open);
        open->raise();
        open->activateWindow();
        return open;
    }
    // An untitled window the user has not touched gives way to the opened
    // document, as it was only there so that there was a window.
    DocumentWindow *placeholder = currentWindow();
    if (!isPristineUntitled(placeholder))
        placeholder = nullptr;

    auto document = std::make_unique<MyDocument>();
    document->setUi(m_services.makeUi());
    if (!document->open(path)) {
        if (!QFileInfo::exists(path))
            m_recent->remove(path);
        return nullptr;
    }
    m_recent->add(document->fileName());
    DocumentWindow *window = addWindow(document.release());
    if (placeholder)
        placeholder->close();
    return window;
}

DocumentWindow *AppController::addWindow(MyDocument *document)
{
    auto *window = new DocumentWindow(document);
    window->setAttribute(Qt::WA_DeleteOnClose);
    equipDocumentWindow(*window);
    m_menus->installIn(window->menuBar());
    m_undoGroup.addStack(&document->undoStack());
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, &AppController::windowDestroyed);
    connect(document, &MyDocument::commandStateChanged, this, [this, window] {
        if (window == currentWindow())
            m_menus->updateDocumentCommands();
    });
    // However the document gets its file (Save, Save As, the question on
    // closing), it joins Open Recent.
    connect(document, &MyDocument::fileNameChanged, this, [this](const QString &fileName) {
        if (!fileName.isEmpty())
            m_recent->add(fileName);
    });
    m_windows.prepend(window);
    makeCurrent(window);
    fitToolBar(window);
    window->show();
    return window;
}

void AppController::fitToolBar(DocumentWindow *window)
{
    // Wide enough to show the whole toolbar, as far as the screen allows.
    const int wanted = window->toolBar()->sizeHint().width() + 24;
    const QScreen *screen = window->screen();
    const int available = screen ? screen->availableGeometry().width() : wanted;
    const int width = std::min(std::max(window->width(), wanted), available);
    window->resize(width, window->height());
}

void AppController::makeCurrent(DocumentWindow *window)
{
    const qsizetype index = m_windows.indexOf(window);
    if (index > 0)
        m_windows.move(index, 0);
    m_undoGroup.setActiveStack(window ? &window->document().undoStack() : nullptr);
    m_menus->setCurrentWindow(window);
    emit currentDocumentChanged(window ? &window->document() : nullptr);
}

bool AppController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        if (auto *window = qobject_cast<DocumentWindow *>(watched))
            makeCurrent(window);
    }
    return QObject::eventFilter(watched, event);
}

void AppController::windowDestroyed(QObject *window)
{
    // The destroyed object is no longer a DocumentWindow; compare addresses.
    m_windows.removeIf([window](const QPointer<DocumentWindow> &entry) {
        return entry.isNull() || static_cast<QObject *>(entry.data()) == window;
    });
    if (static_cast<QObject *>(m_menus->currentWindow()) == window || !m_menus->currentWindow())
        makeCurrent(m_windows.isEmpty() ? nullptr : m_windows.first().data());
    if (m_windows.isEmpty())
        emit lastDocumentClosed();
}

DocumentWindow *AppController::findWindowFor(const QString &path) const
{
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (DocumentWindow *window : documentWindows()) {
        const QString fileName = window->document().fileName();
        if (!fileName.isEmpty() && QFileInfo(fileName).absoluteFilePath() == wanted)
            return window;
    }
    return nullptr;
}

bool AppController::isPristineUntitled(DocumentWindow *window) const
{
    if (window == nullptr)
        return false;
    MyDocument &document = window->document();
    return document.fileName().isEmpty() && document.isEmpty() && !document.isModified() &&
           document.undoStack().count() == 0;
}

// --- menu commands -----------------------------------------------------------

void AppController::openDocumentClicked()
{
    const QString path = m_ui->chooseFileToOpen(tr("Open Document"), {MyDocument::fileExtension()});
    if (!path.isEmpty())
        openDocument(path);
}

void AppController::closeDocumentClicked()
{
    if (DocumentWindow *window = currentWindow())
        window->close();
}

void AppController::saveDocumentClicked()
{
    if (MyDocument *document = currentDocument())
        document->save();
}

void AppController::saveDocumentAsClicked()
{
    if (MyDocument *document = currentDocument())
        document->saveAs();
}

bool AppController::quitClicked()
{
    // The current document is asked first, then the others from the most
    // recently used.
    for (DocumentWindow *window : documentWindows()) {
        makeCurrent(window);
        if (!window->close())
            return false;
    }
    return true;
}

void AppController::showPreferencePanel()
{
    if (!m_preferences)
        m_preferences = std::make_unique<PreferenceController>(m_services.pickColor);
    m_preferences->windowDidLoad();
    m_preferences->show();
    m_preferences->raise();
    m_preferences->activateWindow();
}

void AppController::showAboutPanel()
{
    if (!m_about)
        m_about = std::make_unique<AboutDialog>();
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void AppController::showHelp(const QString &anchor)
{
    if (!m_help)
        m_help = std::make_unique<HelpWindow>();
    m_help->showAnchor(anchor);
}

void AppController::videoTutorials()
{
    openUrl(QUrl(m_services.links.tutorial.trimmed()));
}

void AppController::goToWebSite()
{
    openUrl(QUrl(m_services.links.webSite.trimmed()));
}

void AppController::sendEmail()
{
    openUrl(m_services.links.feedbackMailUrl());
}

void AppController::openUrl(const QUrl &url)
{
    if (url.isEmpty())
        return;
    if (m_services.openUrl)
        m_services.openUrl(url);
    else
        QDesktopServices::openUrl(url);
}

// --- wiring ------------------------------------------------------------------

void AppController::connectMenuActions()
{
    ApplicationMenus &menus = *m_menus;
    connect(menus.newAction, &QAction::triggered, this, [this] { newDocument(); });
    connect(menus.openAction, &QAction::triggered, this, &AppController::openDocumentClicked);
    connect(menus.closeAction, &QAction::triggered, this, &AppController::closeDocumentClicked);
    connect(menus.saveAction, &QAction::triggered, this, &AppController::saveDocumentClicked);
    connect(menus.saveAsAction, &QAction::triggered, this, &AppController::saveDocumentAsClicked);
    connect(menus.quitAction, &QAction::triggered, this, &AppController::quitClicked);
    const auto forCurrentWindow = [this](void (DocumentWindow::*command)()) {
        return [this, command] {
            if (DocumentWindow *window = currentWindow())
                (window->*command)();
        };
    };
    connect(menus.printAction, &QAction::triggered, this,
            forCurrentWindow(&DocumentWindow::printDocument));
    connect(menus.exportPdfAction, &QAction::triggered, this,
            forCurrentWindow(&DocumentWindow::exportAsPdf));
    connect(menus.customizeToolbarAction, &QAction::triggered, this,
            forCurrentWindow(&DocumentWindow::customizeToolbar));
    connect(menus.clearRecentAction, &QAction::triggered, m_recent, &RecentDocuments::clear);
    connect(menus.preferencesAction, &QAction::triggered, this,
            &AppController::showPreferencePanel);
    connect(menus.helpAction, &QAction::triggered, this, [this] { showHelp(); });
    connect(menus.tutorialAction, &QAction::triggered, this, &AppController::videoTutorials);
    connect(menus.webSiteAction, &QAction::triggered, this, &AppController::goToWebSite);
    connect(menus.feedbackAction, &QAction::triggered, this, &AppController::sendEmail);
    connect(menus.aboutAction, &QAction::triggered, this, &AppController::showAboutPanel);
}

void AppController::installWindowCommands()
{
    // The Data and Analysis menus offer the toolbar's commands too; they act
    // through the current window's own actions, so the window ends any cell
    // edit first exactly as for a toolbar click. The rules are the menu's,
    // which may differ from the toolbar's.
    const auto addWindowCommand = [this](QMenu *menu, ToolbarItem item, const char *name,
                                         EnablingRule rule) {
        m_menus->addDocumentCommand(menu, tr(describe(item).label), QLatin1String(name), rule,
                                    [item](DocumentWindow &window) {
                                        if (QAction *action = window.action(item))
                                            action->trigger();
                                    });
    };
    addWindowCommand(dataMenu(), ToolbarItem::AddCollection, "addCensusClicked",
                     EnablingRule::Always);
    addWindowCommand(dataMenu(), ToolbarItem::DeleteCollection, "removeCensusClicked",
                     EnablingRule::HasCensusData);
    addWindowCommand(dataMenu(), ToolbarItem::AddTaxon, "addSpeciesClicked",
                     EnablingRule::HasCensusData);
    addWindowCommand(dataMenu(), ToolbarItem::DeleteTaxon, "removeSpeciesClicked",
                     EnablingRule::HasTaxonData);
    dataMenu()->addSeparator();
    addWindowCommand(dataMenu(), ToolbarItem::TaxonList, "setTaxonList", EnablingRule::Always);

    addWindowCommand(analysisMenu(), ToolbarItem::CalculateMetrics, "calculateSampleMetrics",
                     EnablingRule::HasTaxonData);
    m_menus->addDocumentCommand(analysisMenu(), tr("Metrics for All Collections"),
                                QStringLiteral("metricsForAllCollectionsClicked"),
                                EnablingRule::HasTaxonData, [](DocumentWindow &window) {
                                    if (window.endEditing())
                                        window.document().metricsForAllCollections();
                                });
    analysisMenu()->addSeparator();
    addWindowCommand(analysisMenu(), ToolbarItem::IndividualRarefaction, "doRarefaction",
                     EnablingRule::HasTaxonData);
    addWindowCommand(analysisMenu(), ToolbarItem::Chao2, "doChao2",
                     EnablingRule::HasAtLeastThreeCensuses);
    addWindowCommand(analysisMenu(), ToolbarItem::SampleRarefaction, "doSampleBasedRarefaction",
                     EnablingRule::HasAtLeastThreeCensuses);
}

void AppController::rebuildOpenRecentMenu()
{
    QMenu *menu = m_menus->openRecentMenu();
    menu->clear(); // deletes the entries it owns; Clear Menu belongs to the menus
    const QStringList paths = m_recent->paths();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        QAction *action = menu->addAction(tr("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        action->setToolTip(QDir::toNativeSeparators(path));
        action->setStatusTip(QDir::toNativeSeparators(path));
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { openDocument(path); });
    }
    if (!paths.isEmpty())
        menu->addSeparator();
    menu->addAction(m_menus->clearRecentAction);
    m_menus->clearRecentAction->setEnabled(!paths.isEmpty());
    menu->setEnabled(!paths.isEmpty());
}

} // namespace quorvella
