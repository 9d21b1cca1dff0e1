#include "names/CensusTableView.h"

namespace quorvella {

CensusTableView::CensusTableView(QWidget *parent) : TabFlowTableView(parent)
{}

void CensusTableView::tabPressedAfterEditing(const EditedCell &cell)
{
    const bool isNew = takeNewRecordMark(cell);
    const int row = rowAfterCommit(cell);
    if (isNew || row + 1 >= rowCountOfModel()) {
        emit addCollectionRequested();
    } else {
        selectRowAndEdit(row + 1, collectionNameColumn);
    }
}

} // namespace quorvella
