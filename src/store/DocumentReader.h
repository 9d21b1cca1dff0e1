#pragma once

#include "store/DocumentFile.h"
#include "store/Store.h"

#include <functional>
#include <future>
#include <vector>

namespace quorvella {

class SqliteDatabase;

// Reads the records of an open document database, trusting nothing: the
// application id, the format version, SQLite's integrity check, the tables and
// columns, and every stored value are checked before a record is handed over.
// Every refusal throws DocumentFileProblem (SQLite failures: SqliteError).
// The cancel hook is asked between chunks of rows; true ends the reading with
// DocumentOpenCancelled, dropping what was read.
//
// Given a second connection to the same file, a large document's taxa are
// read in two halves by id, the later half on another thread, and joined;
// what is refused, and with which message, is the same as in one reading.
class DocumentReader
{
public:
    // From this many taxa on, a second connection reads the later half.
    static constexpr std::size_t twoHalvesTaxa = 100000;

    explicit DocumentReader(const SqliteDatabase &db, OpenCancelHook cancelled = {},
                            const SqliteDatabase *laterHalf = nullptr)
        : db_(db), cancelled_(std::move(cancelled)), laterHalf_(laterHalf)
    {}

    // All checks, then a store of every record with its saved id, in store
    // order: checkIdentity(), checkIntegrity(), readRecords().
    Store read();

    // The application id and the format version.
    void checkIdentity();
    // SQLite's own check of the file's structure (the longest check: it can
    // run on a connection of its own beside readRecords()).
    void checkIntegrity();
    // The tables and columns, then every record with its values checked.
    // Taxa go straight into the store, so no second copy of them is held.
    Store readRecords();

private:
    void checkColumns(const char *table, const char *columns);
    void stopIfCancelled() const;
    std::vector<Census> readCensuses();
    void readTaxa(Store &store, const std::vector<Census> &censuses);
    void readTaxaInHalves(Store &store, const std::vector<Census> &censuses, std::size_t taxa,
                          RecordId middle);

    const SqliteDatabase &db_;
    OpenCancelHook cancelled_;
    const SqliteDatabase *laterHalf_;
};

// Waits for work on another thread, asking the cancel hook (on this thread)
// meanwhile. Once cancelled (`stop` true from the start, or the hook's yes)
// it calls `onStop` again and again until the work ends. Returns whether it
// was cancelled; the work's own result stays in its future.
bool waitAskingCancelHook(const std::future<void> &work, const OpenCancelHook &cancelled, bool stop,
                          const std::function<void()> &onStop);

} // namespace quorvella
