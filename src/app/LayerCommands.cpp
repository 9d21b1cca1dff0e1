#include "app/LayerCommands.h"

#include "app/AppController.h"

namespace quorvella {

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
    (void)app;
}

} // namespace quorvella
