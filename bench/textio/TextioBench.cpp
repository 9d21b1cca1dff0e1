// Import speed on a large collection-group matrix.
//
// Target: validating and parsing a matrix of 1000 collections by 2000 species
// (about 4 MB) takes under 300 ms together (BM_ValidateAndParseGroupMatrix).

#include "textio/ImportParsing.h"
#include "textio/ImportValidation.h"
#include "textio/Utf8.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace quorvella {
namespace {

constexpr int collectionCount = 1000;
constexpr int speciesCount = 2000;

// A field survey: most species are absent from most collections, the counts
// of the others range from 1 to a few hundred.
std::string makeGroupMatrix()
{
    std::uint32_t state = 12345;
    const auto nextRandom = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    std::string text = "collection";
    for (int species = 0; species < speciesCount; ++species) {
        text += ",Species " + std::to_string(species);
    }
    text += "\r\n";
    for (int collection = 0; collection < collectionCount; ++collection) {
        text += "Sample " + std::to_string(collection);
        for (int species = 0; species < speciesCount; ++species) {
            const std::uint32_t draw = nextRandom() % 100;
            text += ',';
            text += draw < 70 ? std::string("0") : std::to_string(draw < 95 ? draw % 10 : draw * 3);
        }
        text += "\r\n";
    }
    return text;
}

const std::string &groupMatrix()
{
    static const std::string text = makeGroupMatrix();
    return text;
}

void reportSize(benchmark::State &state, const std::string &text)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_ValidateGroupMatrix(benchmark::State &state)
{
    const std::string &text = groupMatrix();
    for (auto _ : state) {
        benchmark::DoNotOptimize(validateCollectionGroupFromString(text));
    }
    reportSize(state, text);
}

void BM_ParseGroupMatrix(benchmark::State &state)
{
    const std::string &text = groupMatrix();
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseCollectionGroup(text));
    }
    reportSize(state, text);
}

void BM_ValidateAndParseGroupMatrix(benchmark::State &state)
{
    const std::string &text = groupMatrix();
    for (auto _ : state) {
        if (!validateCollectionGroupFromString(text).isValid()) {
            throw std::logic_error("the benchmark matrix must be valid");
        }
        ImportedCollectionGroup group = parseCollectionGroup(text);
        benchmark::DoNotOptimize(group);
        if (group.collections.size() != collectionCount) {
            throw std::logic_error("the benchmark matrix must give every collection");
        }
    }
    reportSize(state, text);
}

void BM_DecodeUtf8(benchmark::State &state)
{
    const std::string &text = groupMatrix();
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeUtf8(text));
    }
    reportSize(state, text);
}

void BM_ValidateAndParseAbundanceList(benchmark::State &state)
{
    std::string text;
    for (int i = 1; i <= 500000; ++i) {
        text += std::to_string(i % 997 + 1) + "\n";
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(validateAbundanceListFromString(text));
        benchmark::DoNotOptimize(parseAbundanceList(text));
    }
    reportSize(state, text);
}

BENCHMARK(BM_ValidateGroupMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseGroupMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValidateAndParseGroupMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValidateAndParseAbundanceList)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvella
