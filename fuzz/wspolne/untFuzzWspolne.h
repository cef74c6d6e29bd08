// What every fuzz target shares: a reader over the input, the check that stops a run with a
// reason, and the writing of the target's hand-made seed inputs.
//
// Seeds: started with ORVALA_FUZZ_ZIARNA=<folder> in the environment, a target writes its
// hand-made inputs (one per branch worth reaching) into that folder and exits instead of
// fuzzing; the committed corpus of each target is made that way, plus a minimised long run.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace orvala::fuzz {

using TBajty = std::vector<std::uint8_t>;

// Stops the run with `what` when `ok` is false (libFuzzer then keeps the input).
inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
  }
}

// Reads the input front to back; past the end every read yields zeros or nothing.
class TCzytnik {
 public:
  explicit TCzytnik(std::span<const std::uint8_t> data) : data_(data) {}
  std::uint8_t U8() { return pos_ < data_.size() ? data_[pos_++] : 0; }
  std::uint32_t U16() { return U8() | static_cast<std::uint32_t>(U8()) << 8; }
  std::uint32_t U32() { return U16() | U16() << 16; }
  TBajty Take(std::size_t n) {
    n = std::min(n, data_.size() - pos_);
    TBajty out(data_.begin() + static_cast<std::ptrdiff_t>(pos_),
               data_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
    pos_ += n;
    return out;
  }
  // Bytes up to the next `separator` (dropped) or the end.
  TBajty Until(std::uint8_t separator) {
    const auto begin = data_.begin() + static_cast<std::ptrdiff_t>(pos_);
    const auto end = std::find(begin, data_.end(), separator);
    TBajty out(begin, end);
    pos_ = static_cast<std::size_t>(end - data_.begin()) + (end != data_.end() ? 1 : 0);
    return out;
  }
  TBajty Rest() { return Take(data_.size() - pos_); }
  bool AtEnd() const { return pos_ >= data_.size(); }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

// Appends `value` as `bytes` little-endian bytes.
inline void PutLe(TBajty& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

// The parts one after the other.
inline TBajty Concat(std::initializer_list<TBajty> parts) {
  TBajty out;
  for (const TBajty& p : parts) {
    out.insert(out.end(), p.begin(), p.end());
  }
  return out;
}

// Writes bits most significant first, as packed parts are read.
class TPisarzBitow {
 public:
  explicit TPisarzBitow(TBajty& out) : out_(out) {}
  void Put(std::uint64_t value, int count) {
    acc_ = (acc_ << count) | value;
    bits_ += count;
    while (bits_ >= 8) {
      bits_ -= 8;
      out_.push_back(static_cast<std::uint8_t>(acc_ >> bits_));
    }
  }
  // Fills the current byte with zero bits.
  void Align() {
    if (bits_ != 0) {
      Put(0, 8 - bits_);
    }
  }

 private:
  TBajty& out_;
  std::uint64_t acc_ = 0;
  int bits_ = 0;
};

inline TBajty Bytes(const std::string& text) {
  return TBajty(text.begin(), text.end());
}

using TZiarna = std::vector<std::pair<std::string, TBajty>>;

// With ORVALA_FUZZ_ZIARNA set: writes the seeds into that folder and ends the process.
inline void WriteSeedsIfAsked(TZiarna (*seeds)()) {
  const char* folder = std::getenv("ORVALA_FUZZ_ZIARNA");
  if (folder == nullptr) {
    return;
  }
  for (const auto& [name, data] : seeds()) {
    std::ofstream out(std::string(folder) + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
  }
  std::exit(0);
}

}  // namespace orvala::fuzz
