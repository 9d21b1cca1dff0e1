#include "document/CommunityPreviewModel.h"

#include "textio/NumberReader.h"

namespace quorvella {
namespace {

QString fromStd(const std::string &text)
{
    return QString::fromStdString(text);
}

// A cell as the import reads it: plain counts as their value, zero (no
// taxon) as nothing; anything else as written, so a fault can be seen.
QString cellText(const std::string &cell)
{
    if (const std::optional<std::int32_t> count = plainCount(cell))
        return *count == 0 ? QString() : QString::number(*count);
    return fromStd(cell).trimmed();
}

QString fieldOf(const std::vector<std::string> &row, std::size_t column)
{
    return column < row.size() ? cellText(row[column]) : QString();
}

} // namespace

CommunityPreviewModel::CommunityPreviewModel(std::string_view text, QObject *parent)
    : QAbstractTableModel(parent), m_text(text)
{
    setOptions(m_options);
}

void CommunityPreviewModel::setOptions(const CommunityOptions &options)
{
    beginResetModel();
    m_options = options;
    m_options.namesFromTextColumn = options.namesFromTextColumn && options.taxaAsRows;
    const bool taxaAsRows = m_options.taxaAsRows;
    const std::size_t lines =
        1 + static_cast<std::size_t>(taxaAsRows ? shownTaxa : shownCollections);
    const std::size_t fields =
        1 + static_cast<std::size_t>(taxaAsRows ? shownCollections : shownTaxa);
    const CommunityPreview preview = previewCommunityTable(m_text, m_options, lines, fields);
    m_textColumn = preview.textColumn ? fromStd(*preview.textColumn) : QString();
    m_fault = preview.fault ? fromStd(preview.fault->message()) : QString();

    // Header fields name the columns of the file, first fields its rows.
    QStringList columnNames;
    QStringList rowNames;
    if (!preview.rows.empty()) {
        const std::vector<std::string> &header = preview.rows.front();
        for (std::size_t c = 1; c < header.size(); ++c)
            columnNames << fromStd(header[c]);
        for (std::size_t r = 1; r < preview.rows.size(); ++r)
            rowNames << fromStd(preview.rows[r].front());
    }
    m_collections = taxaAsRows ? columnNames : rowNames;
    m_taxa = taxaAsRows ? rowNames : columnNames;
    m_cells.assign(static_cast<std::size_t>(m_taxa.size()), {});
    for (qsizetype t = 0; t < m_taxa.size(); ++t) {
        for (qsizetype c = 0; c < m_collections.size(); ++c) {
            const auto line = static_cast<std::size_t>(1 + (taxaAsRows ? t : c));
            const auto column = static_cast<std::size_t>(1 + (taxaAsRows ? c : t));
            m_cells[static_cast<std::size_t>(t)] << fieldOf(preview.rows[line], column);
        }
    }
    endResetModel();
    // A view sizes its headers anew only when told that their texts changed
    // (taxon names from a taxonomy are longer).
    if (rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int CommunityPreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_taxa.size());
}

int CommunityPreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_collections.size());
}

QVariant CommunityPreviewModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return m_cells[static_cast<std::size_t>(index.row())].at(index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CommunityPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QStringList &names = orientation == Qt::Horizontal ? m_collections : m_taxa;
    if (role == Qt::DisplayRole && section >= 0 && section < names.size())
        return names.at(section);
    if (role == Qt::ToolTipRole && section >= 0 && section < names.size())
        return orientation == Qt::Horizontal ? tr("Collection “%1”").arg(names.at(section))
                                             : tr("Taxon “%1”").arg(names.at(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace quorvella
