#pragma once

#include "store/StoreChanges.h"

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

    // All checks, then every record with its saved id, in store order.
    DeletedRecords read();

private:
    void checkIdentity();
    void checkIntegrity();
    void checkColumns(const char *table, const char *columns);
    std::vector<Census> readCensuses();
    std::vector<Taxon> readTaxa();
    void checkReferences(const std::vector<Census> &censuses, const std::vector<Taxon> &taxa);

    const SqliteDatabase &db_;
};

} // namespace quorvella
