#include "textio/CsvExport.h"

#include "TestPrinters.h"
#include "TestRowName.h"
#include "analysis/EcoCollection.h"
#include "analysis/EcoCollectionGroup.h"
#include "textio/ImportParsing.h"
#include "textio/ImportValidation.h"

#include <gtest/gtest.h>
#include <limits>

namespace quorvella {
namespace {

TaxonEntry taxon(std::string name, std::int32_t abundance,
                 std::optional<std::size_t> collection = 0)
{
    return {std::move(name), abundance, true, collection};
}

TEST(CollectionExport, OneLinePerCountedTaxonEndedByCarriageReturn)
{
    const std::vector<TaxonEntry> taxa{taxon("Globigerina", 12), taxon("Orbulina", 3)};
    EXPECT_EQ(collectionToCVSString(EcoCollection::initWithTaxonArray(taxa)),
              "Globigerina,12\rOrbulina,3\r");
}

TEST(CollectionExport, WritesEveryCountedTaxonIncludingZeroCounts)
{
    std::vector<TaxonEntry> taxa{taxon("A", 4), taxon("Zero", 0), taxon("B", 1)};
    taxa.push_back({"Excluded", 9, false, 0});
    taxa.push_back({"NoCount", std::nullopt, true, 0});
    EXPECT_EQ(collectionToCVSString(EcoCollection::initWithTaxonArray(taxa)),
              "A,4\rZero,0\rB,1\r");
}

TEST(CollectionExport, AllExcludedGivesAnEmptyText)
{
    const std::vector<TaxonEntry> taxa{{"A", 4, false, 0}};
    EXPECT_EQ(collectionToCVSString(EcoCollection::initWithTaxonArray(taxa)), "");
}

TEST(CollectionExport, ACollectionWithoutNamesWritesEmptyNames)
{
    EXPECT_EQ(collectionToCVSString(EcoCollection::initFromAbundanceArray({5, 0, 2})),
              ",5\r,0\r,2\r");
}

TEST(CollectionExport, RoundTripsThroughTheOneCollectionImport)
{
    const std::vector<TaxonEntry> taxa{taxon("Globigerina bulloides", 12), taxon("Orbulina ", 3),
                                       taxon("G. ruber", 2147483647)};
    const std::string text = collectionToCVSString(EcoCollection::initWithTaxonArray(taxa));
    ASSERT_TRUE(validateCollectionFromString(text).isValid());
    const ImportedCollection back = parseCollection(text);
    EXPECT_EQ(back.taxa,
              (std::vector<ImportedTaxon>{
                  {"Globigerina bulloides", 12}, {"Orbulina ", 3}, {"G. ruber", 2147483647}}));
}

TEST(GroupExport, OneCollectionOneTaxonIsTenCharacters)
{
    EcoCollectionGroup group({taxon("A", 7)}, {std::string("S1")});
    EXPECT_EQ(collectionGroupToCVSString(group), " , A\rS1,7\r");
}

TEST(GroupExport, HeaderCellsBeginWithASpaceAndAbsentCellsAreZero)
{
    EcoCollectionGroup group({taxon("B", 4, 1), taxon("A", 2, 0), taxon("A", 1, 1)},
                             {std::string("S1"), std::string("S2"), std::nullopt});
    EXPECT_EQ(collectionGroupToCVSString(group), " , A, B\rS1,2,0\rS2,1,4\r,0,0\r");
}

TEST(GroupExport, RoundTripsThroughTheGroupImport)
{
    EcoCollectionGroup group({taxon("Orbulina", 3, 0), taxon("Globigerina", 12, 0),
                              taxon("Orbulina", 5, 1), taxon("Abies alba", 1, 2)},
                             {std::string("S1"), std::string("S 2"), std::string("S3")});
    const std::string text = collectionGroupToCVSString(group);
    ASSERT_TRUE(validateCollectionGroupFromString(text).isValid());
    const ImportedCollectionGroup back = parseCollectionGroup(text);
    const std::vector<ImportedCollection> expected{
        {"S1", {{"Globigerina", 12}, {"Orbulina", 3}}},
        {"S 2", {{"Orbulina", 5}}},
        {"S3", {{"Abies alba", 1}}},
    };
    EXPECT_EQ(back.collections, expected);
    EXPECT_EQ(back.completionNames,
              (std::vector<std::string>{"Abies alba", "Globigerina", "Orbulina"}));
}

struct MetricRow
{
    const char *label;
    CollectionMetricsRow row;
    std::string line;
};

class MetricsExportTest : public ::testing::TestWithParam<MetricRow>
{
};

TEST_P(MetricsExportTest, WritesOneLinePerCollection)
{
    const std::vector<CollectionMetricsRow> rows{GetParam().row};
    EXPECT_EQ(metricsTableToCVSString(rows), std::string(metricsTableHeader) + GetParam().line);
}

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

CollectionMetricsRow named(std::string name)
{
    CollectionMetricsRow row;
    row.name = std::move(name);
    return row;
}

std::vector<MetricRow> metricRows()
{
    const std::string zeros = "0.000000,0.000000,0.000000,0.000000,0.000000,0.000000";
    std::vector<MetricRow> rows;
    rows.push_back({"never calculated", named("S1"), "S1,0,0,0.000000,0.000000," + zeros + "\r"});
    rows.push_back({"no name", {}, ",0,0,0.000000,0.000000," + zeros + "\r"});

    MetricRow all{"every cell in order", named("S1"),
                  "S1,3,15,0.500000,4.000000,0.250000,1.098612,0.600000,2.500000,1.000000,"
                  "7.123457\r"};
    all.row.richness = 3;
    all.row.sampleSize = 15;
    all.row.buzasGibson = 0.5;
    all.row.chao = 4.0;
    all.row.pie = 0.25;
    all.row.shannon = 1.0986123;
    all.row.simpson = 0.6;
    all.row.peters = 2.5;
    all.row.pielou = 1.0;
    all.row.rarefactionRichness = 7.123456789;
    rows.push_back(all);

    MetricRow widened{"single precision widened", named("x"),
                      "x,0,0,0.000000,0.100000," + zeros + "\r"};
    widened.row.chao = 0.1;
    rows.push_back(widened);

    MetricRow rounded{"value rounded to single precision first", named("x"),
                      "x,0,0,0.000000,16777216.000000," + zeros + "\r"};
    rounded.row.chao = 16777217.0;
    rows.push_back(rounded);

    MetricRow special{"infinity and nan stay visible", named("x"),
                      "x,0,0,nan,inf,-inf,0.000000,0.000000,0.000000,0.000000,0.000000\r"};
    special.row.buzasGibson = nan;
    special.row.chao = inf;
    special.row.pie = -inf;
    rows.push_back(special);

    MetricRow comma{"comma in name adds a cell", named("a,b"),
                    "a,b,2,0,0.000000,0.000000," + zeros + "\r"};
    comma.row.richness = 2;
    rows.push_back(comma);

    MetricRow limited{"integer cells truncated and limited", named("x"),
                      "x,2,2147483647,0.000000,0.000000," + zeros + "\r"};
    limited.row.richness = 2.9;
    limited.row.sampleSize = 1e12;
    rows.push_back(limited);
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Rows, MetricsExportTest, ::testing::ValuesIn(metricRows()),
                         testing::LabelName());

TEST(MetricsExport, HeaderIsExact)
{
    EXPECT_EQ(metricsTableToCVSString({}),
              " ,richness,sample size,Buzas-Gibson E,Chao-1,Hurlbert's PIE,Shannon's H,"
              "Simpson's D,Peters' Ess,Pielou's J,Rarified Richness\r");
}

TEST(MetricsExport, RowsKeepTheirOrder)
{
    const std::vector<CollectionMetricsRow> rows{named("B"), named("A")};
    const std::string text = metricsTableToCVSString(rows);
    EXPECT_LT(text.find("\rB,"), text.find("\rA,"));
}

} // namespace
} // namespace quorvella
