#pragma once

// The collection table: every collection of the store in display order (by
// name, see censusDisplayLess), one column, the name. Follows the store's
// change notifications row by row; edits go to the document as commands.

#include "store/Store.h"

#include <QAbstractTableModel>
#include <vector>

namespace quorvella {

class MyDocument;

class CensusTableModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { NameColumn = 0, ColumnCount };
    // The record id of a row (qlonglong).
    static constexpr int RecordIdRole = Qt::UserRole + 1;

    CensusTableModel(MyDocument &document, const Store &store);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    RecordId censusAt(int row) const { return m_rows.at(static_cast<std::size_t>(row)); }
    // The row of a collection, or -1.
    int rowOf(RecordId census) const;

    // Called by the document for each store notification.
    void applyChanges(const StoreChanges &changes);

private:
    void reload();
    bool less(RecordId a, RecordId b) const;
    int insertionRow(RecordId census) const;
    void insertRow(RecordId census);
    void removeRowOf(RecordId census);
    void placeUpdatedRow(RecordId census);

    MyDocument &m_document;
    const Store &m_store;
    std::vector<RecordId> m_rows;
};

} // namespace quorvella
