#pragma once

// Small documents for the tests, written straight into the store.

#include "document/MyDocument.h"
#include "store/Store.h"

#include <initializer_list>
#include <optional>
#include <string>

namespace quorvella::testing {

struct TaxonRow
{
    std::optional<std::string> name;
    std::optional<std::int32_t> abundance;
    bool include = true;
};

inline RecordId addCensus(Store &store, std::optional<std::string> name,
                          std::initializer_list<TaxonRow> taxa = {})
{
    Census census;
    census.censusName = std::move(name);
    const RecordId id = store.insertCensus(census);
    for (const TaxonRow &row : taxa) {
        Taxon taxon;
        taxon.taxonName = row.name;
        taxon.abundance = row.abundance;
        taxon.includeTaxon = row.include;
        taxon.census = id;
        store.insertTaxon(taxon);
    }
    return id;
}

inline QStringList columnTexts(const QAbstractItemModel &model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

} // namespace quorvella::testing
