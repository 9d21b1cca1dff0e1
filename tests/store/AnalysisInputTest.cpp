#include "store/AnalysisInput.h"

#include "analysis/Cancellation.h"

#include <atomic>
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

TEST(AnalysisInput, RichnessInputCountsLikeTheMeasuresAndTheGroup)
{
    Store store;
    const RecordId first = store.insertCensus(Census{.censusName = "a"});
    const RecordId second = store.insertCensus(Census{.censusName = std::nullopt});
    store.insertTaxon(Taxon{.taxonName = "x", .abundance = 4, .census = first});
    store.insertTaxon(Taxon{.taxonName = "y", .abundance = 0, .census = first});
    store.insertTaxon(Taxon{.taxonName = "x", .abundance = 1, .census = second});
    // Left out of the collection's counts, still present in the group.
    store.insertTaxon(
        Taxon{.taxonName = "z", .abundance = 2, .census = second, .includeTaxon = false});
    store.insertTaxon(Taxon{.taxonName = std::nullopt, .abundance = 3, .census = second});
    store.insertTaxon(Taxon{.taxonName = "w", .abundance = std::nullopt, .census = second});
    store.insertTaxon(Taxon{.taxonName = "o", .abundance = 5}); // orphan

    const RichnessInput input = makeRichnessInput(store);
    ASSERT_EQ(input.collections.size(), 2u);
    EXPECT_EQ(input.collections[0].name, "a");
    EXPECT_EQ(input.collections[0].counts, (std::vector<std::int32_t>{4, 0}));
    EXPECT_EQ(input.collections[1].name, "");
    EXPECT_EQ(input.collections[1].counts, (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(input.taxa, (std::vector<IncidenceSet>{{0, 1}, {1}}));
}

// The readings of every taxon look at the flag every few thousand taxa: a
// clear flag reads the same, a set one stops the reading.
TEST(AnalysisInput, ReadingsStopWhenCancelled)
{
    Store store;
    const RecordId census = store.insertCensus(Census{.censusName = "c"});
    for (int i = 0; i < 5000; ++i) {
        store.insertTaxon(Taxon{
            .taxonName = "t" + std::to_string(i % 700), .abundance = 1 + i % 3, .census = census});
    }
    const std::atomic<bool> clear{false};
    const std::atomic<bool> set{true};
    EcoCollectionGroup flagged(groupTaxaOfStore(store, &clear));
    EcoCollectionGroup unflagged(groupTaxaOfStore(store));
    flagged.createAbundanceMatrix();
    unflagged.createAbundanceMatrix();
    EXPECT_EQ(flagged.taxonNames(), unflagged.taxonNames());
    EXPECT_EQ(flagged.abundanceRow(0), unflagged.abundanceRow(0));
    EXPECT_EQ(makeRichnessInput(store, &clear).taxa, makeRichnessInput(store).taxa);
    EXPECT_EQ(makeRichnessInput(store, &clear).collections[0].counts,
              makeRichnessInput(store).collections[0].counts);
    EXPECT_THROW(groupTaxaOfStore(store, &set), ComputationCancelled);
    EXPECT_THROW(makeRichnessInput(store, &set), ComputationCancelled);
    const RecordId censuses[] = {census};
    EXPECT_EQ(countsOfCensuses(store, censuses, &clear)[0].counts,
              countsOfCensuses(store, censuses)[0].counts);
    EXPECT_THROW(countsOfCensuses(store, censuses, &set), ComputationCancelled);
}

} // namespace
} // namespace quorvella
