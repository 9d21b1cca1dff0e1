#include "textio/CommunityTable.h"

#include "TestPrinters.h"
#include "textio/ImportMessages.h"

#include <gtest/gtest.h>
#include <limits>

namespace quorvella {
namespace {

using Collections = std::vector<ImportedCollection>;

// A table as a pipeline exports it: a comment, "#OTU ID", a taxonomy column.
constexpr std::string_view pipelineTable = "# Constructed from biom file\n"
                                           "#OTU ID\tS1\tS2\ttaxonomy\n"
                                           "OTU_1\t3\t0\tk__Bacteria; p__Firmicutes\n"
                                           "\n"
                                           "OTU_2\t0\t12\tk__Bacteria; p__Proteobacteria\r\n"
                                           "OTU_3\t1\t1.0\tk__Archaea\n";

struct ReadRow
{
    const char *label;
    std::string_view text;
    CommunityOptions options;
    Collections collections;
    std::optional<std::string> textColumn;
};

TEST(CommunityTable, ReadsSamplesAsCollectionsAndLeavesOutTheTextColumn)
{
    const ReadRow rows[] = {
        {"taxa as rows, named by the first column",
         pipelineTable,
         {},
         {{"S1", {{"OTU_1", 3}, {"OTU_3", 1}}}, {"S2", {{"OTU_2", 12}, {"OTU_3", 1}}}},
         "taxonomy"},
        {"taxa named by the taxonomy",
         pipelineTable,
         {.taxaAsRows = true, .namesFromTextColumn = true},
         {{"S1", {{"k__Bacteria; p__Firmicutes", 3}, {"k__Archaea", 1}}},
          {"S2", {{"k__Bacteria; p__Proteobacteria", 12}, {"k__Archaea", 1}}}},
         "taxonomy"},
        {"a text column recognised by its content, without comments",
         "OTU\tS1\tlineage\nA\t2\tBacteria\n",
         {},
         {{"S1", {{"A", 2}}}},
         "lineage"},
        {"samples as rows, no text column, empty cell is zero",
         "sample\tA\tB\nS1\t4\t\nS2\t0\t5\n",
         {.taxaAsRows = false},
         {{"S1", {{"A", 4}}}, {"S2", {{"B", 5}}}},
         std::nullopt},
        {"comma-separated",
         "id,S1,S2\nA,1,2\n",
         {},
         {{"S1", {{"A", 1}}}, {"S2", {{"A", 2}}}},
         std::nullopt},
    };
    for (const ReadRow &row : rows) {
        SCOPED_TRACE(row.label);
        const CommunityReadResult result = readCommunityTable(row.text, row.options);
        ASSERT_FALSE(result.fault) << result.fault->message();
        EXPECT_EQ(result.group.collections, row.collections);
        EXPECT_EQ(result.textColumn, row.textColumn);
    }
}

TEST(CommunityTable, NamesTheFirstFaultWithItsLineAndColumn)
{
    const std::pair<std::string_view, std::string> rows[] = {
        {"#OTU ID\tS1\tS2\nA\t1\t2\n\nB\t3\n",
         "Line 4, column 3: the line has 2 fields, but the header has 3."},
        {"#OTU ID\tS1\tS2\nA\t1\t-2\n",
         "Line 2, column 3: \xE2\x80\x9C-2\xE2\x80\x9D is negative; counts are whole numbers of 0 "
         "or more."},
        {"# c\n#OTU ID\tS1\tS2\tt\nA\t1\t2.5\tx\n",
         "Line 3, column 3: \xE2\x80\x9C"
         "2.5\xE2\x80\x9D is not a whole number; counts are whole numbers of 0 or more."},
        {"id\tS1\tS2\nA\t1\t2x\n",
         "Line 2, column 3: \xE2\x80\x9C"
         "2x\xE2\x80\x9D is not a count; counts are whole numbers of 0 or more."},
        {"# only comments\n", "Line 2, column 1: the table has no header line."},
        {"id S1 S2\nA 1 2\n",
         "Line 1, column 2: the header names no columns of counts. Quorvella reads fields "
         "separated by tabs, commas or semicolons."},
    };
    for (const auto &[text, message] : rows) {
        SCOPED_TRACE(text);
        const CommunityReadResult result = readCommunityTable(text, {});
        ASSERT_TRUE(result.fault);
        EXPECT_EQ(result.fault->message(), message);
        EXPECT_TRUE(result.group.collections.empty()) << "nothing is read on a fault";
    }
    const CommunityReadResult unnamed =
        readCommunityTable("id\tS1\nA\t1\n", {.taxaAsRows = true, .namesFromTextColumn = true});
    ASSERT_TRUE(unnamed.fault);
    EXPECT_EQ(unnamed.fault->message(),
              "Line 1, column 2: the table has no text column to name the taxa by.");
}

TEST(CommunityTable, PreviewShowsTheCornerAsTheImportReadsIt)
{
    const CommunityPreview preview = previewCommunityTable(pipelineTable, {}, 3, 2);
    const std::vector<std::vector<std::string>> expected = {
        {"OTU ID", "S1"}, {"OTU_1", "3"}, {"OTU_2", "0"}};
    EXPECT_EQ(preview.rows, expected);
    EXPECT_EQ(preview.textColumn, "taxonomy");
    EXPECT_FALSE(preview.fault);

    const CommunityPreview named = previewCommunityTable(
        pipelineTable, {.taxaAsRows = true, .namesFromTextColumn = true}, 2, 9);
    EXPECT_EQ(named.rows[1], (std::vector<std::string>{"k__Bacteria; p__Firmicutes", "3", "0"}));

    const CommunityPreview faulty = previewCommunityTable("id\tS1\nA\tx\n", {}, 5, 5);
    ASSERT_TRUE(faulty.fault);
    EXPECT_EQ(faulty.fault->line, 2u);

    // The first fault, as the import reports it, not a later line's.
    const CommunityPreview first = previewCommunityTable("id\tS1\tS2\nA\t3\t-1\nB\t1\n", {}, 5, 5);
    ASSERT_TRUE(first.fault);
    EXPECT_EQ(first.fault->message(),
              readCommunityTable("id\tS1\tS2\nA\t3\t-1\nB\t1\n", {}).fault->message());
    EXPECT_EQ(first.fault->line, 2u);
}

// The cells and names of a reading, or its fault, in a comparable form.
std::string describe(const CommunityCounts &counts)
{
    if (counts.fault) {
        return counts.fault->message();
    }
    std::string text = counts.textColumn.value_or("(no text column)") + "\n";
    for (const std::string &name : counts.taxonNames) {
        text += name + ";";
    }
    for (std::size_t c = 0; c < counts.collectionNames.size(); ++c) {
        text += "\n" + counts.collectionNames[c] + ":";
        for (const CommunityCell &cell : counts.cells[c]) {
            text += " " + std::to_string(cell.taxon) + "=" + std::to_string(cell.count);
        }
    }
    return text;
}

// Forty data lines with empty cells, CR LF and blank lines; the data lines
// numbered in `replaced` are replaced by the given lines.
std::string fortyLineTable(const std::vector<std::pair<int, std::string>> &replaced)
{
    std::string text = "# Constructed from biom file\n#OTU ID\tS1\tS2\tS3\ttaxonomy\n";
    for (int i = 0; i < 40; ++i) {
        std::string line = "OTU_" + std::to_string(i) + "\t" + std::to_string(i % 3) + "\t\t" +
                           std::to_string(i % 5) + "\tk__" + std::to_string(i % 4);
        for (const auto &[at, replacement] : replaced) {
            line = at == i ? replacement : line;
        }
        text += line + (i % 7 == 0 ? "\r\n" : "\n") + (i % 11 == 0 ? "\n" : "");
    }
    return text;
}

TEST(CommunityTable, ReadingInTwoPartsGivesWhatOneReadingGives)
{
    const std::pair<const char *, std::string> rows[] = {
        {"no fault", fortyLineTable({})},
        {"a fault in the earlier part", fortyLineTable({{4, "OTU_x\t1\t-2\t0\tk"}})},
        {"a fault in the later part", fortyLineTable({{35, "OTU_x\t1\tz\t0\tk"}})},
        {"a short line in the later part", fortyLineTable({{30, "OTU_x\t1"}})},
        {"a fault in each part",
         fortyLineTable({{6, "OTU_x\t1.5\t\t0\tk"}, {33, "OTU_y\t-1\t\t0\tk"}})},
        {"one data line", "id\tS1\nA\t2\n"},
        {"only blank lines in the later part", "id\tS1\tS2\nA\t1\t2\n\n\n\n\n"},
        {"no data line", "id\tS1\tS2\n\n"},
    };
    const CommunityOptions orientations[] = {{}, {.taxaAsRows = false}, {true, true}};
    constexpr std::size_t oneReading = std::numeric_limits<std::size_t>::max();
    for (const auto &[label, text] : rows) {
        for (const CommunityOptions &options : orientations) {
            SCOPED_TRACE(std::string(label) + (options.taxaAsRows ? "" : ", samples as rows"));
            const CommunityCounts whole = readCommunityCounts(text, options, oneReading);
            EXPECT_EQ(describe(readCommunityCounts(text, options, 1)), describe(whole));
            const std::optional<CommunityFault> fault = checkCommunityTable(text, options, 1);
            EXPECT_EQ(fault ? fault->message() : "", whole.fault ? whole.fault->message() : "");
        }
    }
}

TEST(CommunityTable, ReadsEveryFormOfCountBesidePlainOnes)
{
    // Runs of zeros and plain counts between counts written otherwise, a
    // last count that ends its line (U+2028, CR LF, the end of the text), a
    // name that begins beyond ASCII; the same cells in both orientations.
    const std::string_view table = "id\tS1\tS2\tS3\tS4\tS5\tS6\n"
                                   "A\t0\t0\t0\t0\t007\t1.0\n"
                                   "B\t 2\t\t0\t0\t0\t0000000003\r\n"
                                   "\xC3\x9C\t3e0\t0\t0\t0\t0\t0\xE2\x80\xA8"
                                   "C\t0\t0\t0\t0\t\xC2\xA0"
                                   "4\t12";
    EXPECT_EQ(describe(readCommunityCounts(table, {})), "(no text column)\n"
                                                        "A;B;\xC3\x9C;C;\n"
                                                        "S1: 1=2 2=3\nS2:\nS3:\nS4:\n"
                                                        "S5: 0=7 3=4\n"
                                                        "S6: 0=1 1=3 3=12");
    EXPECT_EQ(describe(readCommunityCounts(table, {.taxaAsRows = false})), "(no text column)\n"
                                                                           "S1;S2;S3;S4;S5;S6;\n"
                                                                           "A: 4=7 5=1\n"
                                                                           "B: 0=2 5=3\n"
                                                                           "\xC3\x9C: 0=3\n"
                                                                           "C: 4=4 5=12");
}

TEST(CommunityTable, TheLimitOfCountsHoldsAcrossTheParts)
{
    // A hundred counts a line: the limit is reached on the last line.
    constexpr std::size_t columns = 100;
    const std::size_t lines = importmessages::maxImportedTaxa / columns;
    std::string table = "id";
    for (std::size_t c = 0; c < columns; ++c) {
        table += "\tS" + std::to_string(c);
    }
    table += "\n";
    std::string line = "T";
    for (std::size_t c = 0; c < columns; ++c) {
        line += "\t1";
    }
    line += "\n";
    table.reserve(table.size() + (lines + 1) * line.size());
    for (std::size_t i = 0; i < lines; ++i) {
        table += line;
    }
    EXPECT_FALSE(checkCommunityTable(table, {}, 1));
    table += "U";
    for (std::size_t c = 1; c < columns; ++c) {
        table += "\t0";
    }
    table += "\t3\n"; // one count too many, in the last column
    const std::optional<CommunityFault> fault = checkCommunityTable(table, {}, 1);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->line, lines + 2);
    EXPECT_EQ(fault->column, columns + 1);
    EXPECT_NE(fault->reason.find("more than 10 000 000 counts"), std::string::npos);
}

} // namespace
} // namespace quorvella
