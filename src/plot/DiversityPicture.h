#pragma once

// What a diversity picture shows, in plain values: one or three panels
// (one per order q, or one of sample coverage), each with one curve per
// collection. A curve runs through its points in order of x; points up to
// the reference sample are interpolated (drawn solid), points after it
// extrapolated (drawn dashed), and the reference sample itself is a filled
// marker. Band limits that are not numbers draw no band there.

#include <QString>
#include <vector>

namespace quorvella {

enum class CurvePart { Interpolated, Reference, Extrapolated };

struct CurvePoint
{
    double x = 0.0;
    double y = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    CurvePart part = CurvePart::Interpolated;
};

struct CurveSeries
{
    QString name;
    std::vector<CurvePoint> points; // ascending x
};

struct DiversityPanel
{
    QString title;            // e.g. "q = 1"; empty for a single panel without order
    QString xTitle;           // "Number of individuals", "Sample coverage", ...
    QString yTitle;           // "Species diversity (q = 1)", "Sample coverage"
    bool xIsCoverage = false; // the x axis runs from 0 to 1
    bool yIsCoverage = false;
    std::vector<CurveSeries> series; // the same collections in every panel
};

struct DiversityPicture
{
    std::vector<DiversityPanel> panels;
    bool bands = true; // false when no bootstrap was run
};

} // namespace quorvella
