#pragma once

#include "core/filter/compact_text.h"
#include "core/filter/filter_rules.h"

#include <string_view>

namespace velnor::detail {

bool Avx512Available();

// Runs the fast path 32 characters at a time while whole blocks remain,
// advancing `state`; the caller finishes the rest one character at a time.
void CompactBlocksAvx512(std::u16string_view text, RemovalOptions options, FastState& state,
                         char16_t* out);

} // namespace velnor::detail
