#include "textio/ImportValidation.h"

#include "TestRowName.h"
#include "textio/ImportMessages.h"

#include <gtest/gtest.h>

namespace quorvella {
namespace {

namespace msg = importmessages;
using enum ImportFormat;

struct ValidationRow
{
    const char *label;
    ImportFormat format;
    std::string text;
    std::optional<std::string_view> fault; // nullopt: valid
};

class ImportValidationTest : public ::testing::TestWithParam<ValidationRow>
{
};

TEST_P(ImportValidationTest, AnswersValidOrTheFirstFault)
{
    const ValidationRow &row = GetParam();
    const ValidationResult result = validateImportText(row.format, row.text);
    const std::optional<std::string> expected =
        row.fault ? std::optional(std::string(*row.fault)) : std::nullopt;
    EXPECT_EQ(result.fault, expected);
    EXPECT_EQ(result.isValid(), !row.fault.has_value());
}

const ValidationRow abundanceListRows[] = {
    {"list one per line", AbundanceList, "3\n1\n4\n", std::nullopt},
    {"list comma separated", AbundanceList, "3,1,4", std::nullopt},
    {"list tabs and crlf", AbundanceList, "3\t1\r\n4\r\n", std::nullopt},
    {"list cr line ends", AbundanceList, "\r3\r1\r4\r", std::nullopt},
    {"list only separators", AbundanceList, " \n\r\n , \t", std::nullopt},
    {"list unicode line ends", AbundanceList,
     "3\xE2\x80\xA8"
     "1\xC2\x85"
     "4",
     std::nullopt},
    {"list five point zero", AbundanceList, "5.0", std::nullopt},
    {"list exponent", AbundanceList, "1e2 2.5E1", std::nullopt},
    {"list plus sign", AbundanceList, "+7", std::nullopt},
    {"list zero", AbundanceList, "3 0 1", msg::zeroOrNegative},
    {"list negative", AbundanceList, "-3", msg::zeroOrNegative},
    {"list negative zero", AbundanceList, "-0", msg::zeroOrNegative},
    {"list decimal", AbundanceList, "2.5", msg::decimal},
    {"list fraction only", AbundanceList, ".5", msg::decimal},
    {"list letters after number", AbundanceList, "12abc", msg::notANumber},
    {"list semicolon", AbundanceList, "7;8", msg::notANumber},
    {"list word", AbundanceList, "Abies 3", msg::notANumber},
    {"list thousands separator", AbundanceList, "1,000", msg::zeroOrNegative},
    {"list no-break space is not a separator", AbundanceList,
     "1\xC2\xA0"
     "2",
     msg::notANumber},
    {"list exponent without digits", AbundanceList, "1e", msg::notANumber},
    {"list overflow is not whole", AbundanceList, "1e39", msg::decimal},
    {"list first fault wins", AbundanceList, "2.5 0", msg::decimal},
    {"list empty file", AbundanceList, "", msg::emptyFile},
};

const ValidationRow collectionRows[] = {
    {"table two rows", Collection, "Globigerina,12\rOrbulina,3\r", std::nullopt},
    {"table quoted comma and quote", Collection, "\"Globigerina, \"\"b\"\"\",4\n", std::nullopt},
    {"table name and comma passes", Collection, "Abies,\n", std::nullopt},
    {"table empty name", Collection, ",5", std::nullopt},
    {"table empty lines", Collection, "\n\nA,1\n\n", std::nullopt},
    {"table whole with zero fraction", Collection, "A,5.0", std::nullopt},
    {"table spaces before value", Collection, "A,   7", std::nullopt},
    {"table text after value ignored", Collection, "A,7 specimens", std::nullopt},
    {"table heading row", Collection, "Taxon,Count\nA,1", msg::zeroOrNegative},
    {"table zero", Collection, "A,0", msg::zeroOrNegative},
    {"table negative", Collection, "A,-2", msg::zeroOrNegative},
    {"table decimal", Collection, "A,2.5", msg::decimal},
    {"table three fields", Collection, "A,1,2", msg::taxonNameMissing},
    {"table name only", Collection, "A\n", msg::abundanceMissing},
    {"table line of spaces", Collection, "A,1\n   \n", msg::abundanceMissing},
    {"table quoted number is a name", Collection, "\"A,1\"\n", msg::abundanceMissing},
    {"table empty file", Collection, "", msg::emptyFile},
};

const ValidationRow groupRows[] = {
    {"matrix three species", CollectionGroup, "label,A,B,C\rS1,2,0,5\r", std::nullopt},
    {"matrix too many", CollectionGroup, "label,A,B,C\rS1,1,2,3,4\r", msg::tooManyAbundances},
    {"matrix too few", CollectionGroup, "label,A,B,C\rS1,1,2\r", msg::tooFewAbundances},
    {"matrix two then comma passes", CollectionGroup, "label,A,B,C\rS1,1,2,\r", std::nullopt},
    {"matrix zero valid", CollectionGroup, "x,A\nS1,0\n", std::nullopt},
    {"matrix negative", CollectionGroup, "x,A\nS1,-1\n", msg::negative},
    {"matrix decimal", CollectionGroup, "x,A\nS1,1.5\n", msg::decimal},
    {"matrix 2^31 not whole", CollectionGroup, "x,A\nS1,2147483648\n", msg::decimal},
    {"matrix 2^31-1 rounds to 2^31", CollectionGroup, "x,A\nS1,2147483647\n", msg::decimal},
    {"matrix largest whole float below 2^31", CollectionGroup, "x,A\nS1,2147483520\n",
     std::nullopt},
    // The boundary the guide states: the halfway point to 2^31 rounds up.
    {"matrix largest accepted count", CollectionGroup, "x,A\nS1,2147483583\n", std::nullopt},
    {"matrix smallest refused count", CollectionGroup, "x,A\nS1,2147483584\n", msg::decimal},
    {"matrix exponent", CollectionGroup, "x,A\nS1,1e2\n", std::nullopt},
    {"matrix empty label", CollectionGroup, ",A,B\nS1,1,2\n", std::nullopt},
    {"matrix leading empty line", CollectionGroup, "\nx,A\nS1,1\n", msg::noSpecies},
    {"matrix separated by spaces names no species", CollectionGroup, "x A B\nS1 1 2\n",
     msg::noSpecies},
    {"matrix of one column names no species", CollectionGroup, "1|1|0\n0|1|1\n", msg::noSpecies},
    {"matrix header ending with its label's comma", CollectionGroup, "x,\nS1,\n", msg::noSpecies},
    {"matrix semicolons", CollectionGroup, "x;A;B\nS1;1;2\n", std::nullopt},
    {"matrix semicolons, decimal comma", CollectionGroup, "x;A\nS1;1,5\n", msg::decimal},
    {"matrix tabs, decimal comma", CollectionGroup, "x\tA\nS1\t0,25\n", msg::decimal},
    {"matrix tabs, one tab too many", CollectionGroup, "x\tA\nS1\t1\t2\n", msg::tooManyAbundances},
    {"matrix a comma in the header wins", CollectionGroup, "x,A;B\nS1,1;2\n", std::nullopt},
    {"matrix header only", CollectionGroup, "x,A,B\n", std::nullopt},
    {"matrix header without line end", CollectionGroup, "x,A,B", std::nullopt},
    {"matrix name only row", CollectionGroup, "x,A,B\nS1\nS2,1,2", std::nullopt},
    {"matrix empty cell counts as zero", CollectionGroup, "x,A,B\nS1,,2\n", std::nullopt},
    {"matrix text cell counts as zero", CollectionGroup, "x,A\nS1,abc\n", std::nullopt},
    {"matrix space after comma skipped", CollectionGroup, " , A, B\rS1,1,2\r", std::nullopt},
    {"matrix negative before too many", CollectionGroup, "x,A\nS1,1,-1\n", msg::negative},
    {"matrix header ending with comma", CollectionGroup, "x,A,B,\nS1,1,2,\nS2,3,4\n", std::nullopt},
    {"matrix header ending with comma counts its species", CollectionGroup, "x,A,B,\nS1,1,2,3\n",
     msg::tooManyAbundances},
    {"matrix header ending with two commas", CollectionGroup, "x,A,B,,\nS1,1,2,,\n", std::nullopt},
    {"matrix empty file", CollectionGroup, "", msg::emptyFile},
    {"table semicolons", Collection, "name;62\n", std::nullopt},
    {"table semicolons, decimal comma", Collection, "name;6,2\n", msg::decimal},
    {"table tabs, extra field", Collection, "name\t6\t2\n", msg::taxonNameMissing},
};

INSTANTIATE_TEST_SUITE_P(AbundanceList, ImportValidationTest,
                         ::testing::ValuesIn(abundanceListRows), testing::LabelName());
INSTANTIATE_TEST_SUITE_P(Collection, ImportValidationTest, ::testing::ValuesIn(collectionRows),
                         testing::LabelName());
INSTANTIATE_TEST_SUITE_P(CollectionGroup, ImportValidationTest, ::testing::ValuesIn(groupRows),
                         testing::LabelName());

TEST(ImportValidation, ValidatorsAcceptAnEmptyTextThemselves)
{
    // The empty-file fault belongs to the import command, not to the formats.
    EXPECT_TRUE(validateAbundanceListFromString("").isValid());
    EXPECT_TRUE(validateCollectionFromString("").isValid());
    EXPECT_TRUE(validateCollectionGroupFromString("").isValid());
}

TEST(ImportValidation, AnImportMakesAtMostTheLargestNumberOfTaxa)
{
    // The bound counts abundances above zero: zeros in a matrix make no taxa.
    const std::size_t most = msg::maxImportedTaxa;
    std::string list;
    list.reserve(2 * most + 2);
    for (std::size_t i = 0; i < most; ++i) {
        list += "1 ";
    }
    std::string matrix = "x,A,B\nS,0,1\n";
    for (std::size_t i = 1; i < most; ++i) {
        matrix += "S,1,0\n";
    }
    EXPECT_TRUE(validateAbundanceListFromString(list).isValid());
    EXPECT_TRUE(validateCollectionGroupFromString(matrix).isValid());
    const ValidationResult longList = validateAbundanceListFromString(list + "1");
    EXPECT_EQ(longList.fault, std::string(msg::tooManyTaxa));
    EXPECT_EQ(longList.field, most + 1);
    const ValidationResult bigMatrix = validateCollectionGroupFromString(matrix + "S,0,7\n");
    EXPECT_EQ(bigMatrix.fault, std::string(msg::tooManyTaxa));
    EXPECT_EQ(bigMatrix.row, most + 2);
    EXPECT_EQ(bigMatrix.field, 3u);
}

} // namespace
} // namespace quorvella
