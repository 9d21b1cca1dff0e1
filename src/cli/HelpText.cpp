#include "cli/HelpText.h"

#ifndef QUORVELLA_VERSION
#error "QUORVELLA_VERSION must be defined by the build"
#endif

namespace quorvella::cli {
namespace {

constexpr const char *kSynopsis =
    "    quorvella-cli metrics       [--format F] [--sample-size N] [--json] INPUT\n"
    "    quorvella-cli rarefy        [--format F] [--collection NAME | --pooled]\n"
    "                                [--size M] [--json] INPUT\n"
    "    quorvella-cli sample-rarefy [--format F] [--json] INPUT\n"
    "    quorvella-cli chao2         [--format F] [--json] INPUT\n"
    "    quorvella-cli validate      --format F FILE\n"
    "    quorvella-cli import        --format F FILE... --into DOCUMENT\n"
    "    quorvella-cli export        (metrics | group | collection NAME |\n"
    "                                species-list) [--output FILE] DOCUMENT\n"
    "    quorvella-cli --help | --version\n";

constexpr const char *kDescription = R"(
DESCRIPTION
    Computes the diversity measures, rarefactions and Chao-2 estimate of
    Quorvella documents and import text files, imports text files into
    documents and exports documents as comma-separated text, without the
    desktop application. Results are the ones the application shows.

    INPUT is a Quorvella document (recognised by its content) or a text file
    in one of the three import formats, named with --format:
        list     abundance list: whole numbers above zero, separated by
                 spaces, commas, tabs or line ends; one collection
        table    one-collection table: one "name,abundance" row per taxon
        matrix   collection-group matrix: a header row of species names,
                 then one row per collection: its name and one abundance
                 per species
    A text file is checked whole before anything is computed; a fault is
    reported exactly as the application's import reports it.

COMMANDS
    metrics
        The measures of every collection, computed from the taxa that have
        an abundance and are included: richness, census size, Buzas-Gibson
        E, Chao-1, Shannon's H, Simpson's D, Peters' Ess, Pielou's J,
        Hurlbert's PIE and the richness rarefied to --sample-size N
        specimens (default 50). Prints the metrics table as the
        application exports it, one line per collection. A collection too
        large to rarefy (over 16777216 specimens) is printed without its
        rarefied richness (null in JSON), and the run ends with status 1.

    rarefy
        The individual-based rarefaction curve of one collection: the
        input's only collection, the first collection named NAME
        (--collection NAME), or all collections pooled by taxon name
        (--pooled). With --size M, the single point for M specimens.
        Prints the plot data table "n,E,Var,lower95,upper95,lower99,upper99".

    sample-rarefy
        The sample-based rarefaction curve over all collections (one point
        per number of collections) and, with --json, the Chao-2 estimate.

    chao2
        The Chao-2 estimate of total richness over all collections, as the
        line "Chao-2: x".

    validate
        Checks FILE against its import format. Prints nothing for a valid
        file; otherwise prints the fault.

    import
        Adds the collections of each FILE to DOCUMENT, which is created when
        it does not exist, exactly as the application's import commands do.
        Every file is checked before the document is touched; the document
        is saved atomically.

    export
        Writes the application's export of DOCUMENT: the table of stored
        metrics (metrics), the taxa-by-collections matrix (group), the taxa
        of the first collection named NAME (collection NAME), or every
        distinct taxon name, one per line (species-list). The tables end
        their lines with carriage returns and are ASCII; a character
        outside ASCII is reported with its position and nothing is written.

OPTIONS
    --format F          list, table or matrix: the format of a text INPUT or
                        FILE
    --json              print the result as one JSON document; numbers carry
                        every digit of the double that was computed;
                        infinity and not-a-number appear as the strings
                        "inf", "-inf" and "nan"
    --sample-size N     metrics: rarefy each collection to N specimens
                        (default 50)
    --collection NAME   rarefy: the first collection named NAME
    --pooled            rarefy: all collections pooled into one
    --size M            rarefy: only the point for M specimens
    --into DOCUMENT     import: the document that receives the collections
    --output FILE       export: write to FILE (atomically) instead of
                        standard output
    --help, -h          print this manual
    --version           print the version

JSON OUTPUT
    metrics         [{"name", "richness", "censusSize", "buzasGibsonE",
                      "chao1", "shannonH", "simpsonD", "petersEss",
                      "pielouJ", "hurlbertPIE", "rarefiedRichness",
                      "sampleSize"}, ...]
    rarefy          [{"n", "E", "Var", "lower95", "upper95", "lower99",
                      "upper99"}, ...]
    sample-rarefy   {"chao2": x, "curve": [points as for rarefy]}
    chao2           {"chao2": x}

EXIT STATUS
    0   success
    1   bad input or a failed write; the reason is printed on standard error
    2   usage error; the reason and the synopsis are printed on standard
        error

EXAMPLES
    Check a file, then compute its measures:
        quorvella-cli validate --format matrix forams.csv
        quorvella-cli metrics --format matrix --json forams.csv

    Build a document from several files and export its matrix:
        quorvella-cli import --format table a.txt b.txt --into survey.qvl
        quorvella-cli export group --output survey.csv survey.qvl
)";

} // namespace

std::string helpText()
{
    return std::string("NAME\n"
                       "    quorvella-cli - diversity measures and rarefaction of counted\n"
                       "    collections, from the command line\n"
                       "\n"
                       "SYNOPSIS\n") +
           kSynopsis + kDescription;
}

std::string usageText()
{
    return std::string("usage:\n") + kSynopsis + "Run 'quorvella-cli --help' for the manual.\n";
}

std::string versionText()
{
    return std::string("quorvella-cli ") + QUORVELLA_VERSION + "\n";
}

} // namespace quorvella::cli
