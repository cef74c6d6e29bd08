// Subcommands of the `orvala` tool. Each cmd_*.cpp defines one and registers it with a static
// TRejestracjaPolecenia; main() dispatches on the first argument.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvala::narzedzie {

// Exit codes shared by all subcommands.
inline constexpr int kWynikOk = 0;
inline constexpr int kWynikBlad = 1;    // the operation failed (a one-line reason on stderr)
inline constexpr int kWynikUzycie = 2;  // unknown or bad arguments (usage on stderr)

struct TPolecenie {
  std::string_view name;
  std::string_view usage;                            // e.g. "texts LANG"
  int (*run)(const std::vector<std::string>& args);  // args after the subcommand name
};

class TRejestracjaPolecenia {
 public:
  explicit TRejestracjaPolecenia(const TPolecenie& command);
};

const std::vector<TPolecenie>& Commands();

// Prints the usage of every subcommand to stderr and returns kWynikUzycie.
int UsageError(std::string_view message = {});

}  // namespace orvala::narzedzie
