#pragma once

// The one drawing routine of a rarefaction plot. The window, the PDF, PNG and
// SVG files and the clipboard all draw through it, so they show one picture.

#include "analysis/Rarefaction.h"
#include "plot/PlotStyle.h"

#include <QFont>
#include <QSizeF>
#include <span>

class QPainter;

namespace quorvella {

// Draws the curve of `points` (ascending sample size) into a picture of
// `size` units with its origin at the painter's top-left: a white
// background, the axes from 10 % to 90 % of width and height, ticks with
// "%.0f" labels in Helvetica 10, the curve 3 units wide and the confidence
// band of the style's level over it at alpha 0.2. Draws nothing at all when
// there are no points.
void paintRarefactionPicture(QPainter &painter, QSizeF size, std::span<const Rarefaction> points,
                             const PlotStyle &style);

// The label font of both axes, also used by tests to find the label texts.
QFont rarefactionLabelFont();

} // namespace quorvella
