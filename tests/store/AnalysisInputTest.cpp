#include "store/AnalysisInput.h"

#include <gtest/gtest.h>

namespace quorvella {
namespace {

TEST(AnalysisInput, GroupInputIndexesCollectionsInStoreOrder)
{
    Store store;
    const RecordId second = store.insertCensus(Census{.censusName = "z"});
    const RecordId first = store.insertCensus(Census{.censusName = std::nullopt});
    store.insertTaxon(Taxon{.taxonName = "a", .abundance = 2, .census = first});
    store.insertTaxon(Taxon{.taxonName = "o", .abundance = 1});
    store.insertTaxon(Taxon{
        .taxonName = "b", .abundance = std::nullopt, .census = second, .includeTaxon = false});

    const GroupInput input = makeGroupInput(store);
    EXPECT_EQ(input.censusIds, (std::vector<RecordId>{second, first}));
    EXPECT_EQ(input.collectionNames, (std::vector<std::optional<std::string>>{"z", std::nullopt}));
    ASSERT_EQ(input.taxa.size(), 3u);
    EXPECT_EQ(input.taxa[0].collection, 1u);
    EXPECT_EQ(input.taxa[0].abundance, 2);
    EXPECT_EQ(input.taxa[1].collection, std::nullopt); // the orphan
    EXPECT_EQ(input.taxa[2].collection, 0u);
    EXPECT_EQ(input.taxa[2].abundance, std::nullopt);
    EXPECT_FALSE(input.taxa[2].include);
}

TEST(AnalysisInput, OneCollectionInDisplayOrder)
{
    Store store;
    const RecordId census = store.insertCensus();
    const RecordId other = store.insertCensus();
    store.insertTaxon(Taxon{.taxonName = "betula", .abundance = 3, .census = census});
    store.insertTaxon(Taxon{.taxonName = "x", .abundance = 99, .census = other});
    store.insertTaxon(Taxon{.taxonName = "Abies", .abundance = 3, .census = census});
    store.insertTaxon(Taxon{.taxonName = "c", .abundance = 12, .census = census});

    const std::vector<TaxonEntry> entries = taxonEntriesOfCensus(store, census);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "c");
    EXPECT_EQ(entries[1].name, "Abies");
    EXPECT_EQ(entries[2].name, "betula");
    EXPECT_EQ(entries[2].collection, 0u);
}

} // namespace
} // namespace quorvella
