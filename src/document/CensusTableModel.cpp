#include "document/CensusTableModel.h"

#include "document/MyDocument.h"

#include <algorithm>

namespace quorvella {
namespace {

// Beyond this many changes at once a reset is cheaper than row signals.
constexpr std::size_t kRowByRowLimit = 200;

} // namespace

CensusTableModel::CensusTableModel(MyDocument &document, const Store &store)
    : QAbstractTableModel(&document), m_document(document), m_store(store)
{
    reload();
}

int CensusTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CensusTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CensusTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Census *census = m_store.findCensus(censusAt(index.row()));
    if (!census)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return census->censusName ? QString::fromStdString(*census->censusName) : QString();
    case RecordIdRole:
        return static_cast<qlonglong>(census->id);
    default:
        return {};
    }
}

QVariant CensusTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == NameColumn)
        return tr("Collection");
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags CensusTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool CensusTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    return m_document.setCensusName(censusAt(index.row()), value.toString());
}

int CensusTableModel::rowOf(RecordId census) const
{
    const auto found = std::find(m_rows.begin(), m_rows.end(), census);
    return found == m_rows.end() ? -1 : static_cast<int>(found - m_rows.begin());
}

bool CensusTableModel::less(RecordId a, RecordId b) const
{
    const Census *x = m_store.findCensus(a);
    const Census *y = m_store.findCensus(b);
    if (!x || !y)
        return a < b;
    return censusDisplayLess(*x, *y);
}

void CensusTableModel::reload()
{
    beginResetModel();
    m_rows.clear();
    std::vector<Census> all = m_store.createArrayOfAllCensuses();
    std::stable_sort(all.begin(), all.end(), censusDisplayLess);
    m_rows.reserve(all.size());
    for (const Census &census : all)
        m_rows.push_back(census.id);
    endResetModel();
}

int CensusTableModel::insertionRow(RecordId census) const
{
    const auto place = std::upper_bound(m_rows.begin(), m_rows.end(), census,
                                        [this](RecordId a, RecordId b) { return less(a, b); });
    return static_cast<int>(place - m_rows.begin());
}

void CensusTableModel::insertRow(RecordId census)
{
    const int row = insertionRow(census);
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, census);
    endInsertRows();
}

void CensusTableModel::removeRowOf(RecordId census)
{
    const int row = rowOf(census);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void CensusTableModel::placeUpdatedRow(RecordId census)
{
    const int row = rowOf(census);
    if (row < 0)
        return;
    // Where the row belongs among the others, judged without itself.
    const auto rowIt = m_rows.begin() + row;
    const bool afterPrevious = row == 0 || less(*(rowIt - 1), census);
    const bool beforeNext =
        row + 1 == static_cast<int>(m_rows.size()) || less(census, *(rowIt + 1));
    if (afterPrevious && beforeNext) {
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
        return;
    }
    m_rows.erase(rowIt);
    const int target = insertionRow(census);
    // beginMoveRows counts the destination before the move.
    const int destination = target >= row ? target + 1 : target;
    m_rows.insert(m_rows.begin() + row, census);
    beginMoveRows({}, row, row, {}, destination);
    m_rows.erase(m_rows.begin() + row);
    m_rows.insert(m_rows.begin() + target, census);
    endMoveRows();
    emit dataChanged(index(target, 0), index(target, ColumnCount - 1));
}

void CensusTableModel::applyChanges(const StoreChanges &changes)
{
    // Updates mostly leave a row in place (the metrics commands), so only
    // inserts and deletes count towards a reset.
    const std::size_t count = changes.insertedCensuses.size() + changes.deletedCensuses.size();
    if (changes.reset || count > kRowByRowLimit) {
        reload();
        return;
    }
    for (const Census &census : changes.deletedCensuses)
        removeRowOf(census.id);
    for (const Census &census : changes.insertedCensuses)
        insertRow(census.id);
    for (const Census &census : changes.updatedCensuses)
        placeUpdatedRow(census.id);
}

} // namespace quorvella
