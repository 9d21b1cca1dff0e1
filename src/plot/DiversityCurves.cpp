#include "plot/DiversityCurves.h"

#include <QCoreApplication>

namespace quorvella {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("DiversityCurves", text);
}

CurvePart partOf(EstimateMethod method)
{
    switch (method) {
    case EstimateMethod::Interpolated:
        return CurvePart::Interpolated;
    case EstimateMethod::Observed:
        return CurvePart::Reference;
    case EstimateMethod::Extrapolated:
        return CurvePart::Extrapolated;
    }
    return CurvePart::Interpolated;
}

// One value of a size-based row on each axis.
enum class Measure { Diversity, Coverage };

CurvePoint pointOf(const SizeBasedEstimate &row, Measure x, Measure y)
{
    CurvePoint point;
    point.x = x == Measure::Coverage ? row.coverage : static_cast<double>(row.m);
    if (y == Measure::Coverage) {
        point.y = row.coverage;
        point.lower = row.coverageLower;
        point.upper = row.coverageUpper;
    } else {
        point.y = row.D;
        point.lower = row.lower;
        point.upper = row.upper;
    }
    point.part = partOf(row.method);
    return point;
}

DiversityPanel panelOf(const DiversityResult &result, int q, Measure x, Measure y)
{
    DiversityPanel panel;
    panel.xIsCoverage = x == Measure::Coverage;
    panel.yIsCoverage = y == Measure::Coverage;
    panel.xTitle =
        panel.xIsCoverage ? translated("Sample coverage") : sizeAxisTitle(result.settings.dataType);
    panel.yTitle = panel.yIsCoverage ? translated("Sample coverage")
                                     : translated("Species diversity, %1").arg(orderName(q));
    for (const DiversityOutcome &outcome : result.curves) {
        if (!outcome.profile) {
            continue;
        }
        CurveSeries series;
        series.name = QString::fromStdString(outcome.profile->name);
        for (const SizeBasedEstimate &row : outcome.profile->sizeBased) {
            if (row.q == q) {
                series.points.push_back(pointOf(row, x, y));
            }
        }
        panel.series.push_back(std::move(series));
    }
    return panel;
}

} // namespace

QString sizeAxisTitle(DiversityDataType type)
{
    return type == DiversityDataType::Incidence ? translated("Number of sampling units")
                                                : translated("Number of individuals");
}

QString orderName(int q)
{
    switch (q) {
    case 0:
        return translated("q = 0 (richness)");
    case 1:
        return translated("q = 1 (Shannon)");
    case 2:
        return translated("q = 2 (Simpson)");
    }
    return QStringLiteral("q = %1").arg(q);
}

DiversityPicture diversityPicture(const DiversityResult &result, DiversityPlotType plot)
{
    DiversityPicture picture;
    picture.bands = result.settings.bootstrapReplicates > 0;
    const std::vector<int> &orders = result.settings.orders;
    if (orders.empty()) {
        return picture;
    }
    if (plot == DiversityPlotType::CoverageBySize) {
        // Coverage does not depend on the order: one panel.
        picture.panels.push_back(
            panelOf(result, orders.front(), Measure::Diversity, Measure::Coverage));
        return picture;
    }
    const Measure x =
        plot == DiversityPlotType::DiversityByCoverage ? Measure::Coverage : Measure::Diversity;
    for (const int q : orders) {
        DiversityPanel panel = panelOf(result, q, x, Measure::Diversity);
        if (orders.size() > 1) {
            panel.title = orderName(q);
        }
        picture.panels.push_back(std::move(panel));
    }
    return picture;
}

} // namespace quorvella
