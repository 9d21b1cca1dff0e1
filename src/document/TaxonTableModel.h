#pragma once

// The species table: the taxa of the selected collection in display order
// (see taxonDisplayLess). Column 0 the include check box, 1 the name, 2 the
// abundance. The abundance is edited as text and also given as a number
// through NumberRole. Follows the store's change notifications row by row.

#include "store/Store.h"

#include <QAbstractTableModel>
#include <optional>
#include <vector>

namespace quorvella {

class MyDocument;

class TaxonTableModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { IncludeColumn = 0, NameColumn = 1, AbundanceColumn = 2, ColumnCount };
    static constexpr int RecordIdRole = Qt::UserRole + 1;
    // The abundance as an int; invalid when absent. Sorting uses it.
    static constexpr int NumberRole = Qt::UserRole + 2;

    TaxonTableModel(MyDocument &document, const Store &store);

    // Shows the taxa of this collection (none: an empty table).
    void showCensus(std::optional<RecordId> census);
    std::optional<RecordId> census() const { return m_census; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    RecordId taxonAt(int row) const { return m_rows.at(static_cast<std::size_t>(row)); }
    int rowOf(RecordId taxon) const;
    // The shown taxa in display order.
    const std::vector<RecordId> &taxa() const { return m_rows; }

    void applyChanges(const StoreChanges &changes);

    // The taxa of a collection in display order, compared in place in the
    // store (no record copied).
    static std::vector<RecordId> taxaInDisplayOrder(const Store &store, RecordId census);

private:
    void reload();
    bool less(RecordId a, RecordId b) const;
    int insertionRow(RecordId taxon) const;
    void insertRow(RecordId taxon);
    void removeRowOf(RecordId taxon);
    void placeUpdatedRow(RecordId taxon);
    std::size_t changesTouchingShownCensus(const StoreChanges &changes) const;

    MyDocument &m_document;
    const Store &m_store;
    std::optional<RecordId> m_census;
    std::vector<RecordId> m_rows;
};

} // namespace quorvella
