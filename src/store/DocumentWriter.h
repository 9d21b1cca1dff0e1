#pragma once

namespace quorvella {

class SqliteDatabase;
class Store;

// Writes every record of a store into a new, empty database in one
// transaction: the tables, the rows in store order, the index, the
// application id and the format version. Failures throw SqliteError.
class DocumentWriter
{
public:
    static void write(SqliteDatabase &db, const Store &store);

private:
    static void writeCensuses(SqliteDatabase &db, const Store &store);
    static void writeTaxa(SqliteDatabase &db, const Store &store);
};

} // namespace quorvella
