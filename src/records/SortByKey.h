// The sort behind the rankings.
#pragma once

#include "core/Variant.h"

#include <cstdint>
#include <vector>

namespace tavoro::records {

// Sorts entries 1..n of `keys` ascending and moves the entries of `tags` with them; equal
// keys come out in the reverse of their input order, so that sorting twice restores their
// order. Entry 0 and the entries past n are left alone; n is held to the entries both
// tables have.
void SortByKey(int n, std::vector<std::int32_t> &keys, std::vector<core::Variant> &tags);

} // namespace tavoro::records
