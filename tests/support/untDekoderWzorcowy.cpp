#include "untDekoderWzorcowy.h"

#include <array>

namespace orvala::wzorzec {

namespace {

struct TCzytnik {
  std::span<const std::uint8_t> data;
  std::size_t bytePos = 0;
  int bitsLeft = 8;  // unread bits of data[bytePos]

  bool Bit(std::uint32_t& bit) {
    if (bytePos >= data.size()) {
      return false;
    }
    --bitsLeft;
    bit = (data[bytePos] >> bitsLeft) & 1u;
    if (bitsLeft == 0) {
      ++bytePos;
      bitsLeft = 8;
    }
    return true;
  }
  bool Bits(int count, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
      std::uint32_t bit = 0;
      if (!Bit(bit)) {
        return false;
      }
      value = value * 2 + bit;
    }
    return true;
  }
};

TWynikWzorcowy Refuse(TBladDekodera error) {
  return {error, {}};
}

}  // namespace

TWynikWzorcowy WalkPrefixStage(std::span<const std::uint8_t> part) {
  TCzytnik r{part};
  std::array<TKodSymbolu, 256> table{};
  int count = 0;
  for (int v = 0; v < 256; ++v) {
    std::uint32_t present = 0;
    std::uint32_t length = 0;
    std::uint32_t code = 0;
    if (!r.Bits(1, present)) {
      return Refuse(TBladDekodera::TableTruncated);
    }
    if (present == 0) {
      continue;
    }
    if (!r.Bits(4, length)) {
      return Refuse(TBladDekodera::TableTruncated);
    }
    if (length == 0) {
      length = 16;
    }
    if (!r.Bits(static_cast<int>(length), code)) {
      return Refuse(TBladDekodera::TableTruncated);
    }
    table[static_cast<std::size_t>(count++)] = {static_cast<std::uint8_t>(length),
                                                static_cast<std::uint16_t>(code),
                                                static_cast<std::uint8_t>(v)};
  }
  if (count < 2) {
    return Refuse(TBladDekodera::TooFewSymbols);
  }
  // Stable exchange sort: passes of adjacent swaps of strictly longer before shorter.
  for (int pass = 0; pass < count; ++pass) {
    for (int i = 0; i + 1 < count; ++i) {
      if (table[static_cast<std::size_t>(i)].length >
          table[static_cast<std::size_t>(i + 1)].length) {
        std::swap(table[static_cast<std::size_t>(i)], table[static_cast<std::size_t>(i + 1)]);
      }
    }
  }
  if (r.bitsLeft < 8) {
    ++r.bytePos;
    r.bitsLeft = 8;
  }
  if (r.bytePos > part.size() || part.size() - r.bytePos < 4) {
    return Refuse(TBladDekodera::LengthTruncated);
  }
  std::uint32_t n = 0;
  for (int i = 3; i >= 0; --i) {
    n = n << 8 | part[r.bytePos + static_cast<std::size_t>(i)];
  }
  r.bytePos += 4;
  TWynikWzorcowy result;
  for (std::uint32_t produced = 0; produced < n; ++produced) {
    std::uint32_t v = 0;
    int have = table[0].length;
    if (!r.Bits(have, v)) {
      return Refuse(TBladDekodera::CodeTruncated);
    }
    bool matched = false;
    for (int i = 0; i < count && !matched; ++i) {
      const TKodSymbolu& e = table[static_cast<std::size_t>(i)];
      while (have < e.length) {
        std::uint32_t bit = 0;
        if (!r.Bit(bit)) {
          return Refuse(TBladDekodera::CodeTruncated);
        }
        v = v * 2 + bit;
        ++have;
      }
      if (v == e.code) {
        result.bytes.push_back(e.symbol);
        matched = true;
      }
    }
    if (!matched) {
      return Refuse(TBladDekodera::NoMatchingCode);
    }
  }
  return result;
}

TWynikWzorcowy WalkBackrefStage(std::span<const std::uint8_t> items, std::size_t capacity) {
  TWynikWzorcowy result;
  std::vector<std::uint8_t>& out = result.bytes;
  std::size_t i = 0;
  while (i < items.size()) {
    const std::uint8_t c = items[i++];
    if (c >= 0x80) {
      const std::size_t k = (c & 0x7Fu) + 1;
      if (items.size() - i < k) {
        return Refuse(TBladDekodera::LiteralTruncated);
      }
      if (capacity - out.size() < k) {
        return Refuse(TBladDekodera::OutputOverCapacity);
      }
      for (std::size_t j = 0; j < k; ++j) {
        out.push_back(items[i++]);
      }
      continue;
    }
    if (i >= items.size()) {
      return Refuse(TBladDekodera::ReferenceTruncated);
    }
    const std::uint8_t d = items[i++];
    const std::size_t length = ((c >> 4) & 7u) + 3;
    const std::size_t distance = (std::size_t{c} & 0x0Fu) << 8 | d;
    if (distance == 0 || distance > out.size()) {
      return Refuse(TBladDekodera::ReferenceBeforeStart);
    }
    if (capacity - out.size() < length) {
      return Refuse(TBladDekodera::OutputOverCapacity);
    }
    for (std::size_t j = 0; j < length; ++j) {
      out.push_back(out[out.size() - distance]);
    }
  }
  return result;
}

TWynikWzorcowy WalkUnpack(std::span<const std::uint8_t> part, std::size_t capacity) {
  TWynikWzorcowy items = WalkPrefixStage(part);
  if (items.error != TBladDekodera::None) {
    return items;
  }
  return WalkBackrefStage(items.bytes, capacity);
}

}  // namespace orvala::wzorzec
