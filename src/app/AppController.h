#pragma once

// The one application-wide object. It opens documents, each in a window of
// its own; knows the current document (the one of the active document
// window); carries the File, Edit, Data, Analysis and Help menus and
// enables their items by the current document; and opens the preferences,
// the help window and the about panel.
//
// On Linux an application without windows has no way back to the front, so
// when the last document window has closed (after each document's
// save-changes question) the controller emits lastDocumentClosed and main
// ends the event loop.

#include "app/ApplicationMenus.h"
#include "app/HelpLinks.h"
#include "app/PreferenceController.h"
#include "document/Ui.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUndoGroup>
#include <QUrl>
#include <functional>
#include <memory>

class QMenu;

namespace quorvella {

class AboutDialog;
class DocumentWindow;
class HelpWindow;
class MyDocument;
class RecentDocuments;

class AppController final : public QObject
{
    Q_OBJECT
public:
    // Makes the Ui of each new document (and of the controller's own open
    // panel): QtUi in the application, a scripted Ui in tests.
    using UiFactory = std::function<std::shared_ptr<Ui>()>;
    // Opens a web page or a new mail message in the user's programs.
    using UrlOpener = std::function<void(const QUrl &)>;

    struct Services
    {
        UiFactory makeUi;
        HelpLinks links = HelpLinks::fromBuild();
        ColorPicker pickColor = colorDialogPicker();
        UrlOpener openUrl;
    };

    explicit AppController(Services services, QObject *parent = nullptr);
    ~AppController() override;

    // `quorvella [DOCUMENT...]`: opens the given documents; when none is
    // given or none could be opened, an untitled document.
    void openStartupDocuments(const QStringList &paths);

    // --- documents -----------------------------------------------------

    QList<DocumentWindow *> documentWindows() const;
    DocumentWindow *currentWindow() const;
    MyDocument *currentDocument() const;

    // A new untitled document in a new window, which becomes current.
    DocumentWindow *newDocument();
    // Opens the document file at path, or brings its window to the front
    // when it is open already. Null when it could not be read (the user has
    // been told why).
    DocumentWindow *openDocument(const QString &path);

    // --- menu commands ---------------------------------------------------

    void openDocumentClicked();
    void closeDocumentClicked();
    void saveDocumentClicked();
    void saveDocumentAsClicked();
    // Closes every document window, asking for each untitled document with
    // content. Stops at the first Cancel and answers false.
    bool quitClicked();

    void showPreferencePanel();
    void showAboutPanel();
    void showHelp(const QString &anchor = {});
    void videoTutorials();
    void goToWebSite();
    void sendEmail();

    // --- the menus, for other layers to add their commands ------------

    ApplicationMenus &menus() { return *m_menus; }
    QMenu *fileMenu() const { return m_menus->fileMenu(); }
    QMenu *importMenu() const { return m_menus->importMenu(); }
    QMenu *exportMenu() const { return m_menus->exportMenu(); }
    QMenu *dataMenu() const { return m_menus->dataMenu(); }
    QMenu *analysisMenu() const { return m_menus->analysisMenu(); }
    QMenu *helpMenu() const { return m_menus->helpMenu(); }

    // The Ui of the controller's own panels and alerts, for commands that
    // run while no document is open.
    std::shared_ptr<Ui> ui() const { return m_ui; }

    RecentDocuments &recentDocuments() { return *m_recent; }
    // Created on first use and kept.
    PreferenceController *preferenceController() const { return m_preferences.get(); }
    AboutDialog *aboutPanel() const { return m_about.get(); }
    HelpWindow *helpWindow() const { return m_help.get(); }

signals:
    void currentDocumentChanged(quorvella::MyDocument *document);
    void lastDocumentClosed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DocumentWindow *addWindow(MyDocument *document);
    void makeCurrent(DocumentWindow *window);
    void fitToolBar(DocumentWindow *window);
    void windowDestroyed(QObject *window);
    DocumentWindow *findWindowFor(const QString &path) const;
    bool isPristineUntitled(DocumentWindow *window) const;
    void connectMenuActions();
    void installWindowCommands();
    void rebuildOpenRecentMenu();
    void openUrl(const QUrl &url);

    Services m_services;
    std::shared_ptr<Ui> m_ui;
    QUndoGroup m_undoGroup;
    std::unique_ptr<ApplicationMenus> m_menus;
    RecentDocuments *m_recent;
    // Most recently active first.
    QList<QPointer<DocumentWindow>> m_windows;
    std::unique_ptr<PreferenceController> m_preferences;
    std::unique_ptr<AboutDialog> m_about;
    std::unique_ptr<HelpWindow> m_help;
};

} // namespace quorvella
