// The size of the next block of a file copy.
//
// Blocks grow, doubling, from kNajmniejszyBlokKopii up to kNajwiekszyBlokKopii while each one is
// read and written in less than kBlokSzybki milliseconds (a hard disk, the system's cache: fewer
// and larger calls), and shrink, halving, when one takes longer than kBlokWolny ms (a slow CD).
// Close is looked at before every block, so wherever the files come from a press is answered
// within a few tens of milliseconds. The run's clock may tick coarsely (about 16 ms on Windows):
// a block under one tick reads as 0 ms and grows, one of a tick or two stays as it is.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvala {

inline constexpr std::size_t kNajmniejszyBlokKopii = 32'768;
inline constexpr std::size_t kNajwiekszyBlokKopii = 262'144;
inline constexpr std::uint32_t kBlokSzybki = 5;
inline constexpr std::uint32_t kBlokWolny = 33;

class TBlokKopii {
 public:
  std::size_t Size() const { return size_; }
  // The last block of Size() bytes took `ms` milliseconds to read and write.
  void Took(std::uint32_t ms) {
    if (ms < kBlokSzybki && size_ < kNajwiekszyBlokKopii) {
      size_ *= 2;
    } else if (ms > kBlokWolny && size_ > kNajmniejszyBlokKopii) {
      size_ /= 2;
    }
  }

 private:
  std::size_t size_ = kNajmniejszyBlokKopii;
};

}  // namespace orvala
