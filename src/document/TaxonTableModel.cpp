#include "document/TaxonTableModel.h"

#include "document/MyDocument.h"

#include <algorithm>

namespace quorvella {
namespace {

constexpr std::size_t kRowByRowLimit = 200;

} // namespace

TaxonTableModel::TaxonTableModel(MyDocument &document, const Store &store)
    : QAbstractTableModel(&document), m_document(document), m_store(store)
{}

void TaxonTableModel::showCensus(std::optional<RecordId> census)
{
    if (census == m_census)
        return;
    m_census = census;
    reload();
}

int TaxonTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TaxonTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TaxonTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const std::optional<TaxonView> taxon = m_store.findTaxonView(taxonAt(index.row()));
    if (!taxon)
        return {};
    if (role == RecordIdRole)
        return static_cast<qlonglong>(taxon->id);
    if (role == NumberRole)
        return taxon->abundance ? QVariant(*taxon->abundance) : QVariant();
    switch (index.column()) {
    case IncludeColumn:
        if (role == Qt::CheckStateRole)
            return taxon->includeTaxon ? Qt::Checked : Qt::Unchecked;
        return {};
    case NameColumn:
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return taxon->taxonName ? QString::fromUtf8(taxon->taxonName->data(),
                                                        qsizetype(taxon->taxonName->size()))
                                    : QString();
        return {};
    case AbundanceColumn:
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return taxon->abundance ? QString::number(*taxon->abundance) : QString();
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant TaxonTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        switch (section) {
        case IncludeColumn:
            return tr("Include");
        case NameColumn:
            return tr("Species");
        case AbundanceColumn:
            return tr("Abundance");
        default:
            break;
        }
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TaxonTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags common = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == IncludeColumn ? common | Qt::ItemIsUserCheckable
                                           : common | Qt::ItemIsEditable;
}

bool TaxonTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const RecordId taxon = taxonAt(index.row());
    switch (index.column()) {
    case IncludeColumn:
        if (role != Qt::CheckStateRole)
            return false;
        return m_document.setTaxonIncluded(taxon, value.toInt() == Qt::Checked);
    case NameColumn:
        return role == Qt::EditRole && m_document.setTaxonName(taxon, value.toString());
    case AbundanceColumn:
        return role == Qt::EditRole && m_document.setTaxonAbundanceText(taxon, value.toString());
    default:
        return false;
    }
}

int TaxonTableModel::rowOf(RecordId taxon) const
{
    const auto found = std::find(m_rows.begin(), m_rows.end(), taxon);
    return found == m_rows.end() ? -1 : static_cast<int>(found - m_rows.begin());
}

bool TaxonTableModel::less(RecordId a, RecordId b) const
{
    const std::optional<TaxonView> x = m_store.findTaxonView(a);
    const std::optional<TaxonView> y = m_store.findTaxonView(b);
    if (!x || !y)
        return a < b;
    return taxonViewDisplayLess(*x, *y);
}

std::vector<RecordId> TaxonTableModel::taxaInDisplayOrder(const Store &store, RecordId census)
{
    std::vector<TaxonView> taxa = store.taxonViewsOfCensus(census);
    std::sort(taxa.begin(), taxa.end(), taxonViewDisplayLess);
    std::vector<RecordId> ids;
    ids.reserve(taxa.size());
    for (const TaxonView &taxon : taxa)
        ids.push_back(taxon.id);
    return ids;
}

void TaxonTableModel::reload()
{
    beginResetModel();
    m_rows.clear();
    if (m_census)
        m_rows = taxaInDisplayOrder(m_store, *m_census);
    endResetModel();
}

int TaxonTableModel::insertionRow(RecordId taxon) const
{
    const auto place = std::upper_bound(m_rows.begin(), m_rows.end(), taxon,
                                        [this](RecordId a, RecordId b) { return less(a, b); });
    return static_cast<int>(place - m_rows.begin());
}

void TaxonTableModel::insertRow(RecordId taxon)
{
    const int row = insertionRow(taxon);
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, taxon);
    endInsertRows();
}

void TaxonTableModel::removeRowOf(RecordId taxon)
{
    const int row = rowOf(taxon);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void TaxonTableModel::placeUpdatedRow(RecordId taxon)
{
    const int row = rowOf(taxon);
    if (row < 0)
        return;
    const auto rowIt = m_rows.begin() + row;
    const bool afterPrevious = row == 0 || less(*(rowIt - 1), taxon);
    const bool beforeNext = row + 1 == static_cast<int>(m_rows.size()) || less(taxon, *(rowIt + 1));
    if (afterPrevious && beforeNext) {
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
        return;
    }
    m_rows.erase(rowIt);
    const int target = insertionRow(taxon);
    const int destination = target >= row ? target + 1 : target;
    m_rows.insert(m_rows.begin() + row, taxon);
    beginMoveRows({}, row, row, {}, destination);
    m_rows.erase(m_rows.begin() + row);
    m_rows.insert(m_rows.begin() + target, taxon);
    endMoveRows();
    emit dataChanged(index(target, 0), index(target, ColumnCount - 1));
}

std::size_t TaxonTableModel::changesTouchingShownCensus(const StoreChanges &changes) const
{
    auto touches = [this](const Taxon &taxon) { return m_census && taxon.census == m_census; };
    std::size_t count = 0;
    for (const auto *list : {&changes.insertedTaxa, &changes.updatedTaxa, &changes.deletedTaxa})
        count += static_cast<std::size_t>(std::count_if(list->begin(), list->end(), touches));
    return count;
}

void TaxonTableModel::applyChanges(const StoreChanges &changes)
{
    if (changes.reset) {
        if (m_census && !m_store.findCensus(*m_census))
            m_census.reset();
        reload();
        return;
    }
    if (changesTouchingShownCensus(changes) > kRowByRowLimit) {
        reload();
        return;
    }
    for (const Taxon &taxon : changes.deletedTaxa) {
        if (m_census && taxon.census == m_census)
            removeRowOf(taxon.id);
    }
    for (const Taxon &taxon : changes.insertedTaxa) {
        if (m_census && taxon.census == m_census)
            insertRow(taxon.id);
    }
    for (const Taxon &taxon : changes.updatedTaxa) {
        const bool belongs = m_census && taxon.census == m_census;
        const bool shown = rowOf(taxon.id) >= 0;
        if (belongs && shown)
            placeUpdatedRow(taxon.id);
        else if (belongs)
            insertRow(taxon.id);
        else if (shown)
            removeRowOf(taxon.id);
    }
}

} // namespace quorvella
