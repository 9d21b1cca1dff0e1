#pragma once

// A table whose Tab key follows the order in which a user types in data
// rather than Qt's cell-by-cell walk. A commit may re-sort the rows, so Tab
// follows the edited record to its row after the commit, never the index it
// had before; subclasses decide where Tab goes from there. Return, Backtab and
// clicks elsewhere keep Qt's own end of editing.

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

    // The record in this row was just added for the user to type in: Tab
    // from its last cell adds the next record wherever the commit sorted it.
    // Editing another record forgets it.
    void markNewRecord(int row);

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
    // The edited record's row after the commit (its old row when it went away).
    static int rowAfterCommit(const EditedCell &cell);
    // Whether the edited record is the one markNewRecord() named; the mark is
    // then dropped.
    bool takeNewRecordMark(const EditedCell &cell);

    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void commitData(QWidget *editor) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    QPersistentModelIndex m_editedIndex;
    QPersistentModelIndex m_newRecord;
    EditedCell m_cellBeforeCommit;
    std::function<int()> m_refusedEdits;
    bool m_commitRefused = false;
};

} // namespace quorvella
