#include "plot/DiversityComputation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvella {

namespace {

// The curves take most of the time; the common point the rest.
constexpr int progressSteps = 1000;
constexpr int curveShare = 850;

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
    }
    return options;
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
                          std::span<const DiversityOutcome> curves)
{
    double smallest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < curves.size() && i < samples.size(); ++i) {
        if (!curves[i].profile) {
            continue;
        }
        const std::int64_t doubled = 2 * curves[i].profile->n;
        if (basis == CommonBasis::Size) {
            smallest = std::min(smallest, static_cast<double>(doubled));
            continue;
        }
        DiversityOptions atDoubled;
        atDoubled.orders = {0};
        atDoubled.sizes = {doubled};
        atDoubled.bootstrapReplicates = 0;
        const DiversityProfile profile = estimateDiversity(samples[i], atDoubled, 1);
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
    result.curves = estimateDiversityOfAll(result.samples, settings.curveOptions(),
                                           runControl(control, 0, curveShare));
    double value = settings.commonValue.value_or(
        defaultCommonValue(settings.commonBasis, result.samples, result.curves));
    if (settings.commonBasis == CommonBasis::Coverage) {
        value = std::clamp(value, 1e-9, largestTarget);
    }
    result.commonValue = value;
    result.common =
        estimateDiversityOfAll(result.samples, commonOptions(settings, value),
                               runControl(control, curveShare, progressSteps - curveShare));
    control.setProgress(progressSteps, progressSteps);
    return result;
}

} // namespace quorvella
