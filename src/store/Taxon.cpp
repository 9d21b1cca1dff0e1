#include "store/Taxon.h"

#include "analysis/NameOrder.h"
#include "store/TaxonTable.h"

namespace quorvella {

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
    if (a.taxonName) {
        const int order = compareNamesIgnoringCase(*a.taxonName, *b.taxonName);
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
