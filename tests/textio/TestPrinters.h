#pragma once

// Readable failure output for the plain import values.

#include "textio/ImportedCollection.h"

#include <ostream>

namespace quorvella {

inline void PrintTo(const ImportedTaxon &taxon, std::ostream *out)
{
    *out << "{\"" << taxon.name << "\", " << taxon.abundance << "}";
}

inline void PrintTo(const ImportedCollection &collection, std::ostream *out)
{
    *out << "{\"" << collection.name << "\", {";
    for (const ImportedTaxon &taxon : collection.taxa) {
        PrintTo(taxon, out);
        *out << " ";
    }
    *out << "}}";
}

} // namespace quorvella
