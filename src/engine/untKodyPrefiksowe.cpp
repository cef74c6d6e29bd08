// The prefix-code stage: the symbol loops over the decoding tables (untTabliceKodow).
//
// It gives exactly the result of walking the sorted code table entry by entry (the first entry
// whose code equals the next bits wins, also for tables whose codes repeat or are prefixes of
// one another), but looks the answer up: a table over the next bits (as many as the longest
// code) gives the symbol and length of the entry the walk would stop at, and a small table over
// the next 13 bits (12 in the 32-bit build) answers directly for the short codes, often with a
// second symbol.
#include "engine/untKodyPrefiksowe.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/untTabliceKodow.h"

namespace orvala::kody {

namespace {

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

// Streams at once: two hide most of a lookup's wait; with three the 32-bit build runs out of
// registers (slower than two), and natively three gain nothing measurable.
constexpr int kOdcinki = 2;
constexpr std::size_t kStartyKodow = 64;  // codes whose start positions a stream keeps
// Fewer symbols: one stream. The stretches already pay from a few thousand on (a part of 16 KB
// of program bytes, about 8,000 symbols, decodes faster), and cost next to nothing below.
constexpr std::size_t kMinSymboliPodzialu = 256;

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

// How many rounds of DecodeStretchesFast's loop (a refill and K lookups on each stream) none of
// the streams can run out of data or room in: a refill with a whole word left moves on at most
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

// The fast loop of DecodeSymbolsFast on all streams at once, while every one has room and a
// whole word before the end of its stretch. Stops, with each stream where it is, when a stream
// meets a bit string that matches no code; gives that stream's index, or -1.
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

}  // namespace

TBladDekodera RunPrefixStage(TStanDekodera& s, std::span<const std::uint8_t> packed) {
  const std::uint8_t* const data = packed.data();
  const std::size_t size = packed.size();
  std::size_t tableBits = 0;
  if (const TBladDekodera e = ReadCodeTable(s, data, size, tableBits); e != TBladDekodera::None) {
    return e;
  }
  // Step 4: skip the rest of a started byte (none when the table ended on a boundary).
  std::size_t pos = (tableBits + 7) / 8;
  if (pos > size || size - pos < 4) {
    return TBladDekodera::LengthTruncated;
  }
  const std::uint32_t n = static_cast<std::uint32_t>(data[pos]) |
                          static_cast<std::uint32_t>(data[pos + 1]) << 8 |
                          static_cast<std::uint32_t>(data[pos + 2]) << 16 |
                          static_cast<std::uint32_t>(data[pos + 3]) << 24;
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
  TStrumienBitow in{data + pos, data + size};
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

}  // namespace orvala::kody
