// Fuzzes the exclusion list (IsNameExcluded, BuildExclusionList, DirectoryTreeSize) and the
// probes of the installation medium on the host side (IsSourceDirectory, the licence files of
// the languages), on the stand-in with its files in memory. Properties:
//  - IsNameExcluded compares names as the file system does (its folding on either side), and
//    finds a name once its item is in the list;
//  - BuildExclusionList starts with the fixed list, holds the running program's own name, and
//    without dictionaries is the list with dictionaries followed by the edition's dictionaries;
//  - DirectoryTreeSize counts every file but the excluded ones;
//  - IsSourceDirectory and the licence probe find exactly the files whose names match, without
//    regard to case.
//
// Input: a flags byte (bit 0 dictionaries installed), an edition byte (signed), then fields cut
// at 0x00 bytes: a name, a list, the running program's path, and up to four file names made on
// the CD drive D: (each file as long as its name).
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/untInstalStale.h"
#include "engine/untSciezki.h"
#include "platform/host/untPlatformaPamieci.h"
#include "textutil/untKodowanie.h"
#include "textutil/untUtils.h"
#include "untFuzzWspolne.h"

namespace {

using orvala::IsNameExcluded;
using orvala::fuzz::Check;

std::string Text(const orvala::fuzz::TBajty& b) {
  return std::string(b.begin(), b.end());
}

// A plain file name: UTF-8 (as paths are), no separator or character Windows refuses, not "."
// or "..".
bool PlainName(const std::string& name) {
  bool utf8 = false;
  orvala::Utf8ToCodePage(name, orvala::TStronaKodowa::Utf8, &utf8);
  if (!utf8 || name.empty() || name == "." || name == ".." || name.size() > 200) {
    return false;
  }
  for (const char c : name) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b < 0x20 || std::string("<>:\"|?*\\/").find(c) != std::string::npos) {
      return false;
    }
  }
  return true;
}

orvala::platform::TPlatformaPamieci& Platform() {
  static orvala::platform::TPlatformaPamieci p;
  static const bool ready = [] {
    p.AddDrive('D', orvala::platform::TTypNapedu::CdRom);
    return true;
  }();
  (void)ready;
  return p;
}

void Names(const std::string& name, const std::string& list) {
  orvala::platform::TPlatforma& os = orvala::platform::Platform();
  const bool found = IsNameExcluded(name, list);
  Check(IsNameExcluded(os.FoldPath(name), list) == found &&
            IsNameExcluded(name, os.FoldPath(list)) == found,
        "IsNameExcluded depends on case");
  Check(IsNameExcluded(name, list + "<" + os.FoldPath(name) + ">") ||
            name.find_first_of("<>") != std::string::npos,
        "a name is not found after its item was added");
}

void Exclusions(int edition, bool dictionaries) {
  const std::string with = orvala::BuildExclusionList(edition, true);
  const std::string without = orvala::BuildExclusionList(edition, false);
  Check(with.rfind("<.><..><umowapol.txt>", 0) == 0,
        "the list does not start with the fixed names");
  Check(without == with + std::string(orvala::EditionDescriptor(edition).dictionaryFiles),
        "the list without dictionaries is not the list with them plus the dictionaries");
  const std::string module = orvala::platform::Platform().ModuleFileName();
  const std::string own = module.substr(module.find_last_of("\\:") + 1);  // as Windows names go
  if (own.find_first_of("<>") == std::string::npos) {
    Check(IsNameExcluded(own, orvala::BuildExclusionList(edition, dictionaries)),
          "the running program's own name is not excluded");
  }
}

void Medium(orvala::platform::TPlatformaPamieci& p, const std::vector<std::string>& files) {
  std::uint64_t total = 0;
  std::vector<std::string> made;
  for (const std::string& name : files) {
    if (!PlainName(name) || p.FileExists("D:\\" + name)) {
      continue;
    }
    Check(p.PutFile("D:\\" + name, orvala::fuzz::TBajty(name.begin(), name.end())),
          "a plain name could not be made");
    made.push_back(name);
    total += name.size();
  }
  auto has = [&](const std::string& wanted) {
    return std::any_of(made.begin(), made.end(),
                       [&](const std::string& m) { return p.SamePath(m, wanted); });
  };
  Check(orvala::IsSourceDirectory("D:\\") ==
            ((has("duzeviv.exe") || has("duzeviv2.exe")) && has("umowapol.txt")),
        "IsSourceDirectory differs from the files present");
  Check(!orvala::IsSourceDirectory(""), "an empty folder is a source directory");
  for (orvala::LanguageId l = 0; l < 8; ++l) {
    const std::string licence(orvala::LicenceFile(l));
    Check(p.FileExists("D:\\" + licence) == has(licence),
          "the licence probe differs from the files present");
  }
  Check(orvala::DirectoryTreeSize("D:", "<.><..>") == total,
        "the tree size is not the sum of the files");
  if (!made.empty()) {
    Check(orvala::DirectoryTreeSize("D:", "<.><..><" + made[0] + ">") == total - made[0].size(),
          "an excluded file is counted");
  }
}

orvala::fuzz::TZiarna Seeds() {
  auto input = [](std::uint8_t flags, std::int8_t edition, std::initializer_list<std::string> f) {
    orvala::fuzz::TBajty out{flags, static_cast<std::uint8_t>(edition)};
    bool first = true;
    for (const std::string& s : f) {
      if (!first) {
        out.push_back(0);
      }
      first = false;
      out.insert(out.end(), s.begin(), s.end());
    }
    return out;
  };
  return {
      {"plyta", input(0, 10,
                      {"UMOWAPOL.TXT", "<.><..><umowapol.txt>", "D:\\Instalator.exe", "DuzevIv.exe",
                       "UmowaPol.txt", "umowaru.txt", "SlZewRu.exe"})},
      {"plyta2",
       input(1, 10, {"umowa", "<umowapol.txt>", "D:\\INSTAL.EXE", "duzeviv2.EXE", "umowapol.txt"})},
      {"bez-umowy", input(0, 3,
                          {"Za\xBF\xF3\xB3\xE6", "<ZA\xAF\xD3\xA3\xC6>", "C:\\a\\b.exe",
                           "DuzevIv.exe", "umowa.txt"})},
      {"pusta", input(0, 10, {"", "<>", "", ""})},
      {"zla-edycja", input(0, -5, {"x", "", "D:\\x<y>.exe", ".", "..", "a\\b"})},
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvala::fuzz::WriteSeedsIfAsked(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4096) {
    return 0;
  }
  orvala::fuzz::TCzytnik r(std::span(data, size));
  const bool dictionaries = (r.U8() & 1) != 0;
  const int edition = static_cast<std::int8_t>(r.U8());
  const std::string name = Text(r.Until(0));
  const std::string list = Text(r.Until(0));
  const std::string module = Text(r.Until(0));
  std::vector<std::string> files;
  while (!r.AtEnd() && files.size() < 4) {
    files.push_back(Text(r.Until(0)));
  }

  orvala::platform::TPlatformaPamieci& p = Platform();
  orvala::platform::TZasiegPlatformy scope(p);
  p.ClearFiles();
  p.SetModuleFileName(module);
  Names(name, list);
  Exclusions(edition, dictionaries);
  Medium(p, files);
  p.ClearFiles();
  return 0;
}
