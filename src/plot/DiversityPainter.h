#pragma once

// The one drawing routine of a diversity picture. The window, the PDF, PNG
// and SVG files, the clipboard and the printer all draw through it.
//
// Lengths and fonts are in picture units: PDF and SVG are written at 72 units
// per inch, so a unit is a point and the 10-unit labels read as 10 points.

#include "plot/DiversityPicture.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <cstddef>
#include <vector>

class QPainter;
class QPaintDevice;

namespace quorvella {

// Where one panel's data land: the plot rectangle (painter coordinates, y
// downward) and the axes' largest values; both axes start at 0.
struct PanelFrame
{
    QRectF plot;
    double xMax = 1.0;
    double yMax = 1.0;

    QPointF at(double x, double y) const
    {
        return {plot.left() + plot.width() * x / xMax, plot.bottom() - plot.height() * y / yMax};
    }
};

struct DiversityLayout
{
    std::vector<PanelFrame> panels;
    QRectF legend; // empty when there is nothing to list
};

// The colour of the i-th collection: the eight colours of Okabe and Ito's
// colour-blind-safe palette, then again with the next line style.
QColor diversitySeriesColor(std::size_t index);
// The pen style of the i-th collection's extrapolated part: dashed for the
// first eight, then dotted, dash-dotted, dash-dot-dotted. Interpolated parts
// are always solid.
Qt::PenStyle diversityExtrapolatedStyle(std::size_t index);

QFont diversityLabelFont();

// Places panels and legend in a picture of this size (the device gives the
// font metrics the names are measured with).
DiversityLayout layoutDiversityPicture(QSizeF size, const DiversityPicture &picture,
                                       const QPaintDevice *device);

// Draws the picture: white background, per panel its axes with ticks and
// titles, the bands (alpha 0.2 in each collection's colour), the curves and
// the reference markers; the legend on the right. Draws only the white
// background when there is no panel.
void paintDiversityPicture(QPainter &painter, QSizeF size, const DiversityPicture &picture);

} // namespace quorvella
