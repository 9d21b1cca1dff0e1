#include "store/StoredNumber.h"

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace quorvella {
namespace {

bool keptExactlyAsReal(double value)
{
    return std::isfinite(value) && !(value == 0.0 && std::signbit(value));
}

} // namespace

void bindStoredDouble(SqliteStatement &statement, int index, const std::optional<double> &value)
{
    if (!value) {
        statement.bindNull(index);
    } else if (keptExactlyAsReal(*value)) {
        statement.bindReal(index, *value);
    } else {
        auto bits = std::bit_cast<std::uint64_t>(*value);
        std::array<unsigned char, 8> bytes{};
        for (int i = 7; i >= 0; --i) {
            bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(bits & 0xffu);
            bits >>= 8;
        }
        statement.bindBlob(index, bytes.data(), static_cast<int>(bytes.size()));
    }
}

void bindStoredInt32(SqliteStatement &statement, int index,
                     const std::optional<std::int32_t> &value)
{
    if (value) {
        statement.bindInteger(index, *value);
    } else {
        statement.bindNull(index);
    }
}

std::optional<double> readStoredDouble(const SqliteValue &value)
{
    switch (value.type()) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_FLOAT:
    case SQLITE_INTEGER:
        return value.real();
    case SQLITE_BLOB: {
        const std::string bytes = value.blob();
        if (bytes.size() != 8) {
            throw BadStoredValue(std::to_string(bytes.size()) +
                                 " bytes, not the 8 bytes of a number");
        }
        std::uint64_t bits = 0;
        for (const char byte : bytes) {
            bits = (bits << 8) | static_cast<unsigned char>(byte);
        }
        return std::bit_cast<double>(bits);
    }
    default:
        throw BadStoredValue("text, not a number");
    }
}

std::optional<std::int32_t> readStoredInt32(const SqliteValue &value)
{
    const int type = value.type();
    if (type == SQLITE_NULL) {
        return std::nullopt;
    }
    if (type == SQLITE_TEXT) {
        throw BadStoredValue("text, not a count");
    }
    if (type != SQLITE_INTEGER) {
        throw BadStoredValue(type == SQLITE_FLOAT ? "a fraction, not a count"
                                                  : "binary data, not a count");
    }
    const std::int64_t count = value.integer();
    if (count < std::numeric_limits<std::int32_t>::min() ||
        count > std::numeric_limits<std::int32_t>::max()) {
        throw BadStoredValue("the count " + std::to_string(count) + ", beyond the 32-bit range");
    }
    return static_cast<std::int32_t>(count);
}

std::optional<std::string_view> readStoredTextView(const SqliteValue &value)
{
    switch (value.type()) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_TEXT:
        return value.text();
    default:
        throw BadStoredValue(value.type() == SQLITE_BLOB ? "binary data, not a name"
                                                         : "a number, not a name");
    }
}

std::optional<std::string> readStoredText(const SqliteValue &value)
{
    const std::optional<std::string_view> text = readStoredTextView(value);
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

} // namespace quorvella
