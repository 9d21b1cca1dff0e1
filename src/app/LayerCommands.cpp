#include "app/LayerCommands.h"

#include "app/AppController.h"
#include "app/ExampleData.h"
#include "app/StartHint.h"
#include "document/DocumentWindow.h"
#include "names/DocumentWindowNames.h"
#include "names/ImportExportCommands.h"
#include "names/TableClipboard.h"
#include "plot/DiversityCommands.h"
#include "plot/RarefactionCommands.h"
#include "plot/RichnessEstimatorsWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QMenu>

namespace quorvella {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("LayerCommands", text);
}

// The names layer: the three imports (always enabled: with no document open
// they make one), the three exports and the species-list commands.
void installNamesCommands(AppController &app)
{
    // Owned by the controller; it finds the current window when it runs.
    auto *commands = new ImportExportCommands(
        {[&app] { return app.currentWindow(); }, [&app] { return app.newDocument(); }, app.ui()},
        &app);

    using Command = void (ImportExportCommands::*)();
    struct Entry
    {
        QMenu *menu;
        const char *text;
        const char *name;
        Command command;
    };
    const Entry imports[] = {
        {app.importMenu(), "Abundance List…", "importAbundanceListClicked",
         &ImportExportCommands::importAbundanceListClicked},
        {app.importMenu(), "One Collection…", "importOneCollectionClicked",
         &ImportExportCommands::importOneCollectionClicked},
        {app.importMenu(), "Group of Collections…", "importGroupOfCollectionsClicked",
         &ImportExportCommands::importGroupOfCollectionsClicked},
        {app.importMenu(), "Community Table…", "importCommunityTableClicked",
         &ImportExportCommands::importCommunityTableClicked},
    };
    for (const Entry &entry : imports) {
        QAction *action = entry.menu->addAction(translated(entry.text));
        action->setObjectName(QLatin1String(entry.name));
        QObject::connect(action, &QAction::triggered, commands, entry.command);
    }
    const Entry documentCommands[] = {
        {app.exportMenu(), "One Collection…", "exportOneCollectionClicked",
         &ImportExportCommands::exportOneCollectionClicked},
        {app.exportMenu(), "Group of Collections…", "exportGroupOfCollectionsClicked",
         &ImportExportCommands::exportGroupOfCollectionsClicked},
        {app.exportMenu(), "Metrics…", "exportMetricsClicked",
         &ImportExportCommands::exportMetricsClicked},
        {app.dataMenu(), "Update Autocompletion List", "updateAutocompletionListClicked",
         &ImportExportCommands::updateAutocompletionListClicked},
        {app.dataMenu(), "Build Species List", "buildSpeciesListClicked",
         &ImportExportCommands::buildSpeciesListClicked},
    };
    for (const Entry &entry : documentCommands) {
        app.menus().addDocumentCommand(
            entry.menu, translated(entry.text), QLatin1String(entry.name),
            EnablingRule::HasTaxonData,
            [commands, command = entry.command](DocumentWindow &) { (commands->*command)(); });
    }
}

// Copy and Paste of table rows, between Redo and Preferences in the Edit
// menu; they act on the focused table of the current document window.
void installClipboardCommands(AppController &app)
{
    QAction *copy = app.menus().addDocumentCommand(
        app.menus().editMenu(), translated("&Copy"), QStringLiteral("copyRows"),
        EnablingRule::HasCensusData,
        [](DocumentWindow &window) { copyToClipboard(window, *QApplication::clipboard()); });
    QAction *paste = app.menus().addDocumentCommand(
        app.menus().editMenu(), translated("&Paste"), QStringLiteral("pasteRows"),
        EnablingRule::Always,
        [](DocumentWindow &window) { pasteFromClipboard(window, *QApplication::clipboard()); });
    copy->setShortcut(QKeySequence::Copy);
    paste->setShortcut(QKeySequence::Paste);
    QAction *preferences = app.menus().preferencesAction;
    for (QAction *action : {copy, paste}) {
        app.menus().editMenu()->removeAction(action);
        app.menus().editMenu()->insertAction(preferences, action);
    }
    app.menus().editMenu()->insertSeparator(preferences);
}

// The plot layer: the pooled rarefaction of all collections and the
// richness estimators window. The toolbar's
// own rarefaction and Chao-2 commands reach the Analysis menu through the
// window's actions (AppController::installWindowCommands).
void installPlotCommands(AppController &app)
{
    app.analysisMenu()->addSeparator();
    app.menus().addDocumentCommand(
        app.analysisMenu(), translated("Individual Rarefaction for All Collections"),
        QStringLiteral("individualBasedRarefactionForAllCollectionsClicked"),
        EnablingRule::HasAtLeastThreeCensuses, [](DocumentWindow &window) {
            RarefactionCommands::of(window).individualBasedRarefactionForAllCollections();
        });
    app.menus().addDocumentCommand(app.analysisMenu(), translated("Richness Estimators\u2026"),
                                   QStringLiteral("richnessEstimatorsClicked"),
                                   EnablingRule::HasCensusData, [](DocumentWindow &window) {
                                       if (window.endEditing()) {
                                           RichnessEstimatorsWindow::showFor(window);
                                       }
                                   });
    app.menus().addDocumentCommand(
        app.analysisMenu(), translated("Compare Diversity…"), QStringLiteral("compareDiversity"),
        EnablingRule::HasCountedTaxa,
        [](DocumentWindow &window) { DiversityCommands::of(window).compareDiversity(); });
    DiversityCommands::allowToolbarItem();
}

} // namespace

void installLayerCommands(AppController &app)
{
    installNamesCommands(app);
    installClipboardCommands(app);
    installPlotCommands(app);
}

void equipDocumentWindow(DocumentWindow &window)
{
    // Completion and the Tab flow of the two tables, "Set Species List" and
    // dropped files; the rarefaction and Chao-2 toolbar commands.
    DocumentWindowNames::attach(window);
    RarefactionCommands::attach(window);
    DiversityCommands::attachToolbarAction(window);
    // Over the collection table of the names layer: how to begin.
    StartHint::attach(window, exampleDocumentPath());
}

} // namespace quorvella
