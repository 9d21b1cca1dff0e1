// Where a refused import text is at fault: the row and the field (or, in an
// abundance list, the number) that the message is about, so that a paste of
// many rows can name the one to mend.

#include "textio/ImportValidation.h"

#include <gtest/gtest.h>

namespace quorvella {
namespace {

struct PositionCase
{
    ImportFormat format;
    const char *text;
    std::size_t row;
    std::size_t field;
};

TEST(FaultPosition, NamesTheRowAndFieldOfTheFirstFault)
{
    const PositionCase cases[] = {
        {ImportFormat::AbundanceList, "3 4 x", 1, 3},
        {ImportFormat::AbundanceList, "\n\n3\r\n4, 0\n", 2, 2},
        {ImportFormat::AbundanceList, "3\n\n\n1.5", 2, 1},
        {ImportFormat::Collection, "a,1\nb,2\nc,-2\n", 3, 2},
        {ImportFormat::Collection, "a,1\n\nb\n", 2, 1},
        {ImportFormat::Collection, "\"x,\ny\",1\nb,2,3\n", 2, 2},
        {ImportFormat::CollectionGroup, ",A,B\nS1,1,2\nS2,1,2,3\n", 3, 4},
        {ImportFormat::CollectionGroup, ",A,B\nS1,1,-2\n", 2, 3},
        {ImportFormat::Collection, "", 0, 0},
    };
    for (const PositionCase &c : cases) {
        const ValidationResult result = validateImportText(c.format, c.text);
        ASSERT_FALSE(result.isValid()) << c.text;
        EXPECT_EQ(result.row, c.row) << c.text;
        EXPECT_EQ(result.field, c.field) << c.text;
    }
}

} // namespace
} // namespace quorvella
