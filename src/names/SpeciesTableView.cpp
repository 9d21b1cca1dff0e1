#include "names/SpeciesTableView.h"

namespace quorvella {

SpeciesTableView::SpeciesTableView(QWidget *parent) : TabFlowTableView(parent)
{}

void SpeciesTableView::tabPressedAfterEditing(const EditedCell &cell)
{
    const int row = rowAfterCommit(cell);
    if (cell.column == taxonNameColumn) {
        selectRowAndEdit(row, abundanceColumn);
    } else if (cell.column == abundanceColumn) {
        if (takeNewRecordMark(cell) || row + 1 >= rowCountOfModel()) {
            emit addTaxonRequested();
        } else {
            selectRowAndEdit(row + 1, taxonNameColumn);
        }
    }
}

} // namespace quorvella
