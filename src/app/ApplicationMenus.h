#pragma once

// The application's menus: File, Edit, Data, Analysis and Help, shared by
// every document window's menu bar. The menus hold the actions; the
// AppController connects them to what they do.
//
// Commands that act on the current document are registered with
// addDocumentCommand, together with what they need of the document (the
// same rules as the toolbar's); updateDocumentCommands enables them for the
// current document, or disables them all when there is none. Other layers
// add their commands this way (see LayerCommands.cpp) without touching the
// menus' construction.

#include "document/ToolbarItem.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QUndoGroup;

namespace quorvella {

class DocumentWindow;
class MyDocument;
struct HelpLinks;

// Whether `document` satisfies `rule`; false without a document.
bool isEnabledBy(EnablingRule rule, const MyDocument *document);

class ApplicationMenus final : public QObject
{
    Q_OBJECT
public:
    using DocumentCommand = std::function<void(DocumentWindow &window)>;

    // Undo and Redo come from `undoGroup`; the Help items whose address is
    // empty in `links` are left out.
    ApplicationMenus(QUndoGroup &undoGroup, const HelpLinks &links, QObject *parent = nullptr);
    ~ApplicationMenus() override;

    QMenu *fileMenu() const { return m_file.get(); }
    QMenu *openRecentMenu() const { return m_openRecent.get(); }
    QMenu *importMenu() const { return m_import.get(); }
    QMenu *exportMenu() const { return m_export.get(); }
    QMenu *editMenu() const { return m_edit.get(); }
    QMenu *viewMenu() const { return m_view.get(); }
    QMenu *dataMenu() const { return m_data.get(); }
    QMenu *analysisMenu() const { return m_analysis.get(); }
    QMenu *helpMenu() const { return m_help.get(); }

    // Adds the menus, in order, to a window's menu bar.
    void installIn(QMenuBar *menuBar) const;

    // Appends a command to `menu` that runs on the current document's
    // window, enabled while the current document satisfies `rule`. The
    // action's object name is `name` (used by tests and shortcuts).
    QAction *addDocumentCommand(QMenu *menu, const QString &text, const QString &name,
                                EnablingRule rule, DocumentCommand command);

    // The window whose document the commands act on (may be none).
    void setCurrentWindow(DocumentWindow *window);
    DocumentWindow *currentWindow() const;

    // Re-evaluates every document command for the current document.
    void updateDocumentCommands();

    // Hides submenus that hold nothing (e.g. Import before any import
    // command is registered).
    void hideEmptySubmenus();

    // The fixed actions, connected by the AppController.
    QAction *newAction, *openAction, *clearRecentAction, *closeAction, *saveAction, *saveAsAction,
        *quitAction;
    QAction *printAction, *exportPdfAction, *customizeToolbarAction;
    QAction *undoAction, *redoAction, *preferencesAction;
    QAction *helpAction, *tutorialAction, *webSiteAction, *feedbackAction, *aboutAction;

private:
    struct Registered
    {
        QAction *action;
        EnablingRule rule;
    };

    QAction *track(QAction *action, EnablingRule rule);
    void buildFileMenu();
    void buildEditMenu(QUndoGroup &undoGroup);
    void buildHelpMenu(const HelpLinks &links);

    std::unique_ptr<QMenu> m_file, m_openRecent, m_import, m_export, m_edit, m_view, m_data,
        m_analysis, m_help;
    std::vector<Registered> m_documentCommands;
    QPointer<DocumentWindow> m_current;
};

} // namespace quorvella
