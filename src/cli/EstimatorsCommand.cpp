// estimators: the richness estimators of every collection and of the group,
// as the application's Richness Estimators window shows them.

#include "analysis/RichnessEstimates.h"
#include "cli/Commands.h"
#include "cli/InputFiles.h"
#include "cli/JsonWriter.h"
#include "store/AnalysisInput.h"
#include "textio/EstimatorTables.h"

namespace quorvella::cli {
namespace {

template <typename Column, typename Row>
void writeEstimate(JsonWriter &json, const Column &column, const Row &row)
{
    const Estimate estimate = column.value(row);
    json.key(column.key);
    if (estimate.value && column.isCount) {
        json.value(static_cast<std::int64_t>(*estimate.value));
    } else if (estimate.value) {
        json.value(*estimate.value);
    } else {
        json.null();
    }
}

std::string estimatesJson(const RichnessEstimates &estimates)
{
    JsonWriter json;
    json.beginObject();
    json.key("collections");
    json.beginArray();
    for (const CollectionEstimates &row : estimates.collections) {
        json.beginObject();
        json.key("name");
        json.value(row.name);
        for (const CollectionEstimateColumn &column : collectionEstimateColumns()) {
            writeEstimate(json, column, row);
        }
        json.endObject();
    }
    json.endArray();
    json.key("group");
    if (estimates.group) {
        json.beginObject();
        for (const GroupEstimateColumn &column : groupEstimateColumns()) {
            writeEstimate(json, column, *estimates.group);
        }
        json.endObject();
    } else {
        json.null();
    }
    json.endObject();
    return json.finish();
}

} // namespace

void runEstimators(const CommandLine &line, std::ostream &out, std::ostream &err)
{
    const Store store = loadInput(line.paths.front(), line.format);
    const RichnessEstimates estimates = estimateRichness(makeRichnessInput(store), line.level);
    out << (line.json ? estimatesJson(estimates) : richnessEstimatesCsv(estimates, "\n"));
    for (const std::string &reason : missingEstimateReasons(estimates)) {
        err << reason << "\n";
    }
}

} // namespace quorvella::cli
