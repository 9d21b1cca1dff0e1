#include "textio/FieldReader.h"

#include "TestRowName.h"
#include "textio/NumberReader.h"

#include <gtest/gtest.h>
#include <random>

namespace quorvella {
namespace {

// Renders every field a text gives as "row.column<end>[text]", where the end
// is "," for a comma-ended field, "$" for a line end and "." for the end of text.
std::string describe(const Field &field, std::string_view text)
{
    const char end = field.end == FieldEnd::Comma     ? ','
                     : field.end == FieldEnd::LineEnd ? '$'
                                                      : '.';
    return std::to_string(field.row) + "." + std::to_string(field.column) + end + "[" +
           std::string(text) + "] ";
}

std::string readAll(std::string_view text)
{
    std::string out;
    FieldReader reader(text);
    Field field;
    while (reader.next(field)) {
        out += describe(field, field.text);
    }
    return out;
}

struct FieldRow
{
    const char *label;
    std::string text;
    std::string fields;
};

class FieldReaderTest : public ::testing::TestWithParam<FieldRow>
{
};

TEST_P(FieldReaderTest, SplitsRowsAndFields)
{
    EXPECT_EQ(readAll(GetParam().text), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FieldReaderTest,
    ::testing::Values(
        FieldRow{"empty text has no rows", "", ""}, FieldRow{"one field", "Abies", "1.1.[Abies] "},
        FieldRow{"name and value", "Abies,3", "1.1,[Abies] 1.2.[3] "},
        FieldRow{"trailing line end", "Abies,3\n", "1.1,[Abies] 1.2$[3] "},
        FieldRow{"crlf and blank lines are one line end", "A,1\r\n\r\n\nB,2\r",
                 "1.1,[A] 1.2$[1] 2.1,[B] 2.2$[2] "},
        FieldRow{"every line-end character",
                 "a\x0B"
                 "b\x0C"
                 "c\xC2\x85"
                 "d\xE2\x80\xA8"
                 "e\xE2\x80\xA9"
                 "f",
                 "1.1$[a] 2.1$[b] 3.1$[c] 4.1$[d] 5.1$[e] 6.1.[f] "},
        FieldRow{"text beginning with line ends begins with an empty row", "\n\nA,1",
                 "1.1$[] 2.1,[A] 2.2.[1] "},
        FieldRow{"quoted comma and doubled quote", "\"Globigerina, \"\"b\"\"\",4",
                 "1.1,[Globigerina, \"b\"] 1.2.[4] "},
        FieldRow{"quoted line end stays in the field", "\"a\r\nb\",1", "1.1,[a\r\nb] 1.2.[1] "},
        FieldRow{"quotes open and close anywhere", "ab\"c,d\"e,1", "1.1,[abc,de] 1.2.[1] "},
        FieldRow{"two quotes outside quoting give nothing", "a\"\"b,1", "1.1,[ab] 1.2.[1] "},
        FieldRow{"quote left open at the end", "\"abc,1\n2", "1.1.[abc,1\n2] "},
        FieldRow{"whitespace skipped only after a comma",
                 "  a ,\t b ,\xC2\xA0\xE3\x80\x80"
                 "c ",
                 "1.1,[  a ] 1.2,[b ] 1.3.[c ] "},
        FieldRow{"line ends are not skipped after a comma", "a,\nb", "1.1,[a] 1.2$[] 2.1.[b] "},
        FieldRow{"row ending with a comma", "a,\n", "1.1,[a] 1.2$[] "},
        FieldRow{"comma at the end of text", "a,", "1.1,[a] 1.2.[] "},
        FieldRow{"empty fields", ",,", "1.1,[] 1.2,[] 1.3.[] "},
        FieldRow{"invalid bytes are ordinary text", "\xFF\xC2,\xE2\x80",
                 "1.1,[\xFF\xC2] 1.2.[\xE2\x80] "}),
    testing::LabelName());

// A comma-ended field of plain digits shows its value: what the plain-count
// step answers instead of the text.
std::string readAllShowingCounts(std::string_view text, char separator, bool plainCountStep)
{
    std::string out;
    FieldReader reader(text, separator);
    Field field;
    while (true) {
        const std::size_t row = reader.row();
        const std::size_t column = reader.column();
        if (const std::int32_t count = plainCountStep ? reader.nextPlainCount() : -1; count >= 0) {
            out += describe({"", FieldEnd::Comma, column, row}, std::to_string(count));
            continue;
        }
        if (!reader.next(field)) {
            return out;
        }
        const std::optional<std::int32_t> plain = plainCount(field.text);
        const bool shownAsCount = plain && field.end == FieldEnd::Comma;
        out += describe(field, shownAsCount ? std::to_string(*plain) : std::string(field.text));
    }
}

TEST(FieldReaderPlainCounts, StepReadsExactlyWhatNextReads)
{
    // Random texts of the characters that matter to a table's cells.
    const std::string_view pieces[] = {"0", "7",  "12",       "999999999", "1234567890", ",",
                                       ";", "\t", "\n",       "\r",        " ",          "\"",
                                       "-", ".",  "\xC2\xA0", "x"};
    std::mt19937 random(20260);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    for (int run = 0; run < 3000; ++run) {
        std::string text;
        for (int i = run % 30; i > 0; --i) {
            text += pieces[piece(random)];
        }
        for (const char separator : {',', '\t', ';'}) {
            ASSERT_EQ(readAllShowingCounts(text, separator, true),
                      readAllShowingCounts(text, separator, false))
                << ::testing::PrintToString(text) << " separator " << int(separator);
        }
    }
}

} // namespace
} // namespace quorvella
