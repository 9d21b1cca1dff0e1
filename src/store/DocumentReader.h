#pragma once

#include "store/DocumentFile.h"
#include "store/Store.h"

#include <vector>

namespace quorvella {

class SqliteDatabase;

// Reads the records of an open document database, trusting nothing: the
// application id, the format version, SQLite's integrity check, the tables and
// columns, and every stored value are checked before a record is handed over.
// Every refusal throws DocumentFileProblem (SQLite failures: SqliteError).
// The cancel hook is asked between chunks of rows; true ends the reading with
// DocumentOpenCancelled, dropping what was read.
class DocumentReader
{
public:
    explicit DocumentReader(const SqliteDatabase &db, OpenCancelHook cancelled = {})
        : db_(db), cancelled_(std::move(cancelled))
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
    void readTaxa(Store &store, const std::vector<RecordId> &censusIds);

    const SqliteDatabase &db_;
    OpenCancelHook cancelled_;
};

} // namespace quorvella
