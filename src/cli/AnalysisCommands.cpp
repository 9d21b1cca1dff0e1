// metrics, rarefy, sample-rarefy and chao2: each reads its INPUT into a store
// and runs what the application's command of the same purpose runs.

#include "analysis/EcoCollection.h"
#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/ExportTexts.h"
#include "cli/InputFiles.h"
#include "cli/ResultFormats.h"
#include "cli/StoreAnalysis.h"
#include "store/AnalysisInput.h"

#include <stdexcept>

namespace quorvella::cli {
namespace {

// The product's two texts of a refused command, as one line.
[[noreturn]] void refuse(std::string_view message, std::string_view informative)
{
    throw Failure(std::string(message) + ". " + std::string(informative));
}

Store loadInput(const CommandLine &line)
{
    return cli::loadInput(line.paths.front(), line.format);
}

EcoCollectionGroup requireGroup(const Store &store, std::string_view refusal)
{
    std::optional<EcoCollectionGroup> group = makeEcoCollectionGroup(store);
    if (!group) {
        refuse(refusal, "Add collections and taxa.");
    }
    return std::move(*group);
}

std::string describeCensus(const Census &census)
{
    return census.censusName ? "\"" + *census.censusName + "\"" : "without a name";
}

// The collection rarefy works on: the one named, or the input's only one.
Census chooseCollection(const Store &store, const CommandLine &line)
{
    if (line.collectionName) {
        std::optional<Census> census = findCensusNamed(store, *line.collectionName);
        if (!census) {
            throw Failure("No collection is named \"" + *line.collectionName + "\" in '" +
                          line.paths.front() + "'.");
        }
        return std::move(*census);
    }
    std::vector<Census> censuses = store.createArrayOfAllCensuses();
    if (censuses.empty()) {
        throw Failure("'" + line.paths.front() + "' holds no collection.");
    }
    if (censuses.size() > 1) {
        throw UsageError("'" + line.paths.front() + "' holds " + std::to_string(censuses.size()) +
                         " collections; choose one with --collection NAME or pool them with "
                         "--pooled");
    }
    return std::move(censuses.front());
}

EcoCollection collectionToRarefy(const Store &store, const CommandLine &line)
{
    if (line.pooled) {
        EcoCollectionGroup group =
            requireGroup(store, "Individual-based rarefaction could not be performed");
        return EcoCollection::initFromAbundanceArray(group.createSummedAbundanceList());
    }
    const Census census = chooseCollection(store, line);
    const std::vector<TaxonEntry> taxa = taxonEntriesOfCensus(store, census.id);
    if (taxa.empty()) {
        throw Failure("Rarefaction could not be computed. The collection " +
                      describeCensus(census) + " has no taxa.");
    }
    return EcoCollection::initWithTaxonArray(taxa);
}

std::vector<Rarefaction> rarefy(const EcoCollection &collection, std::optional<std::int32_t> size)
{
    try {
        if (size) {
            return {collection.individualBasedRarefactionToSampleSize(*size)};
        }
        return collection.individualBasedRarefactionCurve();
    } catch (const std::invalid_argument &error) {
        throw Failure(std::string("Rarefaction could not be computed. ") + error.what());
    }
}

} // namespace

void runMetrics(const CommandLine &line, std::ostream &out)
{
    const Store store = loadInput(line);
    const CollectionMetrics metrics = metricsForAllCollections(store, line.sampleSize);
    if (line.json) {
        out << metricsJson(metrics.censuses);
    } else {
        out << metricsTable(metrics.censuses);
    }
    // Every measure that could be computed is out; the run still fails, so
    // that a script notices the missing rarefied richness.
    if (!metrics.problems.empty()) {
        std::string message;
        for (const std::string &problem : metrics.problems) {
            message += (message.empty() ? "" : "\n") + problem;
        }
        throw Failure(message);
    }
}

void runRarefy(const CommandLine &line, std::ostream &out)
{
    const Store store = loadInput(line);
    const std::vector<Rarefaction> curve = rarefy(collectionToRarefy(store, line), line.size);
    if (line.json) {
        JsonWriter json;
        writeCurveJson(json, curve);
        out << json.finish();
    } else {
        out << plotDataTable(curve);
    }
}

void runSampleRarefy(const CommandLine &line, std::ostream &out)
{
    const Store store = loadInput(line);
    EcoCollectionGroup group =
        requireGroup(store, "Sample-based rarefaction could not be performed");
    const std::vector<Rarefaction> curve = group.sampleBasedRarefactionCurve();
    if (line.json) {
        JsonWriter json;
        json.beginObject();
        json.key("chao2");
        json.value(static_cast<double>(group.chao2()));
        json.key("curve");
        writeCurveJson(json, curve);
        json.endObject();
        out << json.finish();
    } else {
        out << plotDataTable(curve);
    }
}

void runChao2(const CommandLine &line, std::ostream &out)
{
    const Store store = loadInput(line);
    EcoCollectionGroup group = requireGroup(store, "Chao2 could not be calculated");
    const float chao2 = group.chao2();
    if (line.json) {
        JsonWriter json;
        json.beginObject();
        json.key("chao2");
        json.value(static_cast<double>(chao2));
        json.endObject();
        out << json.finish();
    } else {
        out << chao2Line(chao2);
    }
}

} // namespace quorvella::cli
