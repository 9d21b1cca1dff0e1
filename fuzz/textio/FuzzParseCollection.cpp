// The one-collection parser on any text, and on a text its validator accepts:
// no row is out of place (no log line), and every abundance is above zero.

#include "FuzzSupport.h"
#include "textio/ImportParsing.h"

using namespace quorvella;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::captureLogLines();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text = fuzz::asText(data, size);
    const bool valid = validateCollectionFromString(text).isValid();
    fuzz::logLineCount() = 0;
    const ImportedCollection collection = parseCollection(text);
    if (!valid) {
        return 0;
    }
    fuzz::require(fuzz::logLineCount() == 0,
                  "an accepted table parses without \"error in addCollectionToMOCFromString\"");
    for (const ImportedTaxon &taxon : collection.taxa) {
        fuzz::require(taxon.abundance > 0, "an accepted abundance is stored above zero");
    }
    return 0;
}
