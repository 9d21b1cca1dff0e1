#pragma once

// Tick marks of a plot axis that starts at 0 and ends at its largest data value.

#include <functional>

namespace quorvella {

// The spacing of an axis's ticks: the smallest entry of the 1-2-5 series
// 1, 2, 5, 10, ... 500000 that gives the axis at most six intervals, or
// 500000 when none does. Computed in single precision like the drawing.
float calculateTickSpacingFromAxisLength(float axisLength);

// How many ticks (0, s, 2s, ...) fit on an axis of that length: the integer
// part of axisLength / spacing + 1. The last tick never lies beyond the axis.
// An axis that is negative, not a number or infinite gets no ticks.
int tickCount(float axisLength, float spacing);

// The same 1-2-5 rule over every decade, for axes that end below 1 (sample
// coverage) or far above 3,000,000: the smallest 1, 2 or 5 times a power of
// ten that gives at most six intervals. 1 for an axis that is not positive.
float niceTickSpacing(float axisLength);

// The next larger step of the 1-2-5 series over every decade: 1 -> 2 -> 5
// -> 10 -> 20 ... (a spacing off the series goes to the series step above it).
float nextTickSpacing(float spacing);

// Widens spacing along that series until neighbouring tick labels keep
// apart: until one interval, spacing * unitsPerValue device units, holds
// labelExtent(spacing) (the largest label's width along the axis, or its
// height on an upright axis) plus gap. A spacing whose labels already fit is
// returned unchanged, so a picture without crowded labels keeps its ticks.
float spacingThatFitsLabels(float spacing, double unitsPerValue, double gap,
                            const std::function<double(float spacing)> &labelExtent);

// How many decimals a tick label needs to show multiples of this spacing.
int tickLabelDecimals(float spacing);

} // namespace quorvella
