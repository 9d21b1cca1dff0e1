#pragma once

// The place where layers above the document add their menu commands:
// the plot layer its "Individual Rarefaction for All Collections", the
// names layer the imports, the exports, "Update Autocompletion List" and
// "Build Species List". Each adds its entries in LayerCommands.cpp with
// AppController::menus().addDocumentCommand on the menu it belongs to, so
// the menus' construction never changes for it.

namespace quorvella {

class AppController;

void installLayerCommands(AppController &app);

} // namespace quorvella
