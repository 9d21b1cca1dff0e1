#pragma once

// Gives the taxon-name column of the species table its completing editor.
// Other columns keep the editors of the delegate that was in place before.

#include <QPointer>
#include <QStyledItemDelegate>

namespace quorvella {

class TaxonFormatter;

class TaxonNameDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit TaxonNameDelegate(const TaxonFormatter *formatter, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

private:
    QPointer<const TaxonFormatter> m_formatter;
};

} // namespace quorvella
