// The packer: turns bytes into one packed part that the setup program's two decoding stages
// (DecodePrefixStage, DecodeBackrefStage) unpack again.
//
// The part is built in two steps that mirror the decoder:
//  1. back-reference stage: a lazy-matching parse over a 4,095-byte window (hash chains) into
//     literal runs (control byte 0x80 + n - 1, 1..128 bytes) and back-references (length 3..10,
//     distance 1..4,095);
//  2. prefix-code stage: a canonical prefix code over the bytes of step 1, code lengths limited
//     to 16 bits (package-merge), written in the code-table format the decoder reads. The table
//     always holds at least two symbols, also for empty input or input of one byte value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvala::pakowacz {

// One packed part holding `data` (any size the caller's decoding capacity allows).
std::vector<std::uint8_t> PackPart(std::span<const std::uint8_t> data);

// The back-reference stage alone: the items that DecodeBackrefStage turns back into `data`.
std::vector<std::uint8_t> EncodeBackrefItems(std::span<const std::uint8_t> data);

// The prefix-code stage alone: a packed part whose prefix-code stage yields `items`.
std::vector<std::uint8_t> EncodePrefixStage(std::span<const std::uint8_t> items);

// Code lengths (0 = byte absent, else 1..maxLength) of an optimal length-limited prefix code
// for the given byte frequencies; at least two lengths are non-zero.
std::vector<std::uint8_t> LimitedCodeLengths(std::span<const std::uint64_t> frequencies,
                                             int maxLength);

}  // namespace orvala::pakowacz
