// The collection-group parser on any text, and on a text its validator
// accepts: every taxon is named by a header species and has an abundance
// above zero, no row holds more taxa than there are species.

#include "FuzzSupport.h"
#include "textio/ImportParsing.h"

#include <set>
#include <string>

using namespace quorvella;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const ImportedCollectionGroup group = parseCollectionGroup(text);
    for (const ImportedCollection &collection : group.collections) {
        for (const ImportedTaxon &taxon : collection.taxa) {
            fuzz::require(taxon.abundance > 0, "zero and negative cells make no taxon");
        }
    }
    if (!validateCollectionGroupFromString(text).isValid()) {
        return 0;
    }
    const std::set<std::string> species(group.completionNames.begin(), group.completionNames.end());
    for (const ImportedCollection &collection : group.collections) {
        std::size_t named = 0;
        for (const ImportedTaxon &taxon : collection.taxa) {
            if (!taxon.name.empty()) {
                ++named;
                fuzz::require(species.count(taxon.name) == 1, "a taxon is named by the header");
            }
        }
        fuzz::require(named <= group.completionNames.size(),
                      "no row holds more taxa than the header names");
    }
    return 0;
}
