#include "store/Census.h"

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
    if (a.censusName != b.censusName) {
        // std::optional orders an absent value first; std::string compares
        // bytes as unsigned, which for UTF-8 is code point order.
        return a.censusName < b.censusName;
    }
    return a.id < b.id;
}

} // namespace quorvella
