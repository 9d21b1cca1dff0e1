#include "textio/ImportValidation.h"

#include "textio/CharacterClasses.h"
#include "textio/FieldReader.h"
#include "textio/ImportMessages.h"
#include "textio/NumberReader.h"

#include <cstddef>

namespace quorvella {
namespace msg = importmessages;

namespace {

// The row and number of the list entry that starts at pos, for the message
// of a refused entry: rows are ended by line ends, entries separated by any
// separator.
ValidationResult refusedListEntry(std::string_view message, std::string_view text, std::size_t pos)
{
    std::size_t row = 1;
    std::size_t entry = 1;
    // From the first entry: step over entry characters one by one, and over
    // each run of separators as a whole.
    for (std::size_t at = skipAbundanceListSeparators(text, 0); at < pos;) {
        const std::size_t runEnd = skipAbundanceListSeparators(text, at);
        if (runEnd == at) {
            ++at;
            continue;
        }
        bool lineEnd = false;
        for (std::size_t i = at; i < runEnd && !lineEnd; ++i) {
            lineEnd = lineEndLengthAt(text, i) > 0;
        }
        row += lineEnd ? 1 : 0;
        entry = lineEnd ? 1 : entry + 1;
        at = runEnd;
    }
    return ValidationResult::refused(message, row, entry);
}

} // namespace

ValidationResult validateAbundanceListFromString(std::string_view text)
{
    std::size_t pos = skipAbundanceListSeparators(text, 0);
    for (std::size_t entries = 1; pos < text.size(); ++entries) {
        const std::optional<NumberToken> number = readNumber(text, pos);
        if (!number) {
            return refusedListEntry(msg::notANumber, text, pos);
        }
        if (entries > msg::maxImportedTaxa) {
            return refusedListEntry(msg::tooManyTaxa, text, pos);
        }
        if (number->value <= 0.0f) {
            return refusedListEntry(msg::zeroOrNegative, text, pos);
        }
        if (!isWhole(number->value)) {
            return refusedListEntry(msg::decimal, text, pos);
        }
        pos = skipAbundanceListSeparators(text, pos + number->length);
    }
    return ValidationResult::valid();
}

namespace {

// The rule for the abundance field of a one-collection row.
std::optional<std::string_view> checkPositiveAbundance(std::string_view field)
{
    const float value = fieldValue(field);
    if (value <= 0.0f) {
        return msg::zeroOrNegative;
    }
    if (!isWhole(value) || hasDecimalCommaFraction(field)) {
        return msg::decimal;
    }
    return std::nullopt;
}

std::optional<std::string_view> checkCollectionField(const Field &field)
{
    if (!field.isRowEnd()) {
        // Column 1 is the taxon name, which may be anything; a second
        // unquoted comma means one field too many.
        return field.column >= 2 ? std::optional(msg::taxonNameMissing) : std::nullopt;
    }
    if (field.text.empty()) {
        return std::nullopt; // an empty line, or a row ending right after its comma
    }
    if (field.column == 1) {
        return msg::abundanceMissing;
    }
    return checkPositiveAbundance(field.text);
}

} // namespace

ValidationResult validateCollectionFromString(std::string_view text)
{
    FieldReader reader(text, detectFieldSeparator(text));
    Field field;
    while (reader.next(field)) {
        if (const std::optional<std::string_view> fault = checkCollectionField(field)) {
            return ValidationResult::refused(*fault, field.row, field.column);
        }
    }
    return ValidationResult::valid();
}

ValidationResult validateImportText(ImportFormat format, std::string_view text)
{
    if (text.empty()) {
        return ValidationResult::refused(msg::emptyFile);
    }
    switch (format) {
    case ImportFormat::AbundanceList:
        return validateAbundanceListFromString(text);
    case ImportFormat::Collection:
        return validateCollectionFromString(text);
    case ImportFormat::CollectionGroup:
        return validateCollectionGroupFromString(text);
    }
    return ValidationResult::valid();
}

} // namespace quorvella
