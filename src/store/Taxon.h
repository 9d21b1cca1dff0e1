#pragma once

#include "store/RecordId.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvella {

// One species row of a collection. A taxon without a census is an orphan; a
// taxon without an abundance is kept but never counted. includeTaxon is stored
// in the document file, and new and imported taxa start included.
struct Taxon
{
    RecordId id = 0; // assigned by the Store on insertion
    std::optional<std::string> taxonName{};
    std::optional<std::int32_t> abundance{};
    std::optional<RecordId> census{};
    bool includeTaxon = true;

    bool sameAttributes(const Taxon &other) const;
};

// Display order of the species table: abundance descending (a taxon without
// an abundance after every counted one), then taxonName ascending without
// regard to case (Unicode simple case folding, compareNamesIgnoringCase; an
// absent name first), then store order.
bool taxonDisplayLess(const Taxon &a, const Taxon &b);

} // namespace quorvella
