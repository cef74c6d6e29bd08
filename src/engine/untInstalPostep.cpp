// The gauge scale: a 64-bit byte count onto the gauge's signed 32-bit range.
#include "engine/untInstalPostep.h"

namespace orvala {

TSkalaPostepu::TSkalaPostepu(std::int64_t maximumBytes) {
  std::uint64_t bytes = maximumBytes > 0 ? static_cast<std::uint64_t>(maximumBytes) : 0;
  while ((bytes >> shift_) > kMaksimumWskaznika) {
    ++shift_;
  }
  maximum_ = static_cast<std::uint32_t>(bytes >> shift_);
}

std::uint32_t TSkalaPostepu::Position(std::uint64_t bytesDone) const {
  const std::uint64_t scaled = bytesDone >> shift_;
  return scaled >= maximum_ ? maximum_ : static_cast<std::uint32_t>(scaled);
}

}  // namespace orvala
