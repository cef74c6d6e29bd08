#include "untObrazCD.h"

#include <array>
#include <charconv>
#include <ctime>
#include <fstream>
#include <system_error>

#include "textutil/untKodowanie.h"

namespace orvala::narzedzie {

namespace {

namespace fs = std::filesystem;

// The root names the image supplies or leaves out, compared without regard to ASCII case (the
// Windows reading of a CD).
constexpr std::array<std::string_view, 4> kNazwyZastepowane = {"instalator.exe", "autorun.inf",
                                                               ".windows-label", ".windows-serial"};

bool SameAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

// The shortest UTF-8 sequence for a code point: a longer one is malformed.
std::size_t Utf8Length(char32_t u) {
  return u < 0x80 ? 1 : u < 0x800 ? 2 : u < 0x10000 ? 3 : 4;
}

std::string ReadLabelFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  std::getline(in, line);
  return line;
}

// "YYYYMMDDhhmmss00", the volume time format of ECMA-119, in UTC.
std::string VolumeTime(std::int64_t time) {
  const std::time_t t = static_cast<std::time_t>(time);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S00", &utc);
  return text;
}

}  // namespace

std::string JolietNameProblem(std::string_view name) {
  std::size_t units = 0;
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t start = pos;
    const char32_t u = DecodeUtf8(name, pos);
    if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF) || Utf8Length(u) != pos - start) {
      return "the name is not valid UTF-8";
    }
    if (u < 0x20 || u == 0x7F ||
        std::u32string_view(U"*/:;?\\").find(u) != std::u32string_view::npos) {
      return "Joliet cannot carry a control character or any of * / : ; ? \\ in a name";
    }
    units += u >= 0x10000 ? 2 : 1;
  }
  if (units > kMaksJednostekNazwyJoliet) {
    return "the name has " + std::to_string(units) + " UTF-16 units, Joliet carries at most " +
           std::to_string(kMaksJednostekNazwyJoliet);
  }
  return {};
}

std::string VolumeLabel(std::string_view text) {
  const std::string_view blanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) {
    return {};
  }
  text = text.substr(first, text.find_last_not_of(blanks) - first + 1);
  if (text.size() > kMaksZnakowEtykiety) {
    return {};
  }
  std::string label;
  for (char c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 32);
    }
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) {
      return {};
    }
    label += c;
  }
  return label;
}

std::string AutorunText(std::string_view label) {
  return "[autorun]\r\nopen=Instalator.exe\r\nicon=Instalator.exe,0\r\nlabel=" +
         std::string(label) + "\r\n";
}

std::string CheckCdTree(const fs::path& root, TDrzewoCD& tree) {
  tree = {};
  std::error_code ec;
  fs::recursive_directory_iterator it(root, fs::directory_options::none, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path& path = it->path();
    const std::string name = path.filename().string();
    if (it.depth() == 0) {
      bool leftOut = false;
      for (std::string_view replaced : kNazwyZastepowane) {
        leftOut = leftOut || SameAsciiNoCase(name, replaced);
      }
      if (leftOut) {
        tree.rootNamesLeftOut.push_back(name);
        std::error_code ignored;
        if (SameAsciiNoCase(name, ".windows-label") && it->is_regular_file(ignored)) {
          tree.labelFileText = ReadLabelFile(path);
        }
        it.disable_recursion_pending();
        continue;
      }
    }
    if (const std::string problem = JolietNameProblem(name); !problem.empty()) {
      return path.string() + ": " + problem;
    }
    const fs::file_status status = it->symlink_status(ec);
    if (ec) {
      break;
    }
    if (fs::is_symlink(status)) {
      return path.string() + ": a link; the image takes files and folders only";
    }
    if (!fs::is_regular_file(status) && !fs::is_directory(status)) {
      return path.string() + ": neither a file nor a folder";
    }
  }
  if (ec) {
    return root.string() + ": cannot read the tree: " + ec.message();
  }
  return {};
}

std::int64_t ImageTime(const char* sourceDateEpoch) {
  constexpr std::int64_t k20260101 = 1'767'225'600;
  if (sourceDateEpoch == nullptr) {
    return k20260101;
  }
  const std::string_view text(sourceDateEpoch);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
    return k20260101;
  }
  return value;
}

std::vector<std::string> XorrisoArguments(const fs::path& root, const TDrzewoCD& tree,
                                          const fs::path& setup, const fs::path& autorun,
                                          const fs::path& out, const std::string& label,
                                          std::int64_t time) {
  // Appended, not "=" + ...: g++ 12 at -O3 warns of an overlap there (-Wrestrict).
  std::string seconds(1, '=');
  seconds.append(std::to_string(time));
  const std::string volumeTime = VolumeTime(time);
  std::vector<std::string> a = {
      // No start-up files, names are UTF-8 whatever the locale, paths taken as they are.
      "-no_rc", "-report_about", "WARNING", "-return_with", "SORRY", "32", "-charset", "UTF-8",
      "-local_charset", "UTF-8", "-iso_rr_pattern", "off", "-disk_pattern", "off", "-outdev",
      "stdio:" + out.string(),
      // What Windows reads: ISO 9660 level 3 and Joliet with names of up to 103 UTF-16 units.
      "-rockridge", "off", "-joliet", "on", "-compliance",
      "iso_9660_level=3:joliet_long_names:joliet_long_paths:joliet_utf16:always_gmt", "-volid",
      label, "-volset_id", label, "-publisher", "", "-application_id", "", "-system_id", "",
      // One fixed time for the volume, every file and folder, and what has no file on disk.
      "-iso_nowtime", seconds, "-volume_date", "c", volumeTime, "-volume_date", "m", volumeTime,
      "-volume_date", "uuid", volumeTime, "-volume_date", "all_file_dates", seconds, "-map",
      root.string(), "/"};
  for (const std::string& name : tree.rootNamesLeftOut) {
    a.insert(a.end(), {"-rm_r", "/" + name, "--"});
  }
  a.insert(a.end(), {"-map", setup.string(), "/Instalator.exe", "-map", autorun.string(),
                     "/autorun.inf", "-commit"});
  return a;
}

}  // namespace orvala::narzedzie
