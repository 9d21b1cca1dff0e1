// The field reader on any bytes: it ends, stays inside the text, numbers rows
// and columns in order, and gives back plain slices of a text without quotes.

#include "FuzzSupport.h"
#include "textio/FieldReader.h"

using namespace quorvella;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const bool hasQuotes = text.find('"') != std::string_view::npos;
    FieldReader reader(text);
    Field field;
    std::size_t row = 1;
    std::size_t column = 1;
    std::size_t fieldBytes = 0;
    while (reader.next(field)) {
        fuzz::require(field.row == row && field.column == column, "rows and columns in order");
        fieldBytes += field.text.size();
        fuzz::require(fieldBytes <= size, "fields hold no more than the text");
        if (!hasQuotes) {
            fuzz::require(field.text.empty() ||
                              (field.text.data() >= text.data() &&
                               field.text.data() + field.text.size() <= text.data() + text.size()),
                          "an unquoted field is a slice of the text");
        }
        if (field.isRowEnd()) {
            ++row;
            column = 1;
        } else {
            ++column;
        }
    }
    fuzz::require(!reader.next(field), "a finished reader stays finished");
    return 0;
}
