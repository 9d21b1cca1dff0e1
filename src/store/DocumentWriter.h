#pragma once

#include "store/Census.h"
#include "store/TaxonTable.h"

#include <cstddef>
#include <memory>
#include <span>

namespace quorvella {

class FileReplacement;
class SqliteDatabase;
class Store;
class TaxonRowInserter;

// Writes records into a new, empty database in one transaction: begin()
// makes the tables, the records follow in any number of runs (store order
// within each table), finish() adds the application id and the format
// version and commits. Failures throw SqliteError.
class DocumentWriter
{
public:
    // Writing to the disk starts after about this many taxa, so the sync
    // before the rename is left with only the last of a large file.
    static constexpr std::size_t taxaBetweenWritesToDisk = 65536;

    // Every record of a store, in one go, into the temporary file of
    // `replacement`, whose writing to the disk it starts now and then.
    static void write(SqliteDatabase &db, const Store &store, const FileReplacement &replacement);

    explicit DocumentWriter(SqliteDatabase &db);
    ~DocumentWriter();
    DocumentWriter(const DocumentWriter &) = delete;
    DocumentWriter &operator=(const DocumentWriter &) = delete;

    void begin();
    void writeCensuses(std::span<const Census> censuses);
    // A run of taxa whose names are views that last for the call.
    template <typename ForEachTaxon> void writeTaxa(ForEachTaxon forEachTaxon)
    {
        forEachTaxon([this](const TaxonView &taxon) { addTaxon(taxon); });
        endTaxa();
    }
    void finish();

private:
    void addTaxon(const TaxonView &taxon);
    void endTaxa();

    SqliteDatabase &db_;
    std::unique_ptr<TaxonRowInserter> taxa_;
};

} // namespace quorvella
