#include "names/CensusTableView.h"

namespace quorvella {

CensusTableView::CensusTableView(QWidget *parent) : TabFlowTableView(parent)
{}

void CensusTableView::tabPressedAfterEditing(const EditedCell &cell)
{
    if (cell.row + 1 >= rowCountOfModel()) {
        emit addCollectionRequested();
    } else {
        selectRowAndEdit(cell.row + 1, collectionNameColumn);
    }
}

} // namespace quorvella
