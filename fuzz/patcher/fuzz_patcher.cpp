// Fuzzes patch lists, their patch files and the installed files together, on the stand-in with
// its files in memory (nothing touches the disk). Properties:
//  - no crash, no access outside a buffer (ASan, UBSan);
//  - a list that fails (a status other than 0, or an I/O error) leaves the installed file as it
//    was, when at most one of its records could write;
//  - a single record that succeeds leaves exactly what the script interpreter makes of the
//    installed file (RunPatchScript with the record's new length as capacity);
//  - ApplyPatchScripts over several lists ends in the same files as applying "info.pth",
//    "info2.pth", ... one by one up to the first missing name, and never reads a list after it.
//
// Input: a flags byte, a 16-bit LE length and that many list bytes, a 16-bit LE length and that
// many patch bytes, then the installed file. Flags:
//   bit 0  the patch bytes are a script, stored in a packed part with 8-bit codes (so the
//          script interpreter is reached); otherwise they are the packed part itself;
//   bit 1  with bit 0: the script's checksum is set to the installed file's byte sum;
//   bit 2  the list is made of records for "p.pat" / "t.dat": list byte 0 is the old length's
//          difference from the installed size (signed), bytes 1-2 the new length, bytes 3-4
//          XOR the script length; otherwise the list bytes are the list file as it stands;
//   bit 3  with bit 2: a record whose installed file is missing comes first, so that the
//          second must write nothing;
//   bit 4  the installed file is hidden;
//   bit 5  several lists: the list bytes are cut at each 0x00 byte into "info.pth",
//          "info2.pth", ... (with bit 2 each is the record above with its own bytes); a list
//          "info<n+2>.pth" after the gap would overwrite "s.dat", which must stay as it was.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <span>
#include <string>
#include <vector>

#include "engine/untBledy.h"
#include "engine/untPatcher.h"
#include "platform/host/untPlatformaPamieci.h"
#include "untFuzzWspolne.h"

namespace {

using orvala::fuzz::Check;
using orvala::fuzz::TBajty;
using orvala::platform::TPlatformaPamieci;

// A packed part whose items are literal runs of `data`, and whose code table gives each byte
// value that occurs (and 0x00, 0x01, so that there are two) its own 8-bit code.
TBajty StoredPart(const TBajty& data) {
  TBajty items;
  for (std::size_t i = 0; i < data.size(); i += 128) {
    const std::size_t k = std::min<std::size_t>(128, data.size() - i);
    items.push_back(static_cast<std::uint8_t>(0x80 + k - 1));
    items.insert(items.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                 data.begin() + static_cast<std::ptrdiff_t>(i + k));
  }
  bool present[256] = {true, true};
  for (const std::uint8_t b : items) {
    present[b] = true;
  }
  TBajty out;
  orvala::fuzz::TPisarzBitow bits(out);
  for (std::uint32_t v = 0; v < 256; ++v) {
    bits.Put(present[v] ? 1 : 0, 1);
    if (present[v]) {
      bits.Put(8, 4);
      bits.Put(v, 8);
    }
  }
  bits.Align();
  orvala::fuzz::PutLe(out, static_cast<std::uint32_t>(items.size()), 4);
  out.insert(out.end(), items.begin(), items.end());
  return out;
}

void PutInverted(TBajty& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<std::uint8_t>(~(v >> (8 * i))));
  }
}

TBajty Record(const std::string& target, std::uint32_t oldLength, std::uint32_t scriptLength,
              std::uint32_t newLength, const std::string& patch = "p.pat") {
  TBajty r;
  for (const std::string& name : {patch, target}) {
    PutInverted(r, static_cast<std::uint32_t>(name.size()), 2);
    for (const char c : name) {
      r.push_back(static_cast<std::uint8_t>(~static_cast<std::uint8_t>(c)));
    }
  }
  PutInverted(r, oldLength, 4);
  PutInverted(r, scriptLength, 4);
  PutInverted(r, newLength, 4);
  return r;
}

// The number of complete records of an inverted list.
std::size_t RecordCount(const TBajty& list) {
  std::size_t count = 0;
  std::size_t pos = 0;
  auto skipName = [&]() {
    if (list.size() - pos < 2) {
      return false;
    }
    const std::size_t n = static_cast<std::uint8_t>(~list[pos]) |
                          std::size_t{static_cast<std::uint8_t>(~list[pos + 1])} << 8;
    pos += 2;
    if (list.size() - pos < n) {
      return false;
    }
    pos += n;
    return true;
  };
  while (skipName() && skipName() && list.size() - pos >= 12) {
    pos += 12;
    ++count;
  }
  return count;
}

struct TWejscie {
  std::uint8_t flags = 0;
  std::vector<TBajty> lists;
  TBajty patch;
  TBajty installed;
  TBajty script;  // with bit 0: the script stored in the patch
  bool recordMode = false;
  std::uint32_t newLength = 0;
};

// The record of bit 2 from five list bytes.
TBajty RecordList(TBajty bytes, const TWejscie& in, std::size_t scriptLength,
                  std::uint32_t& newLength) {
  bytes.resize(5, 0);
  const auto delta = static_cast<std::int8_t>(bytes[0]);
  newLength = bytes[1] | (std::uint32_t{bytes[2]} << 8);
  const std::uint32_t script =
      static_cast<std::uint32_t>(scriptLength) ^ (bytes[3] | (std::uint32_t{bytes[4]} << 8));
  const auto oldLength =
      static_cast<std::uint32_t>(static_cast<std::int64_t>(in.installed.size()) + delta);
  TBajty list = Record("t.dat", oldLength, script, newLength);
  if ((in.flags & 8) != 0) {
    const TBajty missing = Record("m.dat", oldLength, script, newLength);
    list.insert(list.begin(), missing.begin(), missing.end());
  }
  return list;
}

TWejscie Parse(std::span<const std::uint8_t> data) {
  orvala::fuzz::TCzytnik r(data);
  TWejscie in;
  in.flags = r.U8();
  TBajty listBytes = r.Take(r.U16());
  in.patch = r.Take(r.U16());
  in.installed = r.Rest();

  const std::size_t scriptLength = in.patch.size();
  if ((in.flags & 1) != 0) {
    if ((in.flags & 2) != 0 && in.patch.size() >= 4) {
      const std::uint32_t sum = orvala::PatchChecksum(in.installed);
      for (int i = 0; i < 4; ++i) {
        in.patch[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sum >> (8 * i));
      }
    }
    in.script = in.patch;
    in.patch = StoredPart(in.patch);
  }
  std::vector<TBajty> pieces;
  if ((in.flags & 32) != 0) {
    orvala::fuzz::TCzytnik cut(listBytes);
    while (!cut.AtEnd() && pieces.size() < 4) {
      pieces.push_back(cut.Until(0));
    }
  } else {
    pieces.push_back(std::move(listBytes));
  }
  in.recordMode = (in.flags & 4) != 0;
  for (TBajty& piece : pieces) {
    in.lists.push_back(in.recordMode ? RecordList(piece, in, scriptLength, in.newLength) : piece);
  }
  return in;
}

constexpr char kAktualizacje[] = "U:\\";
constexpr char kCel[] = "T:\\";

void Prepare(TPlatformaPamieci& p, const TWejscie& in) {
  p.ClearFiles();
  for (std::size_t i = 0; i < in.lists.size(); ++i) {
    p.PutFile(kAktualizacje + orvala::PatchScriptListName(static_cast<int>(i) + 1), in.lists[i]);
  }
  p.PutFile("U:\\p.pat", in.patch);
  p.PutFile("T:\\t.dat", in.installed);
  if ((in.flags & 16) != 0) {
    p.SetFileAttributes("T:\\t.dat", orvala::platform::kAttrHidden);
  }
}

TPlatformaPamieci& Platform(int which) {
  static TPlatformaPamieci platforms[2];
  static const bool ready = [] {
    for (TPlatformaPamieci& p : platforms) {
      p.AddDrive('U');
      p.AddDrive('T');
    }
    return true;
  }();
  (void)ready;
  return platforms[which];
}

void OneList(const TWejscie& in) {
  TPlatformaPamieci& p = Platform(0);
  orvala::platform::TZasiegPlatformy scope(p);
  Prepare(p, in);
  std::int32_t status = -1;
  try {
    status = orvala::ApplyPatchList("info.pth", kAktualizacje, kCel);
  } catch (const orvala::EInOutError&) {
  }
  const TBajty now = p.FileBytes("T:\\t.dat").value_or(TBajty{});
  // With several records an earlier one may patch the file and a later one fail; these checks
  // are about one entry, so they are made for lists of at most one record that could write.
  const bool oneWriter = in.recordMode || RecordCount(in.lists[0]) <= 1;
  if (oneWriter && status != orvala::kStatusOk) {
    Check(now == in.installed, "the installed file changed although the list failed");
  }
  if (in.recordMode && (in.flags & 1) != 0 && status == orvala::kStatusOk) {
    TBajty expected(in.newLength);
    const orvala::TWynikSkryptu r = orvala::RunPatchScript(in.script, in.installed, expected);
    Check(r.error == orvala::TBladSkryptu::None, "a list succeeded with a refused script");
    expected.resize(r.produced);
    Check(now == expected, "the patched file differs from what the script makes");
  }
  Check(!p.FileExists("T:\\tmp25411.tmp") || status == orvala::kStatusNiepelnyPlik ||
            status == orvala::kStatusZamianaNieudana,
        "the temporary file stayed after an entry that did not fail writing it");
  p.ClearFiles();  // every allocation of a run freed within it: no leak check per input
}

void SeveralLists(const TWejscie& in) {
  // ApplyPatchScripts on one platform...
  TPlatformaPamieci& a = Platform(0);
  {
    orvala::platform::TZasiegPlatformy scope(a);
    Prepare(a, in);
    // A list after the gap that would turn "s.dat" (one byte 0x42) into "X".
    const TBajty script = {0x42, 0, 0, 0, 0x01, 'X'};
    a.PutFile("U:\\q.pat", StoredPart(script));
    a.PutFile(kAktualizacje + orvala::PatchScriptListName(static_cast<int>(in.lists.size()) + 2),
              Record("s.dat", 1, static_cast<std::uint32_t>(script.size()), 1, "q.pat"));
    a.PutFile("T:\\s.dat", {0x42});
    orvala::ApplyPatchScripts(kAktualizacje, kCel);
  }
  // ...and the lists one by one on the other.
  TPlatformaPamieci& b = Platform(1);
  {
    orvala::platform::TZasiegPlatformy scope(b);
    Prepare(b, in);
    for (std::size_t i = 0; i < in.lists.size(); ++i) {
      try {
        orvala::ApplyPatchList(orvala::PatchScriptListName(static_cast<int>(i) + 1), kAktualizacje,
                               kCel);
      } catch (const std::exception&) {
      }
    }
  }
  Check(a.FileBytes("T:\\t.dat") == b.FileBytes("T:\\t.dat"),
        "ApplyPatchScripts differs from the lists applied one by one");
  Check(a.FileBytes("T:\\s.dat") == TBajty{0x42},
        "a list after the first missing name was applied");
  a.ClearFiles();
  b.ClearFiles();
}

orvala::fuzz::TZiarna Seeds() {
  using orvala::fuzz::PutLe;
  const TBajty old = {'s', 't', 'a', 'r', 'y', ' ', 'p', 'l', 'i', 'k'};
  auto input = [](std::uint8_t flags, const TBajty& list, const TBajty& patch,
                  const TBajty& installed) {
    TBajty out{flags};
    PutLe(out, static_cast<std::uint32_t>(list.size()), 2);
    out.insert(out.end(), list.begin(), list.end());
    PutLe(out, static_cast<std::uint32_t>(patch.size()), 2);
    out.insert(out.end(), patch.begin(), patch.end());
    out.insert(out.end(), installed.begin(), installed.end());
    return out;
  };
  // A script: checksum (set by bit 1), escape 0x01, literals, an escaped escape byte.
  const TBajty script = {0, 0, 0, 0, 0x01, 'n', 'o', 'w', 'y', 0x01, 0x01};
  TBajty blockOld(600);
  for (std::size_t i = 0; i < blockOld.size(); ++i) {
    blockOld[i] = static_cast<std::uint8_t>(i * 7);
  }
  const TBajty blockScript = {0, 0, 0, 0, 0x01, 'a', 0x01, 0x10, 0x01, 0, 0};
  const TBajty record = {0, 6, 0, 0, 0};  // old length exact, new length 6
  return {
      {"zapis-udany", input(1 | 2 | 4, record, script, old)},
      {"zapis-blok", input(1 | 2 | 4, {0, 0x01, 0x01, 0, 0}, blockScript, blockOld)},
      {"zapis-krotszy", input(1 | 2 | 4, {0, 100, 0, 0, 0}, script, old)},
      {"zla-suma", input(1 | 4, record, script, old)},
      {"zla-dlugosc", input(1 | 2 | 4, {1, 6, 0, 0, 0}, script, old)},
      {"brak-pliku-najpierw", input(1 | 2 | 4 | 8, record, script, old)},
      {"ukryty", input(1 | 2 | 4 | 16, record, script, old)},
      {"za-duzo", input(1 | 2 | 4, {0, 2, 0, 0, 0}, script, old)},
      {"kilka-list", input(1 | 2 | 4 | 32, {0, 6, 0, 0, 0, 0, 0, 6, 0, 0, 0}, script, old)},
      {"lista-surowa", input(0, {0xFA, 0xFF, 0x8F, 0xD1, 0x8F}, {0x80, 0x00}, old)},
      {"pusta-lista", input(0, {}, {}, old)},
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvala::fuzz::WriteSeedsIfAsked(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 70000) {
    return 0;
  }
  const TWejscie in = Parse(std::span(data, size));
  if ((in.flags & 32) != 0) {
    SeveralLists(in);
  } else {
    OneList(in);
  }
  return 0;
}
