#include "plot/RichnessEstimatesModels.h"

#include "textio/EstimatorTables.h"

namespace quorvella {
namespace {

constexpr int kEstimateDecimals = 2;
constexpr int kCoverageDecimals = 4;
const QString kDash = QStringLiteral("\u2013");

QVariant estimateData(const Estimate &estimate, int decimals, int role)
{
    switch (role) {
    case Qt::DisplayRole:
        return estimateDisplayText(estimate, decimals);
    case Qt::ToolTipRole:
        return estimate.value ? QVariant() : QVariant(QString::fromStdString(estimate.reason));
    case Qt::UserRole:
        return estimate.value ? QVariant(*estimate.value) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant(static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));
    default:
        return {};
    }
}

QString withLevel(QString title, int level)
{
    return title + QStringLiteral(" %1 %").arg(level);
}

} // namespace

QString estimateDisplayText(const Estimate &estimate, int decimals)
{
    return estimate.value ? QString::number(*estimate.value, 'f', decimals) : kDash;
}

void CollectionEstimatesModel::setEstimates(const RichnessEstimates &estimates)
{
    beginResetModel();
    m_rows = estimates.collections;
    m_level = estimates.confidenceLevel;
    endResetModel();
}

int CollectionEstimatesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CollectionEstimatesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1 + static_cast<int>(collectionEstimateColumns().size());
}

QVariant CollectionEstimatesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const CollectionEstimates &row = m_rows[static_cast<std::size_t>(index.row())];
    if (index.column() == 0) {
        const bool shown = role == Qt::DisplayRole || role == Qt::UserRole;
        return shown ? QVariant(QString::fromStdString(row.name)) : QVariant();
    }
    const CollectionEstimateColumn &column =
        collectionEstimateColumns()[static_cast<std::size_t>(index.column() - 1)];
    const int decimals = column.isCount             ? 0
                         : column.key == "coverage" ? kCoverageDecimals
                                                    : kEstimateDecimals;
    return estimateData(column.value(row), decimals, role);
}

QVariant CollectionEstimatesModel::headerData(int section, Qt::Orientation orientation,
                                              int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section == 0) {
        return tr("Collection");
    }
    const CollectionEstimateColumn &column =
        collectionEstimateColumns()[static_cast<std::size_t>(section - 1)];
    const QString title =
        QString::fromUtf8(column.title.data(), static_cast<qsizetype>(column.title.size()));
    const bool isLimit = column.key.ends_with("Lower") || column.key.ends_with("Upper");
    return isLimit ? withLevel(title, m_level) : title;
}

void GroupEstimatesModel::setEstimates(const RichnessEstimates &estimates)
{
    beginResetModel();
    m_rows.clear();
    m_level = estimates.confidenceLevel;
    if (const std::optional<IncidenceEstimates> &g = estimates.group) {
        m_rows = {
            {tr("Chao-2 (bias-corrected)"),
             {g->chao2.estimate, g->chao2.standardError, g->chao2.lower, g->chao2.upper}},
            {tr("ICE"), {g->ice, std::nullopt, std::nullopt, std::nullopt}},
            {tr("Jackknife, first order"),
             {g->jackknife1, g->jackknife1Se, std::nullopt, std::nullopt}},
            {tr("Jackknife, second order"),
             {g->jackknife2, std::nullopt, std::nullopt, std::nullopt}},
            {tr("Bootstrap"), {g->bootstrap, g->bootstrapSe, std::nullopt, std::nullopt}},
        };
    }
    endResetModel();
}

int GroupEstimatesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int GroupEstimatesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 5;
}

QVariant GroupEstimatesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Row &row = m_rows[static_cast<std::size_t>(index.row())];
    if (index.column() == 0) {
        return role == Qt::DisplayRole ? QVariant(row.title) : QVariant();
    }
    const std::optional<Estimate> &cell = row.cells[index.column() - 1];
    return cell ? estimateData(*cell, kEstimateDecimals, role) : QVariant();
}

QVariant GroupEstimatesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case 0:
        return tr("Estimator");
    case 1:
        return tr("Estimate");
    case 2:
        return tr("s.e.");
    case 3:
        return withLevel(tr("Lower"), m_level);
    case 4:
        return withLevel(tr("Upper"), m_level);
    default:
        return {};
    }
}

} // namespace quorvella
