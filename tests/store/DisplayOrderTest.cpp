#include "analysis/NameOrder.h"
#include "store/Census.h"
#include "store/Taxon.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace quorvella {
namespace {

using Name = std::optional<std::string>;

TEST(DisplayOrder, CollectionsByNameCaseSensitive)
{
    struct Row
    {
        std::vector<Name> names; // in store order
        std::vector<Name> listed;
    };
    const Row rows[] = {
        {{"b", "A", "a"}, {"A", "a", "b"}},
        {{"a", "B"}, {"B", "a"}}, // capital B before small a
        {{"x", std::nullopt, ""}, {std::nullopt, "", "x"}},
        {{"\xC3\xA9", "z", "Z"}, {"Z", "\xC3\xA9", "z"}}, // é with the e's
        {{"Zeta", "\xC3\x89tang", "Eau"}, {"Eau", "\xC3\x89tang", "Zeta"}},
        {{"S10", "S2", "S1"}, {"S1", "S10", "S2"}},
    };
    for (const Row &row : rows) {
        std::vector<Census> censuses;
        for (const Name &name : row.names) {
            censuses.push_back(
                Census{.id = static_cast<RecordId>(censuses.size() + 1), .censusName = name});
        }
        std::sort(censuses.begin(), censuses.end(), censusDisplayLess);
        std::vector<Name> listed;
        for (const Census &census : censuses) {
            listed.push_back(census.censusName);
        }
        EXPECT_EQ(listed, row.listed);
    }
}

TEST(DisplayOrder, EqualCollectionNamesKeepStoreOrder)
{
    std::vector<Census> censuses = {{.id = 3, .censusName = "a"}, {.id = 1, .censusName = "a"}};
    std::sort(censuses.begin(), censuses.end(), censusDisplayLess);
    EXPECT_EQ(censuses[0].id, 1);
}

TEST(DisplayOrder, TaxaByAbundanceDescendingThenNameIgnoringCase)
{
    struct Entry
    {
        Name name;
        std::optional<std::int32_t> abundance;
    };
    struct Row
    {
        std::vector<Entry> taxa; // in store order
        std::vector<std::string> listed;
    };
    const Row rows[] = {
        {{{"betula", 5}, {"Abies", 5}}, {"Abies", "betula"}},
        {{{"a", 3}, {"z", 12}}, {"z", "a"}},
        {{{"unc", std::nullopt}, {"b", 0}, {"c", -1}}, {"b", "c", "unc"}}, // absent last
        {{{"B", 1}, {"a", 1}, {"C", 1}}, {"a", "B", "C"}},
        {{{"x", 1}, {std::nullopt, 1}, {"", 1}}, {"(none)", "", "x"}},
        {{{"Ab", 1}, {"ab", 1}, {"AB", 1}}, {"Ab", "ab", "AB"}}, // equal: store order
        {{{"a-b", 1}, {"aB", 1}}, {"a-b", "aB"}},
    };
    for (const Row &row : rows) {
        std::vector<Taxon> taxa;
        for (const Entry &entry : row.taxa) {
            taxa.push_back(Taxon{.id = static_cast<RecordId>(taxa.size() + 1),
                                 .taxonName = entry.name,
                                 .abundance = entry.abundance});
        }
        std::sort(taxa.begin(), taxa.end(), taxonDisplayLess);
        std::vector<std::string> listed;
        for (const Taxon &taxon : taxa) {
            listed.push_back(taxon.taxonName.value_or("(none)"));
        }
        EXPECT_EQ(listed, row.listed);
    }
}

TEST(DisplayOrder, TaxonNamesOrderAsTheNameComparisonDoes)
{
    // Pieces of ASCII in both cases, accents, combining accents and a stray
    // byte, joined at random: the species table's order must be the names'.
    const std::string pieces[] = {"a", "B", "b",        "Z",        "-",
                                  "1", "",  "\xC3\xA9", "\xC3\x89", "e",
                                  "E", " ", "\xCC\x81", "\xCE\xA3", "\xFF"};
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 16; };
    const auto name = [&] {
        std::string text;
        for (std::uint32_t n = next() % 5; n > 0; --n) {
            text += pieces[next() % std::size(pieces)];
        }
        return text;
    };
    for (int i = 0; i < 20000; ++i) {
        const Taxon a{.id = 1, .taxonName = name(), .abundance = 1};
        const Taxon b{.id = 2, .taxonName = name(), .abundance = 1};
        const int order = compareNamesIgnoringCase(*a.taxonName, *b.taxonName);
        ASSERT_EQ(taxonDisplayLess(a, b), order < 0 || (order == 0 && a.id < b.id))
            << *a.taxonName << " | " << *b.taxonName;
    }
}

} // namespace
} // namespace quorvella
