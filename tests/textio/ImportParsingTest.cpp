#include "textio/ImportParsing.h"

#include "TestPrinters.h"
#include "TestRowName.h"
#include "log/Log.h"
#include "textio/ImportValidation.h"

#include <gtest/gtest.h>

namespace quorvella {
namespace {

using Taxa = std::vector<ImportedTaxon>;

// An abundance-list taxon; its name is numbered by position (numbered()).
ImportedTaxon unnamed(std::int32_t abundance)
{
    return {"unnamed species", abundance};
}

// The names an abundance list gives: "unnamed species 1", "unnamed species 2", ...
Taxa numbered(Taxa taxa)
{
    for (std::size_t i = 0; i < taxa.size(); ++i) {
        taxa[i].name += " " + std::to_string(i + 1);
    }
    return taxa;
}

// Collects the log lines written while it lives.
class LogCapture
{
public:
    LogCapture()
        : previous_(setLogSink([this](std::string_view line) { lines.emplace_back(line); }))
    {}
    ~LogCapture() { setLogSink(previous_); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    std::vector<std::string> lines;

private:
    LogSink previous_;
};

struct CollectionRow
{
    const char *label;
    bool abundanceList; // else a one-collection table
    std::string text;
    Taxa taxa;
};

class ParseCollectionTest : public ::testing::TestWithParam<CollectionRow>
{
};

TEST_P(ParseCollectionTest, MakesTheTaxaTheValidatorAccepted)
{
    const CollectionRow &row = GetParam();
    LogCapture log;
    const ImportedCollection parsed =
        row.abundanceList ? parseAbundanceList(row.text) : parseCollection(row.text);
    const ValidationResult check = row.abundanceList ? validateAbundanceListFromString(row.text)
                                                     : validateCollectionFromString(row.text);
    EXPECT_TRUE(check.isValid()) << *check.fault;
    EXPECT_EQ(parsed.name, "imported census");
    EXPECT_EQ(parsed.taxa, row.abundanceList ? numbered(row.taxa) : row.taxa);
    EXPECT_TRUE(log.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseCollectionTest,
    ::testing::Values(
        CollectionRow{"list lines", true, "3\n1\n4\n", {unnamed(3), unnamed(1), unnamed(4)}},
        CollectionRow{"list one line", true, "3, 1, 4", {unnamed(3), unnamed(1), unnamed(4)}},
        CollectionRow{
            "list crlf tabs", true, "\t3\r\n1\t4\r\n", {unnamed(3), unnamed(1), unnamed(4)}},
        CollectionRow{"list only line ends", true, "\n\r\n\n", {}},
        CollectionRow{"list five point zero", true, "5.0", {unnamed(5)}},
        CollectionRow{"list exponent is the accepted value",
                      true,
                      "1e2 2.5E1 3E+1",
                      {unnamed(100), unnamed(25), unnamed(30)}},
        CollectionRow{
            "list float rounding to whole keeps the whole value", true, "0.99999999", {unnamed(1)}},
        CollectionRow{"list exact beyond single precision", true, "16777217", {unnamed(16777217)}},
        CollectionRow{"list beyond 32 bits is limited",
                      true,
                      "3000000000 1e30",
                      {unnamed(2147483647), unnamed(2147483647)}},
        CollectionRow{"table two rows",
                      false,
                      "Globigerina,12\rOrbulina,3\r",
                      {{"Globigerina", 12}, {"Orbulina", 3}}},
        CollectionRow{"table same name twice", false, "A,1\nA,2", {{"A", 1}, {"A", 2}}},
        CollectionRow{"table quoted name with comma",
                      false,
                      "\"Globigerina, b\",4\n",
                      {{"Globigerina, b", 4}}},
        CollectionRow{"table doubled quote", false, "\"say \"\"hi\"\"\",4", {{"say \"hi\"", 4}}},
        CollectionRow{"table trailing space kept", false, "Abies ,2\n", {{"Abies ", 2}}},
        CollectionRow{
            "table leading space of first field kept", false, "  Abies,2", {{"  Abies", 2}}},
        CollectionRow{"table quoted line end kept", false, "\"a\r\nb\",1", {{"a\r\nb", 1}}},
        CollectionRow{"table row ending with comma adds nothing", false, "A,\nB,2", {{"B", 2}}},
        CollectionRow{"table empty name", false, ",5", {{"", 5}}},
        CollectionRow{"table exponent", false, "A,1e2", {{"A", 100}}},
        CollectionRow{"table fraction zero and text after", false, "A,7.0 specimens", {{"A", 7}}},
        CollectionRow{"table as a semicolon spreadsheet writes it",
                      false,
                      "Abies alba;3\r\nBetula;12\r\n",
                      {{"Abies alba", 3}, {"Betula", 12}}},
        CollectionRow{"table as write.table with sep=\";\" writes it",
                      false,
                      "\"Abies alba\";3\n\"Betula; var. b\";12,0\n",
                      {{"Abies alba", 3}, {"Betula; var. b", 12}}},
        CollectionRow{"table tab-separated",
                      false,
                      "Abies alba\t3\nBetula\t 12\n",
                      {{"Abies alba", 3}, {"Betula", 12}}}),
    testing::LabelName());

TEST(ParseCollection, LogsEachFieldOutOfPlaceAndGoesOn)
{
    LogCapture log;
    const ImportedCollection parsed = parseCollection("A,1,2\nB\nC,3");
    EXPECT_EQ(parsed.taxa, (Taxa{{"A", 2}, {"C", 3}}));
    EXPECT_EQ(log.lines,
              std::vector<std::string>(2, "error in addCollectionToMOCFromString in MyDocument"));
}

TEST(ParseAbundanceList, SkipsWhatIsNotANumberInAnUncheckedText)
{
    EXPECT_EQ(parseAbundanceList("4 abc;def 12abc 7").taxa,
              numbered(Taxa{unnamed(4), unnamed(12), unnamed(7)}));
}

struct GroupRow
{
    const char *label;
    std::string text;
    std::vector<ImportedCollection> collections;
    std::vector<std::string> completionNames;
};

class ParseGroupTest : public ::testing::TestWithParam<GroupRow>
{
};

TEST_P(ParseGroupTest, MakesOneCollectionPerRow)
{
    const GroupRow &row = GetParam();
    const ValidationResult check = validateCollectionGroupFromString(row.text);
    EXPECT_TRUE(check.isValid()) << *check.fault;
    const ImportedCollectionGroup parsed = parseCollectionGroup(row.text);
    EXPECT_EQ(parsed.collections, row.collections);
    EXPECT_EQ(parsed.completionNames, row.completionNames);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseGroupTest,
    ::testing::Values(GroupRow{"zero makes no taxon",
                               "label,A,B,C\rS1,2,0,5\r",
                               {{"S1", {{"A", 2}, {"C", 5}}}},
                               {"A", "B", "C"}},
                      GroupRow{"header only", "label,A,B\n", {}, {"A", "B"}},
                      GroupRow{"rows in order, taxa in header order",
                               "x,B,A\nS2,1,1\nS1,0,3\n",
                               {{"S2", {{"B", 1}, {"A", 1}}}, {"S1", {{"A", 3}}}},
                               {"B", "A"}},
                      GroupRow{"name only and blank lines",
                               "x,A\n\nS1\n\nS2,4\n",
                               {{"S1", {}}, {"S2", {{"A", 4}}}},
                               {"A"}},
                      GroupRow{"space after comma skipped",
                               " , A, B\rS1,1,2\r",
                               {{"S1", {{"A", 1}, {"B", 2}}}},
                               {"A", "B"}},
                      GroupRow{"exponent and quoted names",
                               "x,\"A, a\",B\n\"S,1\",1e1,2.0\n",
                               {{"S,1", {{"A, a", 10}, {"B", 2}}}},
                               {"A, a", "B"}},
                      GroupRow{"header ending with comma",
                               "x,A,B,\nS1,1,2,\nS2,3,4\n",
                               {{"S1", {{"A", 1}, {"B", 2}}}, {"S2", {{"A", 3}, {"B", 4}}}},
                               {"A", "B"}},
                      GroupRow{"as R's write.csv writes it",
                               "\"\",\"Abies alba\",\"Betula\"\n\"S1\",3,0\n\"S2\",0,12\n",
                               {{"S1", {{"Abies alba", 3}}}, {"S2", {{"Betula", 12}}}},
                               {"Abies alba", "Betula"}},
                      GroupRow{"as R's write.csv2 writes it",
                               "\"\";\"Abies alba\";\"Betula\"\n\"S1\";3;0\n\"S2\";0;12,0\n",
                               {{"S1", {{"Abies alba", 3}}}, {"S2", {{"Betula", 12}}}},
                               {"Abies alba", "Betula"}},
                      GroupRow{"as a semicolon spreadsheet writes it, an empty cell",
                               "Sample;Abies alba;Betula\r\nS1;3;\r\nS2;;12\r\n",
                               {{"S1", {{"Abies alba", 3}}}, {"S2", {{"Betula", 12}}}},
                               {"Abies alba", "Betula"}},
                      GroupRow{"tab-separated, two tabs enclose an empty cell",
                               "Sample\tAbies alba\tBetula\nS1\t3\t0\nS2\t\t12\n",
                               {{"S1", {{"Abies alba", 3}}}, {"S2", {{"Betula", 12}}}},
                               {"Abies alba", "Betula"}},
                      GroupRow{"empty header fields left out of completion",
                               ",A,,B\nS1,1,0,2\n",
                               {{"S1", {{"A", 1}, {"B", 2}}}},
                               {"A", "B"}}),
    testing::LabelName());

TEST(ParseCollectionGroup, NeverNamesATaxonBeyondTheHeader)
{
    // An unchecked text with more cells than species: the extra cells are dropped.
    const ImportedCollectionGroup parsed = parseCollectionGroup("x,A\nS1,1,2,3\n");
    ASSERT_EQ(parsed.collections.size(), 1u);
    EXPECT_EQ(parsed.collections[0].taxa, (Taxa{{"A", 1}}));
}

TEST(ParseCollectionGroup, ImportsAThousandByTwoThousandMatrix)
{
    constexpr int collections = 1000;
    constexpr int species = 2000;
    std::string text = "sample";
    for (int s = 0; s < species; ++s) {
        text += ",sp" + std::to_string(s);
    }
    text += "\r\n";
    for (int c = 0; c < collections; ++c) {
        text += "S" + std::to_string(c);
        for (int s = 0; s < species; ++s) {
            text += "," + std::to_string((c + s) % 3); // every third cell is zero
        }
        text += "\r\n";
    }
    ASSERT_TRUE(validateCollectionGroupFromString(text).isValid());
    const ImportedCollectionGroup group = parseCollectionGroup(text);
    ASSERT_EQ(group.collections.size(), std::size_t{collections});
    EXPECT_EQ(group.completionNames.size(), std::size_t{species});
    std::size_t taxa = 0;
    for (const ImportedCollection &collection : group.collections) {
        taxa += collection.taxa.size();
    }
    EXPECT_EQ(taxa, 1333333u);
    EXPECT_EQ(group.collections[999].name, "S999");
    EXPECT_EQ(group.collections[999].taxa.back(), (ImportedTaxon{"sp1999", 1}));
}

} // namespace
} // namespace quorvella
