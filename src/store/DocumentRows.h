#pragma once

// The rows of a document file's tables, read with every value checked: the
// parts of DocumentReader that read one row and the taxa of a range of ids.

#include "store/RecordId.h"
#include "store/SqliteStatement.h"
#include "store/Store.h"
#include "store/StoredNumber.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvella {

class SqliteDatabase;

// Refuses the file: DocumentFileProblem "it is damaged (<detail>)".
[[noreturn]] void damaged(const std::string &detail);

std::int64_t readId(const SqliteStatement &row, const char *table);
// "a, b, c" as {"a", "b", "c"}.
std::vector<std::string> splitColumns(const char *columns);

// Reads the values of one row, naming the record and the column of a bad one.
class RowReader
{
public:
    RowReader(const SqliteStatement &row, const char *table, const char *columns)
        : row_(row), table_(table), columns_(columns), id_(readId(row, table))
    {}

    std::int64_t id() const { return id_; }

    template <typename Read> auto get(int index, Read read) const
    {
        try {
            return read(row_.column(index));
        } catch (const BadStoredValue &bad) {
            fail(index, bad.what());
        }
    }

    [[noreturn]] void fail(int index, const std::string &what) const
    {
        const std::string column = splitColumns(columns_).at(static_cast<std::size_t>(index));
        damaged(std::string(table_) + " " + std::to_string(id_) + ": the column " + column +
                " holds " + what);
    }

private:
    const SqliteStatement &row_;
    const char *table_;
    const char *columns_;
    std::int64_t id_;
};

std::size_t taxonRowCount(const SqliteDatabase &db);

// The id splitting the taxa into two halves of about equal size (ids are
// mostly dense), or nothing when one reading is better.
std::optional<RecordId> middleTaxonId(const SqliteDatabase &db, std::size_t taxa);

// Reads taxon rows with ids in [from, to) into a store holding the
// collections `censusIds` (ascending), asking `stop` between chunks.
class TaxonRows
{
public:
    TaxonRows(const SqliteDatabase &db, const std::vector<RecordId> &censusIds)
        : db_(db), censusIds_(censusIds)
    {}

    void read(Store &store, std::size_t expected, RecordId from, RecordId to,
              const std::function<void()> &stopIfCancelled) const;

private:
    const SqliteDatabase &db_;
    const std::vector<RecordId> &censusIds_;
};

} // namespace quorvella
