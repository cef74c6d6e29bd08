// Fuzzes the patch producer (the code of `orvala diff` and `orvala list-add`) against the
// patcher: for any OLD and NEW, the patch file and list record it makes, applied to OLD on the
// stand-in with its files in memory, must leave NEW exactly (status 0, no temporary file left);
// a script made with any escape byte forced must also turn OLD into NEW.
//
// Input: a flags byte, a 16-bit LE length and OLD, then the rest describes NEW:
//   bit 0 clear: NEW is the rest as it stands;
//   bit 0 set: NEW is an edit of OLD (so that 256-byte blocks match): three 16-bit LE values
//              a, b, c, then NEW = OLD[0, a) + the remaining bytes + OLD[b, b + c), each range
//              cut to OLD;
//   bit 1: the escape byte is forced to the byte after the flags (for the script check).
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/untPatcher.h"
#include "platform/host/untPlatformaPamieci.h"
#include "untFuzzWspolne.h"
#include "untLatki.h"

namespace {

using orvala::fuzz::Check;
using orvala::fuzz::TBajty;

orvala::platform::TPlatformaPamieci& Platform() {
  static orvala::platform::TPlatformaPamieci p;
  static const bool ready = [] {
    p.AddDrive('U');
    p.AddDrive('T');
    return true;
  }();
  (void)ready;
  return p;
}

TBajty Slice(const TBajty& data, std::size_t from, std::size_t count) {
  from = std::min(from, data.size());
  count = std::min(count, data.size() - from);
  return TBajty(data.begin() + static_cast<std::ptrdiff_t>(from),
                data.begin() + static_cast<std::ptrdiff_t>(from + count));
}

orvala::fuzz::TZiarna Seeds() {
  TBajty old(1200);
  for (std::size_t i = 0; i < old.size(); ++i) {
    old[i] = static_cast<std::uint8_t>((i * 37) ^ (i >> 3));
  }
  auto input = [&](std::uint8_t flags, std::uint8_t escape, const TBajty& oldFile,
                   const TBajty& rest) {
    TBajty out{flags, escape};
    orvala::fuzz::PutLe(out, static_cast<std::uint32_t>(oldFile.size()), 2);
    out.insert(out.end(), oldFile.begin(), oldFile.end());
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
  };
  TBajty edit;
  orvala::fuzz::PutLe(edit, 300, 2);
  orvala::fuzz::PutLe(edit, 520, 2);
  orvala::fuzz::PutLe(edit, 700, 2);
  edit.insert(edit.end(), {'n', 'o', 'w', 'e', 0x00, 0x01});
  return {
      {"nowy-od-zera", input(0, 0, {'s', 't', 'a', 'r', 'y'}, {'n', 'o', 'w', 'y'})},
      {"puste", input(0, 0, {}, {})},
      {"edycja-blokow", input(1, 0, old, edit)},
      {"wymuszona-ucieczka", input(1 | 2, static_cast<std::uint8_t>(old[256]), old, edit)},
      {"bez-zmian", input(1, 0, old, {0xB0, 0x04, 0, 0, 0, 0})},
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvala::fuzz::WriteSeedsIfAsked(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 20000) {
    return 0;
  }
  orvala::fuzz::TCzytnik r(std::span(data, size));
  const std::uint8_t flags = r.U8();
  const std::uint8_t escape = r.U8();
  const TBajty oldFile = r.Take(r.U16());
  TBajty newFile;
  if ((flags & 1) != 0) {
    const std::uint32_t a = r.U16();
    const std::uint32_t b = r.U16();
    const std::uint32_t c = r.U16();
    newFile = Slice(oldFile, 0, a);
    const TBajty middle = r.Rest();
    newFile.insert(newFile.end(), middle.begin(), middle.end());
    const TBajty tail = Slice(oldFile, b, c);
    newFile.insert(newFile.end(), tail.begin(), tail.end());
  } else {
    newFile = r.Rest();
  }

  if ((flags & 2) != 0) {
    const TBajty script = orvala::latki::BuildPatchScript(oldFile, newFile, escape);
    TBajty out(newFile.size());
    const orvala::TWynikSkryptu run = orvala::RunPatchScript(script, oldFile, out);
    Check(
        run.error == orvala::TBladSkryptu::None && run.produced == newFile.size() && out == newFile,
        "a script with a forced escape byte does not turn OLD into NEW");
  }

  orvala::latki::TPlikLatki patch;
  try {
    patch = orvala::latki::MakePatchFile(oldFile, newFile);
  } catch (const std::runtime_error& e) {
    Check(false, e.what());
  }
  orvala::platform::TPlatformaPamieci& p = Platform();
  orvala::platform::TZasiegPlatformy scope(p);
  p.ClearFiles();
  p.PutFile("U:\\latka.pat", patch.packed);
  p.PutFile("U:\\info.pth",
            orvala::latki::EncodeListRecord(
                {"latka.pat", "plik.dat", patch.oldLength, patch.scriptLength, patch.newLength}));
  p.PutFile("T:\\plik.dat", oldFile);
  const std::int32_t status = orvala::ApplyPatchList("info.pth", "U:\\", "T:\\");
  Check(status == orvala::kStatusOk, "the producer's patch was not applied");
  Check(p.FileBytes("T:\\plik.dat") == newFile, "applying the producer's patch did not give NEW");
  Check(!p.FileExists("T:\\tmp25411.tmp"), "the temporary file stayed");
  p.ClearFiles();
  return 0;
}
