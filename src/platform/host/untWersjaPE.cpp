// The version resource of a PE file, read without the system: headers, sections, the resource
// directory, and the version block tree.
#include "platform/host/untWersjaPE.h"

#include <algorithm>
#include <cstddef>

#include "platform/host/untSciezkaHost.h"
#include "platform/untBlokWersji.h"
#include "textutil/untKodowanie.h"

namespace orvala::platform::host {

namespace {

using TBajty = std::vector<std::uint8_t>;

// Little-endian reads that fail instead of reading past the end.
bool Read16(const TBajty& b, std::size_t off, std::uint16_t& v) {
  if (off > b.size() || b.size() - off < 2) {
    return false;
  }
  v = static_cast<std::uint16_t>(b[off] | (b[off + 1] << 8));
  return true;
}

bool Read32(const TBajty& b, std::size_t off, std::uint32_t& v) {
  if (off > b.size() || b.size() - off < 4) {
    return false;
  }
  v = static_cast<std::uint32_t>(b[off]) | (static_cast<std::uint32_t>(b[off + 1]) << 8) |
      (static_cast<std::uint32_t>(b[off + 2]) << 16) |
      (static_cast<std::uint32_t>(b[off + 3]) << 24);
  return true;
}

// --- PE image: headers, sections, resource directory
// ----------------------------------------------

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kPodkatalog = 0x80000000u;

struct TSekcja {
  std::uint32_t virtualAddress;
  std::uint32_t virtualSize;
  std::uint32_t rawSize;
  std::uint32_t rawOffset;
};

std::optional<std::size_t> RvaToOffset(const std::vector<TSekcja>& sections, std::uint32_t rva,
                                       std::uint32_t length, std::size_t imageSize) {
  for (const TSekcja& s : sections) {
    if (rva < s.virtualAddress) {
      continue;
    }
    const std::uint32_t delta = rva - s.virtualAddress;
    if (delta >= s.rawSize || length > s.rawSize - delta) {
      continue;
    }
    const std::size_t off = static_cast<std::size_t>(s.rawOffset) + delta;
    if (off > imageSize || length > imageSize - off) {
      return std::nullopt;
    }
    return off;
  }
  return std::nullopt;
}

// The OffsetToData of the entry of directory `dir` (an offset inside the resource section)
// whose identifier is `id`, or of its first entry when `id` is 0.
std::optional<std::uint32_t> DirectoryEntry(const TBajty& b, std::size_t rsrc, std::size_t rsrcSize,
                                            std::uint32_t dir, std::uint32_t id) {
  std::uint16_t named = 0;
  std::uint16_t ids = 0;
  if (dir > rsrcSize || rsrcSize - dir < 16 || !Read16(b, rsrc + dir + 12, named) ||
      !Read16(b, rsrc + dir + 14, ids)) {
    return std::nullopt;
  }
  const std::size_t count = static_cast<std::size_t>(named) + ids;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = dir + 16 + i * 8;
    std::uint32_t name = 0;
    std::uint32_t data = 0;
    if (entry > rsrcSize || rsrcSize - entry < 8 || !Read32(b, rsrc + entry, name) ||
        !Read32(b, rsrc + entry + 4, data)) {
      return std::nullopt;
    }
    if (id == 0 || name == id) {
      return data;
    }
  }
  return std::nullopt;
}

// --- Version block tree -----------------------------------------------------------------------

// One block: wLength, wValueLength, wType, the key (UTF-16, NUL-terminated), padding to 4
// bytes, the value, padding, the children up to wLength.
struct TBlok {
  std::size_t begin;
  std::size_t end;
  TWideString key;
  std::size_t valueBegin;
  std::size_t valueLength;  // bytes
  std::size_t childrenBegin;
};

std::size_t Align4(std::size_t v) {
  return (v + 3) & ~static_cast<std::size_t>(3);
}

std::optional<TBlok> ParseBlock(const TBajty& b, std::size_t begin, std::size_t limit) {
  std::uint16_t length = 0;
  std::uint16_t valueLength = 0;
  std::uint16_t type = 0;
  if (!Read16(b, begin, length) || !Read16(b, begin + 2, valueLength) ||
      !Read16(b, begin + 4, type) || length < 6 || length > limit - begin) {
    return std::nullopt;
  }
  TBlok out{begin, begin + length, {}, 0, 0, 0};
  std::size_t pos = begin + 6;
  for (;;) {
    std::uint16_t c = 0;
    if (pos + 2 > out.end || !Read16(b, pos, c)) {
      return std::nullopt;
    }
    pos += 2;
    if (c == 0) {
      break;
    }
    out.key += static_cast<char16_t>(c);
  }
  out.valueBegin = std::min(Align4(pos), out.end);
  const std::size_t bytes = type == 1 ? static_cast<std::size_t>(valueLength) * 2 : valueLength;
  out.valueLength = std::min(bytes, out.end - out.valueBegin);
  out.childrenBegin = std::min(Align4(out.valueBegin + out.valueLength), out.end);
  return out;
}

std::optional<TBlok> FindChild(const TBajty& b, const TBlok& parent, const TWideString& key) {
  std::size_t pos = parent.childrenBegin;
  while (pos + 6 <= parent.end) {
    const std::optional<TBlok> child = ParseBlock(b, pos, parent.end);
    if (!child) {
      return std::nullopt;
    }
    if (EqualFolded(child->key, key)) {
      return child;
    }
    pos = Align4(child->end);
  }
  return std::nullopt;
}

}  // namespace

std::optional<TBajty> VersionResource(const TBajty& b) {
  std::uint16_t mz = 0;
  std::uint32_t pe = 0;
  std::uint32_t signature = 0;
  if (!Read16(b, 0, mz) || mz != 0x5A4D || !Read32(b, 0x3C, pe) || !Read32(b, pe, signature) ||
      signature != 0x00004550) {
    return std::nullopt;
  }
  const std::size_t coff = static_cast<std::size_t>(pe) + 4;
  std::uint16_t sectionCount = 0;
  std::uint16_t optionalSize = 0;
  std::uint16_t magic = 0;
  const std::size_t optional = coff + 20;
  if (!Read16(b, coff + 2, sectionCount) || !Read16(b, coff + 16, optionalSize) ||
      !Read16(b, optional, magic)) {
    return std::nullopt;
  }
  std::size_t directories = 0;
  std::size_t countField = 0;
  if (magic == 0x10B) {
    countField = optional + 92;
    directories = optional + 96;
  } else if (magic == 0x20B) {
    countField = optional + 108;
    directories = optional + 112;
  } else {
    return std::nullopt;
  }
  std::uint32_t directoryCount = 0;
  std::uint32_t rsrcRva = 0;
  std::uint32_t rsrcSize = 0;
  if (!Read32(b, countField, directoryCount) || directoryCount < 3 ||
      !Read32(b, directories + 2 * 8, rsrcRva) || !Read32(b, directories + 2 * 8 + 4, rsrcSize) ||
      rsrcRva == 0 || rsrcSize == 0) {
    return std::nullopt;
  }
  std::vector<TSekcja> sections;
  const std::size_t table = optional + optionalSize;
  for (std::size_t i = 0; i < sectionCount; ++i) {
    TSekcja s{};
    const std::size_t at = table + i * 40;
    if (!Read32(b, at + 8, s.virtualSize) || !Read32(b, at + 12, s.virtualAddress) ||
        !Read32(b, at + 16, s.rawSize) || !Read32(b, at + 20, s.rawOffset)) {
      return std::nullopt;
    }
    sections.push_back(s);
  }
  const std::optional<std::size_t> rsrc = RvaToOffset(sections, rsrcRva, 16, b.size());
  if (!rsrc) {
    return std::nullopt;
  }
  // The resource section may be shorter in the file than the directory says; stay inside both.
  const std::size_t available = std::min<std::size_t>(rsrcSize, b.size() - *rsrc);
  const std::optional<std::uint32_t> type = DirectoryEntry(b, *rsrc, available, 0, kRtVersion);
  if (!type || (*type & kPodkatalog) == 0) {
    return std::nullopt;
  }
  const std::optional<std::uint32_t> name =
      DirectoryEntry(b, *rsrc, available, *type & ~kPodkatalog, 0);
  if (!name || (*name & kPodkatalog) == 0) {
    return std::nullopt;
  }
  const std::optional<std::uint32_t> language =
      DirectoryEntry(b, *rsrc, available, *name & ~kPodkatalog, 0);
  if (!language || (*language & kPodkatalog) != 0 || *language > available ||
      available - *language < 16) {
    return std::nullopt;
  }
  std::uint32_t dataRva = 0;
  std::uint32_t dataSize = 0;
  if (!Read32(b, *rsrc + *language, dataRva) || !Read32(b, *rsrc + *language + 4, dataSize)) {
    return std::nullopt;
  }
  const std::optional<std::size_t> data = RvaToOffset(sections, dataRva, dataSize, b.size());
  if (!data) {
    return std::nullopt;
  }
  return TBajty(b.begin() + static_cast<std::ptrdiff_t>(*data),
                b.begin() + static_cast<std::ptrdiff_t>(*data + dataSize));
}

std::optional<TBajty> QueryVersionValue(const TBajty& info, const std::string& subBlock) {
  std::optional<TBlok> block = ParseBlock(info, 0, info.size());
  std::size_t pos = 0;
  while (block && pos < subBlock.size()) {
    if (subBlock[pos] == '\\') {
      ++pos;
      continue;
    }
    const std::size_t next = std::min(subBlock.find('\\', pos), subBlock.size());
    block = FindChild(
        info, *block,
        Utf8ToUtf16(CodePageToUtf8(subBlock.substr(pos, next - pos), TStronaKodowa::Cp1250)));
    pos = next;
  }
  if (!block) {
    return std::nullopt;
  }
  TBajty value(info.begin() + static_cast<std::ptrdiff_t>(block->valueBegin),
               info.begin() + static_cast<std::ptrdiff_t>(block->valueBegin + block->valueLength));
  return value;
}

std::optional<std::string> FirstTranslationFileVersion(const TBajty& info) {
  const std::optional<TBajty> translation = QueryVersionValue(info, kBlokTlumaczen);
  std::uint16_t language = 0;
  std::uint16_t codePage = 0;
  if (!translation || !Read16(*translation, 0, language) || !Read16(*translation, 2, codePage)) {
    return std::nullopt;
  }
  const std::optional<TBajty> text =
      QueryVersionValue(info, FileVersionSubBlock(language, codePage));
  if (!text) {
    return std::nullopt;
  }
  TWideString wide;
  for (std::size_t i = 0; i + 1 < text->size(); i += 2) {
    const auto c = static_cast<char16_t>((*text)[i] | ((*text)[i + 1] << 8));
    if (c == 0) {
      break;
    }
    wide += c;
  }
  return Utf8ToCodePage(Utf16ToUtf8(wide), TStronaKodowa::Cp1250);
}

std::optional<std::string> ImageFileVersion(const TBajty& image) {
  const std::optional<TBajty> info = VersionResource(image);
  return info ? FirstTranslationFileVersion(*info) : std::nullopt;
}

}  // namespace orvala::platform::host
