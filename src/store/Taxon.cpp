#include "store/Taxon.h"

#include "analysis/NameOrder.h"
#include "store/TaxonTable.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace quorvella {
namespace {

// compareNamesIgnoringCase where it is decided within ASCII (most taxon
// names): the same order without decoding; nothing where a byte outside
// ASCII comes first. After an equal start the shorter name comes first,
// whatever follows in the longer one, as in the full comparison.
std::optional<int> compareAsciiIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if ((x | y) >= 0x80) {
            return std::nullopt;
        }
        if (lower(x) != lower(y)) {
            return lower(x) < lower(y) ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int compareTaxonNames(std::string_view a, std::string_view b)
{
    const std::optional<int> ascii = compareAsciiIgnoringCase(a, b);
    return ascii ? *ascii : compareNamesIgnoringCase(a, b);
}

} // namespace

bool Taxon::sameAttributes(const Taxon &other) const
{
    return taxonName == other.taxonName && abundance == other.abundance && census == other.census &&
           includeTaxon == other.includeTaxon;
}

bool taxonViewDisplayLess(const TaxonView &a, const TaxonView &b)
{
    if (a.abundance != b.abundance) {
        // Descending; an absent abundance is the smallest, so it comes last.
        return a.abundance > b.abundance;
    }
    if (a.taxonName.has_value() != b.taxonName.has_value()) {
        return !a.taxonName.has_value();
    }
    if (a.taxonName && *a.taxonName != *b.taxonName) { // equal bytes: an equal name, at once
        const int order = compareTaxonNames(*a.taxonName, *b.taxonName);
        if (order != 0) {
            return order < 0;
        }
    }
    return a.id < b.id;
}

bool taxonDisplayLess(const Taxon &a, const Taxon &b)
{
    return taxonViewDisplayLess(viewOf(a), viewOf(b));
}

} // namespace quorvella
