// orvala: the release engineer's command-line tool.
#include <cstdio>
#include <string>
#include <vector>

#include "untPolecenia.h"

namespace orvala::narzedzie {

namespace {
std::vector<TPolecenie>& Registry() {
  static std::vector<TPolecenie> commands;
  return commands;
}
}  // namespace

TRejestracjaPolecenia::TRejestracjaPolecenia(const TPolecenie& command) {
  Registry().push_back(command);
}

const std::vector<TPolecenie>& Commands() {
  return Registry();
}

int UsageError(std::string_view message) {
  if (!message.empty()) {
    std::fprintf(stderr, "orvala: %.*s\n", static_cast<int>(message.size()), message.data());
  }
  std::fputs("usage:\n", stderr);
  for (const TPolecenie& c : Commands()) {
    std::fprintf(stderr, "  orvala %.*s\n", static_cast<int>(c.usage.size()), c.usage.data());
  }
  return kWynikUzycie;
}

}  // namespace orvala::narzedzie

int main(int argc, char** argv) {
  using namespace orvala::narzedzie;
  if (argc < 2) {
    return UsageError();
  }
  const std::string name = argv[1];
  for (const TPolecenie& c : Commands()) {
    if (c.name == name) {
      return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
  }
  return UsageError("unknown command: " + name);
}
