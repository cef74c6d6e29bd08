// Fuzzes a patch list, its patch file and the installed file together on the host platform:
// no crash, no access outside a buffer, and the installed file unchanged whenever the list
// fails (a status other than 0, or an I/O error).
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
//   bit 4  the installed file is hidden.
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "engine/untBledy.h"
#include "engine/untPatcher.h"
#include "platform/host/untPlatformaHost.h"

namespace {

namespace fs = std::filesystem;
using TBajty = std::vector<std::uint8_t>;

struct TCzytnik {
  std::span<const std::uint8_t> data;
  std::size_t pos = 0;
  std::size_t U16() {
    std::size_t v = 0;
    for (int i = 0; i < 2 && pos < data.size(); ++i) {
      v |= std::size_t{data[pos++]} << (8 * i);
    }
    return v;
  }
  TBajty Take(std::size_t n) {
    n = std::min(n, data.size() - pos);
    TBajty out(data.begin() + static_cast<std::ptrdiff_t>(pos),
               data.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
    return out;
  }
};

// A packed part whose code table gives every byte value its own 8-bit code, and whose items
// are literal runs of `data`.
TBajty StoredPart(const TBajty& data) {
  TBajty out;
  std::uint32_t acc = 0;
  int bits = 0;
  auto put = [&](std::uint32_t value, int count) {
    acc = (acc << count) | value;
    bits += count;
    while (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<std::uint8_t>(acc >> bits));
    }
  };
  for (std::uint32_t v = 0; v < 256; ++v) {
    put(1, 1);
    put(8, 4);
    put(v, 8);
  }
  TBajty items;
  for (std::size_t i = 0; i < data.size(); i += 128) {
    const std::size_t k = std::min<std::size_t>(128, data.size() - i);
    items.push_back(static_cast<std::uint8_t>(0x80 + k - 1));
    items.insert(items.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                 data.begin() + static_cast<std::ptrdiff_t>(i + k));
  }
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<std::uint8_t>(items.size() >> (8 * i)));
  }
  out.insert(out.end(), items.begin(), items.end());
  return out;
}

void PutLe(TBajty& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<std::uint8_t>(~(v >> (8 * i))));  // inverted, as lists are stored
  }
}

TBajty Record(const char* target, std::uint32_t oldLength, std::uint32_t scriptLength,
              std::uint32_t newLength) {
  TBajty r;
  for (const char* name : {"p.pat", target}) {
    const std::string n(name);
    PutLe(r, static_cast<std::uint32_t>(n.size()), 2);
    for (const char c : n) {
      r.push_back(static_cast<std::uint8_t>(~static_cast<std::uint8_t>(c)));
    }
  }
  PutLe(r, oldLength, 4);
  PutLe(r, scriptLength, 4);
  PutLe(r, newLength, 4);
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

void Write(const fs::path& path, const TBajty& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

TBajty Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return TBajty(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct TSrodowisko {
  fs::path root;
  orvala::platform::TPlatformaHost host;
  TSrodowisko() {
    root = fs::temp_directory_path() / ("orvala-fuzz-patcher-" + std::to_string(std::rand()) + "-" +
                                        std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::create_directories(root / "u");
    fs::create_directories(root / "t");
    host.MapDrive('U', root / "u");
    host.MapDrive('T', root / "t");
    orvala::platform::SetPlatform(&host);
  }
  ~TSrodowisko() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TSrodowisko env;
  if (size < 1 || size > 70000) {
    return 0;
  }
  TCzytnik in{std::span(data, size)};
  const std::uint8_t flags = in.Take(1)[0];
  TBajty list = in.Take(in.U16());
  TBajty patch = in.Take(in.U16());
  const TBajty installed = in.Take(size);

  std::size_t scriptLength = patch.size();
  if ((flags & 1) != 0) {
    if ((flags & 2) != 0 && patch.size() >= 4) {
      const std::uint32_t sum = orvala::PatchChecksum(installed);
      for (int i = 0; i < 4; ++i) {
        patch[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sum >> (8 * i));
      }
    }
    patch = StoredPart(patch);
  }
  if ((flags & 4) != 0) {
    list.resize(5, 0);
    const auto delta = static_cast<std::int8_t>(list[0]);
    const std::uint32_t newLength = list[1] | (std::uint32_t{list[2]} << 8);
    const std::uint32_t script =
        static_cast<std::uint32_t>(scriptLength) ^ (list[3] | (std::uint32_t{list[4]} << 8));
    const auto oldLength =
        static_cast<std::uint32_t>(static_cast<std::int64_t>(installed.size()) + delta);
    list = Record("t.dat", oldLength, script, newLength);
    if ((flags & 8) != 0) {
      const TBajty missing = Record("m.dat", oldLength, script, newLength);
      list.insert(list.begin(), missing.begin(), missing.end());
    }
  }
  // With several records an earlier one may patch the file and a later one fail; the check
  // below is about one entry, so it is made for lists of at most one record that could write.
  const bool oneWriter = (flags & 4) != 0 || RecordCount(list) <= 1;

  std::error_code ec;
  fs::remove(env.root / "t" / orvala::kPlikTymczasowyLatki, ec);
  Write(env.root / "u" / "info.pth", list);
  Write(env.root / "u" / "p.pat", patch);
  Write(env.root / "t" / "t.dat", installed);
  env.host.SetAttributes("T:\\t.dat", (flags & 16) != 0 ? orvala::platform::kAttrHidden : 0);

  std::int32_t status = -1;
  try {
    status = orvala::ApplyPatchList("info.pth", "U:\\", "T:\\");
  } catch (const orvala::EInOutError&) {
  }
  if (oneWriter && status != orvala::kStatusOk && Read(env.root / "t" / "t.dat") != installed) {
    std::fprintf(stderr, "the installed file changed although the list failed (status %d)\n",
                 static_cast<int>(status));
    std::abort();
  }
  return 0;
}
