// Files that another program holds while the run wants to move them aside or replace them.
//
// Reinstalling while the translator or a dictionary is open is what users do: its files cannot
// be renamed, replaced or deleted until it closes. The run then asks the user (text 314 with
// the file's path) and waits: Yes tries the same file again, No ends the installation as a
// confirmed cancel does.
#pragma once

#include <functional>
#include <string>

#include "engine/untBledy.h"
#include "platform/untPlatforma.h"

namespace orvala {

// Asks about the file `path` that another program holds: true to try again.
using TPytanieOPlik = std::function<bool(const std::string& path)>;

// Calls `attempt` (an operation on `path` whose result, a TWynik or TWynikPliku, tells success
// and the reason of a failure) until it succeeds or fails for another reason than the file
// being in use, and returns its last result. While the file is in use, `ask` decides: Yes
// tries again, No raises EPrzerwanieInstalacji. Without `ask`, the first result is the result.
template <typename F>
auto RetryWhileInUse(const TPytanieOPlik& ask, const std::string& path, F&& attempt) {
  for (;;) {
    auto result = attempt();
    if (!ask || !result.InUse()) {
      return result;
    }
    if (!ask(path)) {
      throw EPrzerwanieInstalacji("in use: " + path);
    }
  }
}

}  // namespace orvala
