// Packed parts: the two decoding stages over the program-wide decoder working state
// (untStanDekodera.h), and the extraction of payload resources into files.
//
// Decoding a part, step by step:
//  1. put the packed part into buffer A (aCount bytes) and clear the status;
//  2. DecodePrefixStage: reads the code table, then N symbols into buffer B;
//  3. set aCapacity, the most bytes the part may unpack to;
//  4. DecodeBackrefStage: turns the items of B into the unpacked bytes in A (`produced`).
// After step 4, `error` is None for a part within the limits of the format; any other value
// names the first limit the part broke, and `produced` is 0. UnpackPart does all four steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/untStanDekodera.h"
#include "platform/untPlatforma.h"

namespace orvala {

// Output capacities of the extraction operations.
inline constexpr std::size_t kPojemnoscWersjiSpecjalnej = 2'097'152;  // ExtractPartTo
inline constexpr std::size_t kPojemnoscProgramuGlownego = 2'500'000;  // BuildMainProgram

// A one-line English reason for a refusal ("" for None), for tools and tests.
std::string_view DecoderErrorText(TBladDekodera error);

// Steps 2-4 above on DecoderState() with status 0, the prefix-code stage reading `part` where
// it lies instead of from buffer A (aCount is left 0). True when the part was within the
// limits; the unpacked bytes are then the first `produced` bytes of the state's buffer A.
bool UnpackPart(std::span<const std::uint8_t> part, std::size_t capacity);

// Loads RCDATA resource `resourceName` through the platform, unpacks it with the capacity
// `capacity` and appends the bytes to `out`. False when the resource is missing, the part is
// refused or the write comes up short; nothing is written for a refused part.
bool AppendPart(const std::string& resourceName, std::size_t capacity,
                platform::TPlikPlatformy& out);

// AppendPart with the capacity of a special version (2,097,152 bytes).
bool ExtractPartTo(const std::string& resourceName, platform::TPlikPlatformy& out);

// Writes the edition's main program: creates (or truncates) targetDirectory + "\" + the main
// program file, appends the unpacked parts A, then B and C when the descriptor names them (a
// failing part is skipped), and closes the file. Returns the file's full path, for the run's
// copied-files list. Creating or closing the file failing raises EInOutError.
std::string BuildMainProgram(const std::string& targetDirectory);

}  // namespace orvala
