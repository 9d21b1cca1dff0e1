#include "textio/CommunityTable.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace quorvella
