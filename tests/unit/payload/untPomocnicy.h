// Helpers of the payload tests: hex strings, and running both decoders on one part.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "engine/untPakowanie.h"
#include "untDekoderWzorcowy.h"

namespace orvala::testy {

// "0A FF 10" or "0AFF10" -> bytes (spaces ignored).
inline std::vector<std::uint8_t> Hex(std::string_view text) {
  std::vector<std::uint8_t> out;
  int high = -1;
  for (const char ch : text) {
    int v = -1;
    if (ch >= '0' && ch <= '9') {
      v = ch - '0';
    } else if (ch >= 'A' && ch <= 'F') {
      v = ch - 'A' + 10;
    } else if (ch >= 'a' && ch <= 'f') {
      v = ch - 'a' + 10;
    } else {
      continue;
    }
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<std::uint8_t>(high << 4 | v));
      high = -1;
    }
  }
  return out;
}

struct TWynikRozpakowania {
  TBladDekodera error;
  std::vector<std::uint8_t> bytes;
};

// Unpacks `part` with the program's decoder and checks that the reference walk agrees on the
// reason and the bytes. The decoder gets the part in a block of exactly its size, so that the
// sanitizer build sees any read past its end (a vector's spare capacity would hide it).
inline TWynikRozpakowania UnpackBoth(std::span<const std::uint8_t> part, std::size_t capacity) {
  const std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[part.size()]);
  std::copy(part.begin(), part.end(), exact.get());
  UnpackPart(std::span(exact.get(), part.size()), capacity);
  const TStanDekodera& s = DecoderState();
  TWynikRozpakowania fast{s.error, {}};
  if (s.error == TBladDekodera::None) {
    fast.bytes.assign(s.a.begin(), s.a.begin() + static_cast<std::ptrdiff_t>(s.produced));
  } else {
    EXPECT_EQ(s.produced, 0u);
  }
  const wzorzec::TWynikWzorcowy walk = wzorzec::WalkUnpack(part, capacity);
  EXPECT_EQ(static_cast<int>(fast.error), static_cast<int>(walk.error));
  EXPECT_EQ(fast.bytes, walk.bytes);
  return fast;
}

}  // namespace orvala::testy
