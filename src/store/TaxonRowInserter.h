#pragma once

#include "store/TaxonTable.h"

#include <array>
#include <bit>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace quorvella {

class SqliteDatabase;

// Inserts rows into the taxon table of a new database, many rows per
// statement: each step of a statement costs about as much as writing a row.
// A row whose id is one above every id written so far leaves out its id, so
// SQLite appends it with the id it gives such a row (exactly that one) and
// skips its check that the id is new; an included taxon also leaves out
// includeTaxon, whose default is the same 1. Each parameter remembers its
// integer, so a collection's id or an abundance repeated in the same place is
// not bound again. Failures throw SqliteError.
class TaxonRowInserter
{
public:
    // Rows per statement at most; a run of rows of one kind goes in
    // statements of its binary digits' sizes. 256 wrote with the fewest
    // instructions of 64 to 4096: a larger statement serves a collection's
    // taxa once, so its remembered collection ids are rarely still right.
    static constexpr std::size_t largestStatementRows = 256;

    explicit TaxonRowInserter(SqliteDatabase &db);
    ~TaxonRowInserter();
    TaxonRowInserter(const TaxonRowInserter &) = delete;
    TaxonRowInserter &operator=(const TaxonRowInserter &) = delete;

    // The name must stay as it is until flush().
    void add(const TaxonView &taxon);
    // Writes every row added.
    void flush();

private:
    // Which columns a statement names.
    enum class Shape { Full, WithoutId, WithoutIdAndInclude };
    static constexpr std::size_t shapeCount = 3;
    static constexpr std::size_t sizeCount = std::bit_width(largestStatementRows);
    class Statement;

    Statement &statement(Shape shape, std::size_t rows);

    SqliteDatabase &db_;
    std::vector<TaxonView> pending_; // rows of pendingShape_, in order
    Shape pendingShape_ = Shape::Full;
    RecordId largestId_ = 0; // ids are positive
    std::array<std::unique_ptr<Statement>, shapeCount * sizeCount> statements_;
};

} // namespace quorvella
