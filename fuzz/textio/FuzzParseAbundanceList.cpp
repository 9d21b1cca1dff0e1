// The abundance-list parser on any text, and on a text its validator accepts:
// one taxon per number, each with the positive whole value that was accepted
// and named "unnamed species N" in file order.

#include "FuzzSupport.h"
#include "textio/ImportParsing.h"

using namespace quorvella;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const ImportedCollection collection = parseAbundanceList(text);
    fuzz::require(collection.taxa.size() <= size, "no more taxa than characters");
    if (!validateAbundanceListFromString(text).isValid()) {
        return 0;
    }
    for (std::size_t i = 0; i < collection.taxa.size(); ++i) {
        const ImportedTaxon &taxon = collection.taxa[i];
        fuzz::require(taxon.abundance > 0, "an accepted abundance is stored above zero");
        fuzz::require(taxon.name == unnamedSpeciesNameFor(i + 1),
                      "entries are unnamed species numbered in file order");
    }
    return 0;
}
