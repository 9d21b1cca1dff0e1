#include "analysis/EcoCollectionGroup.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

namespace quorvella {
namespace {

// Groups come from data only; the compiler refuses anything else.
static_assert(!std::is_default_constructible_v<EcoCollectionGroup>);

using Names = std::vector<std::string>;
using Row = std::vector<std::int32_t>;

TaxonEntry taxon(const char *name, std::int32_t abundance, std::size_t collection)
{
    return {name, abundance, true, collection};
}

std::vector<std::optional<std::string>> named(std::initializer_list<const char *> names)
{
    std::vector<std::optional<std::string>> result;
    for (const char *name : names) {
        result.emplace_back(name);
    }
    return result;
}

Row rowOf(const EcoCollectionGroup &group, std::size_t collection)
{
    const auto row = group.abundanceRow(collection);
    return Row(row.begin(), row.end());
}

struct TaxonListRow
{
    const char *label;
    std::vector<TaxonEntry> taxa;
    Names expected;
};

TEST(EcoCollectionGroupTaxonList, DistinctNamesSortedIgnoringCase)
{
    const std::vector<TaxonListRow> rows = {
        {"case-insensitive order",
         {taxon("Quercus", 1, 0), taxon("abies", 1, 0), taxon("Betula", 1, 0)},
         {"abies", "Betula", "Quercus"}},
        {"names differing in case are two taxa, adjacent",
         {taxon("Abies alba", 1, 0), taxon("Carex", 1, 0), taxon("abies alba", 2, 1)},
         {"Abies alba", "abies alba", "Carex"}},
        {"exact comparison: spacing makes another taxon",
         {taxon("Abies", 1, 0), taxon("Abies ", 1, 1), taxon("Abies", 4, 1)},
         {"Abies", "Abies "}},
        {"orphans, foreign collections and nameless taxa are left out",
         {taxon("Lonely", 3, 0),
          {"Orphan", 5, true, std::nullopt},
          taxon("Foreign", 2, 7),
          {std::nullopt, 4, true, 0}},
         {"Lonely"}},
        {"a name held only by an uncounted or excluded taxon is listed",
         {taxon("Zero", 0, 0), {"Absent", std::nullopt, false, 0}},
         {"Absent", "Zero"}},
    };
    for (const TaxonListRow &row : rows) {
        EcoCollectionGroup group(row.taxa, named({"one", "two"}));
        group.createTaxonList();
        EXPECT_EQ(group.taxonNames(), row.expected) << row.label;
    }
}

// Five collections; "Abies" in three of them, doubled in the third.
EcoCollectionGroup fiveCollections()
{
    std::vector<TaxonEntry> taxa = {
        taxon("Abies", 4, 0),    taxon("Betula", 2, 0),
        taxon("Abies", 7, 2),    taxon("Abies", 1, 2),
        taxon("Abies", 5, 4),    taxon("Carex", 0, 1),
        {"Orphan", 9, true, {}}, {"Dryas", std::nullopt, true, 1},
    };
    std::vector<std::optional<std::string>> names = named({"A", "B", "C", "D", "A"});
    names[3] = std::nullopt; // a collection nobody named
    return EcoCollectionGroup(std::move(taxa), std::move(names));
}

TEST(EcoCollectionGroupMatrix, CellsRowsAndCounts)
{
    EcoCollectionGroup group = fiveCollections();
    EXPECT_EQ(group.numTaxa(), 0u); // nothing is built before it is asked for
    EXPECT_FALSE(group.hasAbundanceMatrix());

    group.createAbundanceMatrix();
    ASSERT_EQ(group.taxonNames(), (Names{"Abies", "Betula", "Carex", "Dryas"}));
    // Same-named collections keep two rows; the unnamed one is listed as "".
    EXPECT_EQ(group.collectionNames(), (Names{"A", "B", "C", "", "A"}));
    ASSERT_EQ(group.numTaxa(), 4u);
    ASSERT_EQ(group.numCollections(), 5u);

    const std::vector<Row> expected = {
        {4, 2, 0, 0}, // first collection
        {0, 0, 0, 0}, // Carex counted 0, Dryas without a count
        {8, 0, 0, 0}, // both Abies of C add up in one cell: no specimen is lost
        {0, 0, 0, 0}, // a collection without taxa is a row of zeros
        {5, 0, 0, 0},
    };
    for (std::size_t c = 0; c < expected.size(); ++c) {
        EXPECT_EQ(rowOf(group, c), expected[c]) << "row " << c;
    }
    EXPECT_EQ(group.abundanceAt(4, 0), 5);
    EXPECT_THROW(group.abundanceAt(5, 0), std::out_of_range);
    EXPECT_THROW(group.abundanceAt(0, 4), std::out_of_range);
}

TEST(EcoCollectionGroupMatrix, PresenceOccurrencesAndSums)
{
    EcoCollectionGroup group = fiveCollections();
    EXPECT_EQ(group.createSummedAbundanceList(), (Row{17, 2, 0, 0})); // both Abies of C add up

    group.countCensusOccurrences(); // builds the matrices it needs
    EXPECT_EQ(group.censusOccurrences(), (Row{3, 1, 0, 0}));
    EXPECT_EQ(group.presenceAt(2, 0), 1);
    EXPECT_EQ(group.presenceAt(1, 2), 0); // a zero count is absence
}

TEST(EcoCollectionGroupMatrix, RebuildingGivesEqualTables)
{
    EcoCollectionGroup group = fiveCollections();
    group.createAbundanceMatrix();
    const Row first = rowOf(group, 0);
    group.createTaxonList();
    group.createAbundanceMatrix();
    group.makePresenceAbsenceMatrix();
    EXPECT_EQ(rowOf(group, 0), first);
    EXPECT_EQ(group.collectionNames().size(), 5u);
    EXPECT_EQ(*group.columnOfTaxon("Carex"), 2u);
    EXPECT_FALSE(group.columnOfTaxon("Orphan").has_value());
}

TEST(EcoCollectionGroupMatrix, SummedAbundancesSaturate)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    EcoCollectionGroup group({taxon("Big", kMax, 0), taxon("Big", 10, 1), taxon("Small", 3, 1)},
                             named({"a", "b"}));
    EXPECT_EQ(group.createSummedAbundanceList(), (Row{kMax, 3}));
}

TEST(EcoCollectionGroupMatrix, IncludeFlagPlaysNoPart)
{
    EcoCollectionGroup group({{"Abies", 3, false, 0}}, named({"a"}));
    group.createAbundanceMatrix();
    EXPECT_EQ(group.abundanceAt(0, 0), 3);
}

} // namespace
} // namespace quorvella
