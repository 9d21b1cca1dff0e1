#include "app/LayerCommands.h"

#include "app/AppController.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "names/DocumentWindowNames.h"
#include "names/ImportExportCommands.h"

#include <QCoreApplication>
#include <QMenu>

namespace quorvella {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("LayerCommands", text);
}

// The names layer: completion and the Tab flow in every document window,
// the three imports (always enabled: with no document open they make one),
// the three exports and the species-list commands.
void installNamesCommands(AppController &app)
{
    auto *commands = new ImportExportCommands(
        {[&app] { return app.currentWindow(); }, [&app] { return app.newDocument(); }, app.ui()},
        &app);
    // A window becomes current before it is first shown.
    QObject::connect(&app, &AppController::currentDocumentChanged, commands, [&app] {
        if (DocumentWindow *window = app.currentWindow())
            DocumentWindowNames::attach(*window);
    });

    using Command = void (ImportExportCommands::*)();
    struct Entry
    {
        QMenu *menu;
        const char *text;
        const char *name;
        Command command;
    };
    const Entry imports[] = {
        {app.importMenu(), "Abundance List...", "importAbundanceListClicked",
         &ImportExportCommands::importAbundanceListClicked},
        {app.importMenu(), "One Collection...", "importOneCollectionClicked",
         &ImportExportCommands::importOneCollectionClicked},
        {app.importMenu(), "Group of Collections...", "importGroupOfCollectionsClicked",
         &ImportExportCommands::importGroupOfCollectionsClicked},
    };
    for (const Entry &entry : imports) {
        QAction *action = entry.menu->addAction(translated(entry.text));
        action->setObjectName(QLatin1String(entry.name));
        QObject::connect(action, &QAction::triggered, commands, entry.command);
    }
    const Entry documentCommands[] = {
        {app.exportMenu(), "One Collection...", "exportOneCollectionClicked",
         &ImportExportCommands::exportOneCollectionClicked},
        {app.exportMenu(), "Group of Collections...", "exportGroupOfCollectionsClicked",
         &ImportExportCommands::exportGroupOfCollectionsClicked},
        {app.exportMenu(), "Metrics...", "exportMetricsClicked",
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

} // namespace

void installLayerCommands(AppController &app)
{
    // Menu, text, object name (the command's name), enabling rule, and what
    // runs on the current document's window, e.g.
    //
    //   app.menus().addDocumentCommand(app.analysisMenu(),
    //       QObject::tr("Individual Rarefaction for All Collections"),
    //       QStringLiteral("individualBasedRarefactionForAllCollectionsClicked"),
    //       EnablingRule::HasAtLeastThreeCensuses,
    //       [](DocumentWindow &window) { ... });
    //
    // Entries expected here, with their rules:
    //   File > Import: abundance list, one collection, group of collections (Always)
    //   File > Export: one collection, group of collections, metrics (HasTaxonData)
    //   Data: Update Autocompletion List, Build Species List (HasTaxonData)
    //   Analysis: Individual Rarefaction for All Collections (HasAtLeastThreeCensuses)
    // Empty submenus stay hidden until a command joins them.
    installNamesCommands(app);
}

} // namespace quorvella
