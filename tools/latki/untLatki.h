// The patch producer: patch scripts, patch files and patch list records that the setup
// program's patcher (engine/untPatcher.h) applies.
//
// A patch script turns OLD into NEW with literal bytes and references to 256-byte blocks of OLD.
// The blocks are found with a rolling hash over every 256-byte window of NEW, looked up in an
// index of every 256-byte window of OLD and verified byte for byte. The escape byte is the one
// that costs least: each literal equal to it costs one byte more, and a block whose only
// offsets in OLD have it as their lowest byte cannot be referenced (E followed by E is always
// a literal E) and costs its 256 bytes as literals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/untPatcher.h"

namespace orvala::latki {

// The 256-byte windows of OLD, by content, with up to two offsets of different lowest bytes.
// Every window is indexed for old files of up to kNajwiecejOkien windows; larger ones index
// every stride-th window (a power of two), keeping the table within the caches.
class TIndeksBlokow {
 public:
  static constexpr std::size_t kNajwiecejOkien = std::size_t{1} << 19;

  explicit TIndeksBlokow(std::span<const std::uint8_t> oldFile);

  // The window hash the index is keyed by (the same rolling hash the matcher keeps).
  static std::uint64_t WindowHash(const std::uint8_t* window);
  // The hash of the window one byte further: `out` leaves it at the front, `in` enters.
  static std::uint64_t RollHash(std::uint64_t hash, std::uint8_t out, std::uint8_t in);

  // An offset of OLD whose 256 bytes equal `window` (whose hash is `hash`) and whose lowest
  // byte is not `forbidden` (-1: any offset). `alternative` tells whether OLD holds the same
  // bytes at an offset with another lowest byte.
  struct TTrafienie {
    std::uint32_t offset;
    bool alternative;
  };
  std::optional<TTrafienie> Find(std::uint64_t hash, const std::uint8_t* window,
                                 int forbidden) const;

 private:
  struct TSlot {
    std::uint32_t tag = 0;
    std::uint32_t first = 0;   // offset + 1; 0 = empty slot
    std::uint32_t second = 0;  // offset + 1 with another lowest byte; 0 = none
  };
  std::span<const std::uint8_t> old_;
  std::size_t stride_ = 1;
  std::vector<TSlot> slots_;
  std::size_t mask_ = 0;
};

// One block reference of a script: NEW[newPos, newPos + 256) = OLD[oldOffset, ... + 256).
struct TBlok {
  std::size_t newPos;
  std::uint32_t oldOffset;
};

// Greedy matching of NEW against the index, never using an offset whose lowest byte is
// `forbidden` (-1: any). References are in ascending, non-overlapping order.
std::vector<TBlok> MatchBlocks(const TIndeksBlokow& index, std::span<const std::uint8_t> oldFile,
                               std::span<const std::uint8_t> newFile, int forbidden);

// The escape byte that costs least for these matches (see above); ties go to the lower value.
std::uint8_t ChooseEscape(const TIndeksBlokow& index, std::span<const std::uint8_t> newFile,
                          std::span<const TBlok> blocks);

// The patch script that turns `oldFile` into `newFile` (both at most 4 GiB - 1 bytes). With
// `escape` given that escape byte is used instead of the cheapest one.
std::vector<std::uint8_t> BuildPatchScript(std::span<const std::uint8_t> oldFile,
                                           std::span<const std::uint8_t> newFile,
                                           std::optional<std::uint8_t> escape = std::nullopt);

// A patch file (the packed script) and the three lengths of its list record.
struct TPlikLatki {
  std::vector<std::uint8_t> packed;
  std::uint32_t oldLength = 0;
  std::uint32_t scriptLength = 0;
  std::uint32_t newLength = 0;
};

// Builds the script, packs it and checks the result the way the setup program reads it (unpack,
// run against OLD, compare with NEW). Throws std::runtime_error when a file is too large or the
// check fails.
TPlikLatki MakePatchFile(std::span<const std::uint8_t> oldFile,
                         std::span<const std::uint8_t> newFile);

// One patch list record, every byte inverted. Throws std::invalid_argument for a name longer
// than 65,535 bytes.
std::vector<std::uint8_t> EncodeListRecord(const TRekordLatki& record);

// Whole host files (the producer works on host paths, not through the platform).
bool ReadHostFile(const std::filesystem::path& path, std::vector<std::uint8_t>& data);
bool WriteHostFile(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                   bool append = false);

// A decimal 32-bit unsigned number, digits only.
std::optional<std::uint32_t> ParseLength(const std::string& text);

}  // namespace orvala::latki
