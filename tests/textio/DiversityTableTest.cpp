// The long diversity table: its exact bytes for each kind of row, a quoted
// name, empty cells for what was not computed, under a comma-decimal locale.

#include "textio/DiversityTable.h"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>

namespace quorvella {
namespace {

TEST(DiversityTable, RowsOfEachKindUnderACommaDecimalLocale)
{
    const char *german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    DiversityProfile p;
    p.name = "Site \"A\", 1";
    p.dataType = DiversityDataType::Incidence;
    p.sizeBased = {
        {3, EstimateMethod::Observed, 0, 5.5, 0.25, 5.0, 6.0, 0.9, 0.01, 0.88, 1.0},
        {6, EstimateMethod::Extrapolated, 2, 1.0 / 3.0, none, none, none, 1e-7, none, none, none}};
    p.coverageBased = {{0.95, 4.125, EstimateMethod::Extrapolated, 1, 7.0, none, none, none}};
    p.asymptotic = {{2, 3.0, 12.0, 2.5, 7.1, 16.9}};
    const DiversityProfile profiles[] = {p};
    EXPECT_EQ(
        diversityTableText(profiles),
        "assemblage,dataType,kind,q,m,method,targetCoverage,D,se,lower,upper,coverage,"
        "coverageSe,coverageLower,coverageUpper\n"
        "\"Site \"\"A\"\", 1\",incidence,size,0,3,observed,,5.5,0.25,5,6,0.9,0.01,0.88,1\n"
        "\"Site \"\"A\"\", 1\",incidence,size,2,6,extrapolated,,0.3333333333333333,,,,1e-07,,,\n"
        "\"Site \"\"A\"\", 1\",incidence,coverage,1,4.125,extrapolated,0.95,7,,,,,,,\n"
        "\"Site \"\"A\"\", 1\",incidence,asymptotic,2,,asymptotic,,12,2.5,7.1,16.9,,,,\n");
    if (german != nullptr) {
        std::setlocale(LC_ALL, "C");
    }
}

} // namespace
} // namespace quorvella
