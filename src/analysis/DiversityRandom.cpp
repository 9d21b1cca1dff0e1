#include "analysis/DiversityRandom.h"

namespace quorvella {
namespace {

__extension__ typedef unsigned __int128 Unsigned128;

} // namespace

std::uint64_t splitMix64(std::uint64_t &state)
{
    state += 0x9e3779b97f4a7c15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

Xoshiro256StarStar::Xoshiro256StarStar(std::uint64_t seed)
{
    std::uint64_t state = seed;
    for (std::uint64_t &word : s_) {
        word = splitMix64(state);
    }
}

double Xoshiro256StarStar::uniform()
{
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

double Xoshiro256StarStar::uniformPositive()
{
    return static_cast<double>((next() >> 11) + 1) * 0x1.0p-53;
}

std::uint64_t Xoshiro256StarStar::below(std::uint64_t bound)
{
    Unsigned128 product = static_cast<Unsigned128>(next()) * bound;
    auto low = static_cast<std::uint64_t>(product);
    if (low < bound) {
        const std::uint64_t threshold = (0 - bound) % bound;
        while (low < threshold) {
            product = static_cast<Unsigned128>(next()) * bound;
            low = static_cast<std::uint64_t>(product);
        }
    }
    return static_cast<std::uint64_t>(product >> 64);
}

Xoshiro256StarStar replicateGenerator(std::uint64_t seed, std::uint64_t replicate)
{
    std::uint64_t state = seed;
    const std::uint64_t mixedSeed = splitMix64(state);
    std::uint64_t streamState = mixedSeed ^ (replicate * 0xd1b54a32d192ed03ULL);
    return Xoshiro256StarStar(splitMix64(streamState));
}

} // namespace quorvella
