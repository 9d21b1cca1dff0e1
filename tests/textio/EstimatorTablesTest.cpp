// The estimator tables' text, and the worked numbers of the user guide,
// which must be the program's own.

#include "textio/EstimatorTables.h"

#include <charconv>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace quorvella {
namespace {

// The guide's examples: the collection 5, 3, 1, 1, 2 and three collections
// holding A, B, C / A, C / A, at 95 %.
RichnessEstimates guideExample()
{
    RichnessInput input;
    input.collections = {{"Worked, \"example\"", {5, 3, 1, 1, 2}}, {"S2", {1, 1}}, {"S3", {1}}};
    input.taxa = {{0, 1, 2}, {0}, {0, 1}};
    return estimateRichness(input, 95);
}

std::string fixed(double value, int decimals)
{
    char digits[64];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    return std::string(digits, result.ptr);
}

TEST(EstimatorTablesTest, GuideWorkedNumbersAreTheProgramsOwn)
{
    const RichnessEstimates estimates = guideExample();
    std::map<std::string, double> program;
    for (const CollectionEstimateColumn &column : collectionEstimateColumns()) {
        if (const auto value = column.value(estimates.collections.front()).value) {
            program[std::string(column.key)] = *value;
        }
    }
    for (const GroupEstimateColumn &column : groupEstimateColumns()) {
        program[std::string(column.key)] = *column.value(*estimates.group).value;
    }
    std::ifstream file(QUORVELLA_GUIDE_PATH);
    std::stringstream guide;
    guide << file.rdbuf();
    const std::string text = guide.str();
    // Each worked number reads <span data-worked="key">6.833</span>.
    const std::string marker = "data-worked=\"";
    int checked = 0;
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + 1), ++checked) {
        const std::size_t keyStart = at + marker.size();
        const std::size_t keyEnd = text.find('"', keyStart);
        const std::size_t valueStart = keyEnd + 2;
        const std::string key = text.substr(keyStart, keyEnd - keyStart);
        const std::string shown = text.substr(valueStart, text.find('<', valueStart) - valueStart);
        const std::size_t point = shown.find('.');
        ASSERT_TRUE(program.contains(key)) << key;
        ASSERT_NE(point, std::string::npos) << key;
        EXPECT_EQ(shown, fixed(program[key], static_cast<int>(shown.size() - point - 1))) << key;
    }
    EXPECT_EQ(checked, 16);
}

TEST(EstimatorTablesTest, CsvQuotesNamesAndLeavesMissingCellsEmpty)
{
    const std::string csv = richnessEstimatesCsv(guideExample(), "\r");
    EXPECT_NE(csv.find("name,observed,n,chao1,chao1Se,chao1Lower,chao1Upper,ace,coverage\r"
                       "\"Worked, \"\"example\"\"\",5,12,6.833333,"),
              std::string::npos);
    EXPECT_NE(csv.find("\rS3,1,1,1.000000,0.311783,1.000000,2.548698,,1.000000\r\r"
                       "units,observed,chao2,"),
              std::string::npos);
    EXPECT_EQ(missingEstimateReasons(guideExample()),
              (std::vector<std::string>{"Collection \"S2\": ace cannot be computed: every rare "
                                        "taxon is a singleton (sample coverage 0).",
                                        "Collection \"S3\": ace cannot be computed: every rare "
                                        "taxon is a singleton (sample coverage 0)."}));
}

} // namespace
} // namespace quorvella
