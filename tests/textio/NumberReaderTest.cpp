#include "textio/NumberReader.h"

#include "TestRowName.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace quorvella {
namespace {

constexpr float inf = std::numeric_limits<float>::infinity();

struct NumberRow
{
    const char *label;
    std::string field;
    std::size_t length; // of the number at the field's start; 0: none
    float value;        // the field's single-precision value
    std::int32_t stored;
    bool whole32;
};

class NumberReaderTest : public ::testing::TestWithParam<NumberRow>
{
};

TEST_P(NumberReaderTest, ReadsValueAndStoredInteger)
{
    const NumberRow &row = GetParam();
    const std::optional<NumberToken> token = readNumber(row.field, 0);
    EXPECT_EQ(token ? token->length : 0u, row.length);
    EXPECT_EQ(fieldValue(row.field), row.value);
    EXPECT_EQ(integerValue(row.field), row.stored);
    EXPECT_EQ(isWholeIn32Bits(fieldValue(row.field)), row.whole32);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberReaderTest,
    ::testing::Values(
        NumberRow{"digits", "42", 2, 42.0f, 42, true}, NumberRow{"signs", "+7", 2, 7.0f, 7, true},
        NumberRow{"negative", "-3", 2, -3.0f, -3, true},
        NumberRow{"zero fraction", "5.0", 3, 5.0f, 5, true},
        NumberRow{"trailing point", "5.", 2, 5.0f, 5, true},
        NumberRow{"leading point", ".5", 2, 0.5f, 0, false},
        NumberRow{"lone point", ".", 0, 0.0f, 0, true},
        NumberRow{"lone sign", "-", 0, 0.0f, 0, true},
        NumberRow{"exponent", "1e2", 3, 100.0f, 100, true},
        NumberRow{"exponent with sign and fraction", "2.5E+1", 6, 25.0f, 25, true},
        NumberRow{"negative exponent", "1500e-2", 7, 15.0f, 15, true},
        NumberRow{"exponent without digits", "1e", 1, 1.0f, 1, true},
        NumberRow{"exponent sign without digits", "3e+x", 1, 3.0f, 3, true},
        NumberRow{"text after the number", "12abc", 2, 12.0f, 12, true},
        NumberRow{"leading whitespace skipped",
                  " \t\xC2\xA0"
                  "8",
                  0, 8.0f, 8, true},
        NumberRow{"text first", "abc", 0, 0.0f, 0, true},
        NumberRow{"decimal stores its integer part", "2.75", 4, 2.75f, 2, false},
        NumberRow{"negative decimal truncates toward zero", "-2.75", 5, -2.75f, -2, false},
        NumberRow{"accepted float rounding keeps the whole value", "0.99999999", 10, 1.0f, 1, true},
        NumberRow{"exact digits beyond single precision", "16777217", 8, 16777216.0f, 16777217,
                  true},
        NumberRow{"largest float below 2^31", "2147483520", 10, 2147483520.0f, 2147483520, true},
        NumberRow{"2^31 - 1 rounds up to 2^31", "2147483647", 10, 2147483648.0f, 2147483647, false},
        NumberRow{"below -2^31", "-3000000000", 11, -3000000000.0f,
                  std::numeric_limits<std::int32_t>::min(), false},
        NumberRow{"many digits", "123456789012345678901234567890", 30, 1.2345679e29f,
                  std::numeric_limits<std::int32_t>::max(), false},
        NumberRow{"float overflow", "1e39", 4, inf, std::numeric_limits<std::int32_t>::max(),
                  false},
        NumberRow{"double overflow", "-1e400", 6, -inf, std::numeric_limits<std::int32_t>::min(),
                  false},
        NumberRow{"underflow", "1e-400", 6, 0.0f, 0, true},
        NumberRow{"huge exponent of zero", "0e99999999999999999999", 22, 0.0f, 0, true},
        NumberRow{"tiny fraction big exponent", "0.0000000001e10", 15, 1.0f, 1, true}),
    testing::LabelName());

TEST(NumberReader, WholenessOfSpecialValues)
{
    EXPECT_FALSE(isWhole(inf));
    EXPECT_FALSE(isWhole(std::nanf("")));
    EXPECT_FALSE(isWholeIn32Bits(std::nanf("")));
    EXPECT_TRUE(isWholeIn32Bits(-2147483648.0f));
    EXPECT_TRUE(isWhole(-0.0f));
}

} // namespace
} // namespace quorvella
