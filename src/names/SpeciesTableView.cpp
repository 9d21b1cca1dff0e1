#include "names/SpeciesTableView.h"

namespace quorvella {

SpeciesTableView::SpeciesTableView(QWidget *parent) : TabFlowTableView(parent)
{}

void SpeciesTableView::tabPressedAfterEditing(const EditedCell &cell)
{
    if (cell.column == taxonNameColumn) {
        // The abundance of the taxon just named, even when the commit moved
        // its row.
        const int row = cell.item.isValid() ? cell.item.row() : cell.row;
        selectRowAndEdit(row, abundanceColumn);
    } else if (cell.column == abundanceColumn) {
        if (cell.row + 1 >= rowCountOfModel()) {
            emit addTaxonRequested();
        } else {
            selectRowAndEdit(cell.row + 1, taxonNameColumn);
        }
    }
}

} // namespace quorvella
