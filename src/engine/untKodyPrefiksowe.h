// The prefix-code stage of a packed part: buffer A (the whole part) -> buffer B (its N symbols,
// the back-reference items).
#pragma once

#include <cstddef>

#include "engine/untStanDekodera.h"

namespace orvala::kody {

// Bytes beyond the counted ones that both buffers keep allocated, so that the copy loops may
// move whole blocks past the end of a run.
inline constexpr std::size_t kZapas = 256;

// The stage on `s` (status 0): B, bCount and the bit reader on success; the reason otherwise.
TBladDekodera RunPrefixStage(TStanDekodera& s);

}  // namespace orvala::kody
