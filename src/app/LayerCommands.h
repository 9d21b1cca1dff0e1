#pragma once

// What the layers above the document add to the application: the names
// layer (completion, Tab flow, imports, exports, species list) and the plot
// layer (rarefaction and Chao-2 commands with their plot windows).
//
// installLayerCommands adds their menu entries once, through
// ApplicationMenus::addDocumentCommand; equipDocumentWindow gives each new
// document window what those layers attach to it. A layer's new command is
// one more entry here; the menus' construction never changes for it.

namespace quorvella {

class AppController;
class DocumentWindow;

void installLayerCommands(AppController &app);

void equipDocumentWindow(DocumentWindow &window);

} // namespace quorvella
