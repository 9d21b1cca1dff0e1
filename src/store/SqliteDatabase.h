#pragma once

#include <filesystem>

struct sqlite3;

namespace quorvella {

// An open SQLite connection, closed on destruction. Every failure throws
// SqliteError.
class SqliteDatabase
{
public:
    enum class Mode { ReadOnly, ReadWrite };

    SqliteDatabase(const std::filesystem::path &file, Mode mode);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    // Runs statements that return no rows.
    void execute(const char *sql);
    // Closes now, reporting a failure (the destructor cannot).
    void close();
    // Makes the statement running on this connection fail with
    // SQLITE_INTERRUPT at its next step; safe from any thread while the
    // connection is open. A call while no statement runs is lost.
    void interrupt() const;

    sqlite3 *handle() const { return db_; }
    // Throws SqliteError for a result code other than OK, ROW and DONE.
    // Inline: a large save checks millions of binds.
    void check(int resultCode) const
    {
        if (resultCode != resultOk && resultCode != resultRow && resultCode != resultDone) {
            fail(resultCode);
        }
    }

private:
    // SQLITE_OK, SQLITE_ROW and SQLITE_DONE, without sqlite3.h here.
    static constexpr int resultOk = 0;
    static constexpr int resultRow = 100;
    static constexpr int resultDone = 101;

    [[noreturn]] void fail(int resultCode) const;

    sqlite3 *db_ = nullptr;
};

} // namespace quorvella
