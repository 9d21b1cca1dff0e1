#pragma once

// The "Diversity at a common size or coverage" table: one row per
// assemblage and order with the estimate, its standard error and limits,
// the size and coverage compared at, and whether the estimate is
// interpolated or extrapolated. Numbers sort as numbers (sortRole).

#include "plot/DiversityResult.h"

#include <QAbstractTableModel>
#include <memory>

namespace quorvella {

class CommonDiversityModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Collection, Order, Size, Coverage, Method, Estimate, Se, Lower, Upper, Columns };
    // Holds the value a column sorts by: numbers as doubles.
    static constexpr int sortRole = Qt::UserRole + 1;

    explicit CommonDiversityModel(QObject *parent = nullptr);

    void setResult(std::shared_ptr<const DiversityResult> result);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        QString collection;
        int q = 0;
        double size = 0;
        double coverage = 0;
        EstimateMethod method = EstimateMethod::Interpolated;
        double estimate = 0;
        double se = 0;
        double lower = 0;
        double upper = 0;
    };
    QVariant value(const Row &row, int column) const;

    std::shared_ptr<const DiversityResult> m_result;
    std::vector<Row> m_rows;
};

} // namespace quorvella
