#pragma once

// The assemblage a sample suggests, and bootstrap samples drawn from it
// (Chao et al. 2014, appendix): each detected species gets the probability
// (x/N) [1 - lambda (1 - x/N)^N], lambda chosen so that the detected species
// leave the undetected ones 1 - coverage of the mass (for incidence, the
// same on Y/T with Q1/T), and ceil(f0-hat) undetected species share that
// rest equally. Abundance replicates are multinomial samples of n
// individuals (drawn with an alias table); incidence replicates put each
// species into each of the T units independently with its probability.

#include "analysis/DiversityRandom.h"
#include "analysis/HillNumbers.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quorvella {

class HillSample;

class BootstrapAssemblage
{
public:
    BootstrapAssemblage(const HillSample &sample, std::span<const std::int64_t> frequencies);

    // The nonzero frequencies of one replicate.
    std::vector<std::int64_t> draw(Xoshiro256StarStar &random) const;

    std::span<const double> detectedProbabilities() const { return detected_; }
    std::uint64_t undetectedSpecies() const { return undetectedSpecies_; }
    double undetectedProbability() const { return undetectedProbability_; }

private:
    std::vector<std::int64_t> drawAbundances(Xoshiro256StarStar &random) const;
    std::vector<std::int64_t> drawIncidences(Xoshiro256StarStar &random) const;

    DiversityDataType type_;
    std::int64_t N_;
    std::vector<double> detected_;
    std::uint64_t undetectedSpecies_ = 0;
    double undetectedProbability_ = 0; // of each undetected species
    // Alias table over the detected species and, last, the undetected group.
    std::vector<std::uint64_t> aliasThreshold_;
    std::vector<std::uint32_t> alias_;
};

} // namespace quorvella
