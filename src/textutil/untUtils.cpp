// 8-bit text operations: case by the Windows-1250 table, the storage form of Russian texts,
// character sets, and the decimal reader.
#include "textutil/untUtils.h"

#include <charconv>
#include <system_error>

namespace orvala {

std::string UpperText1250(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = static_cast<char>(UpperChar1250(static_cast<std::uint8_t>(c)));
  }
  return out;
}

std::string LowerText1250(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = static_cast<char>(LowerChar1250(static_cast<std::uint8_t>(c)));
  }
  return out;
}

std::string ConvertFromStorageForm(std::string_view text, LanguageId language) {
  std::string out(text);
  for (char& c : out) {
    c = static_cast<char>(ConvertStorageByte(static_cast<std::uint8_t>(c), language));
  }
  return out;
}

bool FindCharInSet(std::string_view text, int& position, const ByteSet& set) {
  if (position <= 0) {
    return false;
  }
  const auto length = static_cast<long long>(text.size());
  while (position <= length) {
    if (set.Contains(static_cast<std::uint8_t>(text[static_cast<std::size_t>(position - 1)]))) {
      return true;
    }
    ++position;
  }
  return false;
}

bool IsCharInSetAt(const ByteSet& set, std::string_view text, int position) {
  return position >= 1 && static_cast<std::size_t>(position) <= text.size() &&
         set.Contains(static_cast<std::uint8_t>(text[static_cast<std::size_t>(position - 1)]));
}

bool ParseDecimal(std::string_view text, std::uint64_t& value) {
  // from_chars takes no sign and no space for an unsigned type, and refuses what does not fit.
  std::uint64_t n = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, n);
  if (text.empty() || ec != std::errc() || ptr != end) {
    return false;
  }
  value = n;
  return true;
}

}  // namespace orvala
