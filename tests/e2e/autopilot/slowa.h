// The autopilot's texts: UTF-8 and UTF-16, and the words of a scenario line.
#pragma once

#include <string>
#include <vector>

namespace autopilot {

std::wstring FromUtf8(const std::string& s);
std::string ToUtf8(const std::wstring& w);
// The escapes of a quoted scenario word: \r \n \t \" \\. Any other backslash stays as it
// is, so that paths read as they are written ("C:\Program Files").
std::string Unescape(const std::string& s);
// The inverse, for messages: CR, LF, quotes and backslashes escaped.
std::string Escape(const std::string& s);
// Splits a line into words; "quoted text" is one word (unescaped).
std::vector<std::string> Words(const std::string& line);

}  // namespace autopilot
