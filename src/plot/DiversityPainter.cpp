#include "plot/DiversityPainter.h"

#include "plot/TickSpacing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>

namespace quorvella {

namespace {

// Okabe & Ito (2008), "Color universal design": distinguishable with every
// common kind of colour blindness. Yellow comes last, as it is the faintest
// on white.
constexpr std::array<QRgb, 8> okabeIto{0xff0072b2, 0xffd55e00, 0xff009e73, 0xffcc79a7,
                                       0xffe69f00, 0xff56b4e9, 0xff000000, 0xfff0e442};
constexpr std::array<Qt::PenStyle, 4> extrapolatedStyles{Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                                         Qt::DashDotDotLine};

constexpr double bandAlpha = 0.2;
constexpr double curveWidth = 1.5;
constexpr double markerRadius = 3.5;
constexpr double tickLength = 4.0;
constexpr double leftMargin = 54.0;   // y tick labels and the rotated y title
constexpr double bottomMargin = 40.0; // x tick labels and the x title
constexpr double topMargin = 22.0;    // the panel's title
constexpr double rightMargin = 14.0;
constexpr double legendRow = 14.0;
constexpr double legendSample = 26.0; // the line drawn before each name
constexpr double legendGap = 6.0;
constexpr double legendShare = 0.35; // of the width, at most
constexpr double tickLabelGap = 4.0;
// Eight colours times four line styles tell this many curves apart; a
// legend of more would name curves it cannot point to. It then says how
// many there are and how to get a list instead.
constexpr std::size_t largestListedSeries = okabeIto.size() * extrapolatedStyles.size();

QStringList legendNote(std::size_t series)
{
    return {QStringLiteral("%1 collections").arg(series),
            QStringLiteral("Choose %1 or fewer").arg(largestListedSeries),
            QStringLiteral("to list each one.")};
}

bool isFinite(double value)
{
    return std::isfinite(value);
}

QString tickLabel(double value, int decimals)
{
    char text[64];
    const auto result =
        std::to_chars(std::begin(text), std::end(text), value, std::chars_format::fixed, decimals);
    return QString::fromLatin1(text, static_cast<qsizetype>(result.ptr - text));
}

// The largest value either axis must show. Bands may reach far above the
// curves (an extrapolation from few doubletons); they are allowed half the
// curves' height again, and clipped beyond.
QPointF axisMaxima(const DiversityPanel &panel, bool bands)
{
    double xMax = 0.0;
    double yMax = 0.0;
    double upperMax = 0.0;
    for (const CurveSeries &series : panel.series) {
        for (const CurvePoint &point : series.points) {
            if (isFinite(point.x) && isFinite(point.y)) {
                xMax = std::max(xMax, point.x);
                yMax = std::max(yMax, point.y);
            }
            if (bands && isFinite(point.upper)) {
                upperMax = std::max(upperMax, point.upper);
            }
        }
    }
    yMax = std::max(yMax, std::min(upperMax, 1.5 * yMax));
    if (panel.xIsCoverage || !(xMax > 0.0)) {
        xMax = 1.0;
    }
    if (panel.yIsCoverage || !(yMax > 0.0)) {
        yMax = 1.0;
    }
    return {xMax, yMax};
}

struct MarkerShape
{
    static QPainterPath at(QPointF c, std::size_t index)
    {
        QPainterPath path;
        const double r = markerRadius;
        switch ((index / okabeIto.size()) % 4) {
        case 0:
            path.addEllipse(c, r, r);
            break;
        case 1:
            path.addRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
            break;
        case 2:
            path.moveTo(c.x(), c.y() - 1.2 * r);
            path.lineTo(c.x() + 1.1 * r, c.y() + 0.8 * r);
            path.lineTo(c.x() - 1.1 * r, c.y() + 0.8 * r);
            path.closeSubpath();
            break;
        default:
            path.moveTo(c.x(), c.y() - 1.3 * r);
            path.lineTo(c.x() + 1.3 * r, c.y());
            path.lineTo(c.x(), c.y() + 1.3 * r);
            path.lineTo(c.x() - 1.3 * r, c.y());
            path.closeSubpath();
            break;
        }
        return path;
    }
};

void drawCentred(QPainter &painter, QPointF centre, const QString &text)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double width = metrics.horizontalAdvance(text);
    painter.drawText(
        QPointF(centre.x() - width / 2, centre.y() + metrics.ascent() / 2 - metrics.descent() / 2),
        text);
}

QString largestTickLabel(double axisMax, float spacing)
{
    const int last = std::max(0, tickCount(static_cast<float>(axisMax), spacing) - 1);
    return tickLabel(double(last) * double(spacing), tickLabelDecimals(spacing));
}

// The axis's 1-2-5 spacing, widened until its labels keep apart (a thousand
// curves of a million individuals in a narrow panel would run them together).
float fittedSpacing(double axisMax, double axisLength,
                    const std::function<double(float spacing)> &labelExtent)
{
    return spacingThatFitsLabels(niceTickSpacing(static_cast<float>(axisMax)), axisLength / axisMax,
                                 tickLabelGap, labelExtent);
}

void drawAxes(QPainter &painter, const PanelFrame &frame, const DiversityPanel &panel)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(frame.plot.bottomLeft(), frame.plot.bottomRight());
    painter.drawLine(frame.plot.bottomLeft(), frame.plot.topLeft());

    const float xSpacing = fittedSpacing(frame.xMax, frame.plot.width(), [&](float spacing) {
        return metrics.horizontalAdvance(largestTickLabel(frame.xMax, spacing));
    });
    const int xDecimals = tickLabelDecimals(xSpacing);
    for (int k = 0, n = tickCount(static_cast<float>(frame.xMax), xSpacing); k < n; ++k) {
        const QPointF p = frame.at(double(k) * double(xSpacing), 0.0);
        painter.drawLine(p, p + QPointF(0, tickLength));
        drawCentred(painter, p + QPointF(0, tickLength + 2 + metrics.ascent() / 2),
                    tickLabel(double(k) * double(xSpacing), xDecimals));
    }
    const float ySpacing =
        fittedSpacing(frame.yMax, frame.plot.height(), [&](float) { return metrics.height(); });
    const int yDecimals = tickLabelDecimals(ySpacing);
    for (int k = 0, n = tickCount(static_cast<float>(frame.yMax), ySpacing); k < n; ++k) {
        const QPointF p = frame.at(0.0, double(k) * double(ySpacing));
        painter.drawLine(p, p - QPointF(tickLength, 0));
        const QString label = tickLabel(double(k) * double(ySpacing), yDecimals);
        const double width = metrics.horizontalAdvance(label);
        painter.drawText(QPointF(p.x() - tickLength - 3 - width, p.y() + metrics.ascent() / 2 - 1),
                         label);
    }

    drawCentred(painter, QPointF(frame.plot.center().x(), frame.plot.bottom() + bottomMargin - 8),
                panel.xTitle);
    painter.save();
    painter.translate(frame.plot.left() - leftMargin + 10, frame.plot.center().y());
    painter.rotate(-90);
    drawCentred(painter, QPointF(0, 0), panel.yTitle);
    painter.restore();
    if (!panel.title.isEmpty()) {
        drawCentred(painter, QPointF(frame.plot.center().x(), frame.plot.top() - topMargin / 2),
                    panel.title);
    }
}

void drawBand(QPainter &painter, const PanelFrame &frame, const CurveSeries &series, QColor color)
{
    QPolygonF lower;
    QPolygonF upper;
    for (const CurvePoint &point : series.points) {
        if (isFinite(point.x) && isFinite(point.lower) && isFinite(point.upper)) {
            lower << frame.at(point.x, point.lower);
            upper.prepend(frame.at(point.x, point.upper));
        }
    }
    if (lower.size() < 2) {
        return;
    }
    QPainterPath path;
    path.addPolygon(lower + upper);
    path.closeSubpath();
    color.setAlphaF(static_cast<float>(bandAlpha));
    painter.fillPath(path, color);
}

// The solid run up to the reference sample, the styled run from it on.
void drawCurve(QPainter &painter, const PanelFrame &frame, const CurveSeries &series,
               std::size_t index)
{
    QPolygonF solid;
    QPolygonF dashed;
    for (const CurvePoint &point : series.points) {
        if (!isFinite(point.x) || !isFinite(point.y)) {
            continue;
        }
        const QPointF p = frame.at(point.x, point.y);
        if (point.part != CurvePart::Extrapolated) {
            solid << p;
        }
        if (point.part != CurvePart::Interpolated) {
            dashed << p;
        }
    }
    const QColor color = diversitySeriesColor(index);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, curveWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.drawPolyline(solid);
    painter.setPen(
        QPen(color, curveWidth, diversityExtrapolatedStyle(index), Qt::FlatCap, Qt::RoundJoin));
    painter.drawPolyline(dashed);
    for (const CurvePoint &point : series.points) {
        if (point.part == CurvePart::Reference && isFinite(point.x) && isFinite(point.y)) {
            painter.fillPath(MarkerShape::at(frame.at(point.x, point.y), index), color);
        }
    }
}

void drawPanel(QPainter &painter, const PanelFrame &frame, const DiversityPanel &panel, bool bands)
{
    drawAxes(painter, frame, panel);
    painter.save();
    painter.setClipRect(frame.plot.adjusted(-markerRadius, -markerRadius, markerRadius, 0));
    if (bands) {
        for (std::size_t i = 0; i < panel.series.size(); ++i) {
            drawBand(painter, frame, panel.series[i], diversitySeriesColor(i));
        }
    }
    for (std::size_t i = 0; i < panel.series.size(); ++i) {
        drawCurve(painter, frame, panel.series[i], i);
    }
    painter.restore();
}

void drawLegendNote(QPainter &painter, const QRectF &area, std::size_t series)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.setPen(Qt::black);
    const QStringList lines = legendNote(series);
    for (qsizetype row = 0; row < lines.size(); ++row) {
        painter.drawText(
            QPointF(area.left() + legendGap,
                    area.top() + (double(row) + 0.5) * legendRow + metrics.ascent() / 2 - 1),
            metrics.elidedText(lines[row], Qt::ElideRight, area.width() - 2 * legendGap));
    }
}

void drawLegend(QPainter &painter, const QRectF &area, const std::vector<CurveSeries> &series)
{
    if (series.size() > largestListedSeries) {
        drawLegendNote(painter, area, series.size());
        return;
    }
    const QFontMetricsF metrics(painter.font(), painter.device());
    const int rows = std::max(1, static_cast<int>(area.height() / legendRow));
    const int columns = (static_cast<int>(series.size()) + rows - 1) / rows;
    const double columnWidth = area.width() / std::max(1, columns);
    const double textWidth = columnWidth - legendSample - 2 * legendGap;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const int column = static_cast<int>(i) / rows;
        const int row = static_cast<int>(i) % rows;
        const QPointF start(area.left() + column * columnWidth,
                            area.top() + (row + 0.5) * legendRow);
        const QColor color = diversitySeriesColor(i);
        painter.setPen(QPen(color, curveWidth));
        painter.drawLine(start, start + QPointF(legendSample / 2, 0));
        painter.setPen(QPen(color, curveWidth, diversityExtrapolatedStyle(i), Qt::FlatCap));
        painter.drawLine(start + QPointF(legendSample / 2, 0), start + QPointF(legendSample, 0));
        painter.fillPath(MarkerShape::at(start + QPointF(legendSample / 2, 0), i), color);
        painter.setPen(Qt::black);
        painter.drawText(start + QPointF(legendSample + legendGap, metrics.ascent() / 2 - 1),
                         metrics.elidedText(series[i].name, Qt::ElideRight, textWidth));
    }
}

} // namespace

QColor diversitySeriesColor(std::size_t index)
{
    return QColor::fromRgba(okabeIto[index % okabeIto.size()]);
}

Qt::PenStyle diversityExtrapolatedStyle(std::size_t index)
{
    return extrapolatedStyles[(index / okabeIto.size()) % extrapolatedStyles.size()];
}

QFont diversityLabelFont()
{
    QFont font(QStringLiteral("Helvetica"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    return font;
}

DiversityLayout layoutDiversityPicture(QSizeF size, const DiversityPicture &picture,
                                       const QPaintDevice *device)
{
    DiversityLayout layout;
    if (picture.panels.empty()) {
        return layout;
    }
    const std::vector<CurveSeries> &series = picture.panels.front().series;
    double legendWidth = 0.0;
    if (!series.empty()) {
        const QFontMetricsF metrics(diversityLabelFont(), const_cast<QPaintDevice *>(device));
        const double available = std::max(legendRow, size.height() - topMargin - bottomMargin);
        if (series.size() > largestListedSeries) {
            double widest = 0.0;
            for (const QString &line : legendNote(series.size())) {
                widest = std::max(widest, metrics.horizontalAdvance(line));
            }
            legendWidth = std::min(widest + 2 * legendGap, legendShare * size.width());
        } else {
            double widest = 0.0;
            for (const CurveSeries &s : series) {
                widest = std::max(widest, metrics.horizontalAdvance(s.name));
            }
            const int rows = std::max(1, static_cast<int>(available / legendRow));
            const int columns = (static_cast<int>(series.size()) + rows - 1) / rows;
            legendWidth = std::min(columns * (legendSample + 2 * legendGap + widest),
                                   legendShare * size.width());
        }
        layout.legend = QRectF(size.width() - legendWidth, topMargin, legendWidth, available);
    }
    const double panelWidth =
        (size.width() - legendWidth) / static_cast<double>(picture.panels.size());
    for (std::size_t i = 0; i < picture.panels.size(); ++i) {
        const QPointF maxima = axisMaxima(picture.panels[i], picture.bands);
        const QRectF plot(double(i) * panelWidth + leftMargin, topMargin,
                          std::max(1.0, panelWidth - leftMargin - rightMargin),
                          std::max(1.0, size.height() - topMargin - bottomMargin));
        layout.panels.push_back(PanelFrame{plot, maxima.x(), maxima.y()});
    }
    return layout;
}

void paintDiversityPicture(QPainter &painter, QSizeF size, const DiversityPicture &picture)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    painter.setFont(diversityLabelFont());
    const DiversityLayout layout = layoutDiversityPicture(size, picture, painter.device());
    for (std::size_t i = 0; i < layout.panels.size(); ++i) {
        drawPanel(painter, layout.panels[i], picture.panels[i], picture.bands);
    }
    if (!layout.legend.isEmpty()) {
        drawLegend(painter, layout.legend, picture.panels.front().series);
    }
    painter.restore();
}

} // namespace quorvella
