#include "document/CollectionMetrics.h"

#include <QCoreApplication>
#include <stdexcept>
#include <unordered_map>

namespace quorvella {

std::vector<std::vector<std::int32_t>>
countedAbundancesByCollection(std::span<const Census> censuses, std::span<const Taxon> taxa)
{
    std::unordered_map<RecordId, std::size_t> position;
    position.reserve(censuses.size());
    for (std::size_t i = 0; i < censuses.size(); ++i)
        position.emplace(censuses[i].id, i);

    std::vector<std::vector<std::int32_t>> abundances(censuses.size());
    for (const Taxon &taxon : taxa) {
        if (!taxon.census || !taxon.includeTaxon || !taxon.abundance)
            continue;
        if (const auto found = position.find(*taxon.census); found != position.end())
            abundances[found->second].push_back(*taxon.abundance);
    }
    return abundances;
}

QString storeMeasures(Census &census, const EcoCollection &collection, int sampleSize,
                      bool storeSampleSize)
{
    census.abundance = collection.censusSize();
    census.richness = collection.richness();
    census.buzasGibson = static_cast<double>(collection.buzasGibsonE());
    census.chao = static_cast<double>(collection.chao1());
    census.shannon = static_cast<double>(collection.shannonH());
    census.simpson = static_cast<double>(collection.simpsonD());
    census.peters = static_cast<double>(collection.petersEss());
    census.pielou = static_cast<double>(collection.pielouJ());
    census.pie = static_cast<double>(collection.hurlbertPIE());
    if (sampleSize < 0) {
        return QCoreApplication::translate("CollectionMetrics",
                                           "The rarefied richness was not computed: the sample "
                                           "size %1 set in the preferences is negative.")
            .arg(sampleSize);
    }
    try {
        const Rarefaction point = collection.individualBasedRarefactionToSampleSize(sampleSize);
        census.rarefactionRichness = point.theE;
        if (storeSampleSize)
            census.rarefactionSampleSize = point.theSampleSize;
    } catch (const std::invalid_argument &error) {
        return QCoreApplication::translate("CollectionMetrics",
                                           "The rarefied richness was not computed: %1")
            .arg(QString::fromStdString(error.what()));
    }
    return {};
}

} // namespace quorvella
