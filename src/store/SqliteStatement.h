#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3_stmt;
struct sqlite3_value;

namespace quorvella {

class SqliteDatabase;

// One value of a statement's current row, valid until the statement moves on.
// Its calls skip the statement's checks per column call, so a reading of
// millions of rows asks SQLite for each value once (SqliteStatement::column).
// For statements of one connection used by one thread.
class SqliteValue
{
public:
    explicit SqliteValue(sqlite3_value *value) : value_(value) {}

    // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL.
    int type() const;
    std::int64_t integer() const;
    double real() const;
    std::string_view text() const; // exact bytes, without a copy
    std::string blob() const;

private:
    sqlite3_value *value_;
};

// One prepared statement, finalized on destruction. Parameter and column
// indexes count from 0. Every failure throws SqliteError.
class SqliteStatement
{
public:
    SqliteStatement(const SqliteDatabase &db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // True while a row is available.
    bool step();
    // Makes the statement ready to run again with new parameters.
    void reset();
    // The same keeping the parameters bound, for a caller that binds every
    // parameter for every run (clearing them costs a pass over all of them).
    void resetKeepingBindings();

    void bindNull(int index);
    void bindInteger(int index, std::int64_t value);
    void bindReal(int index, double value);
    // Not copied: the text must stay as it is until the statement is stepped.
    void bindText(int index, std::string_view text);
    void bindBlob(int index, const void *data, int size);

    // The value of a column of the current row.
    SqliteValue column(int index) const;
    // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL.
    int columnType(int index) const;
    std::int64_t columnInteger(int index) const;
    double columnReal(int index) const;
    std::string columnText(int index) const; // exact bytes, NUL included
    // The same without a copy: valid until the next step, reset or column call.
    std::string_view columnTextView(int index) const;
    std::string columnBlob(int index) const;

private:
    const SqliteDatabase &db_;
    sqlite3_stmt *statement_ = nullptr;
};

} // namespace quorvella
