#include "plot/RarefactionPainter.h"

#include "log/Log.h"
#include "plot/TickSpacing.h"
#include "textio/NumberText.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace quorvella {

namespace {

constexpr float marginFraction = 0.1f;
constexpr float tickFraction = 0.02f;
constexpr double curveWidth = 3.0;
constexpr double bandAlpha = 0.2;
constexpr double tickLabelGap = 4.0;
// Consecutive vertices closer than this (in picture units) are merged, so a
// curve of a million points draws as fast as one of a thousand, and no drawn
// line strays further than this from a data point.
constexpr double vertexTolerance = 0.25;

// Where data values land. Positions are computed in single precision with y
// growing upward from the bottom edge, and turned into the painter's
// downward y only when handed over.
struct PlotFrame
{
    float height;
    float x0;
    float y0;
    float sx;
    float sy;
    float tick;

    float x(float n) const { return x0 + sx * n; }
    float y(float e) const { return y0 + sy * e; }
    QPointF device(float xUp, float yUp) const { return {xUp, double(height) - double(yUp)}; }
    QPointF at(double n, double e) const
    {
        return device(x(static_cast<float>(n)), y(static_cast<float>(e)));
    }
};

// Builds a polyline, leaving out vertices that would not move the line
// visibly; the last vertex of each run is always kept.
class Polyline
{
public:
    explicit Polyline(QPointF start) : last_(start) { path_.moveTo(start); }

    void lineTo(QPointF p)
    {
        if (std::abs(p.x() - last_.x()) < vertexTolerance &&
            std::abs(p.y() - last_.y()) < vertexTolerance) {
            pending_ = p;
            hasPending_ = true;
            return;
        }
        path_.lineTo(p);
        last_ = p;
        hasPending_ = false;
    }

    // Ends a run: its final vertex is drawn exactly where it belongs.
    void keepLast()
    {
        if (hasPending_) {
            path_.lineTo(pending_);
            last_ = pending_;
            hasPending_ = false;
        }
    }

    QPainterPath &path()
    {
        keepLast();
        return path_;
    }

private:
    QPainterPath path_;
    QPointF last_;
    QPointF pending_;
    bool hasPending_ = false;
};

QString formatWholeNumber(float value)
{
    return QString::fromStdString(fixedText(double(value), 0));
}

// Draws a text with the lower-left corner of its box at a point (y upward).
void drawTextAt(QPainter &painter, const PlotFrame &frame, float xUp, float yUp,
                const QString &text)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QPointF boxBottomLeft = frame.device(xUp, yUp);
    painter.drawText(QPointF(boxBottomLeft.x(), boxBottomLeft.y() - metrics.descent()), text);
}

// An antialiased one-unit line at a whole coordinate covers two pixel rows
// half each, a soft grey. On pixels the axes and ticks are drawn aliased, one
// crisp row; vector devices (PDF, SVG, printing) keep the exact geometry.
bool drawsOnPixels(const QPainter &painter)
{
    const QPaintEngine *engine = painter.paintEngine();
    return engine != nullptr && engine->type() == QPaintEngine::Raster;
}

void drawAxes(QPainter &painter, const PlotFrame &frame, float nMax, float eMax)
{
    painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawLine(frame.device(frame.x0, frame.y0), frame.device(frame.x(nMax), frame.y0));
    painter.drawLine(frame.device(frame.x0, frame.y0), frame.device(frame.x0, frame.y(eMax)));
}

// The axis's spacing from the table, widened until its labels keep apart
// (six- and seven-digit numbers of specimens would run together).
float fittedSpacing(float axisMax, float unitsPerValue,
                    const std::function<double(float spacing)> &labelExtent)
{
    return spacingThatFitsLabels(calculateTickSpacingFromAxisLength(axisMax), unitsPerValue,
                                 tickLabelGap, labelExtent);
}

void drawXTicksAndLabels(QPainter &painter, const PlotFrame &frame, float nMax)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const float spacing = fittedSpacing(nMax, frame.sx, [&](float candidate) {
        const int last = std::max(0, tickCount(nMax, candidate) - 1);
        return metrics.horizontalAdvance(formatWholeNumber(static_cast<float>(last) * candidate));
    });
    const int count = tickCount(nMax, spacing);
    for (int k = 0; k < count; ++k) {
        const float value = static_cast<float>(k) * spacing;
        const float xk = frame.x(value);
        painter.drawLine(frame.device(xk, frame.y0), frame.device(xk, frame.y0 - frame.tick));
        drawTextAt(painter, frame, xk - 0.5f * frame.tick, frame.y0 - 3.0f * frame.tick,
                   formatWholeNumber(value));
    }
}

void drawYTicksAndLabels(QPainter &painter, const PlotFrame &frame, float eMax)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const float spacing = fittedSpacing(eMax, frame.sy, [&](float) { return metrics.height(); });
    const int count = tickCount(eMax, spacing);
    for (int k = 0; k < count; ++k) {
        const float value = static_cast<float>(k) * spacing;
        const float yk = frame.y(value);
        painter.drawLine(frame.device(frame.x0, yk), frame.device(frame.x0 - frame.tick, yk));
        // A label wider than the room before the axis ends just short of
        // it instead of running over it and into the curve.
        const QString label = formatWholeNumber(value);
        const float left = std::min(frame.x0 - 3.0f * frame.tick,
                                    frame.x0 - 0.5f * frame.tick -
                                        static_cast<float>(metrics.horizontalAdvance(label)));
        drawTextAt(painter, frame, left, yk - 0.7f * frame.tick, label);
    }
}

void drawCurve(QPainter &painter, const PlotFrame &frame, std::span<const Rarefaction> points,
               const QColor &color)
{
    Polyline curve(frame.device(frame.x0, frame.y0));
    for (const Rarefaction &point : points) {
        if (std::isfinite(point.theE)) {
            curve.lineTo(frame.at(point.theSampleSize, point.theE));
        }
    }
    painter.strokePath(curve.path(),
                       QPen(color, curveWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
}

void logUnknownConfidenceLevel(int level)
{
    logLine("ERROR: Confidence level is not 95 or 99 in drawRect in RarefactionView");
    logLine("ERROR - Confidence level is " + std::to_string(level) +
            " in drawRect in RarefactionView");
}

struct BandLimits
{
    double Rarefaction::*lower;
    double Rarefaction::*upper;
};

bool bandLimitsAreNumbers(std::span<const Rarefaction> points, BandLimits limits)
{
    for (const Rarefaction &point : points) {
        if (!std::isfinite(point.*limits.lower) || !std::isfinite(point.*limits.upper)) {
            return false;
        }
    }
    return true;
}

// The band runs from the data point (1, 1) along the lower limits, back
// along the upper ones, to (1, 1) and the origin, and is filled over the
// curve. Limits that are not numbers (a group without duplicated taxa) give
// no band rather than a shape with holes; the curve stays.
void drawBand(QPainter &painter, const PlotFrame &frame, std::span<const Rarefaction> points,
              const PlotStyle &style)
{
    BandLimits limits{&Rarefaction::lower95, &Rarefaction::upper95};
    if (style.confidenceLevel == 99) {
        limits = {&Rarefaction::lower99, &Rarefaction::upper99};
    } else if (style.confidenceLevel != 95) {
        logUnknownConfidenceLevel(style.confidenceLevel);
        return;
    }
    if (!bandLimitsAreNumbers(points, limits)) {
        return;
    }
    const QPointF start = frame.at(1.0, 1.0);
    Polyline band(start);
    for (const Rarefaction &point : points) {
        band.lineTo(frame.at(point.theSampleSize, point.*limits.lower));
    }
    band.keepLast();
    for (auto it = points.rbegin(); it != points.rend(); ++it) {
        band.lineTo(frame.at(it->theSampleSize, (*it).*limits.upper));
    }
    band.keepLast();
    band.lineTo(start);
    band.lineTo(frame.device(frame.x0, frame.y0));
    QPainterPath &path = band.path();
    path.setFillRule(Qt::WindingFill);
    QColor bandColor = style.curveColor;
    bandColor.setAlphaF(static_cast<float>(bandAlpha));
    painter.fillPath(path, bandColor);
}

} // namespace

QFont rarefactionLabelFont()
{
    QFont font(QStringLiteral("Helvetica"));
    font.setStyleHint(QFont::SansSerif);
    // Sized in picture units, like every other length: 10 points in a PDF,
    // 10 pixels on a screen of ordinary density.
    font.setPixelSize(10);
    return font;
}

void paintRarefactionPicture(QPainter &painter, QSizeF size, std::span<const Rarefaction> points,
                             const PlotStyle &style)
{
    if (points.empty()) {
        return;
    }
    const float width = static_cast<float>(size.width());
    const float height = static_cast<float>(size.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);

    const float nMax = static_cast<float>(points.back().theSampleSize);
    const float eMax = static_cast<float>(points.back().theE);
    // A curve that ends at no individuals or no taxa has no scale to draw on.
    if (nMax > 0.0f && eMax > 0.0f && std::isfinite(eMax)) {
        const PlotFrame frame{height,
                              marginFraction * width,
                              marginFraction * height,
                              (width - 2.0f * marginFraction * width) / nMax,
                              (height - 2.0f * marginFraction * height) / eMax,
                              tickFraction * height};
        painter.setRenderHint(QPainter::Antialiasing, !drawsOnPixels(painter));
        drawAxes(painter, frame, nMax, eMax);
        painter.setFont(rarefactionLabelFont());
        drawXTicksAndLabels(painter, frame, nMax);
        drawYTicksAndLabels(painter, frame, eMax);
        painter.setRenderHint(QPainter::Antialiasing, true);
        drawCurve(painter, frame, points, style.curveColor);
        drawBand(painter, frame, points, style);
    }
    painter.restore();
}

} // namespace quorvella
