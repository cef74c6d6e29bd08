// The packer: every part it writes is within the limits of the format and unpacks, with both
// decoders, to the bytes it was given.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "untPakowacz.h"
#include "untPomocnicy.h"

namespace orvala {
namespace {

using pakowacz::LimitedCodeLengths;
using pakowacz::PackPart;

// Round trip through both decoders at the main program's capacity.
void ExpectRoundTrip(const std::vector<std::uint8_t>& data) {
  const std::vector<std::uint8_t> part = PackPart(data);
  const auto result = testy::UnpackBoth(part, std::max(data.size(), kPojemnoscProgramuGlownego));
  ASSERT_EQ(result.error, TBladDekodera::None) << DecoderErrorText(result.error);
  ASSERT_EQ(result.bytes.size(), data.size());
  EXPECT_TRUE(result.bytes == data);
  // The table the packer wrote: at least two symbols, lengths 1..16, codes prefix-free.
  const TStanDekodera& s = DecoderState();
  ASSERT_GE(s.codeCount, 2);
  double kraft = 0;
  for (int i = 0; i < s.codeCount; ++i) {
    ASSERT_GE(s.codes[i].length, 1);
    ASSERT_LE(s.codes[i].length, 16);
    kraft += 1.0 / static_cast<double>(1u << s.codes[i].length);
  }
  EXPECT_LE(kraft, 1.0);
}

// Program-like bytes: words from a small vocabulary, numbers and zero padding.
std::vector<std::uint8_t> ProgramLike(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> out;
  const char* words[] = {"GetProcAddress", "\x8B\x45\x08",     "\x89\xE5\x55", "Orvala",
                         "\xC3",           "\x00\x00\x00\x00", "\xE8",         "\xFF\x15",
                         "kernel32.dll",   "TfrmMain"};
  while (out.size() < size) {
    const unsigned pick = rng() % 14;
    if (pick < 10) {
      const char* w = words[pick];
      const std::size_t len = pick == 5 ? 4 : std::char_traits<char>::length(w);
      out.insert(out.end(), w, w + len);
    } else {
      out.push_back(static_cast<std::uint8_t>(rng()));
    }
  }
  out.resize(size);
  return out;
}

TEST(PackPart, RoundTripsSmallAndDegenerateInputs) {
  ExpectRoundTrip({});
  ExpectRoundTrip({0x00});
  ExpectRoundTrip({0xFF});
  ExpectRoundTrip({0x80, 0x80});
  ExpectRoundTrip(std::vector<std::uint8_t>(3, 0x41));
  ExpectRoundTrip(std::vector<std::uint8_t>(100'000, 0x00));
  ExpectRoundTrip(std::vector<std::uint8_t>(5'000, 0xFF));
  std::vector<std::uint8_t> all(256);
  std::iota(all.begin(), all.end(), 0);
  ExpectRoundTrip(all);
}

TEST(PackPart, RoundTripsRandomAndRepetitiveData) {
  std::mt19937 rng(7);
  for (std::size_t size : {1u, 2u, 129u, 4095u, 4096u, 4097u, 70'000u}) {
    std::vector<std::uint8_t> data(size);
    for (auto& b : data) {
      b = static_cast<std::uint8_t>(rng());
    }
    ExpectRoundTrip(data);
    // Few byte values: long runs and references of every length and distance.
    for (auto& b : data) {
      b = static_cast<std::uint8_t>(rng() % 3);
    }
    ExpectRoundTrip(data);
  }
}

TEST(PackPart, RoundTripsAWholeMainProgramPart) {
  const std::vector<std::uint8_t> data = ProgramLike(kPojemnoscProgramuGlownego, 11);
  const std::vector<std::uint8_t> part = PackPart(data);
  EXPECT_LT(part.size(), data.size() / 2);  // the data is very redundant
  UnpackPart(part, kPojemnoscProgramuGlownego);
  const TStanDekodera& s = DecoderState();
  ASSERT_EQ(s.error, TBladDekodera::None);
  ASSERT_EQ(s.produced, data.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), s.a.begin()));
  // One byte over the capacity is refused.
  EXPECT_FALSE(UnpackPart(part, kPojemnoscProgramuGlownego - 1));
  EXPECT_EQ(DecoderState().error, TBladDekodera::OutputOverCapacity);
}

TEST(LimitedCodeLengths, KeepsSkewedCodesWithinSixteenBits) {
  // Fibonacci frequencies would need codes of up to 39 bits without the limit.
  std::vector<std::uint64_t> freq(40);
  freq[0] = freq[1] = 1;
  for (std::size_t i = 2; i < freq.size(); ++i) {
    freq[i] = freq[i - 1] + freq[i - 2];
  }
  const auto lengths = LimitedCodeLengths(freq, 16);
  double kraft = 0;
  for (const auto len : lengths) {
    ASSERT_GE(len, 1);
    ASSERT_LE(len, 16);
    kraft += 1.0 / static_cast<double>(1u << len);
  }
  EXPECT_DOUBLE_EQ(kraft, 1.0);
  // A more frequent symbol never gets a longer code.
  EXPECT_TRUE(std::is_sorted(lengths.rbegin(), lengths.rend()));
}

TEST(LimitedCodeLengths, GivesTwoSymbolsForOneOrNone) {
  std::vector<std::uint64_t> freq(256, 0);
  auto lengths = LimitedCodeLengths(freq, 16);
  EXPECT_EQ(std::count(lengths.begin(), lengths.end(), 1), 2);
  freq[0x41] = 10;
  lengths = LimitedCodeLengths(freq, 16);
  EXPECT_EQ(lengths[0x41], 1);
  EXPECT_EQ(std::count(lengths.begin(), lengths.end(), 1), 2);
  // Equal frequencies give a complete code of equal lengths.
  std::fill(freq.begin(), freq.end(), 5);
  lengths = LimitedCodeLengths(freq, 16);
  EXPECT_TRUE(std::all_of(lengths.begin(), lengths.end(), [](auto l) { return l == 8; }));
}

}  // namespace
}  // namespace orvala
