#pragma once

// The document's print commands. File > Print… and the toolbar's Print item
// show the document report (DocumentReport) in a print preview, from which
// the user prints; "Export as PDF…" writes the same report to a PDF file.
// Both go through the document's Ui.

namespace quorvella {

class MyDocument;

void printDocument(MyDocument &document);
// False when the user cancelled or the file could not be written (the user
// has been told why).
bool exportDocumentAsPdf(MyDocument &document);

} // namespace quorvella
