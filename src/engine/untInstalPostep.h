// The progress gauge of the installation run, on any tree size.
//
// The gauge is an integer control whose range the window system keeps in a signed 32-bit
// integer, while the run counts bytes in 64 bits: a package of 4 GB or more would wrap if the
// byte count were handed over as it stands. TSkalaPostepu maps the byte counts onto the gauge
// with one shared power-of-two scale chosen from the maximum, so that the maximum and every
// position fit in 0..kMaksimumWskaznika and the gauge moves in proportion to the bytes done.
// A position never passes the maximum (the tree may have grown since it was measured).
#pragma once

#include <cstdint>

namespace orvala {

inline constexpr std::uint32_t kMaksimumWskaznika = 0x7FFF'FFFF;

class TSkalaPostepu {
 public:
  TSkalaPostepu() = default;
  // A scale for a gauge whose full range is `maximumBytes` (negative counts as 0).
  explicit TSkalaPostepu(std::int64_t maximumBytes);

  std::uint32_t Maximum() const { return maximum_; }
  // The gauge position for `bytesDone`, in 0..Maximum().
  std::uint32_t Position(std::uint64_t bytesDone) const;
  // How many bits the byte counts are shifted right by.
  unsigned Shift() const { return shift_; }

 private:
  unsigned shift_ = 0;
  std::uint32_t maximum_ = 0;
};

}  // namespace orvala
