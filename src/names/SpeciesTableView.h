#pragma once

// The species table of a document window: column 1 holds the taxon name,
// column 2 the abundance. Tab goes name, abundance, the name of the row below
// the edited taxon (where the commit sorted it); Tab in the abundance of the
// last row, or of a taxon just added, asks for a new taxon.

#include "names/TabFlowTableView.h"

namespace quorvella {

class SpeciesTableView : public TabFlowTableView
{
    Q_OBJECT

public:
    static constexpr int taxonNameColumn = 1;
    static constexpr int abundanceColumn = 2;

    explicit SpeciesTableView(QWidget *parent = nullptr);

signals:
    // Tab left the abundance of the last row or of a new taxon: the document
    // should add a taxon to the selected collection and start editing its name.
    void addTaxonRequested();

protected:
    void tabPressedAfterEditing(const EditedCell &cell) override;
};

} // namespace quorvella
