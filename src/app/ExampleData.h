#pragma once

// Where the program finds its example data: share/quorvella/examples beside
// the folder of the program (an installed program, /usr/bin/quorvella ->
// /usr/share/quorvella/examples), or the source tree's resources/examples for
// a program run from its build folder.

#include <QString>

namespace quorvella {

// The example document forams.qvl, or empty when neither place holds it.
QString exampleDocumentPath();

// The same search from a given program folder (for tests).
QString exampleDocumentPathFrom(const QString &programFolder);

} // namespace quorvella
