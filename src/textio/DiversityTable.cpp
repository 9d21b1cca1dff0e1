#include "textio/DiversityTable.h"

#include "textio/NumberText.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace quorvella {
namespace {

constexpr const char *kHeader =
    "assemblage,dataType,kind,q,m,method,targetCoverage,D,se,lower,upper,coverage,coverageSe,"
    "coverageLower,coverageUpper\n";

void appendNumber(std::string &line, double value)
{
    if (std::isnan(value)) {
        return;
    }
    if (std::isinf(value)) {
        line += value > 0 ? "Inf" : "-Inf";
        return;
    }
    line += shortestText(value);
}

void appendName(std::string &line, const std::string &name)
{
    if (name.find_first_of(",\"\r\n") == std::string::npos) {
        line += name;
        return;
    }
    line += '"';
    for (const char c : name) {
        line += c;
        if (c == '"') {
            line += '"';
        }
    }
    line += '"';
}

// The cells from q on; NaN cells stay empty.
void appendRow(std::string &text, const DiversityProfile &p, const char *kind, int q,
               const std::string &m, const char *method, std::initializer_list<double> values)
{
    appendName(text, p.name);
    text += ',';
    text += diversityDataTypeName(p.dataType);
    text += ',';
    text += kind;
    text += ',';
    text += std::to_string(q);
    text += ',';
    text += m;
    text += ',';
    text += method;
    for (const double value : values) {
        text += ',';
        appendNumber(text, value);
    }
    text += '\n';
}

std::string realText(double value)
{
    std::string text;
    appendNumber(text, value);
    return text;
}

} // namespace

std::string diversityTableText(std::span<const DiversityProfile> profiles)
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    std::string text = kHeader;
    for (const DiversityProfile &p : profiles) {
        for (const SizeBasedEstimate &r : p.sizeBased) {
            appendRow(text, p, "size", r.q, std::to_string(r.m), estimateMethodName(r.method),
                      {none, r.D, r.se, r.lower, r.upper, r.coverage, r.coverageSe, r.coverageLower,
                       r.coverageUpper});
        }
        for (const CoverageBasedEstimate &r : p.coverageBased) {
            appendRow(text, p, "coverage", r.q, realText(r.m), estimateMethodName(r.method),
                      {r.targetCoverage, r.D, r.se, r.lower, r.upper, none, none, none, none});
        }
        for (const AsymptoticEstimate &r : p.asymptotic) {
            appendRow(text, p, "asymptotic", r.q, "", "asymptotic",
                      {none, r.estimate, r.se, r.lower, r.upper, none, none, none, none});
        }
    }
    return text;
}

} // namespace quorvella
