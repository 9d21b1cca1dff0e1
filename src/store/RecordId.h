#pragma once

#include <cstdint>

namespace quorvella {

// Identity of a record in a Store. Ids are positive, never reused within a
// store's lifetime, shared by both record kinds, and increase with every
// insertion: the store's order (insertion order) is ascending id order, which
// the document file keeps. Reinserting a deleted record with its original id
// therefore puts it back at its original place.
using RecordId = std::int64_t;

} // namespace quorvella
