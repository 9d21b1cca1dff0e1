#include "store/TaxonRowInserter.h"

#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace quorvella {

// One INSERT of a fixed number of rows of one shape.
class TaxonRowInserter::Statement
{
public:
    Statement(SqliteDatabase &db, Shape shape, std::size_t rows)
        : shape_(shape), statement_(db, sql(shape, rows)),
          bound_(rows * static_cast<std::size_t>(columnCount(shape)))
    {}

    void insert(std::span<const TaxonView> rows)
    {
        int index = 0;
        for (const TaxonView &taxon : rows) {
            if (shape_ == Shape::Full) {
                bindInteger(index++, taxon.id);
            }
            if (taxon.taxonName) {
                statement_.bindText(index, *taxon.taxonName);
                bound_[static_cast<std::size_t>(index++)] = Bound{}; // a text is bound every time
            } else {
                bindInteger(index++, std::optional<std::int64_t>());
            }
            bindInteger(index++, taxon.abundance);
            bindInteger(index++, taxon.census);
            if (shape_ != Shape::WithoutIdAndInclude) {
                bindInteger(index++, taxon.includeTaxon ? 1 : 0);
            }
        }
        statement_.step();
        statement_.resetKeepingBindings(); // every parameter is bound again or holds its value
    }

private:
    // What a parameter holds, as far as a bind may be skipped.
    struct Bound
    {
        enum class Kind : std::uint8_t { Unknown, Null, Integer };
        Kind kind = Kind::Unknown;
        std::int64_t value = 0;

        bool operator==(const Bound &) const = default;
    };

    static int columnCount(Shape shape)
    {
        return shape == Shape::Full ? 5 : shape == Shape::WithoutId ? 4 : 3;
    }

    static std::string sql(Shape shape, std::size_t rows)
    {
        static constexpr const char *columns[] = {"id, taxonName, abundance, census, includeTaxon",
                                                  "taxonName, abundance, census, includeTaxon",
                                                  "taxonName, abundance, census"};
        static constexpr const char *rowOf[] = {"(?, ?, ?, ?, ?)", "(?, ?, ?, ?)", "(?, ?, ?)"};
        const auto s = static_cast<std::size_t>(shape);
        std::string text = std::string("INSERT INTO taxon (") + columns[s] + ") VALUES " + rowOf[s];
        for (std::size_t i = 1; i < rows; ++i) {
            text += ", ";
            text += rowOf[s];
        }
        return text;
    }

    template <typename Integer> void bindInteger(int index, std::optional<Integer> value)
    {
        const Bound wanted = value ? Bound{Bound::Kind::Integer, *value} : Bound{Bound::Kind::Null};
        Bound &held = bound_[static_cast<std::size_t>(index)];
        if (held == wanted) {
            return;
        }
        if (value) {
            statement_.bindInteger(index, *value);
        } else {
            statement_.bindNull(index);
        }
        held = wanted;
    }
    void bindInteger(int index, std::int64_t value)
    {
        bindInteger(index, std::optional<std::int64_t>(value));
    }

    Shape shape_;
    SqliteStatement statement_;
    std::vector<Bound> bound_;
};

TaxonRowInserter::TaxonRowInserter(SqliteDatabase &db) : db_(db)
{
    pending_.reserve(largestStatementRows);
}

TaxonRowInserter::~TaxonRowInserter() = default;

void TaxonRowInserter::add(const TaxonView &taxon)
{
    const bool next = taxon.id == largestId_ + 1;
    const Shape shape = !next                ? Shape::Full
                        : taxon.includeTaxon ? Shape::WithoutIdAndInclude
                                             : Shape::WithoutId;
    largestId_ = std::max(largestId_, taxon.id);
    if (shape != pendingShape_ || pending_.size() == largestStatementRows) {
        flush();
        pendingShape_ = shape;
    }
    pending_.push_back(taxon);
}

void TaxonRowInserter::flush()
{
    std::span<const TaxonView> rest(pending_);
    for (std::size_t rows = largestStatementRows; !rest.empty(); rows /= 2) {
        if (rest.size() >= rows) {
            statement(pendingShape_, rows).insert(rest.first(rows));
            rest = rest.subspan(rows);
        }
    }
    pending_.clear();
}

TaxonRowInserter::Statement &TaxonRowInserter::statement(Shape shape, std::size_t rows)
{
    auto &slot = statements_[static_cast<std::size_t>(shape) * sizeCount +
                             static_cast<std::size_t>(std::bit_width(rows) - 1)];
    if (!slot) {
        slot = std::make_unique<Statement>(db_, shape, rows);
    }
    return *slot;
}

} // namespace quorvella
