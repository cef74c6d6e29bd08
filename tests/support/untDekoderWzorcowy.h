// The reference decoder of packed parts: a plain transcription of the two decoding stages
// (the walk over the sorted code table, bit by bit; the back-reference items, byte by byte).
// Slow and obviously right; tests and fuzzers compare the program's table-driven decoder
// with it on every input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/untStanDekodera.h"

namespace orvala::wzorzec {

struct TWynikWzorcowy {
  TBladDekodera error = TBladDekodera::None;
  std::vector<std::uint8_t> bytes;  // empty when error is set
};

// The prefix-code stage: packed part -> back-reference items.
TWynikWzorcowy WalkPrefixStage(std::span<const std::uint8_t> part);
// The back-reference stage: items -> output of at most `capacity` bytes.
TWynikWzorcowy WalkBackrefStage(std::span<const std::uint8_t> items, std::size_t capacity);
// Both stages.
TWynikWzorcowy WalkUnpack(std::span<const std::uint8_t> part, std::size_t capacity);

}  // namespace orvala::wzorzec
