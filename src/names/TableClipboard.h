#pragma once

// Copy and paste between the document window's two tables and spreadsheets.
//
// Copy puts the selected rows on the clipboard as tab-separated text
// (textio/TabText.h): the species table's names and abundances, or the
// collection table's names and stored measures under a header row. Paste
// reads with the import readers: into the species table, rows of name and
// abundance (tab, comma or semicolon between them; a lone column of numbers
// is an abundance list of unnamed taxa) become taxa of the selected
// collection; into the collection table, a block whose first row names the
// species becomes one collection per further row, as the matrix import
// makes them. A paste is checked whole first and is one undo step; a refused
// paste adds nothing and shows the import alert naming the row and field.

#include <QString>
#include <string>

class QClipboard;

namespace quorvella {

class DocumentWindow;
class MyDocument;

enum class ClipboardTable { Collections, Species };

// The table Copy and Paste act on: the species table when it (or a cell
// editor in it) holds the window's focus, the collection table otherwise.
ClipboardTable focusedTable(const DocumentWindow &window);

// The selected rows of a table in display order; empty when none is selected.
std::string copiedRowsText(MyDocument &document, ClipboardTable table);

// Adds the text's rows to the window's document (see above). Returns whether
// anything was added.
bool pasteRows(DocumentWindow &window, ClipboardTable table, const std::string &text);

// Edit > Copy and Edit > Paste on the window's focused table.
void copyToClipboard(DocumentWindow &window, QClipboard &clipboard);
void pasteFromClipboard(DocumentWindow &window, const QClipboard &clipboard);

} // namespace quorvella
