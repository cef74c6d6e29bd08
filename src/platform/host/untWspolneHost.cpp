// What the two host stand-ins share: listing order and navigation entries, drive letters, and
// the record of a shell link.
#include "platform/host/untWspolneHost.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"

namespace orvala::platform::host {

TWideString FoldedKey(const TSciezkaWin& path) {
  TWideString key(1, static_cast<char16_t>(path.drive));
  for (const TWideString& name : path.names) {
    key += u'\\';
    for (const char16_t c : name) {
      key += FoldChar(c);
    }
  }
  return key;
}

void FinishListing(std::vector<TWpisKatalogu> found, bool root,
                   std::vector<TWpisKatalogu>& entries) {
  std::sort(found.begin(), found.end(), [](const TWpisKatalogu& a, const TWpisKatalogu& b) {
    return LowerText1250(a.name) < LowerText1250(b.name);
  });
  entries.clear();
  if (!root) {
    entries.push_back({".", kAttrDirectory, 0});
    entries.push_back({"..", kAttrDirectory, 0});
  }
  entries.insert(entries.end(), std::make_move_iterator(found.begin()),
                 std::make_move_iterator(found.end()));
}

std::optional<char> RootLetter(const std::string& root) {
  if ((root.size() != 2 && root.size() != 3) || root[1] != ':' ||
      (root.size() == 3 && root[2] != '\\')) {
    return std::nullopt;
  }
  return static_cast<char>(UpperChar1250(static_cast<std::uint8_t>(root[0])));
}

std::optional<char> FolderDriveLetter(const std::string& folder) {
  if (folder.empty()) {
    return 'C';
  }
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(folder[0])));
  if (folder.size() < 2 || folder[1] != ':' || letter < 'A' || letter > 'Z') {
    return std::nullopt;
  }
  return letter;
}

std::string ShellLinkText(const std::string& target, const std::string& workingDirectory,
                          const TWideString& description) {
  return "[ShellLink]\ntarget=" + target + "\nworkingDirectory=" + workingDirectory +
         "\ndescription=" + Utf16ToUtf8(description) + '\n';
}

void RecordLink(std::vector<TSkrotHost>& links, TSkrotHost link) {
  const std::optional<TSciezkaWin> p = ParseWidePath(link.linkPath);
  const TWideString key = p ? FoldedKey(*p) : TWideString();
  links.erase(std::remove_if(links.begin(), links.end(),
                             [&](const TSkrotHost& l) {
                               const auto q = ParseWidePath(l.linkPath);
                               return q && FoldedKey(*q) == key;
                             }),
              links.end());
  links.push_back(std::move(link));
}

}  // namespace orvala::platform::host
