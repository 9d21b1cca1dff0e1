#include "analysis/HillNumbers.h"

#include "analysis/DiversityBootstrap.h"
#include "analysis/DiversityTasks.h"
#include "analysis/HillSample.h"
#include "analysis/NormalQuantile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvella {
namespace {

// The tables grow with the reference size; beyond this the bootstrap and
// the tables would take more time and memory than a desktop run allows.
constexpr std::int64_t kLargestReferenceSize = std::int64_t{1} << 24;
constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// The values computed for one sample (and for each replicate), in a fixed
// order: the three asymptotic estimates; D0, D1, D2 and the coverage at each
// size; m, D0, D1, D2 at each target coverage.
struct EstimateLayout
{
    std::span<const std::int64_t> sizes;
    std::span<const double> targets;

    static constexpr std::size_t perSize = 4;
    static constexpr std::size_t perTarget = 4;
    std::size_t sizeIndex(std::size_t j) const { return 3 + perSize * j; }
    std::size_t targetIndex(std::size_t t) const
    {
        return 3 + perSize * sizes.size() + perTarget * t;
    }
    std::size_t length() const { return targetIndex(targets.size()); }
};

std::vector<double> estimateVector(const HillSample &sample, const EstimateLayout &layout)
{
    std::vector<double> values;
    values.reserve(layout.length());
    for (const double d : sample.asymptotic()) {
        values.push_back(d);
    }
    const std::int64_t N = sample.referenceSize();
    for (const std::int64_t m : layout.sizes) {
        const HillPoint point =
            m < N ? sample.interpolated(m) : sample.extrapolated(static_cast<double>(m - N));
        values.insert(values.end(), point.D.begin(), point.D.end());
        values.push_back(point.coverage);
    }
    for (const double target : layout.targets) {
        const double m = sample.sizeForCoverage(target);
        const HillPoint point = sample.at(m);
        values.push_back(m);
        values.insert(values.end(), point.D.begin(), point.D.end());
    }
    return values;
}

EstimateMethod methodAt(double m, std::int64_t reference)
{
    const double n = static_cast<double>(reference);
    if (m < n) {
        return EstimateMethod::Interpolated;
    }
    return m == n ? EstimateMethod::Observed : EstimateMethod::Extrapolated;
}

// The nonzero frequencies of a sample that can be estimated, its reference
// size (n or T); DiversityInputError otherwise.
std::vector<std::int64_t> checkedFrequencies(const DiversitySample &sample, std::int64_t &reference)
{
    const std::string who = "Diversity of \"" + sample.name + "\" cannot be estimated: ";
    std::vector<std::int64_t> frequencies;
    std::int64_t total = 0;
    for (const std::int64_t x : sample.frequencies) {
        if (x < 0) {
            throw DiversityInputError(who + "a count is negative (" + std::to_string(x) + ").");
        }
        if (x > 0) {
            frequencies.push_back(x);
            total = x > kLargestReferenceSize || total > kLargestReferenceSize
                        ? kLargestReferenceSize + 1
                        : total + x;
        }
    }
    if (sample.dataType == DiversityDataType::Incidence) {
        if (sample.units < 2) {
            throw DiversityInputError(who + "incidence data need at least two sampling units.");
        }
        for (const std::int64_t y : frequencies) {
            if (y > sample.units) {
                throw DiversityInputError(who + "a species is found in " + std::to_string(y) +
                                          " units, more than the " + std::to_string(sample.units) +
                                          " units sampled.");
            }
        }
        reference = sample.units;
    } else {
        reference = total;
    }
    if (frequencies.empty()) {
        throw DiversityInputError(who + "no species was counted.");
    }
    if (reference > kLargestReferenceSize) {
        throw DiversityInputError(who + "the sample is larger than " +
                                  std::to_string(kLargestReferenceSize) + ".");
    }
    return frequencies;
}

// What one set of options asks of an assemblage: its sizes, the estimates
// there and at the options' coverage targets, and those of each replicate.
struct Estimates
{
    const DiversityOptions *options = nullptr;
    std::vector<std::int64_t> sizes;
    std::vector<double> estimates;
    std::vector<std::vector<double>> replicates;

    EstimateLayout layout() const { return {sizes, options->coverageTargets}; }
};

// One assemblage on its way through the computation. Its replicates are
// drawn once, whatever the sets of options estimated from them.
struct Assemblage
{
    const DiversitySample *sample = nullptr;
    std::string problem;
    std::vector<std::int64_t> frequencies;
    std::shared_ptr<const ReferenceTables> tables;
    std::optional<HillSample> hill;
    std::optional<BootstrapAssemblage> bootstrap;
    std::vector<Estimates> sets; // one per set of options

    bool valid() const { return hill.has_value(); }
};

void prepare(Assemblage &a, std::span<const DiversityOptions> optionSets)
{
    try {
        std::int64_t reference = 0;
        a.frequencies = checkedFrequencies(*a.sample, reference);
        a.tables = std::make_shared<const ReferenceTables>(reference);
        a.hill.emplace(a.sample->dataType, a.frequencies, a.tables);
        for (const DiversityOptions &options : optionSets) {
            Estimates &set = a.sets.emplace_back();
            set.options = &options;
            set.sizes =
                options.sizes.empty()
                    ? defaultDiversitySizes(reference, options.endpoint.value_or(2 * reference),
                                            options.knots)
                    : options.sizes;
            set.estimates = estimateVector(*a.hill, set.layout());
            set.replicates.resize(static_cast<std::size_t>(options.bootstrapReplicates));
        }
        if (optionSets.front().bootstrapReplicates > 0) {
            a.bootstrap.emplace(*a.hill, a.frequencies);
        }
    } catch (const DiversityInputError &error) {
        a.problem = error.what();
        a.hill.reset();
    }
}

void runReplicate(Assemblage &a, std::size_t replicate, std::uint64_t seed)
{
    Xoshiro256StarStar random = replicateGenerator(seed, replicate);
    std::vector<std::int64_t> frequencies = a.bootstrap->draw(random);
    if (frequencies.empty()) {
        // An incidence replicate in which no unit holds a species.
        for (Estimates &set : a.sets) {
            set.replicates[replicate].assign(set.layout().length(), kNotANumber);
        }
        return;
    }
    const HillSample replicateSample(a.sample->dataType, std::move(frequencies), a.tables);
    for (Estimates &set : a.sets) {
        set.replicates[replicate] = estimateVector(replicateSample, set.layout());
    }
}

// Standard deviation of the finite replicate values at one index.
double replicateSe(const Estimates &a, std::size_t index)
{
    double sum = 0.0;
    std::size_t count = 0;
    for (const std::vector<double> &values : a.replicates) {
        if (std::isfinite(values[index])) {
            sum += values[index];
            ++count;
        }
    }
    if (count < 2) {
        return kNotANumber;
    }
    const double mean = sum / static_cast<double>(count);
    double squares = 0.0;
    for (const std::vector<double> &values : a.replicates) {
        if (std::isfinite(values[index])) {
            squares += (values[index] - mean) * (values[index] - mean);
        }
    }
    return std::sqrt(squares / static_cast<double>(count - 1));
}

struct Band
{
    double se = kNotANumber;
    double lower = kNotANumber;
    double upper = kNotANumber;
};

Band bandAt(const Estimates &a, std::size_t index, double z, double lowest, double highest)
{
    if (a.replicates.empty()) {
        return {};
    }
    const double estimate = a.estimates[index];
    const double se = replicateSe(a, index);
    return {se, std::clamp(estimate - z * se, lowest, highest),
            std::clamp(estimate + z * se, lowest, highest)};
}

DiversityProfile makeProfile(const Assemblage &assemblage, const Estimates &a)
{
    constexpr double unbounded = std::numeric_limits<double>::infinity();
    const DiversityOptions &options = *a.options;
    const double z = normalQuantile(1.0 - (1.0 - options.level) / 2.0);
    const HillSample &hill = *assemblage.hill;
    const EstimateLayout layout = a.layout();
    DiversityProfile profile;
    profile.name = assemblage.sample->name;
    profile.dataType = assemblage.sample->dataType;
    profile.n = hill.referenceSize();
    profile.U = hill.total();
    profile.observedRichness = hill.observedRichness();
    profile.coverage = hill.observed().coverage;
    profile.bootstrapReplicates = options.bootstrapReplicates;
    profile.level = options.level;
    for (const int q : options.orders) {
        const auto qi = static_cast<std::size_t>(q);
        const Band band = bandAt(a, qi, z, 0.0, unbounded);
        profile.asymptotic.push_back(
            {q, hill.observed().D[qi], a.estimates[qi], band.se, band.lower, band.upper});
    }
    for (const int q : options.orders) {
        const auto qi = static_cast<std::size_t>(q);
        for (std::size_t j = 0; j < a.sizes.size(); ++j) {
            const std::size_t at = layout.sizeIndex(j);
            const Band d = bandAt(a, at + qi, z, 0.0, unbounded);
            const Band c = bandAt(a, at + 3, z, 0.0, 1.0);
            profile.sizeBased.push_back({a.sizes[j],
                                         methodAt(static_cast<double>(a.sizes[j]), profile.n), q,
                                         a.estimates[at + qi], d.se, d.lower, d.upper,
                                         a.estimates[at + 3], c.se, c.lower, c.upper});
        }
    }
    for (std::size_t t = 0; t < options.coverageTargets.size(); ++t) {
        const std::size_t at = layout.targetIndex(t);
        const double m = a.estimates[at];
        for (const int q : options.orders) {
            const auto qi = static_cast<std::size_t>(q);
            const Band d = bandAt(a, at + 1 + qi, z, 0.0, unbounded);
            profile.coverageBased.push_back({options.coverageTargets[t], m, methodAt(m, profile.n),
                                             q, a.estimates[at + 1 + qi], d.se, d.lower, d.upper});
        }
    }
    return profile;
}

} // namespace

std::vector<std::vector<DiversityOutcome>>
estimateDiversityOfAll(std::span<const DiversitySample> samples,
                       std::span<const DiversityOptions> optionSets,
                       const DiversityRunControl &control)
{
    if (optionSets.empty()) {
        return {};
    }
    const DiversityOptions &first = optionSets.front();
    for (const DiversityOptions &options : optionSets) {
        validateDiversityOptions(options);
        if (options.bootstrapReplicates != first.bootstrapReplicates ||
            options.seed != first.seed) {
            throw std::invalid_argument(
                "Estimates from shared replicates need the same replicates and seed.");
        }
    }
    std::vector<Assemblage> assemblages(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        assemblages[i].sample = &samples[i];
    }
    const auto replicates = static_cast<std::size_t>(first.bootstrapReplicates);
    TaskRunner runner(control, samples.size() * (1 + replicates));
    runner.run(samples.size(), [&](std::size_t i) { prepare(assemblages[i], optionSets); });

    std::vector<std::pair<std::size_t, std::size_t>> tasks;
    for (std::size_t i = 0; i < assemblages.size(); ++i) {
        if (assemblages[i].valid() && replicates > 0) {
            for (std::size_t r = 0; r < replicates; ++r) {
                tasks.emplace_back(i, r);
            }
        } else {
            runner.skip(replicates);
        }
    }
    runner.run(tasks.size(), [&](std::size_t t) {
        runReplicate(assemblages[tasks[t].first], tasks[t].second, first.seed);
    });

    std::vector<std::vector<DiversityOutcome>> outcomes(
        optionSets.size(), std::vector<DiversityOutcome>(samples.size()));
    for (std::size_t i = 0; i < assemblages.size(); ++i) {
        for (std::size_t set = 0; set < optionSets.size(); ++set) {
            if (assemblages[i].valid()) {
                outcomes[set][i].profile = makeProfile(assemblages[i], assemblages[i].sets[set]);
            } else {
                outcomes[set][i].problem = assemblages[i].problem;
            }
        }
    }
    return outcomes;
}

std::vector<DiversityOutcome> estimateDiversityOfAll(std::span<const DiversitySample> samples,
                                                     const DiversityOptions &options,
                                                     const DiversityRunControl &control)
{
    return std::move(estimateDiversityOfAll(samples, std::span(&options, 1), control).front());
}

std::optional<std::int64_t> diversityReferenceSize(const DiversitySample &sample)
{
    try {
        std::int64_t reference = 0;
        checkedFrequencies(sample, reference);
        return reference;
    } catch (const DiversityInputError &) {
        return std::nullopt;
    }
}

DiversityProfile estimateDiversity(const DiversitySample &sample, const DiversityOptions &options,
                                   unsigned threads)
{
    DiversityRunControl control;
    control.threads = threads;
    std::vector<DiversityOutcome> outcomes =
        estimateDiversityOfAll(std::span(&sample, 1), options, control);
    if (!outcomes.front().profile) {
        throw DiversityInputError(outcomes.front().problem);
    }
    return std::move(*outcomes.front().profile);
}

} // namespace quorvella
