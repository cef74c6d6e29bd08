// The two decoding stages on hand-made parts: every rule of the format and every refusal.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/untPakowanie.h"
#include "untDekoderWzorcowy.h"
#include "untPomocnicy.h"

namespace orvala {
namespace {

using testy::Hex;
using testy::UnpackBoth;

constexpr std::size_t kDuzo = 1'000'000;

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Runs only the prefix-code stage and returns buffer B.
std::vector<std::uint8_t> PrefixStage(const std::vector<std::uint8_t>& part) {
  TStanDekodera& s = DecoderState();
  s.status = 0;
  s.a = part;
  s.aCount = part.size();
  DecodePrefixStage();
  EXPECT_EQ(s.error, TBladDekodera::None);
  return {s.b.begin(), s.b.begin() + static_cast<std::ptrdiff_t>(s.bCount)};
}

// Runs only the back-reference stage on the given items.
TBladDekodera BackrefStage(const std::vector<std::uint8_t>& items, std::size_t capacity,
                           std::vector<std::uint8_t>& out) {
  TStanDekodera& s = DecoderState();
  s.status = 0;
  s.error = TBladDekodera::None;
  s.b = items;
  s.bCount = items.size();
  s.aCapacity = capacity;
  DecodeBackrefStage();
  out.assign(s.a.begin(), s.a.begin() + static_cast<std::ptrdiff_t>(s.produced));
  const wzorzec::TWynikWzorcowy walk = wzorzec::WalkBackrefStage(items, capacity);
  EXPECT_EQ(static_cast<int>(s.error), static_cast<int>(walk.error));
  EXPECT_EQ(out, walk.bytes);
  return s.error;
}

// Table of 0x41, 0x42, 0x81 with 4-bit codes: 256 + 3 * 8 bits, so it ends on a byte
// boundary and N follows at once. Items 81 41 42: a literal run "AB".
constexpr std::string_view kTabelaNaGranicy =
    "0000000000000000502820000000000000005080000000000000000000000000000000 03000000 2010";

TEST(PrefixStage, TableEndingOnByteBoundarySkipsNoByte) {
  EXPECT_EQ(PrefixStage(Hex(kTabelaNaGranicy)), Hex("81 41 42"));
  EXPECT_EQ(UnpackBoth(Hex(kTabelaNaGranicy), kDuzo).bytes, Bytes("AB"));
}

TEST(PrefixStage, TableEndingInsideAByteSkipsItsRest) {
  // 0x80 and 0x5A with 1-bit codes: 266 bits, 6 bits skipped. Items 80 5A: one literal.
  const auto part =
      Hex("000000000000000000000023000000000440000000000000000000000000000000000200000040");
  EXPECT_EQ(PrefixStage(part), Hex("80 5A"));
  EXPECT_EQ(UnpackBoth(part, kDuzo).bytes, Bytes("Z"));
}

TEST(PrefixStage, LengthFieldZeroMeansSixteenBits) {
  // 0x61 with length field 0 and code 0x9234, 0x80 with code "0"; symbols "0" + 0x9234.
  const auto part =
      Hex("0000000000000000000000004248D000000008800000000000000000000000000000000002000000491A00");
  EXPECT_EQ(PrefixStage(part), Hex("80 61"));
  const TStanDekodera& s = DecoderState();
  ASSERT_EQ(s.codeCount, 2);
  EXPECT_EQ(s.codes[1].length, 16);
  EXPECT_EQ(s.codes[1].code, 0x9234);
}

TEST(PrefixStage, EqualLengthsKeepByteOrderAndTheFirstMatchWins) {
  // 0x41 "01", 0x42 "01" (the same code), 0x80 "00"; symbols "00" "01" give 80 41, never 42.
  const auto part =
      Hex("00000000000000004992000000000000000900000000000000000000000000000000000200000010");
  EXPECT_EQ(PrefixStage(part), Hex("80 41"));
  const TStanDekodera& s = DecoderState();
  EXPECT_EQ(s.codes[0].symbol, 0x41);
  EXPECT_EQ(s.codes[1].symbol, 0x42);
  EXPECT_EQ(s.codes[2].symbol, 0x80);
  EXPECT_EQ(UnpackBoth(part, kDuzo).bytes, Bytes("A"));
}

TEST(PrefixStage, ShorterCodesAreTriedFirstEvenWhenTheyPrefixLongerOnes) {
  // 0x43 "1", 0x44 "100" (never reached: "1" matches first), 0x80 "000"; symbols "000" "1".
  const auto part =
      Hex("000000000000000011CE000000000000000980000000000000000000000000000000000200000010");
  EXPECT_EQ(PrefixStage(part), Hex("80 43"));
  EXPECT_EQ(UnpackBoth(part, kDuzo).bytes, Bytes("C"));
}

TEST(BackrefStage, DistanceOneLengthTenRepeatsTheLastByte) {
  // Part with items 80 78 70 01: literal "x", then length 10 at distance 1.
  const auto part =
      Hex("4B00000000000000000000000000025009202400000000000000000000000000000000040000001B");
  EXPECT_EQ(UnpackBoth(part, kDuzo).bytes, Bytes("xxxxxxxxxxx"));
}

TEST(BackrefStage, ControlByteFFCopies128Literals) {
  // 0x55 "0", 0xFF "1"; items FF followed by 128 bytes 55.
  const auto part =
      Hex("000000000000000000000440000000000000000000000000000000000000000008C08100000080"
          "000000000000000000000000000000000000");
  EXPECT_EQ(UnpackBoth(part, kDuzo).bytes, std::vector<std::uint8_t>(128, 0x55));
}

TEST(BackrefStage, ItemsAsTheFormatTableGivesThem) {
  std::vector<std::uint8_t> out;
  EXPECT_EQ(BackrefStage(Hex("80 61"), kDuzo, out), TBladDekodera::None);
  EXPECT_EQ(out, Bytes("a"));
  // Overlapping reference: "ab" then length 5 at distance 2.
  EXPECT_EQ(BackrefStage(Hex("81 61 62 20 02"), kDuzo, out), TBladDekodera::None);
  EXPECT_EQ(out, Bytes("abababa"));
  // Distance 8..15 and 16+ (the block-copy paths), longest distance 4095.
  std::vector<std::uint8_t> items = Hex("87 30 31 32 33 34 35 36 37");  // "01234567"
  for (const std::uint8_t b : Hex("70 08 70 0C 70 11")) {
    items.push_back(b);
  }
  EXPECT_EQ(BackrefStage(items, kDuzo, out), TBladDekodera::None);
  EXPECT_EQ(out.size(), 38u);
  items.clear();
  for (int i = 0; i < 32; ++i) {  // 32 runs of 128 = 4096 literal bytes 0..255 repeated
    items.push_back(0xFF);
    for (int j = 0; j < 128; ++j) {
      items.push_back(static_cast<std::uint8_t>(i * 128 + j));
    }
  }
  items.push_back(0x0F);  // length 3, distance 0xFFF
  items.push_back(0xFF);
  EXPECT_EQ(BackrefStage(items, kDuzo, out), TBladDekodera::None);
  ASSERT_EQ(out.size(), 4099u);
  EXPECT_EQ(out[4096], out[1]);
  EXPECT_EQ(out[4098], out[3]);
}

// Every distance 1..16 with every length 3..10, right after the output's first bytes, in the
// loop that checks only distances (long items follow) and in the one that checks everything
// (near the end of B), each reference followed by another reference and a literal run that
// overwrite whatever the copy wrote past its length; and parts ending exactly at capacity.
TEST(BackrefStage, ShortDistancesNearTheStartAndTheEnd) {
  std::vector<std::uint8_t> out;
  for (std::size_t distance = 1; distance <= 16; ++distance) {
    for (std::size_t length = 3; length <= 10; ++length) {
      const auto control = static_cast<std::uint8_t>((length - 3) << 4);
      std::vector<std::uint8_t> items;
      items.push_back(static_cast<std::uint8_t>(0x80 + distance - 1));
      for (std::size_t i = 0; i < distance; ++i) {
        items.push_back(static_cast<std::uint8_t>('a' + i));
      }
      items.push_back(control);
      items.push_back(static_cast<std::uint8_t>(distance));
      items.push_back(0x20);  // length 5 at distance 1
      items.push_back(1);
      for (const std::uint8_t b : Hex("82 58 59 5A")) {
        items.push_back(b);
      }
      const std::size_t size = distance + length + 5 + 3;
      std::vector<std::uint8_t> expected;
      for (std::size_t i = 0; i < distance; ++i) {
        expected.push_back(static_cast<std::uint8_t>('a' + i));
      }
      for (std::size_t i = 0; i < length; ++i) {
        expected.push_back(expected[expected.size() - distance]);
      }
      expected.insert(expected.end(), 5, expected.back());
      expected.insert(expected.end(), {'X', 'Y', 'Z'});
      ASSERT_EQ(expected.size(), size);
      // Near the end of B, at exactly the capacity and one byte short of it.
      EXPECT_EQ(BackrefStage(items, size, out), TBladDekodera::None);
      EXPECT_EQ(out, expected) << distance << " " << length;
      EXPECT_EQ(BackrefStage(items, size - 1, out), TBladDekodera::OutputOverCapacity);
      // With 300 literal bytes after it, the same items go through the distance-only loop.
      std::vector<std::uint8_t> longer = items;
      std::vector<std::uint8_t> tail;
      for (int run = 0; run < 3; ++run) {
        longer.push_back(0xE3);  // 100 literals
        for (int i = 0; i < 100; ++i) {
          longer.push_back(static_cast<std::uint8_t>(run * 100 + i));
          tail.push_back(static_cast<std::uint8_t>(run * 100 + i));
        }
      }
      expected.insert(expected.end(), tail.begin(), tail.end());
      EXPECT_EQ(BackrefStage(longer, expected.size(), out), TBladDekodera::None);
      EXPECT_EQ(out, expected) << distance << " " << length;
    }
  }
}

TEST(BackrefStage, RefusesItemsOutsideTheLimits) {
  std::vector<std::uint8_t> out;
  EXPECT_EQ(BackrefStage(Hex("82 41 42"), kDuzo, out), TBladDekodera::LiteralTruncated);
  EXPECT_EQ(BackrefStage(Hex("80 41 00"), kDuzo, out), TBladDekodera::ReferenceTruncated);
  EXPECT_EQ(BackrefStage(Hex("00 01"), kDuzo, out), TBladDekodera::ReferenceBeforeStart);
  EXPECT_EQ(BackrefStage(Hex("80 41 00 00"), kDuzo, out), TBladDekodera::ReferenceBeforeStart);
  EXPECT_EQ(BackrefStage(Hex("80 41 00 02"), kDuzo, out), TBladDekodera::ReferenceBeforeStart);
  EXPECT_EQ(DecoderState().produced, 0u);
  // Capacity: 11 bytes fit in 11, not in 10; a literal run over capacity likewise.
  EXPECT_EQ(BackrefStage(Hex("80 78 70 01"), 11, out), TBladDekodera::None);
  EXPECT_EQ(BackrefStage(Hex("80 78 70 01"), 10, out), TBladDekodera::OutputOverCapacity);
  EXPECT_EQ(BackrefStage(Hex("81 41 42"), 1, out), TBladDekodera::OutputOverCapacity);
  EXPECT_EQ(BackrefStage(Hex("81 41 42"), 0, out), TBladDekodera::OutputOverCapacity);
  EXPECT_EQ(BackrefStage({}, 0, out), TBladDekodera::None);
}

// The same limits met while more than a longest run of items and of output room remains, where
// the stage checks only a reference's distance per item.
TEST(BackrefStage, RefusesItemsOutsideTheLimitsWithMuchLeft) {
  const auto run128 = [](std::vector<std::uint8_t> items) {
    items.push_back(0xFF);
    items.insert(items.end(), 128, 0x78);
    return items;
  };
  const auto filler = [](std::vector<std::uint8_t> items) {
    for (int i = 0; i < 200; ++i) {
      items.insert(items.end(), {0x80, 0x41});
    }
    return items;
  };
  const auto three = run128(run128(run128({})));
  std::vector<std::uint8_t> shortRun{0x80, 0x41, 0xFF};  // then 128 bytes announced, 127 there
  shortRun.insert(shortRun.end(), 127, 0x78);
  struct TPrzypadek {
    const char* name;
    std::vector<std::uint8_t> items;
    std::size_t capacity;
    TBladDekodera error;
  };
  const TPrzypadek cases[] = {
      {"distance 0", filler(Hex("80 41 80 42 00 00")), kDuzo, TBladDekodera::ReferenceBeforeStart},
      {"one byte before the start", filler(Hex("80 41 00 02")), kDuzo,
       TBladDekodera::ReferenceBeforeStart},
      {"a run one byte short", shortRun, kDuzo, TBladDekodera::LiteralTruncated},
      {"a run that just fits the items", run128(Hex("80 41")), kDuzo, TBladDekodera::None},
      {"runs over the capacity by 4", filler(three), 380, TBladDekodera::OutputOverCapacity},
      {"runs that just fit the capacity", three, 384, TBladDekodera::None},
  };
  for (const TPrzypadek& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> out;
    EXPECT_EQ(BackrefStage(c.items, c.capacity, out), c.error);
  }
}

TEST(PrefixStage, RefusesPartsOutsideTheLimits) {
  struct TPrzypadek {
    std::string_view hex;
    TBladDekodera error;
  };
  const TPrzypadek cases[] = {
      {"", TBladDekodera::TableTruncated},
      {"FF", TBladDekodera::TableTruncated},  // present, length 15, the code is cut off
      {"0000000000000000000000000000000000000000000000000000000000000000",
       TBladDekodera::TooFewSymbols},  // no symbol at all (the table fills exactly 32 bytes)
      {"00000000000000004800000000000000000000000000000000000000000000000100000000",
       TBladDekodera::TooFewSymbols},  // one symbol
      {"00000000000000004892000000000000000000000000000000000000000000000000",
       TBladDekodera::LengthTruncated},  // table, then no length
      {"00000000000000004892000000000000000000000000000000000000000000000000 010000",
       TBladDekodera::LengthTruncated},  // 3 bytes of length
      {"0000000000000000489200000000000000000000000000000000000000000000000001000000C0",
       TBladDekodera::NoMatchingCode},  // "11" matches neither "00" nor "01"
      {"000000000000000048920000000000000000000000000000000000000000000000000500000010",
       TBladDekodera::CodeTruncated},  // N = 5, bits for 4 symbols
      {"00000000000000004892000000000000000000000000000000000000000000000000FFFFFFFF10",
       TBladDekodera::CodeTruncated},  // N = 4,294,967,295 over one byte of bits
  };
  for (const TPrzypadek& c : cases) {
    SCOPED_TRACE(std::string(c.hex));
    const auto result = UnpackBoth(Hex(c.hex), kDuzo);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(DecoderState().bCount, 0u);
  }
  // A part the first stage refused produces nothing in the second.
  EXPECT_EQ(DecoderState().produced, 0u);
}

TEST(DecoderState, NonZeroStatusStopsBothStages) {
  TStanDekodera& s = DecoderState();
  ASSERT_EQ(UnpackBoth(Hex(kTabelaNaGranicy), kDuzo).error, TBladDekodera::None);
  s.status = 1;
  s.a = Hex("00");
  s.aCount = 1;
  DecodePrefixStage();
  EXPECT_EQ(s.error, TBladDekodera::None);
  EXPECT_EQ(s.bCount, 3u);
  s.b[0] = 0x00;  // would be ReferenceBeforeStart
  DecodeBackrefStage();
  EXPECT_EQ(s.error, TBladDekodera::None);
  EXPECT_EQ(s.produced, 2u);
  s.status = 0;
}

// Random tables (repeated codes, prefixes, every length) and random bits: the table-driven
// decoder must stop where the walk stops, with the same symbols or the same reason.
TEST(PrefixStage, AgreesWithTheWalkOnRandomTables) {
  std::mt19937 rng(20261208);
  for (int round = 0; round < 3000; ++round) {
    std::string bits;
    auto put = [&](std::uint32_t v, int n) {
      for (int i = n - 1; i >= 0; --i) {
        bits.push_back(((v >> i) & 1u) ? '1' : '0');
      }
    };
    const int symbols = 1 + static_cast<int>(rng() % 40);
    const int maxLength = 1 + static_cast<int>(rng() % 16);
    for (int v = 0; v < 256; ++v) {
      const bool present = static_cast<int>(rng() % 256) < symbols;
      put(present ? 1 : 0, 1);
      if (present) {
        const int len = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxLength));
        put(static_cast<std::uint32_t>(len & 15), 4);
        put(rng() & ((1u << len) - 1), len);
      }
    }
    while (bits.size() % 8 != 0) {
      bits.push_back('0');
    }
    std::vector<std::uint8_t> part;
    for (std::size_t i = 0; i < bits.size(); i += 8) {
      part.push_back(static_cast<std::uint8_t>(std::stoi(bits.substr(i, 8), nullptr, 2)));
    }
    const std::uint32_t n = rng() % 300;
    for (int i = 0; i < 4; ++i) {
      part.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
    }
    const std::size_t tail = rng() % 400;
    for (std::size_t i = 0; i < tail; ++i) {
      part.push_back(static_cast<std::uint8_t>(rng()));
    }
    SCOPED_TRACE(round);
    UnpackBoth(part, kDuzo);
    const wzorzec::TWynikWzorcowy walk = wzorzec::WalkPrefixStage(part);
    TStanDekodera& s = DecoderState();
    s.a = part;
    s.aCount = part.size();
    DecodePrefixStage();
    ASSERT_EQ(static_cast<int>(s.error), static_cast<int>(walk.error));
    if (walk.error == TBladDekodera::None) {
      ASSERT_EQ(s.bCount, walk.bytes.size());
      ASSERT_TRUE(std::equal(walk.bytes.begin(), walk.bytes.end(), s.b.begin()));
    }
  }
}

// Long symbol areas whose longest code is 12..16 bits: each length takes its own number of
// lookups per refill in the fast loop, and codes past the short table's bits go through the full
// table inside that loop. The codes are 0, 10, 110, ... (lengths 1..L, and L twice), so short
// ones pair up in one lookup and long ones do not.
TEST(PrefixStage, AgreesWithTheWalkOnLongAreasForEveryLongestCode) {
  std::mt19937 rng(20261209);
  for (int longest = 12; longest <= 16; ++longest) {
    std::string bits;
    auto put = [&](std::uint32_t v, int n) {
      for (int i = n - 1; i >= 0; --i) {
        bits.push_back(((v >> i) & 1u) ? '1' : '0');
      }
    };
    // Symbol v (0..longest) has length min(v + 1, longest) and the code of that many ones with
    // the last one cleared, except the last symbol, all ones.
    auto length = [&](int v) { return std::min(v + 1, longest); };
    auto code = [&](int v) {
      const std::uint32_t ones = (1u << length(v)) - 1;
      return v == longest ? ones : ones - 1;
    };
    for (int v = 0; v < 256; ++v) {
      put(v <= longest ? 1 : 0, 1);
      if (v <= longest) {
        put(static_cast<std::uint32_t>(length(v) & 15), 4);
        put(code(v), length(v));
      }
    }
    while (bits.size() % 8 != 0) {
      bits.push_back('0');
    }
    const std::uint32_t n = 20000;
    std::string area;
    std::swap(area, bits);
    for (std::uint32_t i = 0; i < n; ++i) {
      // Mostly short codes, every tenth symbol any of them.
      const int v =
          static_cast<int>(i % 10 == 0 ? rng() % static_cast<unsigned>(longest + 1) : rng() % 4);
      put(code(v), length(v));
    }
    std::vector<std::uint8_t> part;
    for (std::size_t i = 0; i < area.size(); i += 8) {
      part.push_back(static_cast<std::uint8_t>(std::stoi(area.substr(i, 8), nullptr, 2)));
    }
    for (int i = 0; i < 4; ++i) {
      part.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
    }
    while (bits.size() % 8 != 0) {
      bits.push_back('0');
    }
    for (std::size_t i = 0; i < bits.size(); i += 8) {
      part.push_back(static_cast<std::uint8_t>(std::stoi(bits.substr(i, 8), nullptr, 2)));
    }
    SCOPED_TRACE(longest);
    const wzorzec::TWynikWzorcowy walk = wzorzec::WalkPrefixStage(part);
    ASSERT_EQ(walk.error, TBladDekodera::None);
    ASSERT_EQ(walk.bytes.size(), n);
    EXPECT_EQ(PrefixStage(part), walk.bytes);
    // Without its last byte, the area ends inside a code.
    part.pop_back();
    UnpackBoth(part, kDuzo);
  }
}

// Long symbol areas are decoded from their start and their middle at once; the second half may
// be entered inside a code, fall back in step late or never, meet a bit string no code matches,
// or hold more symbols than the part's count. Each case: codes (length, code) for the symbols
// 0x80, 0x81, ..., the symbols as indices into them (random with one seed), the count N, and
// where a bit string of no code, if any, stands among the symbols.
TEST(PrefixStage, AgreesWithTheWalkWhereTheTwoHalvesMeet) {
  struct TPrzypadek {
    const char* name;
    std::vector<std::pair<int, std::uint32_t>> codes;
    std::uint32_t symbols;
    std::uint32_t n;
    std::uint32_t gapAt;  // index of the symbol that a bit string of no code replaces; 0: none
    std::uint32_t gap;    // that bit string, three bits
  };
  // The lengths of a program's items: 3..9 bits, a complete code.
  const std::vector<std::pair<int, std::uint32_t>> typical = {
      {3, 0b000},       {3, 0b001},      {4, 0b0100},      {4, 0b0101},      {5, 0b01100},
      {5, 0b01101},     {6, 0b011100},   {6, 0b011101},    {7, 0b0111100},   {7, 0b0111101},
      {8, 0b01111100},  {8, 0b01111101}, {9, 0b011111100}, {9, 0b011111101}, {9, 0b011111110},
      {9, 0b011111111}, {1, 0b1}};
  const std::vector<std::pair<int, std::uint32_t>> threeBits = {{3, 0}, {3, 1}, {3, 2}, {3, 3},
                                                                {3, 4}, {3, 5}, {3, 6}, {3, 7}};
  // "0" and "11": entered after the first 1 of a "11", "10" matches nothing.
  const std::vector<std::pair<int, std::uint32_t>> withGap = {{1, 0b0}, {2, 0b11}};
  // "0", "10", "110": "111" matches nothing.
  const std::vector<std::pair<int, std::uint32_t>> prefixes = {{1, 0b0}, {2, 0b10}, {3, 0b110}};
  const TPrzypadek cases[] = {
      {"in step after a few codes", typical, 60000, 60000, 0, 0},
      // 3 * 30009 bits: no stretch (of 2, 3 or 4) starts at a bit offset that is a multiple of 3.
      {"never in step", threeBits, 30009, 30009, 0, 0},
      // The middle falls inside a "11" (with the symbols of the seed below).
      {"the second half entered inside a code", withGap, 200000, 200000, 0, 0},
      {"more symbols than the count", typical, 60000, 40000, 0, 0},
      {"fewer symbols than the count", typical, 60000, 60001, 0, 0},
      {"no code in the second half", prefixes, 80000, 80000, 60000, 0b111},
      {"no code inside a later stretch", prefixes, 80000, 80000, 45000, 0b111},
      {"no code in the first half", prefixes, 80000, 80000, 20000, 0b111},
  };
  for (const TPrzypadek& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 rng(1);
    std::vector<bool> bits;
    auto put = [&](std::uint32_t v, int count) {
      for (int i = count - 1; i >= 0; --i) {
        bits.push_back(((v >> i) & 1u) != 0);
      }
    };
    for (int v = 0; v < 256; ++v) {
      const std::size_t index = static_cast<std::size_t>(v - 0x80);
      const bool present = v >= 0x80 && index < c.codes.size();
      put(present ? 1 : 0, 1);
      if (present) {
        put(static_cast<std::uint32_t>(c.codes[index].first & 15), 4);
        put(c.codes[index].second, c.codes[index].first);
      }
    }
    while (bits.size() % 8 != 0) {
      bits.push_back(false);
    }
    put(c.n & 0xFF, 8);
    put(c.n >> 8 & 0xFF, 8);
    put(c.n >> 16 & 0xFF, 8);
    put(c.n >> 24, 8);
    std::size_t endOfN = 0;  // where the N-th symbol's code ends, in bits
    for (std::uint32_t i = 0; i < c.symbols; ++i) {
      if (c.gapAt != 0 && i == c.gapAt) {
        put(c.gap, 3);
        continue;
      }
      const auto& code = c.codes[rng() % c.codes.size()];
      put(code.second, code.first);
      if (i + 1 == c.n) {
        endOfN = bits.size();
      }
    }
    std::vector<std::uint8_t> part((bits.size() + 7) / 8);
    for (std::size_t i = 0; i < bits.size(); ++i) {
      part[i / 8] = static_cast<std::uint8_t>(part[i / 8] | bits[i] << (7 - i % 8));
    }
    const wzorzec::TWynikWzorcowy walk = wzorzec::WalkPrefixStage(part);
    TStanDekodera& s = DecoderState();
    s.status = 0;
    s.a = part;
    s.aCount = part.size();
    DecodePrefixStage();
    ASSERT_EQ(static_cast<int>(s.error), static_cast<int>(walk.error));
    ASSERT_EQ(s.error == TBladDekodera::None ? s.bCount : walk.bytes.size(), walk.bytes.size());
    EXPECT_TRUE(std::equal(walk.bytes.begin(), walk.bytes.end(), s.b.begin()));
    if (s.error == TBladDekodera::None) {
      // The bit reader stops where the last symbol's code ends.
      EXPECT_EQ(s.bytePos * 8 + static_cast<std::size_t>(8 - s.bitsLeft), endOfN);
    }
  }
}

TEST(UnpackPart, ErrorTextsNameEveryReason) {
  EXPECT_EQ(DecoderErrorText(TBladDekodera::None), "");
  for (int e = 1; e <= static_cast<int>(TBladDekodera::OutputOverCapacity); ++e) {
    EXPECT_FALSE(DecoderErrorText(static_cast<TBladDekodera>(e)).empty()) << e;
  }
}

}  // namespace
}  // namespace orvala
