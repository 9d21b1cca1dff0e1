#pragma once

// Hill numbers of order q = 0 (richness), 1 (exponential of Shannon entropy)
// and 2 (inverse Simpson) for samples of unequal size: interpolated
// (rarefied) and extrapolated to chosen sizes, the sample coverage at each
// size, the asymptotic estimates, the estimates at equal coverage, and
// bootstrap standard errors and bands.
//
// References: Chao, Gotelli, Hsieh, Sander, Ma, Colwell & Ellison (2014),
// Ecological Monographs 84:45-67; Chao & Jost (2012), Ecology 93:2533-2547;
// Chao, Wang & Jost (2013), Methods in Ecology and Evolution 4:1091-1100.
//
// Abundance data: the counts X_i of the species of one sample, size n.
// Incidence data: T sampling units, Y_i = the units holding species i.
// Sizes count individuals (abundance) or sampling units (incidence).
//
// Standard library only; every result is a plain value.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvella {

enum class DiversityDataType { Abundance, Incidence };

// One assemblage to analyse.
struct DiversitySample
{
    std::string name;
    DiversityDataType dataType = DiversityDataType::Abundance;
    // Abundance: the count of each species. Incidence: the number of units
    // holding each species. Zeros are ignored; negatives are refused.
    std::vector<std::int64_t> frequencies;
    // Incidence only: T, the number of sampling units (at least 2, and at
    // least every frequency).
    std::int64_t units = 0;
};

DiversitySample abundanceSample(std::string name, std::span<const std::int32_t> counts);
DiversitySample incidenceSample(std::string name, std::span<const std::int32_t> occurrences,
                                std::int64_t units);

constexpr std::uint64_t kDefaultDiversitySeed = 20140101;

struct DiversityOptions
{
    // The orders computed, each 0, 1 or 2, in the order given.
    std::vector<int> orders{0, 1, 2};
    // Explicit sizes (each at least 1); empty: the default knots below.
    std::vector<std::int64_t> sizes;
    // Largest size of the default knots; none: twice the reference size.
    std::optional<std::int64_t> endpoint;
    // Number of default knots (at least 1).
    int knots = 40;
    // Target coverages, each strictly between 0 and 1.
    std::vector<double> coverageTargets;
    // Bootstrap replicates, 0 to 10000; 0 gives no standard errors or bands.
    int bootstrapReplicates = 50;
    std::uint64_t seed = kDefaultDiversitySeed;
    // Confidence level of the bands, strictly between 0 and 1.
    double level = 0.95;
};

// Checks the options; throws std::invalid_argument with a sentence naming
// the faulty value.
void validateDiversityOptions(const DiversityOptions &options);

enum class EstimateMethod { Interpolated, Observed, Extrapolated };

// "interpolated", "observed", "extrapolated".
const char *estimateMethodName(EstimateMethod method);
// "abundance", "incidence".
const char *diversityDataTypeName(DiversityDataType type);

// In every row, se, lower and upper are not-a-number when the options ask
// for no bootstrap (bootstrapReplicates == 0). Lower diversity limits are
// clipped at 0, coverage limits to [0, 1].
struct AsymptoticEstimate
{
    int q = 0;
    double observed = 0; // the sample's own Hill number
    double estimate = 0;
    double se = 0;
    double lower = 0;
    double upper = 0;
};

struct SizeBasedEstimate
{
    std::int64_t m = 0;
    EstimateMethod method = EstimateMethod::Interpolated;
    int q = 0;
    double D = 0;
    double se = 0;
    double lower = 0;
    double upper = 0;
    double coverage = 0;
    double coverageSe = 0;
    double coverageLower = 0;
    double coverageUpper = 0;
};

struct CoverageBasedEstimate
{
    double targetCoverage = 0;
    double m = 0; // the size (real) at which the sample reaches the target
    EstimateMethod method = EstimateMethod::Interpolated;
    int q = 0;
    double D = 0;
    double se = 0;
    double lower = 0;
    double upper = 0;
};

struct DiversityProfile
{
    std::string name;
    DiversityDataType dataType = DiversityDataType::Abundance;
    std::int64_t n = 0; // individuals, or units T
    std::int64_t U = 0; // incidence: total incidences; abundance: n
    std::int64_t observedRichness = 0;
    double coverage = 0; // at the reference size
    int bootstrapReplicates = 0;
    double level = 0.95;
    std::vector<AsymptoticEstimate> asymptotic;       // one per order
    std::vector<SizeBasedEstimate> sizeBased;         // by order, then size
    std::vector<CoverageBasedEstimate> coverageBased; // by target, then order
};

// An assemblage that cannot be estimated (no counts; incidence with fewer
// than two units; a frequency above T).
class DiversityInputError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

// Thrown by estimateDiversityOfAll when `cancel` became true.
class DiversityCancelled : public std::runtime_error
{
public:
    DiversityCancelled() : std::runtime_error("diversity estimation cancelled") {}
};

// The sizes of the default knots for a reference size (n or T): with the
// endpoint at or below it, floor(seq(1, endpoint, knots)); otherwise
// floor(seq(1, reference - 1, knots / 2 - 1)), the reference, and
// floor(seq(reference + 1, endpoint, knots - knots / 2)); ascending, without
// duplicates.
std::vector<std::int64_t> defaultDiversitySizes(std::int64_t reference, std::int64_t endpoint,
                                                int knots);

// One assemblage. Throws DiversityInputError or std::invalid_argument.
// Uses up to `threads` threads for the bootstrap (0: the machine's cores);
// the results do not depend on the number of threads.
DiversityProfile estimateDiversity(const DiversitySample &sample, const DiversityOptions &options,
                                   unsigned threads = 0);

// Every assemblage, in order. An assemblage that cannot be estimated has no
// profile and a message in `problem`. Replicate r of every assemblage uses
// the random stream of (seed, r), so an assemblage's bands do not depend on
// the others, on their order or on the number of threads. `progress`, when
// set, is called (from any thread, serialised) with the finished and the
// total units of work; `cancel`, when set and true, stops the work with
// DiversityCancelled.
struct DiversityOutcome
{
    std::optional<DiversityProfile> profile;
    std::string problem;
};
struct DiversityRunControl
{
    unsigned threads = 0;
    const std::atomic<bool> *cancel = nullptr;
    std::function<void(std::size_t done, std::size_t total)> progress;
};
std::vector<DiversityOutcome> estimateDiversityOfAll(std::span<const DiversitySample> samples,
                                                     const DiversityOptions &options,
                                                     const DiversityRunControl &control = {});

// Several sets of options at once, one list of outcomes per set, each equal
// to what the call above gives for that set alone; the replicates of an
// assemblage are drawn once for all sets, which must share
// bootstrapReplicates and seed (std::invalid_argument otherwise).
std::vector<std::vector<DiversityOutcome>>
estimateDiversityOfAll(std::span<const DiversitySample> samples,
                       std::span<const DiversityOptions> optionSets,
                       const DiversityRunControl &control = {});

// The reference size (n or T) of a sample that can be estimated; none for
// one that cannot.
std::optional<std::int64_t> diversityReferenceSize(const DiversitySample &sample);

} // namespace quorvella
