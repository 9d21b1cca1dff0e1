#pragma once

// What the community-table import dialog shows: the top-left corner of the
// table as Quorvella will read it with the chosen options. Whatever the
// orientation of the file, collections are the columns and taxa the rows;
// a count of zero (which makes no taxon) shows as an empty cell. The dialog
// only shows this model, so its behaviour is tested without a window.

#include "textio/CommunityTable.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <string_view>
#include <vector>

namespace quorvella {

class CommunityPreviewModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    // How many collections and taxa the preview shows at most.
    static constexpr int shownCollections = 8;
    static constexpr int shownTaxa = 12;

    // text must outlive the model.
    explicit CommunityPreviewModel(std::string_view text, QObject *parent = nullptr);

    // Reads the corner again with these options. Names from the text column
    // apply to taxa as rows only (a row of a transposed table is a sample).
    void setOptions(const CommunityOptions &options);
    CommunityOptions options() const { return m_options; }

    // The header of the recognised text column (e.g. "taxonomy"), or empty.
    QString textColumn() const { return m_textColumn; }
    // "Line 4, column 3: ..." for a fault within the previewed lines, or empty.
    QString fault() const { return m_fault; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::string_view m_text;
    CommunityOptions m_options;
    QString m_textColumn;
    QString m_fault;
    QStringList m_collections;
    QStringList m_taxa;
    std::vector<QStringList> m_cells; // per taxon, per collection
};

} // namespace quorvella
