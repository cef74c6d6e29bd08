// Shared by `orvala pack` and `orvala unpack`: their numeric options and whole-file I/O.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvala::narzedzie {

// A decimal number with no sign or suffix; nullopt for anything else.
inline std::optional<std::uint64_t> ParseCount(const std::string& text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// The arguments of a command: numeric options "--name N" (each name at most once) and the
// rest, in order.
struct TArgumenty {
  std::map<std::string, std::uint64_t, std::less<>> options;
  std::vector<std::string> files;
};

// Splits `args`; `names` are the options the command knows. An empty string when all is well,
// otherwise the message for UsageError.
inline std::string ParseArguments(const std::vector<std::string>& args,
                                  std::initializer_list<std::string_view> names, TArgumenty& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!args[i].starts_with("--")) {
      out.files.push_back(args[i]);
      continue;
    }
    if (std::find(names.begin(), names.end(), args[i]) == names.end()) {
      return "unknown option " + args[i];
    }
    const auto value = i + 1 < args.size() ? ParseCount(args[i + 1]) : std::nullopt;
    if (!value || !out.options.emplace(args[i], *value).second) {
      return "bad value for " + args[i];
    }
    ++i;
  }
  return {};
}

// The value of option `name`, or `fallback` when it was not given.
inline std::uint64_t OptionOr(const TArgumenty& a, std::string_view name, std::uint64_t fallback) {
  const auto found = a.options.find(name);
  return found != a.options.end() ? found->second : fallback;
}

inline bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

inline bool WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  return !out.fail();
}

}  // namespace orvala::narzedzie
