#include "cli/ExportTexts.h"

#include "analysis/EcoCollection.h"
#include "cli/ExitStatus.h"
#include "cli/StoreAnalysis.h"
#include "store/AnalysisInput.h"
#include "textio/CsvExport.h"

namespace quorvella::cli {
namespace {

std::optional<double> widened(const std::optional<std::int32_t> &value)
{
    return value ? std::optional<double>(*value) : std::nullopt;
}

CollectionMetricsRow metricsRow(const Census &census)
{
    return CollectionMetricsRow{census.censusName,
                                widened(census.richness),
                                widened(census.abundance),
                                census.buzasGibson,
                                census.chao,
                                census.pie,
                                census.shannon,
                                census.simpson,
                                census.peters,
                                census.pielou,
                                census.rarefactionRichness};
}

std::vector<CollectionMetricsRow> metricsRows(std::span<const Census> censuses)
{
    std::vector<CollectionMetricsRow> rows;
    rows.reserve(censuses.size());
    for (const Census &census : censuses) {
        rows.push_back(metricsRow(census));
    }
    return rows;
}

[[noreturn]] void nothingToExport()
{
    throw Failure("Export could not be performed. Add collections and taxa.");
}

} // namespace

std::string exportMetrics(const Store &store)
{
    const std::vector<Census> censuses = store.createArrayOfAllCensuses();
    if (censuses.empty()) {
        nothingToExport();
    }
    return metricsTableToCVSString(metricsRows(censuses));
}

std::string exportGroupOfCollections(const Store &store)
{
    std::optional<EcoCollectionGroup> group = makeEcoCollectionGroup(store);
    if (!group) {
        nothingToExport();
    }
    return collectionGroupToCVSString(*group);
}

std::string exportOneCollection(const Store &store, std::string_view name)
{
    const std::optional<Census> census = findCensusNamed(store, name);
    if (!census) {
        throw Failure("Export could not be performed. No collection is named \"" +
                      std::string(name) + "\".");
    }
    const std::vector<TaxonEntry> taxa = taxonEntriesOfCensus(store, census->id);
    if (taxa.empty()) {
        nothingToExport();
    }
    return collectionToCVSString(EcoCollection::initWithTaxonArray(taxa));
}

std::string exportSpeciesList(const Store &store)
{
    std::optional<EcoCollectionGroup> group = makeEcoCollectionGroup(store);
    if (!group) {
        throw Failure("Species list could not be generated. Add collections and taxa.");
    }
    group->createTaxonList();
    std::string text;
    for (const std::string &name : group->taxonNames()) {
        text += name;
        text += '\n';
    }
    return text;
}

std::string metricsTable(std::span<const Census> censuses)
{
    // The export's own lines, with a line feed in place of the carriage
    // return that ends each one (a name may hold a carriage return of its own).
    std::string text(metricsTableHeader);
    text.back() = '\n';
    for (const Census &census : censuses) {
        const CollectionMetricsRow row = metricsRow(census);
        std::string line = metricsTableToCVSString({&row, 1}).substr(metricsTableHeader.size());
        line.back() = '\n';
        text += line;
    }
    return text;
}

} // namespace quorvella::cli
