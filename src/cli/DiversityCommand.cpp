// diversity: Hill numbers with interpolation, extrapolation, coverage and
// bootstrap bands for the collections of INPUT, printed as the long table
// (the diversity window's saved table) or as JSON.

#include "analysis/EcoCollectionGroup.h"
#include "analysis/HillNumbers.h"
#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/InputFiles.h"
#include "cli/JsonWriter.h"
#include "cli/StoreAnalysis.h"
#include "store/AnalysisInput.h"
#include "textio/DiversityTable.h"

#include <cmath>

namespace quorvella::cli {
namespace {

std::vector<DiversitySample> samplesOf(const Store &store, const CommandLine &line)
{
    const std::string &input = line.paths.front();
    if (line.collectionName) {
        std::optional<Census> census = findCensusNamed(store, *line.collectionName);
        if (!census) {
            throw Failure("No collection is named \"" + *line.collectionName + "\" in '" + input +
                          "'.");
        }
        return {abundanceSampleOfCensus(store, *census)};
    }
    if (line.pooled || line.incidence) {
        std::optional<EcoCollectionGroup> group = makeEcoCollectionGroup(store);
        if (!group) {
            throw Failure("Diversity could not be estimated. '" + input + "' holds no taxa.");
        }
        if (line.pooled) {
            return {
                abundanceSample(allCollectionsAssemblageName, group->createSummedAbundanceList())};
        }
        return {*incidenceSampleOfStore(store)};
    }
    std::vector<DiversitySample> samples;
    for (const Census &census : store.createArrayOfAllCensuses()) {
        samples.push_back(abundanceSampleOfCensus(store, census));
    }
    if (samples.empty()) {
        throw Failure("'" + input + "' holds no collection.");
    }
    return samples;
}

template <typename Value> void put(JsonWriter &json, std::string_view key, Value value)
{
    json.key(key);
    json.value(value);
}

// se and limits are null without a bootstrap.
void bandValues(JsonWriter &json, bool bootstrapped,
                std::initializer_list<std::pair<const char *, double>> values)
{
    for (const auto &[key, value] : values) {
        json.key(key);
        if (bootstrapped) {
            json.value(value);
        } else {
            json.null();
        }
    }
}

void writeProfile(JsonWriter &json, const DiversityProfile &p)
{
    const bool bands = p.bootstrapReplicates > 0;
    json.beginObject();
    put(json, "name", p.name);
    put(json, "dataType", diversityDataTypeName(p.dataType));
    put(json, "n", p.n);
    if (p.dataType == DiversityDataType::Incidence) {
        put(json, "U", p.U);
    }
    put(json, "observedRichness", p.observedRichness);
    put(json, "coverage", p.coverage);
    json.key("asymptotic");
    json.beginArray();
    for (const AsymptoticEstimate &r : p.asymptotic) {
        json.beginObject();
        put(json, "q", r.q);
        put(json, "observed", r.observed);
        put(json, "estimate", r.estimate);
        bandValues(json, bands, {{"se", r.se}, {"lower", r.lower}, {"upper", r.upper}});
        json.endObject();
    }
    json.endArray();
    json.key("sizeBased");
    json.beginArray();
    for (const SizeBasedEstimate &r : p.sizeBased) {
        json.beginObject();
        put(json, "m", r.m);
        put(json, "method", estimateMethodName(r.method));
        put(json, "q", r.q);
        put(json, "D", r.D);
        bandValues(json, bands, {{"se", r.se}, {"lower", r.lower}, {"upper", r.upper}});
        put(json, "coverage", r.coverage);
        bandValues(json, bands,
                   {{"coverageLower", r.coverageLower}, {"coverageUpper", r.coverageUpper}});
        json.endObject();
    }
    json.endArray();
    if (!p.coverageBased.empty()) {
        json.key("coverageBased");
        json.beginArray();
        for (const CoverageBasedEstimate &r : p.coverageBased) {
            json.beginObject();
            put(json, "targetCoverage", r.targetCoverage);
            put(json, "m", r.m);
            put(json, "method", estimateMethodName(r.method));
            put(json, "q", r.q);
            put(json, "D", r.D);
            bandValues(json, bands, {{"se", r.se}, {"lower", r.lower}, {"upper", r.upper}});
            json.endObject();
        }
        json.endArray();
    }
    json.endObject();
}

} // namespace

void runDiversity(const CommandLine &line, std::ostream &out)
{
    const Store store = loadInput(line.paths.front(), line.format);
    const std::vector<DiversitySample> samples = samplesOf(store, line);
    std::vector<DiversityProfile> profiles;
    std::string problems;
    for (DiversityOutcome &outcome : estimateDiversityOfAll(samples, line.diversity)) {
        if (outcome.profile) {
            profiles.push_back(std::move(*outcome.profile));
        } else {
            problems += (problems.empty() ? "" : "\n") + outcome.problem;
        }
    }
    if (line.json) {
        JsonWriter json;
        json.beginArray();
        for (const DiversityProfile &profile : profiles) {
            writeProfile(json, profile);
        }
        json.endArray();
        out << json.finish();
    } else {
        out << diversityTableText(profiles);
    }
    // The assemblages that could be estimated are out; the run still fails
    // so that a script notices the others.
    if (!problems.empty()) {
        throw Failure(problems);
    }
}

} // namespace quorvella::cli
