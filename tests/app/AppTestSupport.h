#pragma once

// Shared set-up of the application tests: settings kept apart from the
// user's, an AppController whose documents answer through one scripted Ui,
// and documents filled through their own commands.

#include "app/AppController.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QEvent>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <memory>

namespace quorvella::test {

// Call once, in initTestCase: QSettings then writes below ~/.qttest.
inline void useTestSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("QuorvellaTest"));
    // One settings file per test program: ctest runs programs side by side,
    // and one program emptying a shared file lost another's settings.
    QCoreApplication::setApplicationName(
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    QSettings().clear();
}

struct App
{
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    QList<QUrl> openedUrls;
    std::unique_ptr<AppController> controller;

    explicit App(HelpLinks links = {})
    {
        AppController::Services services;
        services.makeUi = [ui = ui] { return ui; };
        services.links = std::move(links);
        services.pickColor = [](const QColor &, QWidget *) { return QColor(); };
        services.openUrl = [this](const QUrl &url) { openedUrls.append(url); };
        controller = std::make_unique<AppController>(std::move(services));
    }

    AppController *operator->() const { return controller.get(); }

    // The menu action with this object name, searched in every menu.
    QAction *action(const QString &name) const
    {
        for (QMenu *menu :
             {controller->fileMenu(), controller->menus().editMenu(), controller->dataMenu(),
              controller->analysisMenu(), controller->helpMenu(), controller->importMenu(),
              controller->exportMenu(), controller->menus().openRecentMenu()}) {
            for (QAction *candidate : menu->actions()) {
                if (candidate->objectName() == name)
                    return candidate;
            }
        }
        return nullptr;
    }
};

// Adds `collections` collections; the last `withTaxa` of them get one
// species each. The last collection stays selected.
inline void fill(MyDocument &document, int collections, int withTaxa)
{
    for (int i = 0; i < collections; ++i) {
        document.addCollection();
        if (i >= collections - withTaxa)
            document.addTaxon();
    }
}

// Runs the deferred deletions of closed windows.
inline void processDeletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace quorvella::test
