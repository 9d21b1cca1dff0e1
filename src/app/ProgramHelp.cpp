#include "app/ProgramHelp.h"

#ifndef QUORVELLA_VERSION
#error "QUORVELLA_VERSION must be defined by the build"
#endif

namespace quorvella {

std::string programHelpText()
{
    return R"(NAME
    quorvella - diversity measures and rarefaction of counted collections
    of specimens

SYNOPSIS
    quorvella [DOCUMENT...]
    quorvella --help | --version

DESCRIPTION
    The desktop application. Opens each DOCUMENT (a .qvl file) in a window
    of its own, or a new untitled document when none is given.

    A document holds collections (samples), each with its taxa and their
    abundances, typed into two tables, imported from text files (File >
    Import) or pasted from a spreadsheet (Edit > Paste). Quorvella computes
    the diversity measures of each collection, individual- and
    sample-based rarefaction curves with their confidence bands and the
    Chao-2 estimate, draws the curves and exports comma-separated text.
    Documents save themselves shortly after every change.

    The user guide is in the application, under Help > Quorvella Help.

OPTIONS
    --help, -h      print this manual
    --version       print the version
    Qt's own options (for example -platform NAME or -style NAME) are
    accepted as well.

FILES
    share/quorvella/examples under the installation prefix
    (/usr/share/quorvella/examples for the Debian package)
        The example data: forams.qvl, a document, and the import files
        forams-matrix.csv, forams-core-top.csv and forams-abundances.txt.
        A new, empty window offers to open the example.

    ~/.config/Quorvella/Quorvella.conf
        The preferences and the list of recent documents.

SEE ALSO
    quorvella-cli(1), the same computations and exports from the command
    line.
)";
}

std::string programVersionText()
{
    return std::string("quorvella ") + QUORVELLA_VERSION + "\n";
}

} // namespace quorvella
