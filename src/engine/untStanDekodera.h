// The decoder working state shared by the payload extraction and the patcher.
//
// A packed part is decoded in two stages that work on this one program-wide state (it is not
// re-entrant): DecodePrefixStage turns the packed part in buffer A into the back-reference
// items of buffer B, and DecodeBackrefStage turns those into the unpacked bytes, written back
// into buffer A up to the capacity the caller sets between the two stages.
//
// Two codes are kept apart:
//  - `status` belongs to the patcher (0 = no failure); while it is non-zero both stages do
//    nothing at all, so that a failed patch entry decodes and writes nothing more;
//  - `error` says why the last stage refused a part outside the limits of the format; the stage
//    then leaves its output count at 0, and callers treat the part like one that failed to read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvala {

// Why a packed part was refused. Each failure site has its own name.
enum class TBladDekodera : std::uint8_t {
  None = 0,
  TableTruncated,        // the data ended inside the code table
  TooFewSymbols,         // fewer than two symbols in the code table
  LengthTruncated,       // the data ended inside the 4-byte length N
  CodeTruncated,         // the data ended inside a symbol's code
  NoMatchingCode,        // a bit string that matches no code of the table
  LiteralTruncated,      // a literal run reaches past the end of buffer B
  ReferenceTruncated,    // a back-reference control byte is the last byte of buffer B
  ReferenceBeforeStart,  // a back-reference reaches before the start of the output (or distance 0)
  OutputOverCapacity,    // the output would exceed the capacity of buffer A
};

// One entry of the code table.
struct TKodSymbolu {
  std::uint8_t length;  // 1..16
  std::uint16_t code;
  std::uint8_t symbol;
};

struct TStanDekodera {
  // Buffer A: the packed part as read (aCount bytes); after DecodeBackrefStage its output
  // (produced bytes, at most aCapacity).
  std::vector<std::uint8_t> a;
  std::size_t aCount = 0;
  std::size_t aCapacity = 0;
  std::size_t produced = 0;
  // Buffer B: the output of the prefix-code stage (bCount = N bytes).
  std::vector<std::uint8_t> b;
  std::size_t bCount = 0;
  // The code table, sorted by length after the prefix-code stage has read it.
  std::array<TKodSymbolu, 256> codes{};
  int codeCount = 0;
  // The bit reader, by positions in the packed part.
  std::size_t bytePos = 0;
  int bitsLeft = 8;
  // The patcher's status (0 = no failure) and the stages' own refusal reason.
  std::int32_t status = 0;
  TBladDekodera error = TBladDekodera::None;
  // The patcher's part of the state: its two directories (with trailing backslash) and the
  // installed file's bytes.
  std::string updateDirectory;
  std::string targetDirectory;
  std::vector<std::uint8_t> oldFile;
};

// The program-wide state.
TStanDekodera& DecoderState();

// Buffer A (aCount bytes) → buffer B (bCount). Does nothing while status is non-zero; otherwise
// starts by clearing `error`, and on a part outside the limits sets it and leaves bCount at 0.
void DecodePrefixStage();
// Buffer B (bCount bytes) → buffer A (produced bytes, at most aCapacity). Does nothing while
// status is non-zero; on a part outside the limits sets `error` and leaves produced at 0. When
// `error` is already set (the prefix-code stage refused the part) it only sets produced to 0,
// so `error` after both stages says whether the part was good.
void DecodeBackrefStage();

}  // namespace orvala
