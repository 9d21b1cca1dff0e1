#include "names/TabFlowTableView.h"

#include <utility>

namespace quorvella {

TabFlowTableView::TabFlowTableView(QWidget *parent) : QTableView(parent)
{}

void TabFlowTableView::selectRowAndEdit(int row, int column)
{
    if (model() == nullptr) {
        return;
    }
    const QModelIndex target = model()->index(row, column, rootIndex());
    if (!target.isValid()) {
        return;
    }
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    edit(target);
}

void TabFlowTableView::markNewRecord(int row)
{
    m_newRecord = model() == nullptr ? QPersistentModelIndex()
                                     : QPersistentModelIndex(model()->index(row, 0, rootIndex()));
}

int TabFlowTableView::rowAfterCommit(const EditedCell &cell)
{
    return cell.item.isValid() ? cell.item.row() : cell.row;
}

bool TabFlowTableView::takeNewRecordMark(const EditedCell &cell)
{
    const bool isNew =
        m_newRecord.isValid() && cell.item.isValid() && cell.item.row() == m_newRecord.row();
    if (isNew) {
        m_newRecord = QPersistentModelIndex();
    }
    return isNew;
}

int TabFlowTableView::rowCountOfModel() const
{
    return model() == nullptr ? 0 : model()->rowCount(rootIndex());
}

bool TabFlowTableView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool editing = QTableView::edit(index, trigger, event);
    if (editing) {
        m_editedIndex = index;
        if (m_newRecord.isValid() && m_newRecord.row() != index.row()) {
            m_newRecord = QPersistentModelIndex();
        }
    }
    return editing;
}

void TabFlowTableView::commitData(QWidget *editor)
{
    const QModelIndex edited =
        m_editedIndex.isValid() ? QModelIndex(m_editedIndex) : currentIndex();
    m_cellBeforeCommit = EditedCell{edited.row(), edited.column(), edited};
    const int refusedBefore = m_refusedEdits ? m_refusedEdits() : 0;
    QTableView::commitData(editor);
    m_commitRefused = m_refusedEdits && m_refusedEdits() != refusedBefore;
}

void TabFlowTableView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool refused = std::exchange(m_commitRefused, false);
    const bool confirming = hint == QAbstractItemDelegate::EditNextItem ||
                            hint == QAbstractItemDelegate::SubmitModelCache;
    if (refused && confirming) {
        return; // the editor stays open with the refused text
    }
    if (hint != QAbstractItemDelegate::EditNextItem) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    // Tab: end editing the usual way, then go where a user typing in data
    // expects rather than to the next cell.
    const EditedCell cell = m_cellBeforeCommit;
    m_cellBeforeCommit = EditedCell{};
    m_editedIndex = QPersistentModelIndex();
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (cell.row >= 0) {
        tabPressedAfterEditing(cell);
    }
}

} // namespace quorvella
