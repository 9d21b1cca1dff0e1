#include "store/Census.h"

#include "analysis/NameOrder.h"
#include "store/SameValue.h"

namespace quorvella {

bool Census::sameAttributes(const Census &other) const
{
    return censusName == other.censusName && abundance == other.abundance &&
           richness == other.richness && sameValue(buzasGibson, other.buzasGibson) &&
           sameValue(chao, other.chao) && sameValue(shannon, other.shannon) &&
           sameValue(simpson, other.simpson) && sameValue(peters, other.peters) &&
           sameValue(pielou, other.pielou) && sameValue(pie, other.pie) &&
           sameValue(rarefactionRichness, other.rarefactionRichness) &&
           rarefactionSampleSize == other.rarefactionSampleSize;
}

bool censusDisplayLess(const Census &a, const Census &b)
{
    if (a.censusName.has_value() != b.censusName.has_value()) {
        return !a.censusName.has_value(); // an unnamed collection first
    }
    if (a.censusName) {
        const int order = compareNames(*a.censusName, *b.censusName);
        if (order != 0) {
            return order < 0;
        }
    }
    return a.id < b.id;
}

} // namespace quorvella
