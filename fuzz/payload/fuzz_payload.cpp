// Fuzzer of packed-part decoding: the table-driven decoder and the reference walk must agree
// on every input (the same refusal reason, or the same bytes), and neither may touch memory
// outside its buffers (ASan, UBSan). The first byte picks what the rest is:
//   0: a packed part, unpacked with a capacity taken from the next two bytes;
//   1: back-reference items, given to the second stage alone;
//   2: data, packed and unpacked again (it must come back unchanged);
//   3: data, packed, one byte of the part replaced, then unpacked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <tuple>
#include <vector>

#include "engine/untPakowanie.h"
#include "untDekoderWzorcowy.h"
#include "untFuzzWspolne.h"
#include "untPakowacz.h"

namespace {

using orvala::DecoderState;
using orvala::TBladDekodera;
using orvala::TStanDekodera;

// Small inputs keep the reference walk (a pass over the table per symbol) quick.
constexpr std::size_t kNajwiekszeWejscie = 2048;
constexpr std::size_t kPojemnosc = 1 << 16;

void Check(bool ok) {
  if (!ok) {
    std::abort();
  }
}

void CompareUnpack(std::span<const std::uint8_t> part, std::size_t capacity) {
  const bool ok = orvala::UnpackPart(part, capacity);
  const TStanDekodera& s = DecoderState();
  const orvala::wzorzec::TWynikWzorcowy walk = orvala::wzorzec::WalkUnpack(part, capacity);
  Check(s.error == walk.error);
  Check(ok == (walk.error == TBladDekodera::None));
  Check(s.produced == walk.bytes.size());
  Check(std::equal(walk.bytes.begin(), walk.bytes.end(), s.a.begin()));
}

// A packed part written bit by bit: `codes` gives (symbol, length field, code) in ascending
// symbol order, then N and the symbols' codes.
std::vector<std::uint8_t> HandPart(
    const std::vector<std::tuple<std::uint8_t, unsigned, unsigned>>& codes,
    const std::vector<std::uint8_t>& symbols) {
  std::vector<std::uint8_t> out;
  orvala::fuzz::TPisarzBitow bits(out);
  std::size_t next = 0;
  for (unsigned v = 0; v < 256; ++v) {
    if (next < codes.size() && std::get<0>(codes[next]) == v) {
      const auto [symbol, field, code] = codes[next++];
      bits.Put(1, 1);
      bits.Put(field, 4);
      bits.Put(code, field == 0 ? 16 : static_cast<int>(field));
    } else {
      bits.Put(0, 1);
    }
  }
  bits.Align();
  orvala::fuzz::PutLe(out, static_cast<std::uint32_t>(symbols.size()), 4);
  for (const std::uint8_t s : symbols) {
    for (const auto& [symbol, field, code] : codes) {
      if (symbol == s) {
        bits.Put(code, field == 0 ? 16 : static_cast<int>(field));
      }
    }
  }
  bits.Align();
  return out;
}

orvala::fuzz::TZiarna Seeds() {
  using orvala::fuzz::TBajty;
  auto with = [](std::initializer_list<std::uint8_t> head, const TBajty& rest) {
    TBajty out(head);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
  };
  const TBajty text = orvala::fuzz::Bytes("Orvala Pakiet, Orvala Pakiet: slownik i translator");
  TBajty literal128(128, 'x');
  // Items "a" then a reference of length 10 at distance 1, with a 16-bit and a 1-bit code.
  const TBajty items = {0x80, 'a', 0x70, 0x01};
  const TBajty longCodes =
      HandPart({{0x01, 2, 0b00}, {0x70, 2, 0b01}, {0x80, 1, 0b1}, {'a', 0, 0}}, items);
  const TBajty stored = orvala::pakowacz::PackPart(text);
  // Codes 00 and 01, one symbol announced, and the bits 11 that match neither (the table
  // ends at bit 268, so N is at byte 34).
  TBajty noCode = HandPart({{0x61, 2, 0}, {0x62, 2, 1}}, {});
  noCode[34] = 1;
  noCode.push_back(0xFF);
  return {
      {"czesc", with({0, 0xFF, 0xFF}, stored)},
      {"za-mala-pojemnosc", with({0, 10, 0}, stored)},
      {"kod-16-bitow", with({0, 0xFF, 0x00}, longCodes)},
      {"jeden-symbol", with({0, 0xFF, 0x00}, HandPart({{'a', 1, 0}}, {'a', 'a'}))},
      {"brak-kodu", with({0, 0xFF, 0x00}, noCode)},
      {"powtorzenie", with({1}, items)},
      {"literal-80", with({1, 0x80, 'q'}, {})},
      {"literal-ff", with({1, 0xFF}, literal128)},
      {"przed-poczatkiem", {1, 0x80, 'a', 0x00, 0x05}},
      {"ucieta-referencja", {1, 0x80, 'a', 0x10}},
      {"ucieta-literal", {1, 0x85, 'a'}},
      {"pakowanie", with({2}, text)},
      {"podmiana", with({3, 7, 0, 0x5A}, text)},
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvala::fuzz::WriteSeedsIfAsked(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > kNajwiekszeWejscie) {
    return 0;
  }
  const std::span<const std::uint8_t> rest(data + 1, size - 1);
  switch (data[0] % 4) {
    case 0: {
      if (rest.size() < 2) {
        return 0;
      }
      const std::size_t capacity = static_cast<std::size_t>(rest[0] | rest[1] << 8);
      CompareUnpack(rest.subspan(2), capacity);
      break;
    }
    case 1: {
      TStanDekodera& s = DecoderState();
      s.status = 0;
      s.error = TBladDekodera::None;
      s.b.assign(rest.begin(), rest.end());
      s.bCount = rest.size();
      s.aCapacity = kPojemnosc;
      orvala::DecodeBackrefStage();
      const orvala::wzorzec::TWynikWzorcowy walk =
          orvala::wzorzec::WalkBackrefStage(rest, kPojemnosc);
      Check(s.error == walk.error);
      Check(s.produced == walk.bytes.size());
      Check(std::equal(walk.bytes.begin(), walk.bytes.end(), s.a.begin()));
      break;
    }
    case 2: {
      const std::vector<std::uint8_t> part = orvala::pakowacz::PackPart(rest);
      CompareUnpack(part, rest.size());
      const TStanDekodera& s = DecoderState();
      Check(s.error == TBladDekodera::None && s.produced == rest.size());
      Check(std::equal(rest.begin(), rest.end(), s.a.begin()));
      break;
    }
    default: {
      if (rest.size() < 3) {
        return 0;
      }
      std::vector<std::uint8_t> part = orvala::pakowacz::PackPart(rest.subspan(3));
      part[static_cast<std::size_t>(rest[0] | rest[1] << 8) % part.size()] = rest[2];
      CompareUnpack(part, kPojemnosc);
      break;
    }
  }
  return 0;
}
