#pragma once

// How optional numbers travel through SQLite exactly. Absent is NULL; integers
// are INTEGER; a double is REAL when SQLite keeps it exactly, otherwise (NaN,
// the infinities, -0.0) the 8 bytes of its IEEE 754 value, most significant
// first, as a BLOB. SQLite would turn a NaN into NULL and may store -0.0 as
// the integer 0.

#include "store/SqliteStatement.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvella {

// A stored value that no document may hold, e.g. text in a number column.
class BadStoredValue : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

void bindStoredDouble(SqliteStatement &statement, int index, const std::optional<double> &value);
void bindStoredInt32(SqliteStatement &statement, int index,
                     const std::optional<std::int32_t> &value);

std::optional<double> readStoredDouble(const SqliteValue &value);
std::optional<std::int32_t> readStoredInt32(const SqliteValue &value);
std::optional<std::string> readStoredText(const SqliteValue &value);
// The same without a copy, valid until the statement moves on.
std::optional<std::string_view> readStoredTextView(const SqliteValue &value);

} // namespace quorvella
