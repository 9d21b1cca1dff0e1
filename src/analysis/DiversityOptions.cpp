// The plain parts of the Hill-number interface: building samples, checking
// the options, the default sizes and the names of the enumerations.

#include "analysis/HillNumbers.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace quorvella {
namespace {

constexpr int kLargestReplicateCount = 10000;
constexpr int kLargestKnotCount = 100000;
// Keeps (endpoint - 1) * knots within 64 bits.
constexpr std::int64_t kLargestSize = std::int64_t{1} << 40;

std::string numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

DiversitySample abundanceSample(std::string name, std::span<const std::int32_t> counts)
{
    DiversitySample sample;
    sample.name = std::move(name);
    sample.frequencies.assign(counts.begin(), counts.end());
    return sample;
}

DiversitySample incidenceSample(std::string name, std::span<const std::int32_t> occurrences,
                                std::int64_t units)
{
    DiversitySample sample = abundanceSample(std::move(name), occurrences);
    sample.dataType = DiversityDataType::Incidence;
    sample.units = units;
    return sample;
}

void validateDiversityOptions(const DiversityOptions &options)
{
    if (options.orders.empty()) {
        throw std::invalid_argument("At least one order q is needed.");
    }
    std::set<int> seen;
    for (const int q : options.orders) {
        if (q < 0 || q > 2) {
            throw std::invalid_argument("The order q must be 0, 1 or 2, not " + std::to_string(q) +
                                        ".");
        }
        if (!seen.insert(q).second) {
            throw std::invalid_argument("The order q = " + std::to_string(q) + " is given twice.");
        }
    }
    for (const std::int64_t m : options.sizes) {
        if (m < 1 || m > kLargestSize) {
            throw std::invalid_argument("A sample size must be from 1 to " +
                                        std::to_string(kLargestSize) + ", not " +
                                        std::to_string(m) + ".");
        }
    }
    if (options.endpoint && (*options.endpoint < 1 || *options.endpoint > kLargestSize)) {
        throw std::invalid_argument("The endpoint must be from 1 to " +
                                    std::to_string(kLargestSize) + ", not " +
                                    std::to_string(*options.endpoint) + ".");
    }
    if (options.knots < 1 || options.knots > kLargestKnotCount) {
        throw std::invalid_argument("The number of knots must be from 1 to " +
                                    std::to_string(kLargestKnotCount) + ", not " +
                                    std::to_string(options.knots) + ".");
    }
    for (const double c : options.coverageTargets) {
        if (!(c > 0.0 && c < 1.0)) {
            throw std::invalid_argument("A target coverage must lie strictly between 0 and 1, "
                                        "not " +
                                        numberText(c) + ".");
        }
    }
    if (options.bootstrapReplicates < 0 || options.bootstrapReplicates > kLargestReplicateCount) {
        throw std::invalid_argument("The number of bootstrap replicates must be from 0 to " +
                                    std::to_string(kLargestReplicateCount) + ", not " +
                                    std::to_string(options.bootstrapReplicates) + ".");
    }
    if (!(options.level > 0.0 && options.level < 1.0)) {
        throw std::invalid_argument("The confidence level must lie strictly between 0 and 1, not " +
                                    numberText(options.level) + ".");
    }
}

const char *estimateMethodName(EstimateMethod method)
{
    switch (method) {
    case EstimateMethod::Interpolated:
        return "interpolated";
    case EstimateMethod::Observed:
        return "observed";
    case EstimateMethod::Extrapolated:
        return "extrapolated";
    }
    return "interpolated";
}

const char *diversityDataTypeName(DiversityDataType type)
{
    return type == DiversityDataType::Incidence ? "incidence" : "abundance";
}

std::vector<std::int64_t> defaultDiversitySizes(std::int64_t reference, std::int64_t endpoint,
                                                int knots)
{
    // floor(seq(from, to, length = count)) in whole numbers.
    const auto appendSequence = [](std::vector<std::int64_t> &out, std::int64_t from,
                                   std::int64_t to, std::int64_t count) {
        if (count <= 0 || to < from) {
            return;
        }
        if (count == 1) {
            out.push_back(from);
            return;
        }
        for (std::int64_t i = 0; i < count; ++i) {
            const std::int64_t step = (to - from) * i / (count - 1);
            out.push_back(from + static_cast<std::int64_t>(step));
        }
    };
    std::vector<std::int64_t> sizes;
    if (endpoint <= reference) {
        appendSequence(sizes, 1, endpoint, knots);
    } else {
        appendSequence(sizes, 1, reference - 1, knots / 2 - 1);
        sizes.push_back(reference);
        appendSequence(sizes, reference + 1, endpoint, knots - knots / 2);
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

} // namespace quorvella
