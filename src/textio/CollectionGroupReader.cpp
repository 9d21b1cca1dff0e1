#include "textio/CollectionGroupReader.h"

#include "textio/FieldReader.h"
#include "textio/ImportMessages.h"
#include "textio/ImportParsing.h"
#include "textio/NumberReader.h"

#include <deque>
#include <functional>
#include <optional>

namespace quorvella {
namespace msg = importmessages;

namespace {

using Fault = std::optional<std::string_view>;

// The state of a matrix check: the header's size, and the abundance count of
// the row being read.
class GroupChecker
{
public:
    Fault check(const Field &field)
    {
        if (field.row == 1) {
            readHeaderField(field);
            // A first row without a field after the label names no species.
            return field.isRowEnd() && headerCount_ <= 1 ? Fault(msg::noSpecies) : std::nullopt;
        }
        if (field.column == 1) {
            abundanceCount_ = 0; // the collection's name: not checked
            return std::nullopt;
        }
        if (field.isRowEnd() && field.text.empty()) {
            return std::nullopt; // a row ending with a comma is not short
        }
        return checkAbundance(field);
    }

    // A plain count ended by the separator: whole, not negative, not the
    // row's last; only the count is left to check.
    Fault checkPlainCount(std::int32_t count)
    {
        if (++abundanceCount_ > speciesCount_) {
            return msg::tooManyAbundances;
        }
        return countTaxon(count);
    }

private:
    void readHeaderField(const Field &field)
    {
        if (!field.isRowEnd() || !field.text.empty()) {
            ++headerCount_;
        }
        // A header ending with a comma counts the fields before that comma,
        // as a spreadsheet that pads its rows with empty cells writes it.
        const bool endsWithComma = field.text.empty() && field.column > 1;
        if (field.end == FieldEnd::LineEnd && (!field.text.empty() || endsWithComma)) {
            speciesCount_ = headerCount_ - 1;
        }
    }

    Fault checkAbundance(const Field &field)
    {
        if (plainCount(field.text)) { // whole, not negative: only the count is left
            return checkAbundanceCount(field);
        }
        const float value = fieldValue(field.text);
        if (value < 0.0f) {
            return msg::negative;
        }
        if (!isWholeIn32Bits(value) || hasDecimalCommaFraction(field.text)) {
            return msg::decimal;
        }
        return checkAbundanceCount(field);
    }

    Fault checkAbundanceCount(const Field &field)
    {
        if (++abundanceCount_ > speciesCount_) {
            return msg::tooManyAbundances;
        }
        if (field.isRowEnd() && abundanceCount_ < speciesCount_) {
            return msg::tooFewAbundances;
        }
        return countTaxon(integerValue(field.text));
    }

    // An abundance above zero makes a taxon; an import makes a bounded number.
    Fault countTaxon(std::int32_t abundance)
    {
        return abundance > 0 && ++taxonCount_ > msg::maxImportedTaxa ? Fault(msg::tooManyTaxa)
                                                                     : std::nullopt;
    }

    std::size_t headerCount_ = 0;
    std::size_t speciesCount_ = 0;
    std::size_t abundanceCount_ = 0;
    std::size_t taxonCount_ = 0;
};

// The reading of an unchecked text.
struct NoCheck
{
    Fault check(const Field &) { return std::nullopt; }
    Fault checkPlainCount(std::int32_t) { return std::nullopt; }
};

// Collects a row's cells and hands the row over when the next one begins.
class RowBuilder
{
public:
    RowBuilder(std::string_view text, const GroupRowTaker &take) : text_(text), take_(take) {}

    void take(const Field &field)
    {
        if (field.isRowEnd() && field.text.empty()) {
            return; // a blank line, or a row ending with a comma
        }
        if (field.row == 1) {
            if (haveLabel_) {
                species_.push_back(lasting(field.text));
            }
            haveLabel_ = true;
        } else if (field.column == 1) {
            finish();
            name_.assign(field.text);
            inRow_ = true;
        } else {
            takeCount(field.column, integerValue(field.text));
        }
    }

    // A validated text has no abundance beyond the header's species.
    void takeCount(std::size_t column, std::int32_t abundance)
    {
        const std::size_t species = column - 2;
        if (abundance > 0 && species < species_.size()) {
            cells_.push_back({static_cast<std::uint32_t>(species), abundance});
        }
    }

    void finish()
    {
        if (inRow_) {
            take_(GroupRow{name_, cells_, species_});
        }
        cells_.clear();
        inRow_ = false;
    }

    std::vector<std::string> completionNames() const
    {
        std::vector<std::string> names;
        for (const std::string_view name : species_) {
            if (!name.empty()) {
                names.emplace_back(name);
            }
        }
        return names;
    }

private:
    // A field's text as a view that lasts the scan: a slice of the text
    // itself, or a copy of a field the reader assembled (one with quotes).
    std::string_view lasting(std::string_view field)
    {
        const std::less_equal<const char *> atMost;
        if (atMost(text_.data(), field.data()) &&
            atMost(field.data() + field.size(), text_.data() + text_.size())) {
            return field;
        }
        return assembled_.emplace_back(field);
    }

    std::string_view text_;
    std::deque<std::string> assembled_;
    const GroupRowTaker &take_;
    bool haveLabel_ = false;
    std::vector<std::string_view> species_;
    std::string name_;
    std::vector<GroupCell> cells_;
    bool inRow_ = false;
};

// Checks only.
struct NoRows
{
    void take(const Field &) {}
    void takeCount(std::size_t, std::int32_t) {}
    void finish() {}
};

// Every field goes through the checker, then the builder; after a field that
// a further field follows in a data row, the plain cells are taken in the
// fast step until a field of another kind comes.
template <typename Checker, typename Builder>
ValidationResult scan(std::string_view text, Checker &checker, Builder &builder)
{
    FieldReader reader(text, detectFieldSeparator(text));
    Field field;
    while (reader.next(field)) {
        if (const Fault fault = checker.check(field)) {
            return ValidationResult::refused(*fault, field.row, field.column);
        }
        builder.take(field);
        if (field.row == 1 || field.isRowEnd()) {
            continue;
        }
        for (std::size_t column = reader.column();; column = reader.column()) {
            const std::int32_t count = reader.nextPlainCount();
            if (count < 0) {
                break;
            }
            if (const Fault fault = checker.checkPlainCount(count)) {
                return ValidationResult::refused(*fault, reader.row(), column);
            }
            builder.takeCount(column, count);
        }
    }
    builder.finish();
    return ValidationResult::valid();
}

} // namespace

ValidationResult validateCollectionGroupFromString(std::string_view text)
{
    GroupChecker checker;
    NoRows rows;
    return scan(text, checker, rows);
}

ValidationResult readCollectionGroup(std::string_view text, const GroupRowTaker &take)
{
    GroupChecker checker;
    RowBuilder rows(text, take);
    return scan(text, checker, rows);
}

ValidationResult readCollectionGroup(std::string_view text, const GroupRowTaker &take,
                                     std::vector<std::string> &completionNames)
{
    GroupChecker checker;
    RowBuilder rows(text, take);
    ValidationResult check = scan(text, checker, rows);
    if (check.isValid()) {
        completionNames = rows.completionNames();
    }
    return check;
}

std::vector<std::string> readCheckedCollectionGroup(std::string_view text,
                                                    const GroupRowTaker &take)
{
    NoCheck checker;
    RowBuilder rows(text, take);
    scan(text, checker, rows);
    return rows.completionNames();
}

} // namespace quorvella
