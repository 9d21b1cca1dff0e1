#include "plot/DiversityComputation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace quorvella {

namespace {

constexpr int progressSteps = 1000;

// The largest coverage a target may ask for: a sample whose singletons are
// all gone reaches 1 only in the limit.
constexpr double largestTarget = 1.0 - 1e-9;

DiversityRunControl runControl(DiversityJobControl &control, int from, int share)
{
    DiversityRunControl run;
    run.cancel = &control.cancelFlag();
    run.progress = [&control, from, share](std::size_t done, std::size_t total) {
        const double fraction = total > 0 ? double(done) / double(total) : 1.0;
        control.setProgress(from + static_cast<int>(fraction * share), progressSteps);
    };
    return run;
}

DiversityOptions commonOptions(const DiversitySettings &settings, double value)
{
    DiversityOptions options = settings.curveOptions();
    if (settings.commonBasis == CommonBasis::Size) {
        options.sizes = {std::max<std::int64_t>(1, std::llround(value))};
    } else {
        options.coverageTargets = {value};
        // No sizes would mean the default knots: ask for the cheapest one,
        // whose rows are then dropped (commonRowsOnly).
        options.sizes = {1};
    }
    return options;
}

// The common table shows only the point compared at.
void commonRowsOnly(CommonBasis basis, std::vector<DiversityOutcome> &common)
{
    if (basis != CommonBasis::Coverage) {
        return;
    }
    for (DiversityOutcome &outcome : common) {
        if (outcome.profile) {
            outcome.profile->sizeBased.clear();
        }
    }
}

} // namespace

DiversityOptions DiversitySettings::curveOptions() const
{
    DiversityOptions options;
    options.orders = orders;
    options.endpoint = endpoint;
    options.bootstrapReplicates = bootstrapReplicates;
    options.level = level;
    return options;
}

double defaultCommonValue(CommonBasis basis, std::span<const DiversitySample> samples,
                          const std::atomic<bool> *cancel)
{
    double smallest = std::numeric_limits<double>::infinity();
    for (const DiversitySample &sample : samples) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            throw DiversityCancelled();
        }
        const std::optional<std::int64_t> reference = diversityReferenceSize(sample);
        if (!reference) {
            continue;
        }
        const std::int64_t doubled = 2 * *reference;
        if (basis == CommonBasis::Size) {
            smallest = std::min(smallest, static_cast<double>(doubled));
            continue;
        }
        DiversityOptions atDoubled;
        atDoubled.orders = {0};
        atDoubled.sizes = {doubled};
        atDoubled.bootstrapReplicates = 0;
        const DiversityProfile profile = estimateDiversity(sample, atDoubled, 1);
        if (!profile.sizeBased.empty()) {
            smallest = std::min(smallest, profile.sizeBased.front().coverage);
        }
    }
    if (!std::isfinite(smallest)) {
        return basis == CommonBasis::Size ? 1.0 : 0.5;
    }
    return basis == CommonBasis::Coverage ? std::min(smallest, largestTarget) : smallest;
}

DiversityResult computeDiversity(const DiversitySettings &settings,
                                 std::vector<DiversitySample> samples, DiversityJobControl &control)
{
    DiversityResult result;
    result.settings = settings;
    result.samples = std::move(samples);
    double value = settings.commonValue.value_or(
        defaultCommonValue(settings.commonBasis, result.samples, &control.cancelFlag()));
    if (settings.commonBasis == CommonBasis::Coverage) {
        value = std::clamp(value, 1e-9, largestTarget);
    }
    result.commonValue = value;
    // The curves and the common point from the same replicates, drawn once.
    const std::array<DiversityOptions, 2> optionSets{settings.curveOptions(),
                                                     commonOptions(settings, value)};
    std::vector<std::vector<DiversityOutcome>> outcomes =
        estimateDiversityOfAll(result.samples, optionSets, runControl(control, 0, progressSteps));
    result.curves = std::move(outcomes[0]);
    result.common = std::move(outcomes[1]);
    commonRowsOnly(settings.commonBasis, result.common);
    control.setProgress(progressSteps, progressSteps);
    return result;
}

} // namespace quorvella
