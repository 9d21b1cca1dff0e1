#include "app/ApplicationMenus.h"

#include "app/HelpLinks.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoGroup>

namespace quorvella {

bool isEnabledBy(EnablingRule rule, const MyDocument *document)
{
    if (document == nullptr)
        return false;
    switch (rule) {
    case EnablingRule::Always:
        return true;
    case EnablingRule::HasCensusData:
        return document->hasCensusData();
    case EnablingRule::HasTaxonData:
        return document->hasTaxonData();
    case EnablingRule::HasAtLeastThreeCensuses:
        return document->hasAtLeastThreeCensuses();
    case EnablingRule::HasCountedTaxa:
        return document->hasCountedTaxa();
    }
    return false;
}

namespace {

QAction *makeAction(QMenu *menu, const QString &text, const char *name,
                    const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

} // namespace

ApplicationMenus::ApplicationMenus(QUndoGroup &undoGroup, const HelpLinks &links, QObject *parent)
    : QObject(parent), m_file(new QMenu(tr("&File"))), m_openRecent(new QMenu(tr("Open &Recent"))),
      m_import(new QMenu(tr("&Import"))), m_export(new QMenu(tr("&Export"))),
      m_edit(new QMenu(tr("&Edit"))), m_view(new QMenu(tr("&View"))),
      m_data(new QMenu(tr("&Data"))), m_analysis(new QMenu(tr("&Analysis"))),
      m_help(new QMenu(tr("&Help")))
{
    buildFileMenu();
    buildEditMenu(undoGroup);
    customizeToolbarAction =
        track(makeAction(m_view.get(), tr("Customize &Toolbar\u2026"), "customizeToolbar"),
              EnablingRule::Always);
    buildHelpMenu(links);
    // Keep the enabling true whenever a menu opens, whatever happened since.
    for (QMenu *menu : {m_file.get(), m_edit.get(), m_data.get(), m_analysis.get(), m_import.get(),
                        m_export.get()})
        connect(menu, &QMenu::aboutToShow, this, &ApplicationMenus::updateDocumentCommands);
}

ApplicationMenus::~ApplicationMenus() = default;

void ApplicationMenus::buildFileMenu()
{
    QMenu *file = m_file.get();
    newAction = makeAction(file, tr("&New"), "newDocument", QKeySequence::New);
    openAction = makeAction(file, tr("&Open…"), "openDocument", QKeySequence::Open);
    m_openRecent->menuAction()->setObjectName(QStringLiteral("openRecent"));
    file->addMenu(m_openRecent.get());
    clearRecentAction = new QAction(tr("&Clear Menu"), this);
    clearRecentAction->setObjectName(QStringLiteral("clearRecent"));
    file->addSeparator();
    closeAction = track(makeAction(file, tr("&Close"), "closeDocument", QKeySequence::Close),
                        EnablingRule::Always);
    saveAction = track(makeAction(file, tr("&Save"), "saveDocument", QKeySequence::Save),
                       EnablingRule::Always);
    saveAsAction =
        track(makeAction(file, tr("Save &As…"), "saveDocumentAs", QKeySequence(tr("Ctrl+Shift+S"))),
              EnablingRule::Always);
    file->addSeparator();
    file->addMenu(m_import.get());
    file->addMenu(m_export.get());
    file->addSeparator();
    exportPdfAction =
        track(makeAction(file, tr("Export as P&DF\u2026"), "exportAsPdf"), EnablingRule::Always);
    printAction = track(makeAction(file, tr("&Print\u2026"), "printDocument", QKeySequence::Print),
                        EnablingRule::Always);
    file->addSeparator();
    quitAction = makeAction(file, tr("&Quit"), "quit", QKeySequence::Quit);
    quitAction->setMenuRole(QAction::QuitRole);
    // Commands that need no document work from any window of the
    // application (the help window, a plot window), not only from a
    // document window whose menu bar holds them.
    for (QAction *action : {newAction, openAction, quitAction})
        action->setShortcutContext(Qt::ApplicationShortcut);
}

void ApplicationMenus::buildEditMenu(QUndoGroup &undoGroup)
{
    QMenu *edit = m_edit.get();
    undoAction = undoGroup.createUndoAction(this, tr("&Undo"));
    undoAction->setObjectName(QStringLiteral("undo"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = undoGroup.createRedoAction(this, tr("&Redo"));
    redoAction->setObjectName(QStringLiteral("redo"));
    redoAction->setShortcut(QKeySequence::Redo);
    edit->addAction(undoAction);
    edit->addAction(redoAction);
    edit->addSeparator();
    preferencesAction =
        makeAction(edit, tr("&Preferences…"), "preferences", QKeySequence(tr("Ctrl+,")));
    preferencesAction->setMenuRole(QAction::PreferencesRole);
    preferencesAction->setShortcutContext(Qt::ApplicationShortcut);
}

void ApplicationMenus::buildHelpMenu(const HelpLinks &links)
{
    QMenu *help = m_help.get();
    helpAction = makeAction(help, tr("Quorvella &Help"), "help", QKeySequence::HelpContents);
    helpAction->setShortcutContext(Qt::ApplicationShortcut);
    tutorialAction = makeAction(help, tr("&Tutorial"), "tutorial");
    webSiteAction = makeAction(help, tr("Quorvella &Web Site"), "webSite");
    feedbackAction = makeAction(help, tr("Send &Feedback…"), "sendFeedback");
    // The deployer decides which addresses exist; an item without one would
    // lead nowhere.
    tutorialAction->setVisible(!links.tutorial.trimmed().isEmpty());
    webSiteAction->setVisible(!links.webSite.trimmed().isEmpty());
    feedbackAction->setVisible(!links.feedbackMailUrl().isEmpty());
    help->addSeparator();
    aboutAction = makeAction(help, tr("&About Quorvella"), "about");
    aboutAction->setMenuRole(QAction::AboutRole);
}

void ApplicationMenus::installIn(QMenuBar *menuBar) const
{
    for (QMenu *menu :
         {m_file.get(), m_edit.get(), m_view.get(), m_data.get(), m_analysis.get(), m_help.get()})
        menuBar->addMenu(menu);
}

QAction *ApplicationMenus::track(QAction *action, EnablingRule rule)
{
    m_documentCommands.push_back({action, rule});
    action->setEnabled(isEnabledBy(rule, m_current ? &m_current->document() : nullptr));
    return action;
}

QAction *ApplicationMenus::addDocumentCommand(QMenu *menu, const QString &text, const QString &name,
                                              EnablingRule rule, DocumentCommand command)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, run = std::move(command)] {
        // The enabling may be stale (a shortcut pressed right after a
        // change); a command without a document has nothing to act on.
        if (m_current)
            run(*m_current);
    });
    menu->menuAction()->setVisible(true);
    return track(action, rule);
}

void ApplicationMenus::setCurrentWindow(DocumentWindow *window)
{
    m_current = window;
    updateDocumentCommands();
}

DocumentWindow *ApplicationMenus::currentWindow() const
{
    return m_current;
}

void ApplicationMenus::updateDocumentCommands()
{
    const MyDocument *document = m_current ? &m_current->document() : nullptr;
    for (const Registered &command : m_documentCommands)
        command.action->setEnabled(isEnabledBy(command.rule, document));
}

void ApplicationMenus::hideEmptySubmenus()
{
    for (QMenu *menu : {m_import.get(), m_export.get()})
        menu->menuAction()->setVisible(!menu->isEmpty());
}

} // namespace quorvella
