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
    "    quorvella-cli diversity     [--format F] [--collection NAME | --pooled |\n"
    "                                --incidence] [--q 0,1,2] [--sizes M,...]\n"
    "                                [--endpoint M] [--knots K] [--coverage C,...]\n"
    "                                [--bootstrap B] [--seed S] [--level L]\n"
    "                                [--json] INPUT\n"
    "    quorvella-cli estimators    [--format F] [--level 95|99] [--json] INPUT\n"
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
    in one of the import formats, named with --format:
        list     abundance list: whole numbers above zero, separated by
                 spaces, commas, tabs or line ends; one collection
        table    one-collection table: one "name,abundance" row per taxon
        matrix   collection-group matrix: a header row of species names,
                 then one row per collection: its name and one abundance
                 per species
        community  taxa as rows, samples as columns, tab-separated, as
                 sequencing pipelines write it; "#" comment lines and a
                 trailing text column (taxonomy) are left out; each
                 sample becomes a collection
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

    diversity
        Hill numbers of order q = 0 (richness), 1 (the exponential of
        Shannon entropy) and 2 (inverse Simpson) for samples of unequal
        size: interpolated (rarefied) below and extrapolated above each
        reference sample, the sample coverage at each size, the asymptotic
        estimates and, with --coverage, the estimates at equal coverage.
        Each collection of INPUT is one assemblage, in store order; or the
        first collection named NAME (--collection NAME); or all collections
        pooled (--pooled); with --incidence the collections are the
        sampling units of one assemblage. Sizes count individuals (sampling
        units with --incidence): 40 knots up to twice the reference size
        (--knots K, --endpoint M) or the sizes given (--sizes). Standard
        errors come from B bootstrap replicates (--bootstrap, default 50;
        0 for none) drawn with seed S (default 20140101), so the same input
        gives the same bands on every machine; a band is the estimate plus
        or minus z times the standard error at level L (default 0.95),
        diversity limits at least 0, coverage limits within 0 and 1.
        Prints one comma-separated line per assemblage, kind of estimate
        (size, coverage, asymptotic), q and size, under the header
            assemblage,dataType,kind,q,m,method,targetCoverage,D,se,
            lower,upper,coverage,coverageSe,coverageLower,coverageUpper
        (empty cells do not apply). An assemblage that cannot be estimated
        (no counts; incidence with one unit) is reported on standard error
        after the others are printed, and the run ends with status 1.
        References: Chao, Gotelli, Hsieh et al. (2014), Ecological
        Monographs 84:45-67; Chao & Jost (2012), Ecology 93:2533-2547;
        Chao, Wang & Jost (2013), Methods in Ecology and Evolution
        4:1091-1100.

    estimators
        The richness estimators with standard errors and intervals at
        --level 95 (default) or 99 per cent. Per collection, from its
        counted taxa: Chao1 with its standard error and log-normal
        interval, ACE and the sample coverage. For the group, the
        collections taken as sampling units: Chao-2 bias-corrected (not
        the chao2 command's estimate) with standard error and interval,
        ICE, the first-order jackknife with its standard error, the
        second-order jackknife and the bootstrap with its standard error.
        Prints the collections' table, an empty line and the group's
        table (none for fewer than two collections). A value that cannot
        be computed is left empty (null in JSON) and the reason is printed
        on standard error; the run still succeeds.

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
    --format F          list, table, matrix or community: the format of a
                        text INPUT or FILE
    --json              print the result as one JSON document; numbers carry
                        every digit of the double that was computed;
                        infinity and not-a-number appear as the strings
                        "inf", "-inf" and "nan"
    --sample-size N     metrics: rarefy each collection to N specimens
                        (default 50)
    --collection NAME   rarefy, diversity: the first collection named NAME
    --pooled            rarefy, diversity: all collections pooled into one
    --size M            rarefy: only the point for M specimens
    --incidence         diversity: the collections as sampling units
    --q Q,...           diversity: the orders, from 0, 1 and 2 (default all)
    --sizes M,...       diversity: the sample sizes instead of the knots
    --endpoint M        diversity: the largest size of the knots (default
                        twice the reference size)
    --knots K           diversity: the number of sizes (default 40)
    --coverage C,...    diversity: target coverages, each between 0 and 1
    --bootstrap B       diversity: replicates, 0 to 10000 (default 50)
    --seed S            diversity: the bootstrap's seed (default 20140101)
    --level L           diversity: the bands' level, between 0 and 1
                        (default 0.95); estimators: the intervals' level
                        in per cent, 95 or 99 (default 95)
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
    diversity       [{"name", "dataType", "n", "U" (incidence only),
                      "observedRichness", "coverage",
                      "asymptotic": [{"q", "observed", "estimate", "se",
                                      "lower", "upper"}, ...],
                      "sizeBased": [{"m", "method", "q", "D", "se",
                                     "lower", "upper", "coverage",
                                     "coverageLower", "coverageUpper"}, ...],
                      "coverageBased" (with --coverage): [{"targetCoverage",
                          "m", "method", "q", "D", "se", "lower",
                          "upper"}, ...]}, ...]
                    method: "interpolated", "observed" or "extrapolated";
                    without a bootstrap se and the limits are null
    estimators      {"collections": [{"name", "observed", "n", "chao1",
                      "chao1Se", "chao1Lower", "chao1Upper", "ace",
                      "coverage"}, ...],
                     "group": {"units", "observed", "chao2", "chao2Se",
                      "chao2Lower", "chao2Upper", "ice", "jackknife1",
                      "jackknife1Se", "jackknife2", "bootstrap",
                      "bootstrapSe"} or null}

EXIT STATUS
    0   success
    1   bad input or a failed write; the reason is printed on standard error
    2   usage error; the reason and the synopsis are printed on standard
        error

EXAMPLES
    Check a file, then compute its measures:
        quorvella-cli validate --format matrix forams.csv
        quorvella-cli metrics --format matrix --json forams.csv

    Hill numbers of every collection with 200 bootstrap replicates and
    the diversity at 95 % coverage:
        quorvella-cli diversity --format matrix --bootstrap 200 \
            --coverage 0.95 forams.csv

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
