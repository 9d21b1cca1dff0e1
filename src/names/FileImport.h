#pragma once

// The steps of an import that do not depend on where the file came from (the
// Import menu or a file dropped on a document window): read the file whole as
// UTF-8, check the text against its format, and add the records to a
// document as one undoable step.

#include "textio/CommunityTable.h"
#include "textio/ImportValidation.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvella {

class DocumentWindow;
class Ui;

// The extensions the open panel offers: "txt" and "csv".
QStringList importFileExtensions();
// The command's name, e.g. "Import Abundance List"; also the undo step's.
QString importCommandTitle(ImportFormat format);

// The whole file as UTF-8, or nothing after a warning that says why it could
// not be read (for text that is not UTF-8, where).
std::optional<std::string> readImportFile(Ui &ui, const QString &path);

// True when the text may be imported; otherwise the import alert with the
// fault (an empty text included) has been shown.
bool checkImportText(Ui &ui, ImportFormat format, const std::string &text);

// Adds the records of a checked text to the window's document as one undo
// step. After an abundance list or a one-collection table the last
// collection is selected; after a group the completion list becomes the
// group's species names.
void importTextIntoWindow(DocumentWindow &window, ImportFormat format, const std::string &text);

// The community-table import: its title (also the undo step's name), the
// extensions its open panel offers ("tsv", "txt", "csv"), the reading of the
// whole table (a fault is shown in the import alert, naming its line and
// column; a large text is read on another thread behind a progress dialog,
// and nothing is returned without an alert when the user cancels it; each
// name is held once, as the command line's import reads it) and the
// import of what was read, as one undo step, after which the first new
// collection is selected and the completion list holds the taxon names. A
// large table's records are made on another thread and put into the
// document a slice at a time, behind a progress dialog with Cancel; after
// Cancel the document is as it was and false is returned.
QString communityImportTitle();
QStringList communityFileExtensions();
std::shared_ptr<CommunityCounts> readCommunityText(Ui &ui,
                                                   const std::shared_ptr<const std::string> &text,
                                                   const CommunityOptions &options);
// Takes the counts (they are moved into the new records).
bool importCommunityIntoWindow(DocumentWindow &window, std::shared_ptr<CommunityCounts> table);

} // namespace quorvella
