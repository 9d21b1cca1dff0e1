// Every number the product writes into a text is the same under every locale.
// The tests apply the environment's locale to the C library first, as the
// application does, so the suite's run under a comma-decimal locale checks
// that no text follows it.

#include "textio/NumberText.h"

#include "textio/CsvExport.h"
#include "textio/RarefactionTable.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <string_view>

namespace quorvella {
namespace {

class NumberTextTest : public ::testing::Test
{
protected:
    void SetUp() override { std::setlocale(LC_ALL, ""); }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

// The suite's second run asks for a comma-decimal locale; a system without
// it would pass that run without testing anything.
TEST_F(NumberTextTest, ACommaLocaleAskedForIsInEffect)
{
    const char *asked = std::getenv("LC_ALL");
    if (asked == nullptr || std::string_view(asked).rfind("de_DE", 0) != 0) {
        GTEST_SKIP() << "LC_ALL does not ask for a German locale";
    }
    ASSERT_STREQ(std::localeconv()->decimal_point, ",")
        << asked << " is not installed (tools/install-deps.sh generates it)";
}

TEST_F(NumberTextTest, FixedAndIntegerTexts)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double value;
        int decimals;
        const char *text;
    } cases[] = {
        {1.5, 3, "1.500"},      {-0.0004, 3, "-0.000"},
        {2.0 / 3.0, 2, "0.67"}, {1e20, 1, "100000000000000000000.0"},
        {1234.5, 0, "1234"},    {nan, 3, "nan"},
        {-nan, 3, "nan"},       {inf, 2, "inf"},
        {-inf, 6, "-inf"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(fixedText(c.value, c.decimals), c.text) << c.value;
    }
    EXPECT_EQ(integerText(-2147483648LL), "-2147483648");
    EXPECT_EQ(shortestText(0.1), "0.1");
    EXPECT_EQ(hexText(0xe9, 4), "00E9");
    EXPECT_EQ(padLeft("1.500", 8), "   1.500");
    EXPECT_EQ(padLeft("123456789", 8), "123456789");
}

TEST_F(NumberTextTest, ProductTextsKeepTheirDecimalPoint)
{
    const Rarefaction point{.theSampleSize = 50,
                            .theE = 12.5,
                            .theVar = 2.25,
                            .upper95 = 15.44,
                            .lower95 = 9.56,
                            .upper99 = 16.364,
                            .lower99 = 8.636};
    EXPECT_EQ(rarefactionTableText({&point, 1}),
              "n,E,Var,lower95,upper95,lower99,upper99\r"
              "      50,  12.500,   2.250,   9.560,  15.440,   8.636,  16.364\r");
    EXPECT_EQ(chao2FieldText(10.0 / 3.0), "Chao-2:   3.33");
    EXPECT_EQ(formatMetricValue(1.5), "1.500000");
    // 0/0 sets the sign bit; the metrics export writes it like every text.
    EXPECT_EQ(formatMetricValue(-std::numeric_limits<double>::quiet_NaN()), "nan");
}

} // namespace
} // namespace quorvella
