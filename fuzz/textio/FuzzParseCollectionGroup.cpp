// The collection-group parser on any text, and on a text its validator
// accepts: every taxon is named by a header species and has an abundance
// above zero, no row holds more taxa than there are species. The checked
// reading answers the validator's fault at the validator's place, and the
// rows it handed over before are the parser's first rows.

#include "FuzzSupport.h"
#include "textio/CollectionGroupReader.h"
#include "textio/ImportParsing.h"

#include <set>
#include <string>

using namespace quorvella;

namespace {

void requireReadingAgrees(std::string_view text, const ValidationResult &check,
                          const ImportedCollectionGroup &parsed)
{
    std::size_t rows = 0;
    const ValidationResult read = readCollectionGroup(text, [&](const GroupRow &row) {
        fuzz::require(rows < parsed.collections.size(), "the reading hands over a row more");
        const ImportedCollection &collection = parsed.collections[rows++];
        fuzz::require(row.name == collection.name && row.cells.size() == collection.taxa.size(),
                      "the reading's row is the parser's");
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            fuzz::require(row.speciesNames[row.cells[i].species] == collection.taxa[i].name &&
                              row.cells[i].abundance == collection.taxa[i].abundance,
                          "the reading's cell is the parser's");
        }
    });
    fuzz::require(read.fault == check.fault && read.row == check.row && read.field == check.field,
                  "the reading answers the validator's fault and place");
    fuzz::require(!check.isValid() || rows == parsed.collections.size(),
                  "the reading of a valid text hands over every row");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const ImportedCollectionGroup group = parseCollectionGroup(text);
    for (const ImportedCollection &collection : group.collections) {
        for (const ImportedTaxon &taxon : collection.taxa) {
            fuzz::require(taxon.abundance > 0, "zero and negative cells make no taxon");
        }
    }
    const ValidationResult check = validateCollectionGroupFromString(text);
    requireReadingAgrees(text, check, group);
    if (!check.isValid()) {
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
