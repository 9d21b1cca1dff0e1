#pragma once

#include "store/Store.h"

#include <unordered_set>

namespace quorvella {

class SqliteDatabase;

// Reads the records of an open document database, trusting nothing: the
// application id, the format version, SQLite's integrity check, the tables and
// columns, and every stored value are checked before a record is handed over.
// Every refusal throws DocumentFileProblem (SQLite failures: SqliteError).
class DocumentReader
{
public:
    explicit DocumentReader(const SqliteDatabase &db) : db_(db) {}

    // All checks, then a store of every record with its saved id, in store
    // order. Taxa are read in chunks, so no second copy of them is held.
    Store read();

private:
    void checkIdentity();
    void checkIntegrity();
    void checkColumns(const char *table, const char *columns);
    std::vector<Census> readCensuses();
    void readTaxa(Store &store, const std::unordered_set<RecordId> &censusIds);

    const SqliteDatabase &db_;
};

} // namespace quorvella
