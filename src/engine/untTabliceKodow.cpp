// The code table and the decoding tables of the prefix-code stage.
#include "engine/untTabliceKodow.h"

#include <algorithm>

namespace orvala::kody {

namespace {

// Reads single bits of buffer A, most significant first, refusing to pass its end.
class TCzytnikBitow {
 public:
  TCzytnikBitow(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Read(int count, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
      if (bit_ >= size_ * 8) {
        return false;
      }
      value = value << 1 | ((data_[bit_ >> 3] >> (7 - (bit_ & 7))) & 1u);
      ++bit_;
    }
    return true;
  }
  std::size_t BitPosition() const { return bit_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t bit_ = 0;
};

}  // namespace

TBladDekodera ReadCodeTable(TStanDekodera& s, const std::uint8_t* data, std::size_t size,
                            std::size_t& bitPosition) {
  TCzytnikBitow bits(data, size);
  bitPosition = 0;
  s.codeCount = 0;
  for (int v = 0; v < 256; ++v) {
    std::uint32_t present = 0;
    if (!bits.Read(1, present)) {
      return TBladDekodera::TableTruncated;
    }
    if (present == 0) {
      continue;
    }
    std::uint32_t length = 0;
    std::uint32_t code = 0;
    if (!bits.Read(4, length)) {
      return TBladDekodera::TableTruncated;
    }
    if (length == 0) {
      length = kMaxDlugoscKodu;
    }
    if (!bits.Read(static_cast<int>(length), code)) {
      return TBladDekodera::TableTruncated;
    }
    s.codes[static_cast<std::size_t>(s.codeCount++)] = {static_cast<std::uint8_t>(length),
                                                        static_cast<std::uint16_t>(code),
                                                        static_cast<std::uint8_t>(v)};
  }
  bitPosition = bits.BitPosition();
  std::stable_sort(s.codes.begin(), s.codes.begin() + s.codeCount,
                   [](const TKodSymbolu& x, const TKodSymbolu& y) { return x.length < y.length; });
  return s.codeCount < 2 ? TBladDekodera::TooFewSymbols : TBladDekodera::None;
}

void BuildCodeTables(const TStanDekodera& s, TTabliceKodow& t) {
  const int longest = s.codes[static_cast<std::size_t>(s.codeCount - 1)].length;
  t.bits = std::max(longest, kBityKrotkie);
  t.pelna.assign(std::size_t{1} << t.bits, 0);
  // Entries come in length order, so each one's block of lookahead values either lies inside
  // the block of an earlier (shorter or equal) entry, which the walk reaches first, or meets
  // none: the blocks filled are disjoint and cost at most 2^bits.
  for (int j = 0; j < s.codeCount; ++j) {
    const TKodSymbolu& e = s.codes[static_cast<std::size_t>(j)];
    const std::size_t first = std::size_t{e.code} << (t.bits - e.length);
    if (t.pelna[first] != 0) {
      continue;
    }
    const std::size_t count = std::size_t{1} << (t.bits - e.length);
    std::fill_n(t.pelna.begin() + static_cast<std::ptrdiff_t>(first), count,
                static_cast<std::uint16_t>(e.symbol | e.length << kPelnaDlugosc));
  }
  t.krotka.fill(0);
  const int shift = t.bits - kBityKrotkie;
  // The entry the walk stops at for the short value p, when p alone decides it: the full
  // table's entry, or 0.
  auto decided = [&](std::uint32_t p, int available) -> std::uint32_t {
    const std::uint32_t e = t.pelna[std::size_t{p} << shift];
    return static_cast<int>(e >> kPelnaDlugosc) > available ? 0 : e;
  };
  constexpr std::uint32_t kMaska = (1u << kBityKrotkie) - 1;
  for (std::uint32_t p = 0; p < t.krotka.size(); ++p) {
    const std::uint32_t e1 = decided(p, kBityKrotkie);
    if (e1 == 0) {
      continue;
    }
    const std::uint32_t symbol1 = e1 & 0xFFu;
    const std::uint32_t length1 = e1 >> kPelnaDlugosc;
    std::uint32_t entry =
        symbol1 << kPolePierwszy | length1 << kPoleRazem | length1 << kPoleDlugosc | 1u << kPoleIle;
    const std::uint32_t rest = (p << length1) & kMaska;
    if (const std::uint32_t e2 = decided(rest, kBityKrotkie - static_cast<int>(length1))) {
      entry = symbol1 << kPolePierwszy | (e2 & 0xFFu) << kPoleDrugi |
              (length1 + (e2 >> kPelnaDlugosc)) << kPoleRazem | length1 << kPoleDlugosc |
              2u << kPoleIle;
    }
    t.krotka[p] = entry;
  }
}

}  // namespace orvala::kody
