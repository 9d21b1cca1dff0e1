#include "store/SqliteStatement.h"

#include "store/SqliteDatabase.h"

#include <sqlite3.h>

namespace quorvella {

int SqliteValue::type() const
{
    return sqlite3_value_type(value_);
}

std::int64_t SqliteValue::integer() const
{
    return sqlite3_value_int64(value_);
}

double SqliteValue::real() const
{
    return sqlite3_value_double(value_);
}

std::string_view SqliteValue::text() const
{
    const auto *text = sqlite3_value_text(value_); // before the size: it may convert
    const auto size = static_cast<std::size_t>(sqlite3_value_bytes(value_));
    return text ? std::string_view(reinterpret_cast<const char *>(text), size) : std::string_view();
}

std::string SqliteValue::blob() const
{
    const auto *data = static_cast<const char *>(sqlite3_value_blob(value_));
    const auto size = static_cast<std::size_t>(sqlite3_value_bytes(value_));
    return data ? std::string(data, size) : std::string();
}

SqliteStatement::SqliteStatement(const SqliteDatabase &db, std::string_view sql) : db_(db)
{
    db_.check(sqlite3_prepare_v2(db_.handle(), sql.data(), static_cast<int>(sql.size()),
                                 &statement_, nullptr));
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(statement_);
}

bool SqliteStatement::step()
{
    const int result = sqlite3_step(statement_);
    db_.check(result);
    return result == SQLITE_ROW;
}

void SqliteStatement::reset()
{
    db_.check(sqlite3_reset(statement_));
    db_.check(sqlite3_clear_bindings(statement_));
}

void SqliteStatement::resetKeepingBindings()
{
    db_.check(sqlite3_reset(statement_));
}

void SqliteStatement::bindNull(int index)
{
    db_.check(sqlite3_bind_null(statement_, index + 1));
}

void SqliteStatement::bindInteger(int index, std::int64_t value)
{
    db_.check(sqlite3_bind_int64(statement_, index + 1, value));
}

void SqliteStatement::bindReal(int index, double value)
{
    db_.check(sqlite3_bind_double(statement_, index + 1, value));
}

void SqliteStatement::bindText(int index, std::string_view text)
{
    db_.check(sqlite3_bind_text64(statement_, index + 1, text.data(), text.size(), SQLITE_STATIC,
                                  SQLITE_UTF8));
}

void SqliteStatement::bindBlob(int index, const void *data, int size)
{
    db_.check(sqlite3_bind_blob(statement_, index + 1, data, size, SQLITE_TRANSIENT));
}

SqliteValue SqliteStatement::column(int index) const
{
    return SqliteValue(sqlite3_column_value(statement_, index));
}

int SqliteStatement::columnType(int index) const
{
    return sqlite3_column_type(statement_, index);
}

std::int64_t SqliteStatement::columnInteger(int index) const
{
    return sqlite3_column_int64(statement_, index);
}

double SqliteStatement::columnReal(int index) const
{
    return sqlite3_column_double(statement_, index);
}

std::string SqliteStatement::columnText(int index) const
{
    const auto *text = sqlite3_column_text(statement_, index);
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, index));
    return text ? std::string(reinterpret_cast<const char *>(text), size) : std::string();
}

std::string_view SqliteStatement::columnTextView(int index) const
{
    const auto *text = sqlite3_column_text(statement_, index);
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, index));
    return text ? std::string_view(reinterpret_cast<const char *>(text), size) : std::string_view();
}

std::string SqliteStatement::columnBlob(int index) const
{
    const auto *data = static_cast<const char *>(sqlite3_column_blob(statement_, index));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, index));
    return data ? std::string(data, size) : std::string();
}

} // namespace quorvella
