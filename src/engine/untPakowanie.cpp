// Packed parts. Divisions:
//  - the working state;
//  - the prefix-code stage: code table, decoding tables, the symbol loop;
//  - the back-reference stage;
//  - unpacking a whole part and appending it to a file;
//  - the main program.
//
// The prefix-code stage gives exactly the result of walking the sorted code table entry by
// entry (the first entry whose code equals the next bits wins, also for tables whose codes
// repeat or are prefixes of one another), but looks the answer up: a table over the next bits
// (as many as the longest code) gives the symbol and length of the entry the walk would stop
// at, and a small table over the next 13 bits (12 in the 32-bit build) answers directly for the
// short codes, often with a second symbol.
#include "engine/untPakowanie.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>

#include "config/untInstalStale.h"
#include "engine/untBledy.h"

namespace orvala {

// --- The working state ---------------------------------------------------------------------

TStanDekodera& DecoderState() {
  static TStanDekodera state;
  return state;
}

namespace {

// Bytes beyond the counted ones that both buffers keep allocated, so that the copy loops may
// move whole 16-byte blocks past the end of a run.
constexpr std::size_t kZapas = 256;

// --- The prefix-code stage -------------------------------------------------------------------

constexpr int kMaxDlugoscKodu = 16;

// The bit buffer of the symbol loop is a machine word: 64 bits natively, 32 bits in the 32-bit
// build, where every 64-bit shift would cost a pair of instructions.
using TSlowo = std::uintptr_t;
constexpr unsigned kBitySlowa = sizeof(TSlowo) * 8;
// Real bits the buffer holds at least after a refill in the middle of the data.
constexpr unsigned kBityPoDoladowaniu = kBitySlowa - 8;
// Bits of the short table. With 64-bit words, 13 bits find a second symbol in about a third of
// the lookups on program bytes, and the table (32 KiB) still stays in the first-level cache; with
// 32-bit words, two lookups of 12 bits are what one refill of 24 bits allows.
constexpr int kBityKrotkie = kBitySlowa == 64 ? 13 : 12;

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

// Step 1 of the format into the state's table, sorted stably by length (entries of equal
// length keep ascending byte order, as the exchange sort leaves them).
TBladDekodera ReadCodeTable(TStanDekodera& s, TCzytnikBitow& bits) {
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
  std::stable_sort(s.codes.begin(), s.codes.begin() + s.codeCount,
                   [](const TKodSymbolu& x, const TKodSymbolu& y) { return x.length < y.length; });
  return s.codeCount < 2 ? TBladDekodera::TooFewSymbols : TBladDekodera::None;
}

// An entry of the full table: the symbol in the low byte, its code's length above; 0 when no
// entry of the code table matches.
constexpr unsigned kPelnaDlugosc = 8;

// What the walk does on each lookahead of `bits` bits (the longest code, at least the short
// table's bits).
struct TTabliceKodow {
  int bits = kBityKrotkie;
  // By the whole lookahead: the symbol and length of the entry the walk stops at (kPelna*).
  std::vector<std::uint16_t> pelna;
  // By the next kBityKrotkie bits, when they alone decide: the first symbol, and a second one
  // when the bits left after the first decide that too; 0 means "look in pelna". Fields: kPole*.
  std::array<std::uint32_t, std::size_t{1} << kBityKrotkie> krotka{};
};

// The bits of both symbols come lowest, so that the symbol loop shifts its buffer by the entry
// as it stands (shift counts are taken modulo the word's width) without first extracting the
// field.
constexpr int kPoleRazem = 0;     // bits of both symbols (5 bits)
constexpr int kPolePierwszy = 8;  // first symbol
constexpr int kPoleDrugi = 16;    // second symbol
constexpr int kPoleDlugosc = 24;  // bits of the first symbol (5 bits)
constexpr int kPoleIle = 29;      // number of symbols, 1 or 2

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

// Bits of the symbol area, most significant first, a word at a time. Past the end of the data
// the lookahead reads as zero bits; `count` says how many of the bits held are real.
struct TStrumienBitow {
  const std::uint8_t* pos;
  const std::uint8_t* end;
  TSlowo buffer = 0;
  unsigned count = 0;

  bool HasWholeWord() const { return static_cast<std::size_t>(end - pos) >= sizeof(TSlowo); }
  // With a whole word left: tops the buffer up to kBityPoDoladowaniu..kBitySlowa-1 real bits in
  // one load. Bits below the real ones are those of the next byte, which the next load puts in
  // the same place again.
  void RefillFast() {
    TSlowo word = 0;
    std::memcpy(&word, pos, sizeof word);
    if constexpr (std::endian::native == std::endian::little) {
      if constexpr (kBitySlowa == 64) {
        word = static_cast<TSlowo>(__builtin_bswap64(word));
      } else {
        word = static_cast<TSlowo>(__builtin_bswap32(static_cast<std::uint32_t>(word)));
      }
    }
    buffer |= word >> count;
    pos += (kBitySlowa - 1 - count) >> 3;
    count |= kBityPoDoladowaniu;
  }
  // Holds at least kBityPoDoladowaniu bits afterwards, unless the data ends first.
  void Refill() {
    if (HasWholeWord()) {
      RefillFast();
      return;
    }
    while (count <= kBityPoDoladowaniu && pos < end) {
      buffer |= TSlowo{*pos++} << (kBityPoDoladowaniu - count);
      count += 8;
    }
  }
  std::uint32_t Peek(int bits) const {
    return static_cast<std::uint32_t>(buffer >> (kBitySlowa - static_cast<unsigned>(bits)));
  }
  void Skip(unsigned bits) {
    buffer <<= bits;
    count -= bits;
  }
  // Bytes of the area not yet taken into the buffer.
  std::size_t BytesLeft() const { return static_cast<std::size_t>(end - pos); }
};

// One symbol at the front of the stream: false when no entry matches. `length` is then the
// longest code, the most bits the walk would have read.
inline bool LookUp(const TStanDekodera& s, const TTabliceKodow& t, const TStrumienBitow& in,
                   std::uint8_t& symbol, unsigned& length) {
  const std::uint32_t direct = t.krotka[in.Peek(kBityKrotkie)];
  if (direct != 0) [[likely]] {
    symbol = static_cast<std::uint8_t>(direct >> kPolePierwszy);
    length = (direct >> kPoleDlugosc) & 31u;
    return true;
  }
  const std::uint16_t e = t.pelna[in.Peek(t.bits)];
  if (e == 0) {
    length = s.codes[static_cast<std::size_t>(s.codeCount - 1)].length;
    return false;
  }
  symbol = static_cast<std::uint8_t>(e);
  length = e >> kPelnaDlugosc;
  return true;
}

// Writes both symbol fields of a short-table entry (the second one is overwritten by the next
// symbol when the entry holds only one), in one store where the byte order allows.
inline void PutSymbols(std::uint8_t* o, std::uint32_t entry) {
  static_assert(kPoleDrugi == kPolePierwszy + 8);
  if constexpr (std::endian::native == std::endian::little) {
    const std::uint16_t both = static_cast<std::uint16_t>(entry >> kPolePierwszy);
    std::memcpy(o, &both, 2);
  } else {
    o[0] = static_cast<std::uint8_t>(entry >> kPolePierwszy);
    o[1] = static_cast<std::uint8_t>(entry >> kPoleDrugi);
  }
}

// The fast loop: K lookups per refill, each taking at most kBityPoDoladowaniu / K bits and
// giving one or two symbols, while a whole word of data remains (so none of them can run past
// the data). The stream is a local copy, which the byte stores cannot alias.
template <int K>
TBladDekodera DecodeSymbolsFast(const TStanDekodera& s, const TTabliceKodow& t,
                                TStrumienBitow& stream, std::uint8_t* out, std::size_t count,
                                std::size_t& done) {
  TStrumienBitow in = stream;
  // Pointers rather than indices, and the K lookups written out one after the other: the
  // 32-bit build has few registers to keep the loop in.
  std::uint8_t* o = out + done;
  std::uint8_t* const oEnd = out + count;
  TBladDekodera e = TBladDekodera::None;
  while (oEnd - o >= 2 * K && in.HasWholeWord()) {
    in.RefillFast();
#pragma GCC unroll 4
    for (int k = 0; k < K; ++k) {
      const std::uint32_t direct = t.krotka[in.Peek(kBityKrotkie)];
      if (direct != 0) [[likely]] {
        PutSymbols(o, direct);
        in.Skip(direct & (kBitySlowa - 1));
        o += direct >> kPoleIle;
        continue;
      }
      unsigned length = 0;
      if (!LookUp(s, t, in, *o, length)) [[unlikely]] {
        e = TBladDekodera::NoMatchingCode;
        break;
      }
      in.Skip(length);
      ++o;
    }
    if (e != TBladDekodera::None) {
      break;
    }
  }
  stream = in;
  done = static_cast<std::size_t>(o - out);
  return e;
}

// The fast loop with as many lookups per refill as the real bits cover, each taking at most
// t.bits.
TBladDekodera DecodeRunFast(const TStanDekodera& s, const TTabliceKodow& t, TStrumienBitow& in,
                            std::uint8_t* out, std::size_t count, std::size_t& done) {
  const unsigned perRefill = kBityPoDoladowaniu / static_cast<unsigned>(t.bits);
  if constexpr (kBitySlowa == 64) {
    return perRefill >= 4 ? DecodeSymbolsFast<4>(s, t, in, out, count, done)
                          : DecodeSymbolsFast<3>(s, t, in, out, count, done);
  } else {
    return perRefill >= 2 ? DecodeSymbolsFast<2>(s, t, in, out, count, done)
                          : DecodeSymbolsFast<1>(s, t, in, out, count, done);
  }
}

// One symbol with every check, near the end of the data.
inline TBladDekodera DecodeOne(const TStanDekodera& s, const TTabliceKodow& t, TStrumienBitow& in,
                               std::uint8_t& symbol) {
  in.Refill();
  unsigned length = 0;
  const bool matched = LookUp(s, t, in, symbol, length);
  // The walk tests entries in length order with the real bits; it runs out of data before
  // it fails to match when the entry it would need next is longer than what is left.
  if (length > in.count) {
    return TBladDekodera::CodeTruncated;
  }
  if (!matched) {
    return TBladDekodera::NoMatchingCode;
  }
  in.Skip(length);
  return TBladDekodera::None;
}

// --- Several stretches at once ---
//
// Each lookup waits for the one before it (its bits start where the previous code ended), so
// one stream of codes keeps the processor mostly waiting. A long symbol area is therefore cut
// into kOdcinki stretches at byte boundaries, and each stretch is decoded by a stream of its
// own, all of them in one loop, as if a code started at the stretch's first bit; the first
// stream writes into the output, the others into buffers of their own. A prefix code falls
// back in step within a few symbols, wherever it is entered: once a stream, going on past the
// end of its stretch, starts a code exactly where the next stream started one, every symbol
// the next stream decoded from there on is the one the stream itself would decode, for a
// lookup depends on nothing but the bits from where it starts. The output is then the first
// stream's symbols, followed by each next stream's from where the one before met it. Where a
// stream does not meet the next within that one's first kStartyKodow codes, or where a stream
// read a bit string that matches no code, the symbols so far are kept and decoding goes on
// from there with one stream and every check, so the outcome is the one-stream decoding's.

constexpr int kOdcinki = 2;                         // streams at once (the registers they need)
constexpr std::size_t kStartyKodow = 64;            // codes whose start positions a stream keeps
constexpr std::size_t kMinSymboliPodzialu = 16384;  // fewer symbols: one stream is enough

// One stretch's stream and what it found.
struct TOdcinek {
  TStrumienBitow in;
  std::uint8_t* begin;  // its first symbol
  std::uint8_t* o;      // its next symbol
  std::uint8_t* end;    // the end of its room
  // The start positions (bits from the area's start) of its first codes.
  std::array<std::size_t, kStartyKodow> starts;
  std::size_t recorded;
  bool failed;  // it read a bit string that matches no code, where `in` stands
  bool met;     // it started a code where the next stream started its code number `meetAt`
  std::size_t meetAt;
};

// The position of the next unread bit, from `area`.
inline std::size_t BitPosition(const TStrumienBitow& in, const std::uint8_t* area) {
  return static_cast<std::size_t>(in.pos - area) * 8 - in.count;
}

// One symbol of a stream that the short table does not decide; false (the stream untouched)
// when no code matches. The stream holds at least t.bits real bits.
inline bool StepLong(const TStanDekodera& s, const TTabliceKodow& t, TStrumienBitow& in,
                     std::uint8_t*& o) {
  unsigned length = 0;
  if (!LookUp(s, t, in, *o, length)) {
    return false;
  }
  in.Skip(length);
  ++o;
  return true;
}

// The fast loop of DecodeSymbolsFast on all streams at once, while every one has room and a
// whole word before the end of its stretch. Stops, with each stream where it is, when a stream
// meets a bit string that matches no code; gives that stream's index, or -1.
// How many rounds of the loop below (a refill and K lookups on each stream) none of the
// streams can run out of data or room in: a refill with a whole word left moves on at most
// kBitySlowa / 8 - 1 bytes, and a round writes at most 2K symbols.
template <int K>
std::size_t SafeRounds(const std::array<TStrumienBitow, kOdcinki>& in,
                       const std::array<std::uint8_t*, kOdcinki>& o,
                       const std::array<std::uint8_t*, kOdcinki>& end) {
  constexpr std::size_t kKrok = kBitySlowa / 8 - 1;
  std::size_t rounds = SIZE_MAX;
#pragma GCC unroll 4
  for (int i = 0; i < kOdcinki; ++i) {
    const std::size_t bytes = in[i].BytesLeft();
    const std::size_t room = static_cast<std::size_t>(end[i] - o[i]);
    if (bytes < sizeof(TSlowo) || room < 2 * K) {
      return 0;
    }
    // The last round needs a whole word before it and room for 2K symbols.
    rounds =
        std::min(rounds, std::min((bytes - sizeof(TSlowo)) / kKrok, (room - 2 * K) / (2 * K)) + 1);
  }
  return rounds;
}

template <int K>
int DecodeStretchesFast(const TStanDekodera& s, const TTabliceKodow& t,
                        std::array<TOdcinek, kOdcinki>& stretches) {
  // Local copies, every loop over the streams written out, so that the streams can live in
  // registers.
  std::array<TStrumienBitow, kOdcinki> in;
  std::array<std::uint8_t*, kOdcinki> o;
  std::array<std::uint8_t*, kOdcinki> end;
#pragma GCC unroll 4
  for (int i = 0; i < kOdcinki; ++i) {
    in[i] = stretches[i].in;
    o[i] = stretches[i].o;
    end[i] = stretches[i].end;
  }
  int failed = -1;
  for (std::size_t rounds = SafeRounds<K>(in, o, end); rounds != 0 && failed < 0;
       rounds = SafeRounds<K>(in, o, end)) {
    for (; rounds != 0; --rounds) {
#pragma GCC unroll 4
      for (int i = 0; i < kOdcinki; ++i) {
        in[i].RefillFast();
      }
#pragma GCC unroll 4
      for (int k = 0; k < K; ++k) {
        std::array<std::uint32_t, kOdcinki> direct;
        bool decided = true;
#pragma GCC unroll 4
        for (int i = 0; i < kOdcinki; ++i) {
          direct[i] = t.krotka[in[i].Peek(kBityKrotkie)];
          decided &= direct[i] != 0;
        }
        if (!decided) [[unlikely]] {
          // One symbol of each, the long way; a failure ends the loop before its lookup.
#pragma GCC unroll 4
          for (int i = 0; i < kOdcinki; ++i) {
            if (failed < 0 && !StepLong(s, t, in[i], o[i])) {
              failed = i;
            }
          }
          if (failed >= 0) {
            goto done;
          }
          continue;
        }
#pragma GCC unroll 4
        for (int i = 0; i < kOdcinki; ++i) {
          PutSymbols(o[i], direct[i]);
          in[i].Skip(direct[i] & (kBitySlowa - 1));
          o[i] += direct[i] >> kPoleIle;
        }
      }
    }
  }
done:
#pragma GCC unroll 4
  for (int i = 0; i < kOdcinki; ++i) {
    stretches[i].in = in[i];
    stretches[i].o = o[i];
  }
  return failed;
}

int DecodeStretchesRun(const TStanDekodera& s, const TTabliceKodow& t,
                       std::array<TOdcinek, kOdcinki>& stretches) {
  const unsigned perRefill = kBityPoDoladowaniu / static_cast<unsigned>(t.bits);
  if constexpr (kBitySlowa == 64) {
    return perRefill >= 4 ? DecodeStretchesFast<4>(s, t, stretches)
                          : DecodeStretchesFast<3>(s, t, stretches);
  } else {
    return perRefill >= 2 ? DecodeStretchesFast<2>(s, t, stretches)
                          : DecodeStretchesFast<1>(s, t, stretches);
  }
}

// Decodes from the start of `in` (no bit taken yet) into out[0..done) by kOdcinki streams as
// above, leaving `in` where the symbol out[done - 1] ended. A failure it returns is the one the
// one-stream decoding meets first; otherwise the caller goes on from `done`, which may be
// anything up to `count`.
TBladDekodera DecodeStretches(const TStanDekodera& s, const TTabliceKodow& t, TStrumienBitow& in,
                              std::uint8_t* out, std::size_t count, std::size_t& done) {
  const std::uint8_t* const area = in.pos;
  const std::uint8_t* const areaEnd = in.end;
  const std::size_t size = static_cast<std::size_t>(areaEnd - area);
  // The other streams' symbols: none of them can use more than `count`.
  static std::vector<std::uint8_t> spare;
  if (spare.size() < count * (kOdcinki - 1)) {
    spare.resize(count * (kOdcinki - 1));
  }
  std::array<TOdcinek, kOdcinki> st{};
  for (int i = 0; i < kOdcinki; ++i) {
    TOdcinek& x = st[static_cast<std::size_t>(i)];
    // Each stream reads only up to the next stretch until it looks for the next stream: its
    // fast loops stop a word before that, so its bit position stays at most that of the next
    // stream's first code.
    x.in = TStrumienBitow{area + size * static_cast<std::size_t>(i) / kOdcinki,
                          area + size * static_cast<std::size_t>(i + 1) / kOdcinki};
    x.begin = i == 0 ? out : spare.data() + count * static_cast<std::size_t>(i - 1);
    x.o = x.begin;
    x.end = x.begin + count;
    if (i == 0) {
      continue;
    }
    // The start positions of its first codes, one code at a time. With a whole word left, a
    // refill holds at least kBityPoDoladowaniu >= t.bits real bits, so the lookup sees only
    // real bits.
    while (x.recorded < kStartyKodow && x.in.HasWholeWord()) {
      x.in.RefillFast();
      x.starts[x.recorded] = BitPosition(x.in, area);
      if (!StepLong(s, t, x.in, x.o)) {
        x.failed = true;
        break;
      }
      ++x.recorded;
    }
  }
  bool together = true;
  for (const TOdcinek& x : st) {
    together &= !x.failed;
  }
  if (together) {
    if (const int failed = DecodeStretchesRun(s, t, st); failed > 0) {
      st[static_cast<std::size_t>(failed)].failed = true;
    }
  }
  // Each stream to the end of its stretch by itself, then on, one code at a time and with the
  // whole area to read, until it starts a code where the next stream started one, passes the
  // last one recorded, has all its room, or fails. The first stream's failures are the
  // decoding's own; it stops at `count` symbols.
  for (std::size_t i = 0; i < st.size(); ++i) {
    TOdcinek& x = st[i];
    if (x.failed) {
      continue;
    }
    std::size_t n = static_cast<std::size_t>(x.o - x.begin);
    const TBladDekodera e = DecodeRunFast(s, t, x.in, x.begin, count, n);
    x.o = x.begin + n;
    x.in.end = areaEnd;
    if (e != TBladDekodera::None) {
      if (i == 0) {
        in = x.in;
        done = n;
        return e;
      }
      x.failed = true;
      continue;
    }
    if (i + 1 == st.size()) {
      continue;
    }
    const TOdcinek& next = st[i + 1];
    std::size_t j = 0;
    while (x.o < x.end) {
      const std::size_t position = BitPosition(x.in, area);
      while (j < next.recorded && next.starts[j] < position) {
        ++j;
      }
      if (j == next.recorded) {
        break;
      }
      if (next.starts[j] == position) {
        x.met = true;
        x.meetAt = j;
        break;
      }
      if (const TBladDekodera e1 = DecodeOne(s, t, x.in, *x.o); e1 != TBladDekodera::None) {
        if (i == 0) {
          in = x.in;
          done = static_cast<std::size_t>(x.o - x.begin);
          return e1;
        }
        x.failed = true;
        break;
      }
      ++x.o;
    }
  }
  // The first stream's symbols, then each next stream's from where the one before met it.
  std::size_t total = static_cast<std::size_t>(st[0].o - st[0].begin);
  TStrumienBitow at = st[0].in;
  for (std::size_t i = 1; i < st.size() && st[i - 1].met; ++i) {
    const TOdcinek& x = st[i];
    const std::size_t more = static_cast<std::size_t>(x.o - x.begin) - st[i - 1].meetAt;
    if (more > count - total) {
      // More than the part has: where the last one needed ends is not known, so decoding goes
      // on from where the stream before met this one.
      break;
    }
    std::memcpy(out + total, x.begin + st[i - 1].meetAt, more);
    total += more;
    at = x.in;
  }
  done = total;
  in = at;
  in.end = areaEnd;
  return TBladDekodera::None;
}

// Decodes `count` symbols into `out`.
TBladDekodera DecodeSymbols(const TStanDekodera& s, const TTabliceKodow& t, TStrumienBitow& in,
                            std::uint8_t* out, std::size_t count) {
  std::size_t i = 0;
  if (count >= kMinSymboliPodzialu) {
    if (const TBladDekodera e = DecodeStretches(s, t, in, out, count, i);
        e != TBladDekodera::None) {
      return e;
    }
  }
  if (const TBladDekodera e = DecodeRunFast(s, t, in, out, count, i); e != TBladDekodera::None) {
    return e;
  }
  for (; i < count; ++i) {
    if (const TBladDekodera e = DecodeOne(s, t, in, out[i]); e != TBladDekodera::None) {
      return e;
    }
  }
  return TBladDekodera::None;
}

TBladDekodera RunPrefixStage(TStanDekodera& s) {
  const std::size_t size = std::min(s.aCount, s.a.size());
  TCzytnikBitow bits(s.a.data(), size);
  if (const TBladDekodera e = ReadCodeTable(s, bits); e != TBladDekodera::None) {
    return e;
  }
  // Step 4: skip the rest of a started byte (none when the table ended on a boundary).
  std::size_t pos = (bits.BitPosition() + 7) / 8;
  if (pos > size || size - pos < 4) {
    return TBladDekodera::LengthTruncated;
  }
  const std::uint32_t n = static_cast<std::uint32_t>(s.a[pos]) |
                          static_cast<std::uint32_t>(s.a[pos + 1]) << 8 |
                          static_cast<std::uint32_t>(s.a[pos + 2]) << 16 |
                          static_cast<std::uint32_t>(s.a[pos + 3]) << 24;
  pos += 4;
  // Every symbol takes at least the shortest code's bits, so no more than this many can be
  // decoded; a larger N fails on the way (CodeTruncated) and never sizes B beyond the data.
  const std::size_t areaBits = (size - pos) * 8;
  const std::size_t possible = areaBits / s.codes[0].length;
  const std::size_t room = std::min<std::size_t>(n, possible);
  if (s.b.size() < room + kZapas) {
    s.b.resize(room + kZapas);
  }
  // Kept from part to part: a fresh 128 KiB table each time would cost a mapping and its page
  // faults. The working state is not re-entrant, and neither are these tables.
  static TTabliceKodow tables;
  BuildCodeTables(s, tables);
  TStrumienBitow in{s.a.data() + pos, s.a.data() + size};
  TBladDekodera e = DecodeSymbols(s, tables, in, s.b.data(), room);
  if (e == TBladDekodera::None && room < n) {
    e = TBladDekodera::CodeTruncated;
  }
  // The bit reader where the symbols ended.
  const std::size_t used = (size - pos - in.BytesLeft()) * 8 - in.count;
  s.bytePos = pos + used / 8;
  s.bitsLeft = 8 - static_cast<int>(used % 8);
  if (e == TBladDekodera::None) {
    s.bCount = n;
  }
  return e;
}

// --- The back-reference stage ----------------------------------------------------------------

constexpr std::size_t kNajdluzszaSeria = 128;  // literal run of control byte 0xFF

// Copies `k` literal bytes in whole 16-byte blocks: both buffers keep kZapas bytes beyond their
// counts.
inline void CopyLiterals(std::uint8_t* to, const std::uint8_t* from, std::size_t k) {
  for (std::size_t done = 0; done < k; done += 16) {
    std::memcpy(to + done, from + done, 16);
  }
}

// Appends a reference's bytes (3..10) from `distance` bytes back, as if byte by byte. It writes
// up to 16 bytes: those past the reference's length fall in room the callers keep (the slack of
// kZapas beyond the capacity) and are overwritten by the next item, if there is one.
inline void CopyReference(std::uint8_t* to, std::size_t distance) {
  const std::uint8_t* from = to - distance;
  if (distance >= 8) {
    // Blocks no longer than the distance read only bytes that are already final.
    std::memcpy(to, from, 8);
    std::memcpy(to + 8, from + 8, 8);
  } else if (distance == 1) {
    std::memset(to, from[0], 16);
  } else {
    // Always as many bytes as the longest reference, so that the loop does not hinge on the
    // length.
#pragma GCC unroll 10
    for (std::size_t i = 0; i < 10; ++i) {
      to[i] = from[i];
    }
  }
}

TBladDekodera RunBackrefStage(TStanDekodera& s) {
  const std::size_t n = std::min(s.bCount, s.b.size());
  // A two-byte item yields at most 10 bytes, so the output never needs more than 5 bytes per
  // item byte, whatever capacity the caller allows.
  const std::size_t capacity = std::min(s.aCapacity, n * 5);
  if (s.a.size() < capacity + kZapas) {
    s.a.resize(capacity + kZapas);
  }
  if (s.b.size() < n + kZapas) {
    s.b.resize(n + kZapas);
  }
  const std::uint8_t* in = s.b.data();
  std::uint8_t* out = s.a.data();
  // While any item fits in what is left of both buffers (a control byte and up to 128 bytes
  // after it in B: ip < ipLimit; up to 128 bytes of output in A: op <= opLimit), only a
  // reference's distance needs checking. Pointers, and the limits worked out once: the 32-bit
  // build has few registers for the loop.
  const bool room = n > kNajdluzszaSeria + 1 && capacity >= kNajdluzszaSeria;
  const std::uint8_t* const ipLimit = in + (room ? n - kNajdluzszaSeria - 1 : 0);
  std::uint8_t* const opLimit = out + (room ? capacity - kNajdluzszaSeria : 0);
  const std::uint8_t* p = in;
  std::uint8_t* q = out;
  while (p < ipLimit && q <= opLimit) {
    const std::uint8_t c = *p++;
    if (c >= 0x80) {
      const std::size_t k = (c & 0x7Fu) + 1;
      CopyLiterals(q, p, k);
      p += k;
      q += k;
      continue;
    }
    const std::size_t distance = (std::size_t{c} & 0x0F) << 8 | *p++;
    const std::size_t length = ((c >> 4) & 7u) + 3;
    if (distance - 1 >= static_cast<std::size_t>(q - out)) [[unlikely]] {
      // distance - 1 wraps for a distance of 0: one comparison refuses 0 and before the start.
      return TBladDekodera::ReferenceBeforeStart;
    }
    CopyReference(q, distance);
    q += length;
  }
  std::size_t ip = static_cast<std::size_t>(p - in);
  std::size_t op = static_cast<std::size_t>(q - out);
  // The rest, with every check.
  while (ip < n) {
    const std::uint8_t c = in[ip++];
    if (c >= 0x80) {
      const std::size_t k = (c & 0x7Fu) + 1;
      if (k > n - ip) {
        return TBladDekodera::LiteralTruncated;
      }
      if (k > capacity - op) {
        return TBladDekodera::OutputOverCapacity;
      }
      CopyLiterals(out + op, in + ip, k);
      ip += k;
      op += k;
      continue;
    }
    if (ip >= n) {
      return TBladDekodera::ReferenceTruncated;
    }
    const std::size_t distance = (std::size_t{c} & 0x0F) << 8 | in[ip++];
    const std::size_t length = ((c >> 4) & 7u) + 3;
    if (distance == 0 || distance > op) {
      return TBladDekodera::ReferenceBeforeStart;
    }
    if (length > capacity - op) {
      return TBladDekodera::OutputOverCapacity;
    }
    CopyReference(out + op, distance);
    op += length;
  }
  s.produced = op;
  return TBladDekodera::None;
}

}  // namespace

void DecodePrefixStage() {
  TStanDekodera& s = DecoderState();
  if (s.status != 0) {
    return;
  }
  s.bCount = 0;
  s.bytePos = 0;
  s.bitsLeft = 8;
  s.error = RunPrefixStage(s);
}

void DecodeBackrefStage() {
  TStanDekodera& s = DecoderState();
  if (s.status != 0) {
    return;
  }
  s.produced = 0;
  // A part the prefix-code stage refused stays refused.
  if (s.error != TBladDekodera::None) {
    return;
  }
  s.error = RunBackrefStage(s);
  if (s.error != TBladDekodera::None) {
    s.produced = 0;
  }
}

// --- Unpacking a whole part --------------------------------------------------------------------

std::string_view DecoderErrorText(TBladDekodera error) {
  switch (error) {
    case TBladDekodera::None:
      return "";
    case TBladDekodera::TableTruncated:
      return "the data ends inside the code table";
    case TBladDekodera::TooFewSymbols:
      return "the code table holds fewer than two symbols";
    case TBladDekodera::LengthTruncated:
      return "the data ends inside the item count";
    case TBladDekodera::CodeTruncated:
      return "the data ends inside a symbol's code";
    case TBladDekodera::NoMatchingCode:
      return "a bit string matches no code of the table";
    case TBladDekodera::LiteralTruncated:
      return "a literal run reaches past the end of the items";
    case TBladDekodera::ReferenceTruncated:
      return "the items end inside a back-reference";
    case TBladDekodera::ReferenceBeforeStart:
      return "a back-reference reaches before the start of the output";
    case TBladDekodera::OutputOverCapacity:
      return "the part unpacks to more than the output capacity";
  }
  return "unknown decoder error";
}

bool UnpackPart(std::span<const std::uint8_t> part, std::size_t capacity) {
  TStanDekodera& s = DecoderState();
  s.status = 0;
  s.error = TBladDekodera::None;
  // Buffer A keeps its size from part to part (only aCount bytes count as the part): shrinking
  // it to the part would make the back-reference stage fill the rest with zeros again.
  if (s.a.size() < part.size()) {
    s.a.resize(part.size());
  }
  std::copy(part.begin(), part.end(), s.a.begin());
  s.aCount = part.size();
  DecodePrefixStage();
  s.aCapacity = capacity;
  DecodeBackrefStage();
  return s.error == TBladDekodera::None;
}

bool AppendPart(const std::string& resourceName, std::size_t capacity,
                platform::TPlikPlatformy& out) {
  TStanDekodera& s = DecoderState();
  std::vector<std::uint8_t> part;
  if (resourceName.empty() || !platform::Platform().LoadResource(resourceName, part)) {
    return false;
  }
  if (!UnpackPart(part, capacity)) {
    return false;
  }
  std::size_t written = 0;
  return out.Write(s.a.data(), s.produced, written) && written == s.produced;
}

bool ExtractPartTo(const std::string& resourceName, platform::TPlikPlatformy& out) {
  return AppendPart(resourceName, kPojemnoscWersjiSpecjalnej, out);
}

// --- The main program ------------------------------------------------------------------------

std::string BuildMainProgram(const std::string& targetDirectory) {
  const TOpisEdycji& edition = ActiveEditionDescriptor();
  const std::string path = targetDirectory + "\\" + std::string(edition.mainProgramFile);
  std::unique_ptr<platform::TPlikPlatformy> file = platform::Platform().CreateWrite(path);
  if (!file) {
    throw EInOutError("cannot create " + path);
  }
  for (std::size_t column = 0; column < edition.mainProgramResources.size(); ++column) {
    const std::string name(edition.mainProgramResources[column]);
    if (column > 0 && name.empty()) {
      continue;
    }
    try {
      AppendPart(name, kPojemnoscProgramuGlownego, *file);
    } catch (const std::exception&) {
      // A part that cannot be had is skipped; the next one is still written.
    }
  }
  if (!file->Close()) {
    throw EInOutError("cannot close " + path);
  }
  return path;
}

}  // namespace orvala
