#pragma once

// The three comma-separated export texts. Every line, the last included, ends
// with a single carriage return ("\r", no line feed); values are written as
// they are, without quoting; numbers never depend on the user's locale.
// The texts are checked for ASCII before writing (AsciiCheck.h).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvella {

class EcoCollection;
class EcoCollectionGroup;

// One line "name,abundance\r" per counted taxon with an abundance above zero,
// in the collection's list order: the taxa its richness counts, so the text
// is always a valid one-collection import. A collection built from
// abundances alone has no names: its lines begin with the comma.
std::string collectionToCVSString(const EcoCollection &collection);

// Header " , A, B\r" (a space, then ", " and each taxon in the group's order),
// then per collection "name,2,0\r" with its abundance of each taxon (0 when
// absent). Builds the group's abundance matrix afresh.
std::string collectionGroupToCVSString(EcoCollectionGroup &group);

// The stored metrics of one collection; an absent value is written as 0 in the
// integer cells and as 0.000000 in the real cells.
struct CollectionMetricsRow
{
    std::optional<std::string> name = std::nullopt;
    std::optional<double> richness = std::nullopt;   // written as a 32-bit integer
    std::optional<double> sampleSize = std::nullopt; // the census size, written as a 32-bit integer
    std::optional<double> buzasGibson = std::nullopt;
    std::optional<double> chao = std::nullopt;
    std::optional<double> pie = std::nullopt;
    std::optional<double> shannon = std::nullopt;
    std::optional<double> simpson = std::nullopt;
    std::optional<double> peters = std::nullopt;
    std::optional<double> pielou = std::nullopt;
    std::optional<double> rarefactionRichness = std::nullopt;
};

inline constexpr std::string_view metricsTableHeader =
    " ,richness,sample size,Buzas-Gibson E,Chao-1,Hurlbert's PIE,Shannon's H,Simpson's D,"
    "Peters' Ess,Pielou's J,Rarified Richness\r";

// The header line, then one line per row in the given order. The real cells
// are the single-precision values the metrics commands store, written like
// "%f" in the C locale: fixed, six digits after ".", "inf", "-inf" and "nan"
// (every not-a-number, whatever its sign bit, as in every other text).
std::string metricsTableToCVSString(std::span<const CollectionMetricsRow> rows);

// The integer cell of a stored number: its whole part, limited to 32 bits;
// absent and not-a-number read as 0.
std::int32_t storedInteger(const std::optional<double> &value);

// One real cell's text: the value rounded to single precision, then fixed
// with six decimals.
std::string formatMetricValue(double value);

} // namespace quorvella
