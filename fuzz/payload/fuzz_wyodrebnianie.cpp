// Fuzzes multi-part extraction on the stand-in with its files in memory: BuildMainProgram,
// WriteSpecialVersions with ExtractSpecialVersion and ExtractPartTo, and AppendPart with any
// capacity. Property: every file written is the concatenation, in order, of what the reference
// walk unpacks from each of its parts within the operation's capacity; a part that is missing
// or refused adds nothing, and the next part is still written.
//
// Input: five parts, each a mode byte and a 16-bit LE length with that many bytes. Parts 0-2
// are the main program's A, B, C resources, parts 3-4 the first special version's two. Mode:
//   bit 0  the bytes are data, packed by the packer (a valid part); otherwise the part itself;
//   bit 1  the resource is missing (empty);
//   bits 2-7 (part 0 only) with the next 16-bit LE value: the capacity of an AppendPart call.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/untInstalStale.h"
#include "engine/untInstalWersjeSzczegolne.h"
#include "engine/untPakowanie.h"
#include "platform/host/untPlatformaPamieci.h"
#include "untDekoderWzorcowy.h"
#include "untFuzzWspolne.h"
#include "untPakowacz.h"

namespace {

using orvala::fuzz::Check;
using orvala::fuzz::TBajty;

struct TCzesc {
  TBajty part;
  bool missing = false;
};

// What the reference walk appends for `parts` within `capacity`.
TBajty Expected(const std::vector<const TCzesc*>& parts, std::size_t capacity) {
  TBajty out;
  for (const TCzesc* p : parts) {
    if (p->missing) {
      continue;
    }
    const auto walk = orvala::wzorzec::WalkUnpack(p->part, capacity);
    if (walk.error == orvala::TBladDekodera::None) {
      out.insert(out.end(), walk.bytes.begin(), walk.bytes.end());
    }
  }
  return out;
}

orvala::platform::TPlatformaPamieci& Platform() {
  static orvala::platform::TPlatformaPamieci p;
  static const bool ready = [] {
    p.AddDrive('C');
    return true;
  }();
  (void)ready;
  return p;
}

orvala::fuzz::TZiarna Seeds() {
  auto part = [](std::uint8_t mode, const std::string& bytes) {
    TBajty out{mode};
    orvala::fuzz::PutLe(out, static_cast<std::uint32_t>(bytes.size()), 2);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
  };
  const auto join = orvala::fuzz::Concat;
  const std::string text = "Orvala Pakiet, Orvala Pakiet, Orvala Pakiet: program glowny";
  return {
      {"trzy-czesci",
       join({part(1, text), part(1, "B" + text), part(1, "C"), part(1, text), part(1, "wersja")})},
      {"bez-c", join({part(1, text), part(1, text), part(2, ""), part(1, text), part(2, "")})},
      {"zla-czesc",
       join({part(1, text), part(0, "\xFF\x00\x12"), part(1, "C"), part(0, ""), part(1, "x")})},
      {"brak-a", join({part(2, ""), part(1, "B"), part(1, "C"), part(2, ""), part(1, "y")})},
      {"pojemnosc", join({part(1 | (5 << 2), text),
                          {10, 0},
                          part(1, "B"),
                          part(1, "C"),
                          part(1, "d"),
                          part(1, "e")})},
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvala::fuzz::WriteSeedsIfAsked(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 8192) {
    return 0;
  }
  orvala::fuzz::TCzytnik r(std::span(data, size));
  TCzesc parts[5];
  std::uint8_t firstMode = 0;
  std::size_t appendCapacity = 0;
  for (int i = 0; i < 5; ++i) {
    const std::uint8_t mode = r.U8();
    if (i == 0) {
      firstMode = mode;
      if ((mode >> 2) != 0) {
        appendCapacity = r.U16();
      }
    }
    const TBajty bytes = r.Take(r.U16());
    parts[i].part = (mode & 1) != 0 ? orvala::pakowacz::PackPart(bytes) : bytes;
    parts[i].missing = (mode & 2) != 0;
  }

  orvala::platform::TPlatformaPamieci& p = Platform();
  orvala::platform::TZasiegPlatformy scope(p);
  p.ClearFiles();
  p.CreateDirectory("C:\\cel");
  const orvala::TOpisEdycji& edition = orvala::ActiveEditionDescriptor();
  const orvala::TWersjaSpecjalna& special = orvala::SpecialVersion(edition.specialVersionRows[0]);
  const std::string names[5] = {std::string(edition.mainProgramResources[0]),
                                std::string(edition.mainProgramResources[1]),
                                std::string(edition.mainProgramResources[2]),
                                std::string(special.resourceA), std::string(special.resourceB)};
  // A missing resource is stood in for by an empty one: both add nothing to the file.
  for (int i = 0; i < 5; ++i) {
    p.SetResource(names[i], parts[i].missing ? TBajty{} : parts[i].part);
  }

  const std::string main = orvala::BuildMainProgram("C:\\cel");
  Check(p.FileBytes(main) ==
            Expected({&parts[0], &parts[1], &parts[2]}, orvala::kPojemnoscProgramuGlownego),
        "the main program is not its unpacked parts in order");

  const std::vector<std::string> written = orvala::WriteSpecialVersions("C:\\cel");
  Check(!written.empty(), "no special version was written");
  Check(p.FileBytes(written[0]) ==
            Expected({&parts[3], &parts[4]}, orvala::kPojemnoscWersjiSpecjalnej),
        "a special version is not its unpacked parts in order");

  if (appendCapacity != 0 || (firstMode >> 2) != 0) {
    auto out = p.CreateWrite("C:\\cel\\dopisany.bin");
    const bool ok = orvala::AppendPart(names[0], appendCapacity, *out);
    out->Close();
    const TBajty expected = Expected({&parts[0]}, appendCapacity);
    Check(p.FileBytes("C:\\cel\\dopisany.bin") == expected, "AppendPart wrote other bytes");
    Check(ok == (!parts[0].missing &&
                 orvala::wzorzec::WalkUnpack(parts[0].part, appendCapacity).error ==
                     orvala::TBladDekodera::None),
          "AppendPart's result differs from the reference walk");
  }
  p.ClearFiles();
  return 0;
}
