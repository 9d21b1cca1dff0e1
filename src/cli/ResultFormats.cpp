#include "cli/ResultFormats.h"

#include "textio/RarefactionTable.h"

#include <algorithm>

namespace quorvella::cli {
namespace {

template <typename Number>
void writeField(JsonWriter &json, const char *key, const std::optional<Number> &value)
{
    json.key(key);
    if (value) {
        json.value(*value);
    } else {
        json.null();
    }
}

} // namespace

std::string plotDataTable(std::span<const Rarefaction> curve)
{
    // The plot window's own table text; it holds only numbers, so every
    // carriage return is a line end.
    std::string text = rarefactionTableText(curve);
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

std::string chao2Line(float chao2)
{
    return chao2FieldText(static_cast<double>(chao2)) + '\n';
}

void writeCurveJson(JsonWriter &json, std::span<const Rarefaction> curve)
{
    json.beginArray();
    for (const Rarefaction &point : curve) {
        json.beginObject();
        json.key("n");
        json.value(point.theSampleSize);
        json.key("E");
        json.value(point.theE);
        json.key("Var");
        json.value(point.theVar);
        json.key("lower95");
        json.value(point.lower95);
        json.key("upper95");
        json.value(point.upper95);
        json.key("lower99");
        json.value(point.lower99);
        json.key("upper99");
        json.value(point.upper99);
        json.endObject();
    }
    json.endArray();
}

std::string metricsJson(std::span<const Census> censuses)
{
    JsonWriter json;
    json.beginArray();
    for (const Census &census : censuses) {
        json.beginObject();
        json.key("name");
        if (census.censusName) {
            json.value(*census.censusName);
        } else {
            json.null();
        }
        writeField(json, "richness", census.richness);
        writeField(json, "censusSize", census.abundance);
        writeField(json, "buzasGibsonE", census.buzasGibson);
        writeField(json, "chao1", census.chao);
        writeField(json, "shannonH", census.shannon);
        writeField(json, "simpsonD", census.simpson);
        writeField(json, "petersEss", census.peters);
        writeField(json, "pielouJ", census.pielou);
        writeField(json, "hurlbertPIE", census.pie);
        writeField(json, "rarefiedRichness", census.rarefactionRichness);
        writeField(json, "sampleSize", census.rarefactionSampleSize);
        json.endObject();
    }
    json.endArray();
    return json.finish();
}

} // namespace quorvella::cli
