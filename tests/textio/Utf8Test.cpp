#include "textio/Utf8.h"

#include "TestRowName.h"

#include <gtest/gtest.h>

namespace quorvella {
namespace {

struct DecodeRow
{
    const char *label;
    std::string bytes;
    std::optional<std::string> text; // decoded text, or nullopt when refused
    std::size_t errorOffset = 0;
};

class Utf8DecodeTest : public ::testing::TestWithParam<DecodeRow>
{
};

TEST_P(Utf8DecodeTest, DecodesOrNamesTheFirstBadByte)
{
    const DecodeRow &row = GetParam();
    const Utf8DecodeResult result = decodeUtf8(row.bytes);
    EXPECT_EQ(result.text, row.text);
    if (!row.text) {
        EXPECT_EQ(result.errorOffset, row.errorOffset);
        EXPECT_NE(result.error.find("byte offset " + std::to_string(row.errorOffset)),
                  std::string::npos)
            << result.error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Utf8DecodeTest,
    ::testing::Values(DecodeRow{"empty", "", std::string()},
                      DecodeRow{"ascii", "Abies,3\r\n", std::string("Abies,3\r\n")},
                      DecodeRow{"two byte", "Glob\xC3\xA9rina", std::string("Glob\xC3\xA9rina")},
                      DecodeRow{"three and four bytes", "\xE2\x80\xA8\xF0\x9F\x90\x9A",
                                std::string("\xE2\x80\xA8\xF0\x9F\x90\x9A")},
                      DecodeRow{"byte-order mark dropped",
                                "\xEF\xBB\xBF"
                                "A,1",
                                std::string("A,1")},
                      DecodeRow{"nul kept", std::string("A\0B", 3), std::string("A\0B", 3)},
                      DecodeRow{"latin-1 byte", "caf\xE9 au lait", std::nullopt, 3},
                      DecodeRow{"stray continuation", "abcdefghij\x80", std::nullopt, 10},
                      DecodeRow{"overlong slash", "a\xC0\xAF", std::nullopt, 1},
                      DecodeRow{"overlong three-byte", "\xE0\x80\xAF", std::nullopt, 0},
                      DecodeRow{"surrogate", "xx\xED\xA0\x80", std::nullopt, 2},
                      DecodeRow{"beyond U+10FFFF", "\xF4\x90\x80\x80", std::nullopt, 0},
                      DecodeRow{"lead byte F5", "\xF5\x80\x80\x80", std::nullopt, 0},
                      DecodeRow{"truncated at end", "Orbulina\xE2\x80", std::nullopt, 8},
                      DecodeRow{"missing continuation",
                                "\xC3"
                                "A",
                                std::nullopt, 0},
                      DecodeRow{"bad after long ascii run", "0123456789abcdef\xFF", std::nullopt,
                                16}),
    testing::LabelName());

TEST(Utf8CodePoint, ReadsEachSequenceLength)
{
    EXPECT_EQ(utf8CodePointAt("A", 0), U'A');
    EXPECT_EQ(utf8CodePointAt("\xC3\xA9", 0), U'\u00E9');
    EXPECT_EQ(utf8CodePointAt("\xE3\x80\x80", 0), U'\u3000');
    EXPECT_EQ(utf8CodePointAt("\xF0\x9F\x90\x9A", 0), U'\U0001F41A');
    EXPECT_EQ(utf8CodePointAt("\xFF", 0), U'\uFFFD');
    EXPECT_EQ(utf8SequenceLengthAt("A", 1), 0u);
}

} // namespace
} // namespace quorvella
