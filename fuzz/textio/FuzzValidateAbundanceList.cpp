// The validator on any text: it answers, and any fault it names is one of
// the import alert's texts.

#include "FuzzSupport.h"
#include "textio/ImportValidation.h"

using namespace quorvella;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::requireKnownFault(validateAbundanceListFromString(fuzz::asText(data, size)));
    return 0;
}
