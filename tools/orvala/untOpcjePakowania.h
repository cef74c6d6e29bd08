// Shared by `orvala pack` and `orvala unpack`: their numeric options and whole-file I/O.
#pragma once

#include <charconv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
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
