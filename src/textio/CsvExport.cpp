#include "textio/CsvExport.h"

#include "analysis/EcoCollection.h"
#include "analysis/EcoCollectionGroup.h"
#include "textio/NumberText.h"

#include <cmath>
#include <limits>

namespace quorvella {
namespace {

void appendInteger(std::string &text, std::int64_t value)
{
    text += integerText(value);
}

void appendMetricLine(std::string &text, const CollectionMetricsRow &row)
{
    text += row.name.value_or(std::string());
    for (const std::optional<double> &count : {row.richness, row.sampleSize}) {
        text += ',';
        appendInteger(text, storedInteger(count));
    }
    for (const std::optional<double> &value :
         {row.buzasGibson, row.chao, row.pie, row.shannon, row.simpson, row.peters, row.pielou,
          row.rarefactionRichness}) {
        text += ',';
        text += formatMetricValue(value.value_or(0.0));
    }
    text += '\r';
}

} // namespace

std::int32_t storedInteger(const std::optional<double> &value)
{
    if (!value || std::isnan(*value)) {
        return 0;
    }
    if (*value >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (*value <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(*value);
}

std::string formatMetricValue(double value)
{
    return fixedText(static_cast<double>(static_cast<float>(value)), 6);
}

std::string collectionToCVSString(const EcoCollection &collection)
{
    const std::vector<std::string> &names = collection.names();
    const std::vector<std::int32_t> &abundances = collection.abundances();
    std::string text;
    for (std::size_t i = 0; i < abundances.size(); ++i) {
        if (i < names.size()) {
            text += names[i];
        }
        text += ',';
        appendInteger(text, abundances[i]);
        text += '\r';
    }
    return text;
}

std::string collectionGroupToCVSString(EcoCollectionGroup &group)
{
    group.createAbundanceMatrix();
    std::string text = " ";
    for (const std::string &taxon : group.taxonNames()) {
        text += ", ";
        text += taxon;
    }
    text += '\r';
    const std::vector<std::string> &collections = group.collectionNames();
    for (std::size_t row = 0; row < group.numCollections(); ++row) {
        text += collections[row];
        for (const std::int32_t abundance : group.abundanceRow(row)) {
            text += ',';
            appendInteger(text, abundance);
        }
        text += '\r';
    }
    return text;
}

std::string metricsTableToCVSString(std::span<const CollectionMetricsRow> rows)
{
    std::string text(metricsTableHeader);
    for (const CollectionMetricsRow &row : rows) {
        appendMetricLine(text, row);
    }
    return text;
}

} // namespace quorvella
