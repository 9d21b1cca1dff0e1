#include "textio/EstimatorTables.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace quorvella {
namespace {

using C = CollectionEstimates;
using G = IncidenceEstimates;

constexpr std::array<CollectionEstimateColumn, 8> kCollectionColumns = {{
    {"observed", "Observed", [](const C &c) { return Estimate::of(c.estimates.observed); }, true},
    {"n", "Specimens", [](const C &c) { return Estimate::of(c.estimates.individuals); }, true},
    {"chao1", "Chao1", [](const C &c) { return c.estimates.chao1.estimate; }},
    {"chao1Se", "Chao1 s.e.", [](const C &c) { return c.estimates.chao1.standardError; }},
    {"chao1Lower", "Chao1 lower", [](const C &c) { return c.estimates.chao1.lower; }},
    {"chao1Upper", "Chao1 upper", [](const C &c) { return c.estimates.chao1.upper; }},
    {"ace", "ACE", [](const C &c) { return c.estimates.ace; }},
    {"coverage", "Coverage", [](const C &c) { return c.estimates.coverage; }},
}};

constexpr std::array<GroupEstimateColumn, 12> kGroupColumns = {{
    {"units", "Collections", [](const G &g) { return Estimate::of(static_cast<double>(g.units)); },
     true},
    {"observed", "Observed", [](const G &g) { return Estimate::of(g.observed); }, true},
    {"chao2", "Chao-2 (bias-corrected)", [](const G &g) { return g.chao2.estimate; }},
    {"chao2Se", "Chao-2 b.c. s.e.", [](const G &g) { return g.chao2.standardError; }},
    {"chao2Lower", "Chao-2 b.c. lower", [](const G &g) { return g.chao2.lower; }},
    {"chao2Upper", "Chao-2 b.c. upper", [](const G &g) { return g.chao2.upper; }},
    {"ice", "ICE", [](const G &g) { return g.ice; }},
    {"jackknife1", "Jackknife 1", [](const G &g) { return g.jackknife1; }},
    {"jackknife1Se", "Jackknife 1 s.e.", [](const G &g) { return g.jackknife1Se; }},
    {"jackknife2", "Jackknife 2", [](const G &g) { return g.jackknife2; }},
    {"bootstrap", "Bootstrap", [](const G &g) { return g.bootstrap; }},
    {"bootstrapSe", "Bootstrap s.e.", [](const G &g) { return g.bootstrapSe; }},
}};

std::string csvField(std::string_view text, char separator)
{
    const bool needsQuotes = text.find_first_of("\"\r\n") != std::string_view::npos ||
                             text.find(separator) != std::string_view::npos;
    if (!needsQuotes) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

// Keys of the empty cells, grouped by their reason, in column order.
template <typename Row, typename Columns>
std::vector<std::pair<std::string, std::string>> reasonsOfRow(const Row &row, Columns columns)
{
    std::vector<std::pair<std::string, std::string>> reasons; // reason, keys
    for (const auto &column : columns) {
        const Estimate estimate = column.value(row);
        if (estimate.value) {
            continue;
        }
        auto found = std::find_if(reasons.begin(), reasons.end(), [&](const auto &entry) {
            return entry.first == estimate.reason;
        });
        if (found == reasons.end()) {
            reasons.emplace_back(estimate.reason, std::string(column.key));
        } else {
            found->second += ", " + std::string(column.key);
        }
    }
    return reasons;
}

} // namespace

std::span<const CollectionEstimateColumn> collectionEstimateColumns()
{
    return kCollectionColumns;
}

std::span<const GroupEstimateColumn> groupEstimateColumns()
{
    return kGroupColumns;
}

std::string estimateCellText(const Estimate &estimate, bool isCount)
{
    if (!estimate.value) {
        return {};
    }
    char digits[400];
    const auto result = std::to_chars(digits, digits + sizeof digits, *estimate.value,
                                      std::chars_format::fixed, isCount ? 0 : 6);
    if (result.ec != std::errc()) {
        return {};
    }
    return std::string(digits, result.ptr);
}

std::string richnessEstimatesCsv(const RichnessEstimates &estimates, std::string_view lineEnd,
                                 char separator)
{
    std::string text = "name";
    for (const auto &column : kCollectionColumns) {
        text += separator + std::string(column.key);
    }
    text += lineEnd;
    for (const CollectionEstimates &row : estimates.collections) {
        text += csvField(row.name, separator);
        for (const auto &column : kCollectionColumns) {
            text += separator + estimateCellText(column.value(row), column.isCount);
        }
        text += lineEnd;
    }
    if (!estimates.group) {
        return text;
    }
    std::string header;
    std::string values;
    for (const auto &column : kGroupColumns) {
        const std::string comma = header.empty() ? "" : std::string(1, separator);
        header += comma + std::string(column.key);
        values += comma + estimateCellText(column.value(*estimates.group), column.isCount);
    }
    return text + std::string(lineEnd) + header + std::string(lineEnd) + values +
           std::string(lineEnd);
}

std::vector<std::string> missingEstimateReasons(const RichnessEstimates &estimates)
{
    std::vector<std::string> sentences;
    for (const CollectionEstimates &row : estimates.collections) {
        for (const auto &[reason, keys] : reasonsOfRow(row, kCollectionColumns)) {
            sentences.push_back("Collection \"" + row.name + "\": " + keys +
                                " cannot be computed: " + reason + ".");
        }
    }
    if (!estimates.group) {
        sentences.push_back("Group: the group estimators need at least two collections.");
        return sentences;
    }
    for (const auto &[reason, keys] : reasonsOfRow(*estimates.group, kGroupColumns)) {
        sentences.push_back("Group: " + keys + " cannot be computed: " + reason + ".");
    }
    return sentences;
}

} // namespace quorvella
