#include "slowa.h"

#include "platform/win32/untWindows.h"

namespace autopilot {

std::wstring FromUtf8(const std::string& s) {
  if (s.empty()) {
    return {};
  }
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string ToUtf8(const std::wstring& w) {
  if (w.empty()) {
    return {};
  }
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
  return s;
}

// The escapes of a quoted scenario word: \r \n \t \" \\. Any other backslash stays as it
// is, so that paths read as they are written ("C:\Program Files").
std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char next = i + 1 < s.size() ? s[i + 1] : '\0';
    if (s[i] == '\\' &&
        (next == 'r' || next == 'n' || next == 't' || next == '"' || next == '\\')) {
      ++i;
      out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (const char c : s) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  return out;
}

// Splits a line into words; "quoted text" is one word (escapes kept for Unescape).
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
      ++i;
    }
    if (i >= line.size()) {
      break;
    }
    std::string word;
    if (line[i] == '"') {
      ++i;
      while (i < line.size() && line[i] != '"') {
        if (line[i] == '\\' && i + 1 < line.size()) {
          word += line[i++];
        }
        word += line[i++];
      }
      ++i;
      words.push_back(Unescape(word));
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        word += line[i++];
      }
      words.push_back(word);
    }
  }
  return words;
}

}  // namespace autopilot
