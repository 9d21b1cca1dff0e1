#pragma once

// The nine commands of the document window's toolbar, with the texts and
// images the user sees. The application's menus reuse the same actions.

#include <QString>
#include <array>

namespace quorvella {

enum class ToolbarItem {
    AddCollection,
    DeleteCollection,
    TaxonList,
    AddTaxon,
    DeleteTaxon,
    CalculateMetrics,
    IndividualRarefaction,
    Chao2,
    SampleRarefaction,
};

// What a toolbar item needs to be enabled.
enum class EnablingRule {
    Always,
    HasCensusData,
    HasTaxonData,
    HasAtLeastThreeCensuses,
    HasCountedTaxa
};

struct ToolbarItemDescription
{
    ToolbarItem item;
    const char *identifier; // also the action's objectName
    const char *label;
    const char *toolTip;
    const char *icon; // resource path under :/icons/
    EnablingRule rule;
};

inline constexpr char QTRDocumentToolbarIdentifier[] = "myDocumentToolbar";

// The nine items in toolbar order.
const std::array<ToolbarItemDescription, 9> &toolbarItemDescriptions();
const ToolbarItemDescription &describe(ToolbarItem item);

} // namespace quorvella
