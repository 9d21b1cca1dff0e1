#include "document/ToolbarItem.h"

namespace quorvella {

const std::array<ToolbarItemDescription, 9> &toolbarItemDescriptions()
{
    using enum ToolbarItem;
    using enum EnablingRule;
    static const std::array<ToolbarItemDescription, 9> items{{
        {AddCollection, "QTRAddCollection", "Add Collection",
         "Add a collection.  Do this before adding a taxon.", "addCollection.png", Always},
        {DeleteCollection, "QTRDeleteCollection", "Delete Collection", "Delete this collection",
         "deleteCollection.png", HasCensusData},
        {TaxonList, "QTRTaxonList", "Set Species List",
         "Read a list of valid species for autocompletion", "taxonList.png", Always},
        {AddTaxon, "QTRAddTaxon", "Add Species", "Add a species to this collection", "addTaxon.png",
         HasCensusData},
        {DeleteTaxon, "QTRDeleteTaxon", "Delete Species", "Delete a species from this collection",
         "deleteTaxon.png", HasTaxonData},
        {CalculateMetrics, "QTRCalculateMetrics", "Calculate Metrics",
         "Calculate diversity metrics for this collection", "calculateMetrics.png", HasTaxonData},
        {IndividualRarefaction, "QTRIndividualRarefaction", "Individual Rarefaction",
         "Do an individual-based rarefaction on this collection", "individualRarefaction.png",
         HasTaxonData},
        {Chao2, "QTRChao2", "Calculate Chao-2",
         "Calculate Chao-2 metric for a group of collections", "chao2.png",
         HasAtLeastThreeCensuses},
        {SampleRarefaction, "QTRSampleRarefaction", "Sample Rarefaction",
         "Do a sample-based rarefaction on a group of collections", "sampleRarefaction.png",
         HasAtLeastThreeCensuses},
    }};
    return items;
}

const ToolbarItemDescription &describe(ToolbarItem item)
{
    return toolbarItemDescriptions()[static_cast<std::size_t>(item)];
}

} // namespace quorvella
