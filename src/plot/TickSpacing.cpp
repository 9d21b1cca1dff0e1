#include "plot/TickSpacing.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace quorvella {

namespace {

constexpr std::array<float, 18> tickSpacingList{
    1.0f,    2.0f,    5.0f,    10.0f,    20.0f,    50.0f,    100.0f,    200.0f,    500.0f,
    1000.0f, 2000.0f, 5000.0f, 10000.0f, 20000.0f, 50000.0f, 100000.0f, 200000.0f, 500000.0f};

// No axis of a real curve comes near this; it bounds the work of a corrupt one.
constexpr float maximumTickCount = 100000.0f;

} // namespace

float calculateTickSpacingFromAxisLength(float axisLength)
{
    // Walk down from the second-largest entry: the first spacing whose six
    // intervals fall short of the axis tells that the next larger one fits.
    for (std::size_t i = tickSpacingList.size() - 2;; --i) {
        if (6.0f * tickSpacingList[i] < axisLength) {
            return tickSpacingList[i + 1];
        }
        if (i == 0) {
            return tickSpacingList[0];
        }
    }
}

int tickCount(float axisLength, float spacing)
{
    if (!std::isfinite(axisLength) || axisLength < 0.0f || !(spacing > 0.0f)) {
        return 0;
    }
    const float count = std::floor(axisLength / spacing + 1.0f);
    return static_cast<int>(std::fmin(count, maximumTickCount));
}

float niceTickSpacing(float axisLength)
{
    if (!std::isfinite(axisLength) || !(axisLength > 0.0f)) {
        return 1.0f;
    }
    const double interval = double(axisLength) / 6.0;
    double decade = std::pow(10.0, std::floor(std::log10(interval)));
    for (;; decade *= 10.0) {
        for (const double step : {1.0, 2.0, 5.0}) {
            // A spacing that is (in single precision) six times short of
            // the axis does not fit; anything else does.
            if (6.0f * static_cast<float>(step * decade) >= axisLength) {
                return static_cast<float>(step * decade);
            }
        }
    }
}

float nextTickSpacing(float spacing)
{
    if (!std::isfinite(spacing) || !(spacing > 0.0f)) {
        return 1.0f;
    }
    const double decade = std::pow(10.0, std::floor(std::log10(double(spacing)) + 1e-6));
    const double step = double(spacing) / decade;
    const double next = step < 1.5 ? 2.0 : step < 3.5 ? 5.0 : 10.0;
    return static_cast<float>(next * decade);
}

float spacingThatFitsLabels(float spacing, double unitsPerValue, double gap,
                            const std::function<double(float spacing)> &labelExtent)
{
    if (!std::isfinite(unitsPerValue) || !(unitsPerValue > 0.0)) {
        return spacing;
    }
    // Forty steps widen any spacing by over thirteen decades: a float axis
    // ends well before.
    for (int step = 0; step < 40 && std::isfinite(spacing); ++step) {
        if (double(spacing) * unitsPerValue >= labelExtent(spacing) + gap) {
            break;
        }
        spacing = nextTickSpacing(spacing);
    }
    return spacing;
}

int tickLabelDecimals(float spacing)
{
    if (!(spacing > 0.0f) || spacing >= 1.0f) {
        return 0;
    }
    return static_cast<int>(std::ceil(-std::log10(double(spacing)) - 1e-6));
}

} // namespace quorvella
