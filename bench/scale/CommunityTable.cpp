#include "CommunityTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quorvella::bench {
namespace {

class Random
{
public:
    // Uniform in (0, 1].
    double next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>((state_ >> 11) + 1) * 0x1.0p-53;
    }

private:
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

// Each taxon's prevalence is 0.4 u^3 (mean 0.1): many rare taxa, a few common
// ones. Counts follow a discrete Pareto law (tail index 1.1), capped at 10^6.
std::vector<std::int32_t> makeCounts(CommunityShape shape)
{
    Random random;
    std::vector<double> prevalence(static_cast<std::size_t>(shape.taxa));
    for (double &p : prevalence) {
        const double u = random.next();
        p = 0.4 * u * u * u;
    }
    std::vector<std::int32_t> counts(static_cast<std::size_t>(shape.samples) * prevalence.size());
    std::size_t cell = 0;
    for (int sample = 0; sample < shape.samples; ++sample) {
        for (const double p : prevalence) {
            std::int32_t count = 0;
            if (random.next() <= p) {
                const double drawn = std::floor(std::pow(random.next(), -1.0 / 1.1));
                count = static_cast<std::int32_t>(std::min(drawn, 1e6));
            }
            counts[cell++] = count;
        }
    }
    return counts;
}

void appendNumber(std::string &text, std::int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ptr);
}

std::string sampleName(int sample)
{
    return "S" + std::to_string(sample);
}

std::string taxonName(int taxon)
{
    return "OTU_" + std::to_string(taxon);
}

} // namespace

std::string makeCommunityMatrix(CommunityShape shape)
{
    const std::vector<std::int32_t> counts = makeCounts(shape);
    std::string text = "sample";
    for (int taxon = 0; taxon < shape.taxa; ++taxon) {
        text += ',';
        text += taxonName(taxon);
    }
    text += '\n';
    std::size_t cell = 0;
    for (int sample = 0; sample < shape.samples; ++sample) {
        text += sampleName(sample);
        for (int taxon = 0; taxon < shape.taxa; ++taxon) {
            text += ',';
            appendNumber(text, counts[cell++]);
        }
        text += '\n';
    }
    return text;
}

std::string makeCommunityTable(CommunityShape shape)
{
    const std::vector<std::int32_t> counts = makeCounts(shape);
    const auto taxa = static_cast<std::size_t>(shape.taxa);
    std::string text = "# Constructed from biom file\n#OTU ID";
    for (int sample = 0; sample < shape.samples; ++sample) {
        text += '\t';
        text += sampleName(sample);
    }
    text += "\ttaxonomy\n";
    for (int taxon = 0; taxon < shape.taxa; ++taxon) {
        text += taxonName(taxon);
        for (int sample = 0; sample < shape.samples; ++sample) {
            text += '\t';
            appendNumber(
                text,
                counts[static_cast<std::size_t>(sample) * taxa + static_cast<std::size_t>(taxon)]);
        }
        text += "\tk__Bacteria; p__Phylum" + std::to_string(taxon % 40) + "; g__Genus" +
                std::to_string(taxon % 900) + "\n";
    }
    return text;
}

} // namespace quorvella::bench
