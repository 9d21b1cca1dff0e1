#pragma once

#include <QColor>

namespace quorvella {

// The two user settings a rarefaction picture depends on, read afresh for
// every drawing so that a change in Preferences shows at the next redraw.
struct PlotStyle
{
    QColor curveColor = Qt::red;
    int confidenceLevel = 95; // 95 or 99; any other level draws no band
};

} // namespace quorvella
