// The process-wide platform and the scope that installs one.
#include "platform/untPlatforma.h"

#include <cstdio>
#include <cstdlib>

namespace orvala::platform {

namespace {
TPlatforma* gPlatforma = nullptr;
}  // namespace

TPlatforma& Platform() {
  if (gPlatforma == nullptr) {
    std::fputs("orvala: no platform installed\n", stderr);
    std::abort();
  }
  return *gPlatforma;
}

void SetPlatform(TPlatforma* platform) {
  gPlatforma = platform;
}

TZasiegPlatformy::TZasiegPlatformy(TPlatforma& platform) : previous_(gPlatforma) {
  gPlatforma = &platform;
}

TZasiegPlatformy::~TZasiegPlatformy() {
  gPlatforma = previous_;
}

}  // namespace orvala::platform
