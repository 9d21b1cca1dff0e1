#pragma once

// The collection table of a document window: column 0 holds the collection
// name. Tab goes to the name of the collection below the edited one (where
// the commit sorted it); Tab in the last row, or after naming a collection
// just added, asks for a new collection.

#include "names/TabFlowTableView.h"

namespace quorvella {

class CensusTableView : public TabFlowTableView
{
    Q_OBJECT

public:
    static constexpr int collectionNameColumn = 0;

    explicit CensusTableView(QWidget *parent = nullptr);

signals:
    // Tab left a cell of the last row or of a new collection: the document
    // should add a collection and start editing its name.
    void addCollectionRequested();

protected:
    void tabPressedAfterEditing(const EditedCell &cell) override;
};

} // namespace quorvella
