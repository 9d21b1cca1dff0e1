#include "names/TaxonNameDelegate.h"

#include "names/TaxonFormatter.h"
#include "names/TaxonNameEditor.h"

namespace quorvella {

TaxonNameDelegate::TaxonNameDelegate(const TaxonFormatter *formatter, QObject *parent)
    : QStyledItemDelegate(parent), m_formatter(formatter)
{}

QWidget *TaxonNameDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    Q_UNUSED(option);
    Q_UNUSED(index);
    auto *editor = new TaxonNameEditor(m_formatter, parent);
    editor->setFrame(false);
    return editor;
}

} // namespace quorvella
