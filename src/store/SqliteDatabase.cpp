#include "store/SqliteDatabase.h"

#include "store/SqliteError.h"

#include <sqlite3.h>

namespace quorvella {

namespace {

// SQLite counts every allocation under a global lock unless told not to;
// nothing here reads those counts, and a large save makes millions of
// allocations. Possible only before the library starts, hence once, first.
void configureLibraryOnce()
{
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); // refused harmlessly if already started
        return true;
    }();
    (void)configured;
}

} // namespace

SqliteDatabase::SqliteDatabase(const std::filesystem::path &file, Mode mode)
{
    configureLibraryOnce();
    // One connection is used by one thread at a time: SQLite's own locking of
    // every call is not needed (a tenth of a large save's time).
    const int flags = (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                      SQLITE_OPEN_NOMUTEX;
    // An absolute path never reads as an SQLite URI ("file:..."), whatever
    // the library's URI setting.
    const std::filesystem::path absolute = std::filesystem::absolute(file);
    const int result = sqlite3_open_v2(absolute.c_str(), &db_, flags, nullptr);
    if (result != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
        const int systemError = db_ ? sqlite3_system_errno(db_) : 0;
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError(result, message, systemError);
    }
    sqlite3_extended_result_codes(db_, 1);
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close(db_);
}

void SqliteDatabase::execute(const char *sql)
{
    check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

void SqliteDatabase::close()
{
    const int result = sqlite3_close(db_);
    if (result != SQLITE_OK) {
        check(result);
    }
    db_ = nullptr;
}

void SqliteDatabase::interrupt() const
{
    sqlite3_interrupt(db_);
}

void SqliteDatabase::fail(int resultCode) const
{
    static_assert(resultOk == SQLITE_OK && resultRow == SQLITE_ROW && resultDone == SQLITE_DONE);
    const char *message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(resultCode);
    throw SqliteError(resultCode, message, db_ ? sqlite3_system_errno(db_) : 0);
}

} // namespace quorvella
