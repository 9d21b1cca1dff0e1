#include "cli/ExportTexts.h"

#include "analysis/EcoCollection.h"
#include "cli/ExitStatus.h"
#include "cli/StoreAnalysis.h"
#include "store/AnalysisInput.h"
#include "store/MetricsRows.h"
#include "textio/CsvExport.h"

namespace quorvella::cli {
namespace {

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
    return metricsTableToCVSString(metricsRowsOf(censuses));
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
        const CollectionMetricsRow row = metricsRowOf(census);
        std::string line = metricsTableToCVSString({&row, 1}).substr(metricsTableHeader.size());
        line.back() = '\n';
        text += line;
    }
    return text;
}

} // namespace quorvella::cli
