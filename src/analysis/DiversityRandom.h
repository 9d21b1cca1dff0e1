#pragma once

// The random numbers of the diversity bootstrap, defined here rather than
// taken from <random>, whose distributions differ between standard
// libraries: SplitMix64 (Steele, Lea & Flood 2014) to seed, xoshiro256**
// (Blackman & Vigna 2018) to draw, and the few distributions the bootstrap
// needs. The same seed gives the same numbers on every machine.

#include <array>
#include <cstdint>

namespace quorvella {

// One step of SplitMix64: advances state and returns the mixed output.
std::uint64_t splitMix64(std::uint64_t &state);

class Xoshiro256StarStar
{
public:
    // The state from four SplitMix64 outputs of seed.
    explicit Xoshiro256StarStar(std::uint64_t seed);
    // The state as given (not all zero).
    explicit Xoshiro256StarStar(const std::array<std::uint64_t, 4> &state) : s_(state) {}

    std::uint64_t next()
    {
        const std::uint64_t result = rotateLeft(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = rotateLeft(s_[3], 45);
        return result;
    }
    // Uniform on [0, 1), 53 random bits.
    double uniform();
    // Uniform on (0, 1].
    double uniformPositive();
    // Uniform on 0 .. bound - 1 (bound >= 1), without bias (Lemire 2019).
    std::uint64_t below(std::uint64_t bound);

private:
    static constexpr std::uint64_t rotateLeft(std::uint64_t x, int k)
    {
        return (x << k) | (x >> (64 - k));
    }

    std::array<std::uint64_t, 4> s_{};
};

// The generator of replicate `replicate` under `seed`.
Xoshiro256StarStar replicateGenerator(std::uint64_t seed, std::uint64_t replicate);

} // namespace quorvella
