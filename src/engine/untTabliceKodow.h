// The code table of a packed part and the decoding tables built from it: the first steps of the
// prefix-code stage (its symbol loops are in untKodyPrefiksowe).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/untStanDekodera.h"

namespace orvala::kody {

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

// Step 1 of the format from data[0..size) into the state's table, sorted stably by length
// (entries of equal length keep ascending byte order, as the exchange sort leaves them);
// `bitPosition` is where the table ended.
TBladDekodera ReadCodeTable(TStanDekodera& s, const std::uint8_t* data, std::size_t size,
                            std::size_t& bitPosition);

// The decoding tables of the state's sorted code table (at least one entry).
void BuildCodeTables(const TStanDekodera& s, TTabliceKodow& t);

}  // namespace orvala::kody
