// Runs the built quorvella-cli on small inputs and compares the exact bytes
// of its standard output, the start of its standard error, its exit status
// and the files it leaves behind. One table of cases; each case runs in a
// fresh temporary folder.

#include "ToolRunner.h"
#include "store/DocumentFile.h"
#include "store/Store.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace quorvella::cli::test {
namespace {

namespace fs = std::filesystem;

using Args = std::vector<std::string>;

struct ExpectedFile
{
    enum class State { Absent, Present, Holding };
    std::string path; // "{tmp}/..."
    State state = State::Absent;
    std::string content; // the exact bytes, for Holding
};

ExpectedFile absent(std::string path)
{
    return {std::move(path), ExpectedFile::State::Absent, {}};
}

ExpectedFile present(std::string path)
{
    return {std::move(path), ExpectedFile::State::Present, {}};
}

ExpectedFile holding(std::string path, std::string content)
{
    return {std::move(path), ExpectedFile::State::Holding, std::move(content)};
}

struct ToolCase
{
    std::string name;
    std::vector<Args> setup; // runs that must succeed before the one under test
    Args args;
    int status = 0;
    std::string out;      // exact bytes
    std::string errStart; // empty: nothing on standard error; else its beginning
    std::vector<ExpectedFile> files;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const ToolCase &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<ToolCase> toolCases()
{
    return {
        // ---- help, version, usage errors ------------------------------------------------
        {"version", {}, {"--version"}, 0, "quorvella-cli " QUORVELLA_PROJECT_VERSION "\n", "", {}},
        {"no command", {}, {}, 2, "", "quorvella-cli: missing command\nusage:\n", {}},
        {"unknown command",
         {},
         {"frobnicate"},
         2,
         "",
         "quorvella-cli: unknown command 'frobnicate'\n",
         {}},
        {"unknown option",
         {},
         {"metrics", "--colour", "x"},
         2,
         "",
         "quorvella-cli: unknown option '--colour' for 'metrics'\n",
         {}},
        {"option of another command",
         {},
         {"chao2", "--pooled", "x"},
         2,
         "",
         "quorvella-cli: unknown option '--pooled' for 'chao2'\n",
         {}},
        {"bad format name",
         {},
         {"validate", "--format", "csv", "x"},
         2,
         "",
         "quorvella-cli: unknown format 'csv' for --format (use list, table, matrix or "
         "community)\n",
         {}},
        {"negative sample size",
         {},
         {"metrics", "--sample-size", "-5", "x"},
         2,
         "",
         "quorvella-cli: --sample-size needs a whole number from 0 to 2147483647, not '-5'\n",
         {}},
        {"sample size not a number",
         {},
         {"metrics", "--sample-size=5x", "x"},
         2,
         "",
         "quorvella-cli: --sample-size needs a whole number from 0 to 2147483647, not '5x'\n",
         {}},
        {"size beyond 32 bits",
         {},
         {"rarefy", "--size", "2147483648", "x"},
         2,
         "",
         "quorvella-cli: --size needs a whole number from 0 to 2147483647, not '2147483648'\n",
         {}},
        {"option without value",
         {},
         {"validate", "x", "--format"},
         2,
         "",
         "quorvella-cli: option --format needs a value\n",
         {}},
        {"flag with value",
         {},
         {"metrics", "--json=yes", "x"},
         2,
         "",
         "quorvella-cli: option --json takes no value\n",
         {}},
        {"repeated option",
         {},
         {"rarefy", "--size", "3", "--size", "4", "x"},
         2,
         "",
         "quorvella-cli: option --size is given more than once\n",
         {}},
        {"collection and pooled",
         {},
         {"rarefy", "--pooled", "--collection", "A", "x"},
         2,
         "",
         "quorvella-cli: --collection and --pooled exclude each other\n",
         {}},
        {"missing input",
         {},
         {"metrics", "--json"},
         2,
         "",
         "quorvella-cli: missing INPUT (a Quorvella document or a text file)\n",
         {}},
        {"two inputs",
         {},
         {"chao2", "a", "b"},
         2,
         "",
         "quorvella-cli: unexpected argument 'b'\n",
         {}},
        {"validate without format",
         {},
         {"validate", "x"},
         2,
         "",
         "quorvella-cli: validate needs --format list, table, matrix or community\n",
         {}},
        {"import without document",
         {},
         {"import", "--format", "list", "x"},
         2,
         "",
         "quorvella-cli: import needs --into DOCUMENT\n",
         {}},
        {"import without files",
         {},
         {"import", "--format", "list", "--into", "d.qvl"},
         2,
         "",
         "quorvella-cli: missing FILE to import\n",
         {}},
        {"export of nothing named",
         {},
         {"export", "d.qvl"},
         2,
         "",
         "quorvella-cli: unknown export 'd.qvl' (use metrics, group, collection NAME or "
         "species-list)\n",
         {}},
        {"export collection without document",
         {},
         {"export", "collection", "S1"},
         2,
         "",
         "quorvella-cli: missing DOCUMENT to export from\n",
         {}},

        // ---- the worked examples, through --json ---------------------------------------
        {"metrics of the worked example collection",
         {},
         {"metrics", "--format", "list", "--json", "{data}/worked-list.txt"},
         0,
         "[\n"
         "  {\n"
         "    \"name\": \"imported census\",\n"
         "    \"richness\": 5,\n"
         "    \"censusSize\": 12,\n"
         "    \"buzasGibsonE\": 0.8308482766151428,\n"
         "    \"chao1\": 7,\n"
         "    \"shannonH\": 1.424129843711853,\n"
         "    \"simpsonD\": 0.7878788113594055,\n"
         "    \"petersEss\": 0.9222222566604614,\n"
         "    \"pielouJ\": 0.8848616480827332,\n"
         "    \"hurlbertPIE\": 0.7222222089767456,\n"
         "    \"rarefiedRichness\": 5,\n"
         "    \"sampleSize\": 50\n"
         "  }\n"
         "]\n",
         "",
         {}},
        {"rarefaction of the worked example at five specimens",
         {},
         {"rarefy", "--format", "list", "--size", "5", "--json", "{data}/worked-list.txt"},
         0,
         "[\n"
         "  {\n"
         "    \"n\": 5,\n"
         "    \"E\": 3.329545454545456,\n"
         "    \"Var\": 0.5214502811431885,\n"
         "    \"lower95\": 1.9141998291015625,\n"
         "    \"upper95\": 4.744891136716308,\n"
         "    \"lower99\": 1.4664883613586426,\n"
         "    \"upper99\": 5.192602525974434\n"
         "  }\n"
         "]\n",
         "",
         {}},
        {"sample-based rarefaction and Chao-2 of the three-collection example",
         {},
         {"sample-rarefy", "--format", "matrix", "--json", "{data}/worked-matrix.csv"},
         0,
         "{\n"
         "  \"chao2\": 3.3333332538604736,\n"
         "  \"curve\": [\n"
         "    {\n"
         "      \"n\": 1,\n"
         "      \"E\": 2,\n"
         "      \"Var\": 0.3555554151535034,\n"
         "      \"lower95\": 0.8312820345123042,\n"
         "      \"upper95\": 3.168717965487696,\n"
         "      \"lower99\": 0.46158553522537993,\n"
         "      \"upper99\": 3.53841446477462\n"
         "    },\n"
         "    {\n"
         "      \"n\": 2,\n"
         "      \"E\": 2.6666665077209473,\n"
         "      \"Var\": 0.3111112117767334,\n"
         "      \"lower95\": 1.5734305628483416,\n"
         "      \"upper95\": 3.759902452593553,\n"
         "      \"lower99\": 1.2276110292661908,\n"
         "      \"upper99\": 4.105721986175704\n"
         "    },\n"
         "    {\n"
         "      \"n\": 3,\n"
         "      \"E\": 3,\n"
         "      \"Var\": 0.2999999523162842,\n"
         "      \"lower95\": 1.9264638726068706,\n"
         "      \"upper95\": 4.07353612739313,\n"
         "      \"lower99\": 1.586875913941697,\n"
         "      \"upper99\": 4.413124086058303\n"
         "    }\n"
         "  ]\n"
         "}\n",
         "",
         {}},
        {"Chao-2 of the three-collection example as JSON",
         {},
         {"chao2", "--json", "--format", "matrix", "{data}/worked-matrix.csv"},
         0,
         "{\n  \"chao2\": 3.3333332538604736\n}\n",
         "",
         {}},

        // ---- the README's examples on the bundled data ------------------------------------
        {"README: Chao-2 of the bundled matrix",
         {},
         {"chao2", "--format", "matrix", "{examples}/forams-matrix.csv"},
         0,
         "Chao-2:  16.10\n",
         "",
         {}},
        {"README: one point of the bundled core-top table",
         {},
         {"rarefy", "--format", "table", "--size", "100", "--json",
          "{examples}/forams-core-top.csv"},
         0,
         "[\n  {\n    \"n\": 100,\n    \"E\": 12.981413182621866,\n"
         "    \"Var\": 1.4663958549499512,\n    \"lower95\": 10.607954025268555,\n"
         "    \"upper95\": 15.354871907010335,\n    \"lower99\": 9.857166290283203,\n"
         "    \"upper99\": 16.105659870847504\n  }\n]\n",
         "",
         {}},
        {"README: Hill numbers of the bundled core-top table",
         {},
         {"diversity", "--format", "table", "--q", "0", "--sizes", "100,620", "--coverage", "0.95",
          "{examples}/forams-core-top.csv"},
         0,
         "assemblage,dataType,kind,q,m,method,targetCoverage,D,se,lower,upper,coverage,coverageSe,"
         "coverageLower,coverageUpper\n"
         "imported "
         "census,abundance,size,0,100,interpolated,,12.98141318262175,0.6599819288137225,11."
         "687872371699576,14.274953993543924,0.9687217193200954,0.00545289188219829,0."
         "9580342476193959,0.9794091910207949\n"
         "imported "
         "census,abundance,size,0,620,extrapolated,,16.861876411566005,1.3156142527648715,14."
         "283319858599281,19.44043296453273,0.9991324901480233,0.0016666970047774623,0."
         "9958658240455187,1\n"
         "imported "
         "census,abundance,coverage,0,65.6442285074999,interpolated,0.95,11.614595494851908,0."
         "8251184985806371,9.997392954656096,13.23179803504772,,,,\n"
         "imported "
         "census,abundance,asymptotic,0,,asymptotic,,16.996774193548386,1.9105005473932382,13."
         "252261928213581,20.74128645888319,,,,\n",
         "",
         {}},
        {"README: a document from two bundled files",
         {{"import", "--format", "matrix", "{examples}/forams-matrix.csv", "--into",
           "{tmp}/survey.qvl"},
          {"import", "--format", "list", "{examples}/forams-abundances.txt", "--into",
           "{tmp}/survey.qvl"},
          {"export", "group", "--output", "{tmp}/survey.csv", "{tmp}/survey.qvl"}},
         {"metrics", "--sample-size", "100", "{tmp}/survey.qvl"},
         0,
         " ,richness,sample size,Buzas-Gibson E,Chao-1,Hurlbert's PIE,Shannon's H,Simpson's "
         "D,Peters' Ess,Pielou's J,Rarified Richness\n"
         "QV14-003 "
         "cm,16,310,0.539714,17.000000,0.852362,2.155872,0.855121,0.914862,0.777566,12.981413\n"
         "QV14-045 "
         "cm,14,304,0.563772,16.000000,0.843902,2.065951,0.846687,0.915330,0.782837,11.476213\n"
         "QV14-090 "
         "cm,12,301,0.598674,14.000000,0.826989,1.971869,0.829745,0.910322,0.793538,9.918649\n"
         "QV14-135 "
         "cm,9,319,0.575750,9.500000,0.759250,1.645142,0.761637,0.870361,0.748737,7.730340\n"
         "QV14-180 "
         "cm,7,327,0.529171,7.000000,0.640967,1.309467,0.642933,0.783825,0.672933,6.429561\n"
         "QV14-225 cm,10,295,0.638306,inf,0.815444,1.853647,0.818217,0.915444,0.805029,8.573057\n"
         "imported "
         "census,7,327,0.529171,7.000000,0.640967,1.309467,0.642933,0.783825,0.672933,6.429561\n",
         "",
         {present("{tmp}/survey.qvl"), present("{tmp}/survey.csv")}},

        // ---- analysis commands, plain output ----------------------------------------------
        {"metrics table with line feeds and another sample size",
         {},
         {"metrics", "--format", "list", "--sample-size", "5", "{data}/worked-list.txt"},
         0,
         " ,richness,sample size,Buzas-Gibson E,Chao-1,Hurlbert's PIE,Shannon's H,Simpson's "
         "D,Peters' Ess,Pielou's J,Rarified Richness\n"
         "imported "
         "census,5,12,0.830848,7.000000,0.722222,1.424130,0.787879,0.922222,0.884862,3.329545\n",
         "",
         {}},
        {"metrics of collections without taxa",
         {},
         {"metrics", "--format=matrix", "{data}/matrix-no-taxa.csv"},
         0,
         " ,richness,sample size,Buzas-Gibson E,Chao-1,Hurlbert's PIE,Shannon's H,Simpson's "
         "D,Peters' Ess,Pielou's J,Rarified Richness\n"
         "S1,0,0,inf,nan,1.000000,-0.000000,-0.000000,1.000000,0.000000,0.000000\n"
         "S2,0,0,inf,nan,1.000000,-0.000000,-0.000000,1.000000,0.000000,0.000000\n",
         "",
         {}},
        {"individual-based curve of the only collection",
         {},
         {"rarefy", "--format", "list", "{data}/worked-list.txt"},
         0,
         "n,E,Var,lower95,upper95,lower99,upper99\n"
         "       1,   1.000,   0.000,   1.000,   1.000,   1.000,   1.000\n"
         "       2,   1.788,   0.167,   1.000,   2.589,   1.000,   2.843\n"
         "       3,   2.414,   0.343,   1.267,   3.561,   1.000,   3.924\n"
         "       4,   2.917,   0.464,   1.582,   4.252,   1.160,   4.674\n"
         "       5,   3.330,   0.521,   1.914,   4.745,   1.466,   5.193\n"
         "       6,   3.674,   0.527,   2.251,   5.097,   1.801,   5.547\n"
         "       7,   3.968,   0.495,   2.589,   5.348,   2.153,   5.784\n"
         "       8,   4.224,   0.437,   2.929,   5.519,   2.520,   5.929\n"
         "       9,   4.450,   0.357,   3.280,   5.620,   2.909,   5.991\n"
         "      10,   4.652,   0.257,   3.657,   5.646,   3.343,   5.960\n"
         "      11,   4.833,   0.139,   4.103,   5.564,   3.872,   5.795\n"
         "      12,   5.000,   0.000,   5.000,   5.000,   5.000,   5.000\n",
         "",
         {}},
        {"curve of a named collection",
         {},
         {"rarefy", "--format", "matrix", "--collection", "S2", "{data}/matrix-three.csv"},
         0,
         "n,E,Var,lower95,upper95,lower99,upper99\n"
         "       1,   1.000,   0.000,   1.000,   1.000,   1.000,   1.000\n"
         "       2,   1.400,   0.240,   1.000,   2.360,   1.000,   2.664\n"
         "       3,   1.600,   0.240,   1.000,   2.560,   1.000,   2.864\n"
         "       4,   1.800,   0.160,   1.016,   2.584,   1.000,   2.832\n"
         "       5,   2.000,   0.000,   2.000,   2.000,   2.000,   2.000\n",
         "",
         {}},
        {"one point of the pooled collections",
         {},
         {"rarefy", "--format", "matrix", "--pooled", "--json", "--size", "3",
          "{data}/matrix-three.csv"},
         0,
         "[\n"
         "  {\n"
         "    \"n\": 3,\n"
         "    \"E\": 2.162087912087913,\n"
         "    \"Var\": 0.3061451017856598,\n"
         "    \"lower95\": 1.0776124000549316,\n"
         "    \"upper95\": 3.24656337193926,\n"
         "    \"lower99\": 1,\n"
         "    \"upper99\": 3.5896117316881555\n"
         "  }\n"
         "]\n",
         "",
         {}},
        {"rarefaction at zero specimens",
         {},
         {"rarefy", "--size", "0", "--json", "--format", "list", "{data}/worked-list.txt"},
         0,
         "[\n"
         "  {\n"
         "    \"n\": 0,\n"
         "    \"E\": 0,\n"
         "    \"Var\": 0,\n"
         "    \"lower95\": 1,\n"
         "    \"upper95\": 0,\n"
         "    \"lower99\": 1,\n"
         "    \"upper99\": 0\n"
         "  }\n"
         "]\n",
         "",
         {}},
        {"rarefaction beyond the census size gives the richness",
         {},
         {"rarefy", "--size", "40", "--format", "list", "{data}/worked-list.txt"},
         0,
         "n,E,Var,lower95,upper95,lower99,upper99\n"
         "      40,   5.000,   0.000,   5.000,   5.000,   5.000,   5.000\n",
         "",
         {}},
        {"Chao-2 line as the document shows it",
         {},
         {"chao2", "--format", "matrix", "{data}/worked-matrix.csv"},
         0,
         "Chao-2:   3.33\n",
         "",
         {}},
        {"Chao-2 without duplicates is infinite",
         {},
         {"chao2", "--format", "matrix", "--json", "{data}/matrix-uniques.csv"},
         0,
         "{\n  \"chao2\": \"inf\"\n}\n",
         "",
         {}},
        {"Chao-2 with every taxon everywhere is not a number",
         {},
         {"chao2", "--format", "matrix", "{data}/matrix-everywhere.csv"},
         0,
         "Chao-2:    nan\n",
         "",
         {}},
        {"estimators of the three-collection example as JSON",
         {},
         {"estimators", "--json", "--format", "matrix", "{data}/worked-matrix.csv"},
         0,
         "{\n"
         "  \"collections\": [\n"
         "    {\n"
         "      \"name\": \"S1\",\n"
         "      \"observed\": 3,\n"
         "      \"n\": 3,\n"
         "      \"chao1\": 5,\n"
         "      \"chao1Se\": 2.9211869733608857,\n"
         "      \"chao1Lower\": 3.246240669358574,\n"
         "      \"chao1Upper\": 19.244270332839378,\n"
         "      \"ace\": null,\n"
         "      \"coverage\": 0.33333333333333337\n"
         "    },\n"
         "    {\n"
         "      \"name\": \"S2\",\n"
         "      \"observed\": 2,\n"
         "      \"n\": 2,\n"
         "      \"chao1\": 2.5,\n"
         "      \"chao1Se\": 1.1067971810589328,\n"
         "      \"chao1Lower\": 2.0367228898418315,\n"
         "      \"chao1Upper\": 8.80774310183023,\n"
         "      \"ace\": null,\n"
         "      \"coverage\": 0.6666666666666667\n"
         "    },\n"
         "    {\n"
         "      \"name\": \"S3\",\n"
         "      \"observed\": 1,\n"
         "      \"n\": 1,\n"
         "      \"chao1\": 1,\n"
         "      \"chao1Se\": 0.31178337784143806,\n"
         "      \"chao1Lower\": 1,\n"
         "      \"chao1Upper\": 2.5486976638334853,\n"
         "      \"ace\": null,\n"
         "      \"coverage\": 1\n"
         "    }\n"
         "  ],\n"
         "  \"group\": {\n"
         "    \"units\": 3,\n"
         "    \"observed\": 3,\n"
         "    \"chao2\": 3.3333333333333335,\n"
         "    \"chao2Se\": 0.9428090415820634,\n"
         "    \"chao2Lower\": 3.018244814701778,\n"
         "    \"chao2Upper\": 9.090010390748619,\n"
         "    \"ice\": 3.8399999999999994,\n"
         "    \"jackknife1\": 3.6666666666666665,\n"
         "    \"jackknife1Se\": 0.6666666666666667,\n"
         "    \"jackknife2\": 3.8333333333333335,\n"
         "    \"bootstrap\": 3.3333333333333335,\n"
         "    \"bootstrapSe\": 0.5443310539518174\n"
         "  }\n"
         "}\n",
         "Collection \"S1\": ace cannot be computed: every rare taxon is a singleton",
         {}},
        {"estimators of one collection at 99 %: no group",
         {},
         {"estimators", "--level", "99", "--format", "list", "{data}/worked-list.txt"},
         0,
         "name,observed,n,chao1,chao1Se,chao1Lower,chao1Upper,ace,coverage\n"
         "imported census,5,12,6.833333,3.452053,5.077041,48.627650,6.654545,0.847222\n",
         "Group: the group estimators need at least two collections.\n",
         {}},
        {"estimators refuse a level other than 95 or 99",
         {},
         {"estimators", "--level", "90", "x"},
         2,
         "",
         "quorvella-cli: --level needs 95 or 99, not '90'\n",
         {}},
        {"sample-based curve with not-a-number variances",
         {},
         {"sample-rarefy", "--format", "matrix", "{data}/matrix-everywhere.csv"},
         0,
         "n,E,Var,lower95,upper95,lower99,upper99\n"
         "       1,   2.000,     nan,     nan,     nan,     nan,     nan\n"
         "       2,   2.000,     nan,     nan,     nan,     nan,     nan\n"
         "       3,   2.000,     nan,     nan,     nan,     nan,     nan\n",
         "",
         {}},

        // ---- analysis commands, refused -----------------------------------------------------
        {"metrics go on past a collection too large to rarefy",
         {},
         {"metrics", "--format", "list", "--json", "{data}/list-too-large.txt"},
         1,
         "[\n"
         "  {\n"
         "    \"name\": \"imported census\",\n"
         "    \"richness\": 3,\n"
         "    \"censusSize\": 20000008,\n"
         "    \"buzasGibsonE\": 0.3333355188369751,\n"
         "    \"chao1\": \"nan\",\n"
         "    \"shannonH\": 6.5745762185542844e-06,\n"
         "    \"simpsonD\": 8.172320917765319e-07,\n"
         "    \"petersEss\": 0.3333340883255005,\n"
         "    \"pielouJ\": 5.984437393635744e-06,\n"
         "    \"hurlbertPIE\": 8.344650268554688e-07,\n"
         "    \"rarefiedRichness\": null,\n"
         "    \"sampleSize\": null\n"
         "  }\n"
         "]\n",
         "The collection \"imported census\" cannot be rarefied: Rarefaction handles "
         "collections of up to 16777216 specimens; this one holds 20000008.\n",
         {}},
        {"rarefaction of an input without collections",
         {},
         {"rarefy", "--format", "matrix", "{data}/matrix-header-only.csv"},
         1,
         "",
         "'{data}/matrix-header-only.csv' holds no collection.\n",
         {}},
        {"metrics of an input without collections",
         {},
         {"metrics", "--format", "matrix", "--json", "{data}/matrix-header-only.csv"},
         0,
         "[]\n",
         "",
         {}},
        {"several collections need a choice",
         {},
         {"rarefy", "--format", "matrix", "{data}/matrix-three.csv"},
         2,
         "",
         "quorvella-cli: '{data}/matrix-three.csv' holds 3 collections; choose one with "
         "--collection NAME or pool them with --pooled\n",
         {}},
        {"no collection of that name",
         {},
         {"rarefy", "--format", "matrix", "--collection", "S9", "{data}/matrix-three.csv"},
         1,
         "",
         "No collection is named \"S9\" in '{data}/matrix-three.csv'.\n",
         {}},
        {"rarefaction of a collection without taxa",
         {},
         {"rarefy", "--format", "matrix", "--collection", "S1", "{data}/matrix-no-taxa.csv"},
         1,
         "",
         "Rarefaction could not be computed. The collection \"S1\" has no taxa.\n",
         {}},
        {"pooled rarefaction without taxa",
         {},
         {"rarefy", "--format", "matrix", "--pooled", "{data}/matrix-no-taxa.csv"},
         1,
         "",
         "Individual-based rarefaction could not be performed. Add collections and taxa.\n",
         {}},
        {"Chao-2 without taxa",
         {},
         {"chao2", "--format", "matrix", "{data}/matrix-no-taxa.csv"},
         1,
         "",
         "Chao2 could not be calculated. Add collections and taxa.\n",
         {}},
        {"sample-based rarefaction without taxa",
         {},
         {"sample-rarefy", "--format", "matrix", "{data}/matrix-no-taxa.csv"},
         1,
         "",
         "Sample-based rarefaction could not be performed. Add collections and taxa.\n",
         {}},
        {"text input that fails its check",
         {},
         {"metrics", "--format", "list", "{data}/list-decimal.txt"},
         1,
         "",
         "File contains a decimal abundance value, but all abundances must be positive integers. "
         " See help for formatting an input file.\n",
         {}},
        {"text input without a format",
         {},
         {"metrics", "{data}/worked-list.txt"},
         2,
         "",
         "quorvella-cli: '{data}/worked-list.txt' is not a Quorvella document; name its text "
         "format with --format list, table, matrix or community\n",
         {}},
        {"missing input file",
         {},
         {"chao2", "{tmp}/nothing.qvl"},
         1,
         "",
         "The file \xe2\x80\x9c{tmp}/nothing.qvl\xe2\x80\x9d could not be opened",
         {}},

        // ---- diversity ----------------------------------------------------------------------
        {"diversity: the long table of a list",
         {},
         {"diversity", "--format", "list", "--q", "0,2", "--sizes", "1,6,12,24", "--bootstrap", "0",
          "{data}/worked-list.txt"},
         0,
         "assemblage,dataType,kind,q,m,method,targetCoverage,D,se,lower,upper,coverage,coverageSe,"
         "coverageLower,coverageUpper\n"
         "imported "
         "census,abundance,size,0,1,interpolated,,1,,,,0.21212121212121215,,,\n"
         "imported "
         "census,abundance,size,0,6,interpolated,,3.674242424242424,,,,0.7058080808080809,,,\n"
         "imported census,abundance,size,0,12,observed,,5,,,,0.8472222222222222,,,\n"
         "imported "
         "census,abundance,size,0,24,extrapolated,,6.188008015307416,,,,0.9462228901645069,,,\n"
         "imported census,abundance,size,2,1,interpolated,,1,,,,0.21212121212121215,,,\n"
         "imported "
         "census,abundance,size,2,6,interpolated,,2.911764705882353,,,,0.7058080808080809,,,\n"
         "imported "
         "census,abundance,size,2,12,observed,,3.5999999999999996,,,,0.8472222222222222,,,\n"
         "imported "
         "census,abundance,size,2,24,extrapolated,,4.082474226804123,,,,0.9462228901645069,,,\n"
         "imported census,abundance,asymptotic,0,,asymptotic,,6.833333333333333,,,,,,,\n"
         "imported census,abundance,asymptotic,2,,asymptotic,,4.714285714285714,,,,,,,\n",
         "",
         {}},
        {"diversity: bootstrap bands of a named collection, as JSON",
         {},
         {"diversity", "--format", "matrix", "--collection", "S1", "--q", "1", "--sizes", "7,14",
          "--bootstrap", "5", "--level", "0.9", "--json", "{data}/matrix-three.csv"},
         0,
         "[\n"
         "  {\n"
         "    \"name\": \"S1\",\n"
         "    \"dataType\": \"abundance\",\n"
         "    \"n\": 7,\n"
         "    \"observedRichness\": 2,\n"
         "    \"coverage\": 1,\n"
         "    \"asymptotic\": [\n"
         "      {\n"
         "        \"q\": 1,\n"
         "        \"observed\": 1.8189685116531733,\n"
         "        \"estimate\": 1.9663725027642176,\n"
         "        \"se\": 0.20424753818018823,\n"
         "        \"lower\": 1.6304151987926256,\n"
         "        \"upper\": 2.3023298067358096\n"
         "      }\n"
         "    ],\n"
         "    \"sizeBased\": [\n"
         "      {\n"
         "        \"m\": 7,\n"
         "        \"method\": \"observed\",\n"
         "        \"q\": 1,\n"
         "        \"D\": 1.8189685116531733,\n"
         "        \"se\": 0.19295925750324738,\n"
         "        \"lower\": 1.5015787770950937,\n"
         "        \"upper\": 2.1363582462112527,\n"
         "        \"coverage\": 1,\n"
         "        \"coverageLower\": 1,\n"
         "        \"coverageUpper\": 1\n"
         "      },\n"
         "      {\n"
         "        \"m\": 14,\n"
         "        \"method\": \"extrapolated\",\n"
         "        \"q\": 1,\n"
         "        \"D\": 1.9207302931436376,\n"
         "        \"se\": 0.19321144441839277,\n"
         "        \"lower\": 1.6029257480235115,\n"
         "        \"upper\": 2.2385348382637638,\n"
         "        \"coverage\": 1,\n"
         "        \"coverageLower\": 1,\n"
         "        \"coverageUpper\": 1\n"
         "      }\n"
         "    ]\n"
         "  }\n"
         "]\n",
         "",
         {}},
        {"diversity: the collections as sampling units, at a coverage",
         {},
         {"diversity", "--format", "matrix", "--incidence", "--q", "0", "--sizes", "3",
          "--coverage", "0.9", "--bootstrap", "0", "--json", "{data}/matrix-three.csv"},
         0,
         "[\n"
         "  {\n"
         "    \"name\": \"all collections\",\n"
         "    \"dataType\": \"incidence\",\n"
         "    \"n\": 3,\n"
         "    \"U\": 6,\n"
         "    \"observedRichness\": 3,\n"
         "    \"coverage\": 1,\n"
         "    \"asymptotic\": [\n"
         "      {\n"
         "        \"q\": 0,\n"
         "        \"observed\": 3,\n"
         "        \"estimate\": 3,\n"
         "        \"se\": null,\n"
         "        \"lower\": null,\n"
         "        \"upper\": null\n"
         "      }\n"
         "    ],\n"
         "    \"sizeBased\": [\n"
         "      {\n"
         "        \"m\": 3,\n"
         "        \"method\": \"observed\",\n"
         "        \"q\": 0,\n"
         "        \"D\": 3,\n"
         "        \"se\": null,\n"
         "        \"lower\": null,\n"
         "        \"upper\": null,\n"
         "        \"coverage\": 1,\n"
         "        \"coverageLower\": null,\n"
         "        \"coverageUpper\": null\n"
         "      }\n"
         "    ],\n"
         "    \"coverageBased\": [\n"
         "      {\n"
         "        \"targetCoverage\": 0.9,\n"
         "        \"m\": 1.8,\n"
         "        \"method\": \"interpolated\",\n"
         "        \"q\": 0,\n"
         "        \"D\": 2.8,\n"
         "        \"se\": null,\n"
         "        \"lower\": null,\n"
         "        \"upper\": null\n"
         "      }\n"
         "    ]\n"
         "  }\n"
         "]\n",
         "",
         {}},
        {"diversity: a collection without counts fails after the others are printed",
         {},
         {"diversity", "--format", "matrix", "--q", "0", "--sizes", "4", "--bootstrap", "0",
          "{data}/matrix-one-empty.csv"},
         1,
         "assemblage,dataType,kind,q,m,method,targetCoverage,D,se,lower,upper,coverage,coverageSe,"
         "coverageLower,coverageUpper\n"
         "S1,abundance,size,0,4,observed,,2,,,,1,,,\n"
         "S1,abundance,asymptotic,0,,asymptotic,,2,,,,,,,\n",
         "Diversity of \"S2\" cannot be estimated: no species was counted.\n",
         {}},
        {"diversity: incidence needs two sampling units",
         {},
         {"diversity", "--format", "list", "--incidence", "--bootstrap", "0",
          "{data}/worked-list.txt"},
         1,
         "assemblage,dataType,kind,q,m,method,targetCoverage,D,se,lower,upper,coverage,coverageSe,"
         "coverageLower,coverageUpper\n",
         "Diversity of \"all collections\" cannot be estimated: incidence data need at least two "
         "sampling units.\n",
         {}},
        {"diversity refuses --q 3",
         {},
         {"diversity", "--q", "3", "x"},
         2,
         "",
         "quorvella-cli: The order q must be 0, 1 or 2, not 3.\n",
         {}},
        {"diversity refuses --coverage 1",
         {},
         {"diversity", "--coverage", "1", "x"},
         2,
         "",
         "quorvella-cli: A target coverage must lie strictly between 0 and 1, not 1.\n",
         {}},
        {"diversity refuses --bootstrap 10001",
         {},
         {"diversity", "--bootstrap", "10001", "x"},
         2,
         "",
         "quorvella-cli: The number of bootstrap replicates must be from 0 to 10000, not 10001.\n",
         {}},
        {"diversity refuses --level 1.5",
         {},
         {"diversity", "--level", "1.5", "x"},
         2,
         "",
         "quorvella-cli: The confidence level must lie strictly between 0 and 1, not 1.5.\n",
         {}},
        {"diversity refuses --incidence --pooled",
         {},
         {"diversity", "--incidence", "--pooled", "x"},
         2,
         "",
         "quorvella-cli: --incidence excludes --collection and --pooled\n",
         {}},
        {"diversity refuses --seed -1",
         {},
         {"diversity", "--seed", "-1", "x"},
         2,
         "",
         "quorvella-cli: --seed needs a whole number from 0 to 18446744073709551615, not '-1'\n",
         {}},

        // ---- validate ---------------------------------------------------------------------------
        {"valid list with mixed separators",
         {},
         {"validate", "--format", "list", "{data}/list-crlf.txt"},
         0,
         "",
         "",
         {}},
        {"empty file",
         {},
         {"validate", "--format", "table", "{data}/empty.txt"},
         1,
         "",
         "File to be imported contains no text.\n",
         {}},
        {"invalid UTF-8 names its byte offset",
         {},
         {"validate", "--format", "list", "{data}/list-bad-utf8.txt"},
         1,
         "",
         "The file \xe2\x80\x9c{data}/list-bad-utf8.txt\xe2\x80\x9d could not be read. The text is "
         "not "
         "valid UTF-8: the byte 0xFF at byte offset 4 does not belong to a UTF-8 character.\n",
         {}},
        {"table row without abundance",
         {},
         {"validate", "--format", "table", "{data}/table-missing-abundance.txt"},
         1,
         "",
         "An abundance value is missing.  See help for formatting an input file.\n",
         {}},
        {"matrix row with too many abundances",
         {},
         {"validate", "--format", "matrix", "{data}/matrix-too-many.csv"},
         1,
         "",
         "More abundances found in a row than there are species. See help for formatting an "
         "input file.\n",
         {}},

        // ---- import and export ------------------------------------------------------------------
        {"import creates the document; one collection exported",
         {},
         {"import", "--format", "table", "{data}/table-two-taxa.txt", "--into", "{tmp}/d.qvl"},
         0,
         "",
         "",
         {present("{tmp}/d.qvl")}},
        {"one collection export in species table order",
         {{"import", "--format", "table", "{data}/table-quoted.txt", "--into", "{tmp}/d.qvl"}},
         {"export", "collection", "imported census", "{tmp}/d.qvl"},
         0,
         "Globorotalia menardii, var. A,7\rOrbulina universa,7\rglobigerina bulloides,2\r"
         "Neogloboquadrina dutertrei,1\r",
         "",
         {present("{tmp}/d.qvl")}},
        {"group export of two imported files",
         {{"import", "--format", "table", "{data}/table-two-taxa.txt", "{data}/table-quoted.txt",
           "--into", "{tmp}/d.qvl"}},
         {"export", "group", "{tmp}/d.qvl"},
         0,
         " , Globigerina, globigerina bulloides, Globorotalia menardii, var. A, Neogloboquadrina "
         "dutertrei, Orbulina, Orbulina universa\r"
         "imported census,12,0,0,0,3,0\r"
         "imported census,0,2,7,1,0,7\r",
         "",
         {present("{tmp}/d.qvl")}},
        {"a community table: samples become collections, taxonomy left out",
         {{"import", "--format", "community", "{data}/community.tsv", "--into", "{tmp}/d.qvl"}},
         {"export", "group", "{tmp}/d.qvl"},
         0,
         " , OTU_1, OTU_2, OTU_3\rS1,3,0,1\rS2,0,12,1\r",
         "",
         {present("{tmp}/d.qvl")}},
        {"a community table's fault names its line and column; nothing is imported",
         {},
         {"import", "--format", "community", "{data}/community-fault.tsv", "--into", "{tmp}/d.qvl"},
         1,
         "",
         "Line 4, column 3: \xE2\x80\x9C"
         "2.5\xE2\x80\x9D is not a whole number; counts are whole "
         "numbers of 0 or more.\n",
         {absent("{tmp}/d.qvl")}},
        {"import adds to an existing document",
         {{"import", "--format", "matrix", "{data}/matrix-three.csv", "--into", "{tmp}/d.qvl"},
          {"import", "--format", "list", "{data}/worked-list.txt", "--into", "{tmp}/d.qvl"}},
         {"export", "group", "{tmp}/d.qvl"},
         0,
         " , A, B, C, unnamed species 1, unnamed species 2, unnamed species 3, unnamed species "
         "4, unnamed species 5\rS2,0,4,1,0,0,0,0,0\rS1,2,0,5,0,0,0,0,0\rS3,1,1,0,0,0,0,0,0\r"
         "imported census,0,0,0,5,3,1,1,2\r",
         "",
         {present("{tmp}/d.qvl")}},
        {"an abundance list's taxa are five species beside the others",
         {{"import", "--format", "matrix", "{data}/matrix-three.csv", "--into", "{tmp}/d.qvl"},
          {"import", "--format", "list", "{data}/worked-list.txt", "--into", "{tmp}/d.qvl"}},
         {"chao2", "--json", "{tmp}/d.qvl"},
         0,
         "{\n  \"chao2\": 11.125\n}\n", // S = 8, m = 4, Q1 = 5, Q2 = 3
         "",
         {present("{tmp}/d.qvl")}},
        {"taxa of one name in one collection add up in the group",
         {{"import", "--format", "matrix", "{data}/matrix-three.csv", "--into", "{tmp}/d.qvl"},
          {"import", "--format", "table", "{data}/table-repeated.txt", "--into", "{tmp}/d.qvl"}},
         {"export", "group", "{tmp}/d.qvl"},
         0,
         " , A, B, C\rS2,0,4,1\rS1,2,0,5\rS3,1,1,0\rimported census,5,1,0\r",
         "",
         {present("{tmp}/d.qvl")}},
        {"import checks every file before touching the document",
         {},
         {"import", "--format", "list", "{data}/worked-list.txt", "{data}/list-decimal.txt",
          "--into", "{tmp}/d.qvl"},
         1,
         "",
         "File contains a decimal abundance value, but all abundances must be positive integers. "
         " See help for formatting an input file.\n(in '{data}/list-decimal.txt'; nothing was "
         "imported)\n",
         {absent("{tmp}/d.qvl")}},
        {"a matrix checked as it is imported: the fault of its row, nothing imported",
         {},
         {"import", "--format", "matrix", "{data}/matrix-three.csv", "{data}/matrix-too-many.csv",
          "--into", "{tmp}/d.qvl"},
         1,
         "",
         "More abundances found in a row than there are species. See help for formatting an "
         "input file.\n(in '{data}/matrix-too-many.csv'; nothing was imported)\n",
         {absent("{tmp}/d.qvl")}},
        {"a text's fault comes before the save's",
         {},
         {"import", "--format", "community", "{data}/community-fault.tsv", "--into",
          "{tmp}/no such folder/d.qvl"},
         1,
         "",
         "Line 4, column 3: \xE2\x80\x9C"
         "2.5\xE2\x80\x9D is not a whole number; counts are whole "
         "numbers of 0 or more.\n",
         {}},
        {"import refuses a file that is not a document",
         {{"import", "--format", "list", "{data}/worked-list.txt", "--into", "{tmp}/d.qvl"}},
         {"import", "--format", "list", "{data}/worked-list.txt", "--into",
          "{data}/worked-list.txt"},
         1,
         "",
         "The document \"{data}/worked-list.txt\" could not be opened: it is not a "
         "Quorvella document",
         {present("{tmp}/d.qvl")}},
        {"metrics export of metrics never calculated",
         {{"import", "--format", "matrix", "{data}/worked-matrix.csv", "--into", "{tmp}/d.qvl"}},
         {"export", "metrics", "{tmp}/d.qvl"},
         0,
         " ,richness,sample size,Buzas-Gibson E,Chao-1,Hurlbert's PIE,Shannon's H,Simpson's D,"
         "Peters' Ess,Pielou's J,Rarified Richness\r"
         "S1,0,0,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000\r"
         "S2,0,0,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000\r"
         "S3,0,0,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000\r",
         "",
         {present("{tmp}/d.qvl")}},
        {"species list",
         {{"import", "--format", "matrix", "{data}/matrix-three.csv", "{data}/worked-matrix.csv",
           "--into", "{tmp}/d.qvl"}},
         {"export", "species-list", "--output", "{tmp}/species.txt", "{tmp}/d.qvl"},
         0,
         "",
         "",
         {present("{tmp}/d.qvl"), holding("{tmp}/species.txt", "A\nB\nC\n")}},
        {"export written atomically to a file",
         {{"import", "--format", "table", "{data}/table-two-taxa.txt", "--into", "{tmp}/d.qvl"}},
         {"export", "collection", "imported census", "--output={tmp}/one.csv", "{tmp}/d.qvl"},
         0,
         "",
         "",
         {present("{tmp}/d.qvl"), holding("{tmp}/one.csv", "Globigerina,12\rOrbulina,3\r")}},
        {"non-ASCII name fails and leaves no file",
         {{"import", "--format", "table", "{data}/table-accent.txt", "--into", "{tmp}/d.qvl"}},
         {"export", "group", "--output", "{tmp}/group.csv", "{tmp}/d.qvl"},
         1,
         "",
         "The character \xe2\x80\x9c\xc3\xa9\xe2\x80\x9d (U+00E9) in \xe2\x80\x9c "
         "Globig\xc3\xa9rina"
         "\xe2\x80\x9d on line 1 cannot be written as ASCII.",
         {present("{tmp}/d.qvl"), absent("{tmp}/group.csv")}},
        {"export over its own document is refused",
         {{"import", "--format", "list", "{data}/worked-list.txt", "--into", "{tmp}/d.qvl"}},
         {"export", "group", "--output", "{tmp}/d.qvl", "{tmp}/d.qvl"},
         1,
         "",
         "The export was not written: '{tmp}/d.qvl' is the document itself. Choose another "
         "output file.\n",
         {present("{tmp}/d.qvl")}},
        {"nothing to export",
         {{"import", "--format", "matrix", "{data}/matrix-no-taxa.csv", "--into", "{tmp}/d.qvl"}},
         {"export", "group", "{tmp}/d.qvl"},
         1,
         "",
         "Export could not be performed. Add collections and taxa.\n",
         {present("{tmp}/d.qvl")}},
        {"collection export of a collection without taxa",
         {{"import", "--format", "matrix", "{data}/matrix-no-taxa.csv", "--into", "{tmp}/d.qvl"}},
         {"export", "collection", "S2", "{tmp}/d.qvl"},
         1,
         "",
         "Export could not be performed. Add collections and taxa.\n",
         {present("{tmp}/d.qvl")}},
        {"species list without taxa",
         {{"import", "--format", "matrix", "{data}/matrix-no-taxa.csv", "--into", "{tmp}/d.qvl"}},
         {"export", "species-list", "{tmp}/d.qvl"},
         1,
         "",
         "Species list could not be generated. Add collections and taxa.\n",
         {present("{tmp}/d.qvl")}},
        {"analysis of a document",
         {{"import", "--format", "matrix", "{data}/worked-matrix.csv", "--into", "{tmp}/d.qvl"}},
         {"chao2", "{tmp}/d.qvl"},
         0,
         "Chao-2:   3.33\n",
         "",
         {present("{tmp}/d.qvl")}},
    };
}

std::string substitute(std::string text, const fs::path &tmp)
{
    const auto replace = [&text](const std::string &from, const std::string &to) {
        for (std::size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size())) {
            text.replace(at, from.size(), to);
        }
    };
    replace("{data}", QUORVELLA_CLI_TEST_DATA);
    replace("{examples}", QUORVELLA_EXAMPLES);
    replace("{tmp}", tmp.string());
    return text;
}

Args substitute(const Args &args, const fs::path &tmp)
{
    Args result;
    for (const std::string &arg : args) {
        result.push_back(substitute(arg, tmp));
    }
    return result;
}

class CliTool : public testing::TestWithParam<ToolCase>
{
protected:
    TempFolder folder_;
    const fs::path &tmp_ = folder_.path();
};

TEST_P(CliTool, WritesExactOutput)
{
    const ToolCase &c = GetParam();
    for (const Args &setup : c.setup) {
        const ToolRun run = runTool(substitute(setup, tmp_), tmp_);
        ASSERT_EQ(run.exitStatus, 0) << "setup run failed: " << run.err;
    }
    const ToolRun run = runTool(substitute(c.args, tmp_), tmp_);
    EXPECT_EQ(run.exitStatus, c.status);
    EXPECT_EQ(run.out, substitute(c.out, tmp_));
    const std::string errStart = substitute(c.errStart, tmp_);
    if (errStart.empty()) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_EQ(run.err.substr(0, errStart.size()), errStart) << "whole stderr: " << run.err;
    }
    if (c.status == 2) {
        EXPECT_NE(run.err.find("usage:\n    quorvella-cli metrics"), std::string::npos);
    }
    for (const ExpectedFile &file : c.files) {
        const fs::path path = substitute(file.path, tmp_);
        EXPECT_EQ(fs::exists(path), file.state != ExpectedFile::State::Absent) << path;
        if (file.state == ExpectedFile::State::Holding) {
            EXPECT_EQ(readBytes(path), file.content) << path;
        }
    }
    // Nothing but the expected files may be left in the folder (no temporary files).
    for (const auto &entry : fs::directory_iterator(tmp_)) {
        const bool expected = std::any_of(c.files.begin(), c.files.end(), [&](const auto &f) {
            return f.state != ExpectedFile::State::Absent &&
                   fs::path(substitute(f.path, tmp_)) == entry.path();
        });
        EXPECT_TRUE(expected) << "unexpected file left: " << entry.path();
    }
}

// The worked examples against their published values, independently of the
// exact digits: each row names a run, a JSON key, which occurrence of it, the
// value and the tolerance of the published figure.
struct PublishedValue
{
    Args args;
    std::string key;
    int occurrence; // 0 for the first "key": in the output
    double value;
    double tolerance;
};

double jsonNumber(const std::string &json, const std::string &key, int occurrence)
{
    std::size_t at = 0;
    for (int i = 0; i <= occurrence; ++i) {
        at = json.find("\"" + key + "\": ", at);
        if (at == std::string::npos) {
            return std::nan("");
        }
        at += key.size() + 4;
    }
    return std::strtod(json.c_str() + at, nullptr);
}

TEST(CliToolWorkedExamples, AgreeWithThePublishedFigures)
{
    const Args metrics{"metrics", "--json", "--format", "list", "{data}/worked-list.txt"};
    const Args point{
        "rarefy", "--json", "--size", "5", "--format", "list", "{data}/worked-list.txt"};
    const Args twoPoint{
        "rarefy", "--json", "--size", "2", "--format", "list", "{data}/worked-list.txt"};
    const Args group{"sample-rarefy", "--json", "--format", "matrix", "{data}/worked-matrix.csv"};
    const PublishedValue values[] = {
        {metrics, "richness", 0, 5, 0},
        {metrics, "censusSize", 0, 12, 0},
        {metrics, "shannonH", 0, 1.42413, 1e-5},
        {metrics, "buzasGibsonE", 0, 0.830848, 1e-6},
        {metrics, "chao1", 0, 7, 0},
        {metrics, "simpsonD", 0, 0.787879, 1e-6},
        {metrics, "pielouJ", 0, 0.884862, 1e-6},
        {metrics, "petersEss", 0, 0.922222, 1e-6},
        {metrics, "hurlbertPIE", 0, 0.722222, 1e-6},
        {twoPoint, "E", 0, 118.0 / 66.0, 1e-9},
        {point, "E", 0, 3.329545, 1e-6},
        {point, "Var", 0, 0.521450, 1e-6},
        {point, "upper95", 0, 4.744891, 1e-6},
        {point, "lower95", 0, 1.914200, 1e-6},
        {point, "upper99", 0, 5.192603, 1e-6},
        {point, "lower99", 0, 1.466488, 1e-6},
        {group, "chao2", 0, 10.0 / 3.0, 1e-6},
        {group, "E", 0, 2, 1e-6},
        {group, "Var", 0, 16.0 / 45.0, 1e-6},
        {group, "E", 1, 8.0 / 3.0, 1e-6},
        {group, "Var", 1, 14.0 / 45.0, 1e-6},
        {group, "E", 2, 3, 1e-6},
        {group, "Var", 2, 0.3, 1e-6},
        {group, "lower95", 2, 1.9265, 1e-4},
        {group, "upper95", 2, 4.0735, 1e-4},
        {group, "lower99", 2, 1.5869, 1e-4},
        {group, "upper99", 2, 4.4131, 1e-4},
    };
    const TempFolder folder;
    const fs::path &tmp = folder.path();
    for (const PublishedValue &v : values) {
        const ToolRun run = runTool(substitute(v.args, tmp), tmp);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_NEAR(jsonNumber(run.out, v.key, v.occurrence), v.value, v.tolerance)
            << v.args.front() << " " << v.key << " #" << v.occurrence;
    }
}

// A document made through the store holds what no import makes: an excluded
// taxon, a taxon without an abundance and an orphan. Single-collection
// results leave out the first two; the pooled and group results count every
// named taxon of a collection, as the application does.
TEST(CliToolDocument, CountsTaxaAsTheApplicationDoes)
{
    const TempFolder folder;
    const fs::path &tmp = folder.path();
    const fs::path document = tmp / "flags.qvl";

    Store store;
    Census first;
    first.censusName = "S1";
    const RecordId s1 = store.insertCensus(first);
    Census second;
    second.censusName = "S2";
    const RecordId s2 = store.insertCensus(second);
    const auto addTaxon = [&store](std::optional<RecordId> census, const char *name,
                                   std::optional<std::int32_t> abundance, bool include) {
        Taxon taxon;
        taxon.taxonName = name;
        taxon.abundance = abundance;
        taxon.census = census;
        taxon.includeTaxon = include;
        store.insertTaxon(taxon);
    };
    addTaxon(s1, "A", 5, true);
    addTaxon(s1, "B", 3, false);
    addTaxon(s1, "C", std::nullopt, true);
    addTaxon(s2, "A", 2, true);
    addTaxon(std::nullopt, "Z", 9, true);
    DocumentFile::save(store, document);

    struct Run
    {
        Args args;
        std::string out;
    };
    const Run runs[] = {
        {{"export", "collection", "S1", document}, "A,5\r"},
        {{"export", "group", document}, " , A, B, C\rS1,5,3,0\rS2,2,0,0\r"},
        {{"export", "species-list", document}, "A\nB\nC\n"},
        {{"rarefy", "--collection", "S1", document},
         "n,E,Var,lower95,upper95,lower99,upper99\n"
         "       1,   1.000,   0.000,   1.000,   1.000,   1.000,   1.000\n"
         "       2,   1.000,   0.000,   1.000,   1.000,   1.000,   1.000\n"
         "       3,   1.000,   0.000,   1.000,   1.000,   1.000,   1.000\n"
         "       4,   1.000,   0.000,   1.000,   1.000,   1.000,   1.000\n"
         "       5,   1.000,   0.000,   1.000,   1.000,   1.000,   1.000\n"},
        {{"rarefy", "--pooled", "--size", "10", document},
         "n,E,Var,lower95,upper95,lower99,upper99\n"
         "      10,   2.000,   0.000,   2.000,   2.000,   2.000,   2.000\n"},
    };
    for (const Run &run : runs) {
        const ToolRun result = runTool(run.args, tmp);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(result.out, run.out) << run.args.front() << " " << run.args[1];
    }
    const ToolRun metrics = runTool({"metrics", "--json", "--sample-size", "3", document}, tmp);
    EXPECT_EQ(metrics.exitStatus, 0);
    EXPECT_NE(metrics.out.find("\"name\": \"S1\",\n    \"richness\": 1,\n    \"censusSize\": 5,"),
              std::string::npos)
        << metrics.out;
    EXPECT_NE(metrics.out.find("\"rarefiedRichness\": 1,\n    \"sampleSize\": 3"),
              std::string::npos)
        << metrics.out;
}

std::string caseName(const testing::TestParamInfo<ToolCase> &info)
{
    std::string name;
    for (const char c : info.param.name) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, CliTool, testing::ValuesIn(toolCases()), caseName);

TEST(CliToolHelp, HelpIsAManualPage)
{
    const TempFolder folder;
    const fs::path &tmp = folder.path();
    for (const Args &args : {Args{"--help"}, Args{"-h"}, Args{"rarefy", "--help"}}) {
        const ToolRun run = runTool(args, tmp);
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.err, "");
        for (const char *section : {"NAME\n", "SYNOPSIS\n", "DESCRIPTION\n", "COMMANDS\n",
                                    "OPTIONS\n", "EXIT STATUS\n", "EXAMPLES\n"}) {
            EXPECT_NE(run.out.find(section), std::string::npos) << section;
        }
    }
}

} // namespace
} // namespace quorvella::cli::test
