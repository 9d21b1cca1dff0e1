#include "textio/AsciiCheck.h"

#include "TestRowName.h"

#include <gtest/gtest.h>

namespace quorvella {
namespace {

struct AsciiRow
{
    const char *label;
    std::string text;
    bool ascii;
    char32_t codePoint = 0;
    std::size_t line = 0;
    std::string name = {};
};

class AsciiCheckTest : public ::testing::TestWithParam<AsciiRow>
{
};

TEST_P(AsciiCheckTest, NamesTheFirstCharacterOutsideAscii)
{
    const AsciiRow &row = GetParam();
    const std::optional<NonAsciiCharacter> found = findFirstNonAscii(row.text);
    ASSERT_EQ(!found.has_value(), row.ascii);
    if (found) {
        EXPECT_EQ(found->codePoint, row.codePoint);
        EXPECT_EQ(found->line, row.line);
        EXPECT_EQ(found->name, row.name);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AsciiCheckTest,
    ::testing::Values(AsciiRow{"empty", "", true},
                      AsciiRow{"plain export", " , A, B\rS1,2,0\r", true},
                      AsciiRow{"accent in a taxon on line 2", "Abies,1\rGlobig\xC3\xA9rina,3\r",
                               false, U'\u00E9', 2, "Globig\xC3\xA9rina"},
                      AsciiRow{"first of several", "\xC3\xA5,1\r\xE2\x80\x94,2\r", false, U'\u00E5',
                               1, "\xC3\xA5"},
                      AsciiRow{"header cell", " , A, Bj\xC3\xB6rk\rS1,1,2\r", false, U'\u00F6', 1,
                               " Bj\xC3\xB6rk"},
                      AsciiRow{"collection name in a metrics line",
                               "x\rS\xC3\xBC"
                               "d,3,0.5\r",
                               false, U'\u00FC', 2,
                               "S\xC3\xBC"
                               "d"},
                      AsciiRow{"line feeds count too", "a\nb\r\nc\xF0\x9F\x90\x9A\n", false,
                               U'\U0001F41A', 3, "c\xF0\x9F\x90\x9A"},
                      AsciiRow{"stray byte",
                               "ab\xFF"
                               "c",
                               false, U'\uFFFD', 1,
                               "ab\xFF"
                               "c"}),
    testing::LabelName());

TEST(AsciiCheck, DescriptionNamesCharacterNameAndLine)
{
    const std::optional<NonAsciiCharacter> found =
        findFirstNonAscii("Abies,1\rGlobig\xC3\xA9rina,3\r");
    ASSERT_TRUE(found);
    const std::string text = found->describe();
    EXPECT_NE(text.find("\xC3\xA9"), std::string::npos) << text;
    EXPECT_NE(text.find("U+00E9"), std::string::npos) << text;
    EXPECT_NE(text.find("Globig\xC3\xA9rina"), std::string::npos) << text;
    EXPECT_NE(text.find("line 2"), std::string::npos) << text;
}

} // namespace
} // namespace quorvella
