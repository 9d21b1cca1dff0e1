#include "store/StoreImport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quorvella {
namespace {

struct ExpectedTaxon
{
    std::string name;
    std::int32_t abundance;
};
struct ExpectedCollection
{
    std::string name;
    std::vector<ExpectedTaxon> taxa;
};

enum class Format { AbundanceList, Collection, Group };

StoreImportResult importText(Store &store, Format format, const std::string &text)
{
    switch (format) {
    case Format::AbundanceList:
        return addAbundanceListToMOCFromString(store, text);
    case Format::Collection:
        return addCollectionToMOCFromString(store, text);
    case Format::Group:
        return addCollectionGroupToMOCFromString(store, text);
    }
    return {};
}

TEST(StoreImport, RecordsOfEachFormat)
{
    struct Row
    {
        const char *what;
        Format format;
        std::string text;
        std::vector<ExpectedCollection> collections;
        std::optional<std::vector<std::string>> completion;
    };
    // The list's taxa are numbered in list order, so that they stay distinct.
    const auto unnamed = [](int serial, std::int32_t n) {
        return ExpectedTaxon{"unnamed species " + std::to_string(serial), n};
    };
    const Row rows[] = {
        {"list",
         Format::AbundanceList,
         "3, 1, 4",
         {{"imported census", {unnamed(1, 3), unnamed(2, 1), unnamed(3, 4)}}},
         std::nullopt},
        {"list over lines",
         Format::AbundanceList,
         "3\r\n1\t4\n",
         {{"imported census", {unnamed(1, 3), unnamed(2, 1), unnamed(3, 4)}}},
         std::nullopt},
        {"list of line ends",
         Format::AbundanceList,
         "\n\n\r\n",
         {{"imported census", {}}},
         std::nullopt},
        {"list with a zero fraction",
         Format::AbundanceList,
         "5.0",
         {{"imported census", {unnamed(1, 5)}}},
         std::nullopt},
        {"list with an exponent",
         Format::AbundanceList,
         "1e2",
         {{"imported census", {unnamed(1, 100)}}},
         std::nullopt},
        {"table with a repeated name",
         Format::Collection,
         "a,1\na,2\n",
         {{"imported census", {{"a", 1}, {"a", 2}}}},
         std::nullopt},
        {"table with quoted and spaced names",
         Format::Collection,
         "\"x, y\",3\nz ,4",
         {{"imported census", {{"x, y", 3}, {"z ", 4}}}},
         std::nullopt},
        {"table row without abundance",
         Format::Collection,
         "a,\nb,2",
         {{"imported census", {{"b", 2}}}},
         std::nullopt},
        {"group",
         Format::Group,
         "label,A,B,C\nS1,2,0,5\n",
         {{"S1", {{"A", 2}, {"C", 5}}}},
         std::vector<std::string>{"A", "B", "C"}},
        {"group rows in order, a name-only row",
         Format::Group,
         "x,A,B\nS2,1,1\nS1\n",
         {{"S2", {{"A", 1}, {"B", 1}}}, {"S1", {}}},
         std::vector<std::string>{"A", "B"}},
        {"group header only",
         Format::Group,
         "label,A,B,C\n",
         {},
         std::vector<std::string>{"A", "B", "C"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        Store store;
        const RecordId existing = store.insertCensus(Census{.censusName = "kept"});
        store.setModified(false);
        int notifications = 0;
        store.addObserver([&](const StoreChanges &) { ++notifications; });

        const StoreImportResult result = importText(store, row.format, row.text);

        EXPECT_EQ(result.completionList, row.completion);
        ASSERT_EQ(result.censuses.size(), row.collections.size());
        EXPECT_EQ(notifications, row.collections.empty() ? 0 : 1);
        EXPECT_EQ(store.findCensus(existing)->censusName, "kept");
        for (std::size_t c = 0; c < row.collections.size(); ++c) {
            const Census &census = *store.findCensus(result.censuses[c]);
            EXPECT_EQ(census.censusName, row.collections[c].name);
            EXPECT_TRUE(census.sameAttributes(Census{.censusName = census.censusName}))
                << "an imported collection has no metrics";
            const std::vector<Taxon> taxa = store.taxaOfCensus(census.id);
            ASSERT_EQ(taxa.size(), row.collections[c].taxa.size());
            for (std::size_t t = 0; t < taxa.size(); ++t) {
                EXPECT_EQ(taxa[t].taxonName, row.collections[c].taxa[t].name);
                EXPECT_EQ(taxa[t].abundance, row.collections[c].taxa[t].abundance);
                EXPECT_TRUE(taxa[t].includeTaxon);
            }
        }
    }
}

TEST(StoreImport, ImportingTwiceMakesTwoCollectionsOfTheSameName)
{
    Store store;
    addAbundanceListToMOCFromString(store, "3 1 4");
    addAbundanceListToMOCFromString(store, "3 1 4");
    const auto censuses = store.createArrayOfAllCensuses();
    ASSERT_EQ(censuses.size(), 2u);
    EXPECT_EQ(censuses[0].censusName, censuses[1].censusName);
    EXPECT_EQ(store.taxonCount(), 6u);
}

TEST(StoreImport, AThousandCollectionsAreOneNotification)
{
    std::string text = "label,A,B\n";
    for (int i = 0; i < 1000; ++i) {
        text += "S" + std::to_string(i) + ",1,2\n";
    }
    Store store;
    int notifications = 0;
    std::size_t inserted = 0;
    store.addObserver([&](const StoreChanges &changes) {
        ++notifications;
        inserted = changes.insertedCensuses.size() + changes.insertedTaxa.size();
    });
    addCollectionGroupToMOCFromString(store, text);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(inserted, 3000u);
}

TEST(StoreImport, CommunityCountsImportAsTheReadTableDoes)
{
    // A repeated taxon name, zero and empty cells, a taxonomy column.
    const std::string text = "# Constructed from biom file\n#OTU ID\tS1\tS2\ttaxonomy\n"
                             "A\t3\t0\tk__X\nB\t\t2\tk__Y\nA\t1\t5\tk__X\n";
    for (const CommunityOptions options :
         {CommunityOptions{}, CommunityOptions{false, false}, CommunityOptions{true, true}}) {
        Store fromCounts;
        Store fromGroup;
        const CommunityImportResult counted =
            addCommunityTableToMOCFromString(fromCounts, text, options);
        const StoreImportResult grouped =
            addCommunityGroupToMOC(fromGroup, readCommunityTable(text, options).group);
        ASSERT_FALSE(counted.fault);
        EXPECT_EQ(counted.imported.censuses, grouped.censuses);
        EXPECT_EQ(counted.imported.completionList, grouped.completionList);
        const std::vector<Taxon> a = fromCounts.createArrayOfAllTaxa();
        const std::vector<Taxon> b = fromGroup.createArrayOfAllTaxa();
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].id, b[i].id);
            EXPECT_TRUE(a[i].sameAttributes(b[i])) << a[i].taxonName.value_or("");
        }
    }
}

} // namespace
} // namespace quorvella
