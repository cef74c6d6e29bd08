// The build constants, fixed once at start.
#include "config/untStaleApp.h"

namespace orvala {

namespace {
TStaleBudowy gStaleBudowy;
}  // namespace

const TStaleBudowy& BuildConstants() {
  return gStaleBudowy;
}

void SetBuildConstants(const TStaleBudowy& constants) {
  gStaleBudowy = constants;
}

}  // namespace orvala
