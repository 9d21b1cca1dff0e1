#include "textio/TabText.h"

#include "textio/CharacterClasses.h"

#include <charconv>

namespace quorvella {
namespace {

bool needsQuotes(std::string_view field)
{
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\t' || c == '"' || c == ',' || c == ';' || lineEndLengthAt(field, i) > 0) {
            return true;
        }
    }
    return false;
}

void appendInteger(std::string &text, std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

} // namespace

void appendTabField(std::string &text, std::string_view field)
{
    if (!needsQuotes(field)) {
        text += field;
        return;
    }
    text += '"';
    for (const char c : field) {
        text += c;
        if (c == '"') {
            text += '"';
        }
    }
    text += '"';
}

std::string speciesRowsToTabText(std::span<const SpeciesRow> rows)
{
    std::string text;
    for (const SpeciesRow &row : rows) {
        appendTabField(text, row.name);
        text += '\t';
        if (row.abundance) {
            appendInteger(text, *row.abundance);
        }
        text += '\n';
    }
    return text;
}

std::string metricsRowsToTabText(std::span<const CollectionMetricsRow> rows)
{
    std::string text = "collection\trichness\tsample size\tBuzas-Gibson E\tChao-1\tHurlbert's "
                       "PIE\tShannon's H\tSimpson's D\tPeters' Ess\tPielou's J\tRarified "
                       "Richness\n";
    for (const CollectionMetricsRow &row : rows) {
        appendTabField(text, row.name.value_or(std::string()));
        for (const std::optional<double> &count : {row.richness, row.sampleSize}) {
            text += '\t';
            if (count) {
                appendInteger(text, storedInteger(count));
            }
        }
        for (const std::optional<double> &value :
             {row.buzasGibson, row.chao, row.pie, row.shannon, row.simpson, row.peters, row.pielou,
              row.rarefactionRichness}) {
            text += '\t';
            if (value) {
                text += formatMetricValue(*value);
            }
        }
        text += '\n';
    }
    return text;
}

} // namespace quorvella
