#pragma once

// The two tables of the Richness Estimators window: one row per collection
// (name, observed taxa, specimens, Chao1 with s.e. and interval, ACE,
// coverage), and one row per group estimator (estimate, s.e., interval).
// An empty cell shows a dash; its tooltip says why. Qt::UserRole holds the
// plain number for sorting.

#include "analysis/RichnessEstimates.h"

#include <QAbstractTableModel>
#include <QString>
#include <optional>
#include <vector>

namespace quorvella {

class CollectionEstimatesModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setEstimates(const RichnessEstimates &estimates);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<CollectionEstimates> m_rows;
    int m_level = 95;
};

class GroupEstimatesModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // No rows for a document of fewer than two collections.
    void setEstimates(const RichnessEstimates &estimates);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row
    {
        QString title;
        // Estimate, s.e., lower, upper; nothing where the estimator has none.
        std::optional<Estimate> cells[4];
    };
    std::vector<Row> m_rows;
    int m_level = 95;
};

// A cell's text as the window shows it: a count whole, a coverage with four
// decimals, anything else with two; locale-free; a dash for no value.
QString estimateDisplayText(const Estimate &estimate, int decimals);

} // namespace quorvella
