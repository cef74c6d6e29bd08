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
#include <vector>

#include "engine/untPakowanie.h"
#include "untDekoderWzorcowy.h"
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

}  // namespace

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
