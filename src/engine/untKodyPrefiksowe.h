// The prefix-code stage of a packed part: the whole part (buffer A, or the caller's bytes) ->
// buffer B (its N symbols, the back-reference items).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/untStanDekodera.h"

namespace orvala::kody {

// Bytes beyond the counted ones that both buffers keep allocated, so that the copy loops may
// move whole blocks past the end of a run.
inline constexpr std::size_t kZapas = 256;

// The stage on `s` (status 0) over the packed part `packed`: B, bCount and the bit reader (by
// positions in `packed`) on success; the reason otherwise.
TBladDekodera RunPrefixStage(TStanDekodera& s, std::span<const std::uint8_t> packed);

}  // namespace orvala::kody
