#include "store/Taxon.h"

#include <algorithm>
#include <string_view>

namespace quorvella {
namespace {

unsigned char foldAsciiCase(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// -1, 0 or 1, comparing byte by byte with ASCII letters folded to lower case.
int compareIgnoringCase(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = foldAsciiCase(a[i]);
        const unsigned char y = foldAsciiCase(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

bool Taxon::sameAttributes(const Taxon &other) const
{
    return taxonName == other.taxonName && abundance == other.abundance && census == other.census &&
           includeTaxon == other.includeTaxon;
}

bool taxonDisplayLess(const Taxon &a, const Taxon &b)
{
    if (a.abundance != b.abundance) {
        // Descending; an absent abundance is the smallest, so it comes last.
        return a.abundance > b.abundance;
    }
    if (a.taxonName.has_value() != b.taxonName.has_value()) {
        return !a.taxonName.has_value();
    }
    if (a.taxonName) {
        const int order = compareIgnoringCase(*a.taxonName, *b.taxonName);
        if (order != 0) {
            return order < 0;
        }
    }
    return a.id < b.id;
}

} // namespace quorvella
