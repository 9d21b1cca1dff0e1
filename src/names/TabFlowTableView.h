#pragma once

// A table whose Tab key follows the order in which a user types in data
// rather than Qt's cell-by-cell walk. The edited cell is taken before the
// value is committed (a commit may re-sort the rows); subclasses decide where
// Tab goes from there. Return, Backtab and clicks elsewhere keep Qt's own
// end of editing.

#include <QPersistentModelIndex>
#include <QTableView>
#include <functional>

namespace quorvella {

class TabFlowTableView : public QTableView
{
    Q_OBJECT

public:
    explicit TabFlowTableView(QWidget *parent = nullptr);
    using QTableView::edit;

    bool isEditing() const { return state() == EditingState; }

    // How many edited values the model's owner has refused so far. When a
    // commit raises the count, Tab and Return leave the editor open so the
    // user can correct the value instead of losing it.
    void setRefusedEditCounter(std::function<int()> counter)
    {
        m_refusedEdits = std::move(counter);
    }

    // Selects the row alone and starts editing the cell with its text selected.
    void selectRowAndEdit(int row, int column);

protected:
    // The cell edited when Tab ended the editing: its row and column before
    // the commit, and the same item after it (invalid when it went away).
    struct EditedCell
    {
        int row = -1;
        int column = -1;
        QPersistentModelIndex item;
    };

    virtual void tabPressedAfterEditing(const EditedCell &cell) = 0;
    int rowCountOfModel() const;

    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void commitData(QWidget *editor) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    QPersistentModelIndex m_editedIndex;
    EditedCell m_cellBeforeCommit;
    std::function<int()> m_refusedEdits;
    bool m_commitRefused = false;
};

} // namespace quorvella
