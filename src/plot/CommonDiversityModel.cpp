#include "plot/CommonDiversityModel.h"

#include <QLocale>
#include <cmath>

namespace quorvella {

namespace {

// The rows of one assemblage: size-based rows carry the coverage reached
// at the size, coverage-based rows the size that reaches the coverage.
template <typename Add> void addRows(const DiversityProfile &profile, Add &&add)
{
    for (const SizeBasedEstimate &e : profile.sizeBased) {
        add(e.q, static_cast<double>(e.m), e.coverage, e.method, e.D, e.se, e.lower, e.upper);
    }
    for (const CoverageBasedEstimate &e : profile.coverageBased) {
        add(e.q, e.m, e.targetCoverage, e.method, e.D, e.se, e.lower, e.upper);
    }
}

QString methodText(EstimateMethod method)
{
    return QString::fromLatin1(estimateMethodName(method));
}

} // namespace

CommonDiversityModel::CommonDiversityModel(QObject *parent) : QAbstractTableModel(parent)
{}

void CommonDiversityModel::setResult(std::shared_ptr<const DiversityResult> result)
{
    beginResetModel();
    m_result = std::move(result);
    m_rows.clear();
    if (m_result) {
        for (const DiversityOutcome &outcome : m_result->common) {
            if (!outcome.profile) {
                continue;
            }
            const QString name = QString::fromStdString(outcome.profile->name);
            addRows(*outcome.profile,
                    [&](int q, double size, double coverage, EstimateMethod method, double d,
                        double se, double lower, double upper) {
                        m_rows.push_back(Row{name, q, size, coverage, method, d, se, lower, upper});
                    });
        }
    }
    endResetModel();
}

int CommonDiversityModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CommonDiversityModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant CommonDiversityModel::value(const Row &row, int column) const
{
    switch (column) {
    case Collection:
        return row.collection;
    case Order:
        return row.q;
    case Size:
        return row.size;
    case Coverage:
        return row.coverage;
    case Method:
        return methodText(row.method);
    case Estimate:
        return row.estimate;
    case Se:
        return row.se;
    case Lower:
        return row.lower;
    case Upper:
        return row.upper;
    default:
        return {};
    }
}

QVariant CommonDiversityModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= Columns) {
        return {};
    }
    const Row &row = m_rows[static_cast<std::size_t>(index.row())];
    const QVariant v = value(row, index.column());
    if (role == sortRole) {
        return v;
    }
    if (role == Qt::TextAlignmentRole && index.column() != Collection && index.column() != Method) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (v.typeId() == QMetaType::Double) {
        const double number = v.toDouble();
        if (std::isnan(number)) {
            return QStringLiteral("–");
        }
        const int decimals = index.column() == Coverage ? 4 : index.column() == Size ? 1 : 3;
        return QLocale().toString(number, 'f', decimals);
    }
    return v;
}

QVariant CommonDiversityModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char *const titles[Columns] = {"Collection", "q",    "Size",  "Coverage", "Method",
                                                "Estimate",   "s.e.", "Lower", "Upper"};
    return section >= 0 && section < Columns ? tr(titles[section]) : QVariant();
}

} // namespace quorvella
