#include "document/CollectionMetrics.h"

#include "document/BackgroundTask.h"

#include <QCoreApplication>
#include <stdexcept>
#include <unordered_map>

namespace quorvella {

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

MetricsSnapshot takeMetricsSnapshot(const Store &store)
{
    MetricsSnapshot snapshot;
    snapshot.censuses = store.createArrayOfAllCensuses();
    std::unordered_map<RecordId, std::size_t> position;
    position.reserve(snapshot.censuses.size());
    for (std::size_t i = 0; i < snapshot.censuses.size(); ++i)
        position.emplace(snapshot.censuses[i].id, i);
    snapshot.abundances.resize(snapshot.censuses.size());
    // Taken on the window's thread: views copy no names, and a collection's
    // taxa mostly follow one another, so its place is looked up once a run.
    std::optional<RecordId> lastCensus;
    std::vector<std::int32_t> *counts = nullptr;
    store.forEachTaxonView([&](const TaxonView &taxon) {
        if (!taxon.census || !taxon.includeTaxon || !taxon.abundance)
            return;
        if (taxon.census != lastCensus) {
            const auto found = position.find(*taxon.census);
            counts = found != position.end() ? &snapshot.abundances[found->second] : nullptr;
            lastCensus = taxon.census;
        }
        if (counts)
            counts->push_back(*taxon.abundance);
    });
    return snapshot;
}

AllMetrics computeAllMetrics(MetricsSnapshot snapshot, int sampleSize, BackgroundProgress *progress)
{
    if (progress)
        progress->total = static_cast<long long>(snapshot.censuses.size());
    AllMetrics result;
    result.censuses = std::move(snapshot.censuses);
    for (std::size_t i = 0; i < result.censuses.size(); ++i) {
        if (progress && progress->cancelled)
            break;
        const EcoCollection collection =
            EcoCollection::initFromAbundanceArray(std::move(snapshot.abundances[i]));
        const QString problem = storeMeasures(result.censuses[i], collection, sampleSize, true);
        if (!problem.isEmpty() && !result.problems.contains(problem))
            result.problems << problem;
        if (progress)
            ++progress->done;
    }
    return result;
}

} // namespace quorvella
