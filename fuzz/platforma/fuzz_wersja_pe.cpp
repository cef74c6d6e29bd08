// Fuzzes the host layer's reading of file versions from PE images (files found on disk).
// Properties:
//  - no crash, no read outside the image (ASan; the image is an exact-size heap buffer);
//  - what is found lies within its input: a version resource no longer than the image, a value
//    no longer than the resource;
//  - a well-formed resource-only DLL built around a version record gives that record back, and
//    its FileVersion when the record has the translation that names its string table.
//
// Input: a mode byte, then by mode:
//   0: a PE image as it stands; the rest after a 0x00 byte is a sub-block path to query;
//   1: a version resource as it stands (queried as in mode 0);
//   2: a version record made from the input (language, code page, flags, FileVersion text),
//      built into a DLL, with one byte of the DLL replaced (offset 0xFFFF: none).
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/host/untWersjaPE.h"
#include "untFuzzWspolne.h"
#include "untObrazPE.h"

namespace {

using orvala::fuzz::Check;
using orvala::fuzz::TBajty;
using orvala::platform::host::FirstTranslationFileVersion;
using orvala::platform::host::QueryVersionValue;
using orvala::platform::host::VersionResource;

void QueryAll(const TBajty& info, const std::string& subBlock) {
  if (const auto value = QueryVersionValue(info, subBlock)) {
    Check(value->size() <= info.size(), "a value longer than its resource");
  }
  for (const char* path : {"\\VarFileInfo\\Translation", "\\", "\\StringFileInfo"}) {
    if (const auto value = QueryVersionValue(info, path)) {
      Check(value->size() <= info.size(), "a value longer than its resource");
    }
  }
  if (const auto version = FirstTranslationFileVersion(info)) {
    Check(version->size() <= info.size() / 2, "a FileVersion longer than its resource");
  }
}

void Built(orvala::fuzz::TCzytnik& r) {
  orvala::platform::testy::TOpisWersji opis;
  opis.language = static_cast<std::uint16_t>(r.U16());
  opis.codePage = static_cast<std::uint16_t>(r.U16());
  const std::uint8_t flags = r.U8();
  opis.withTranslation = (flags & 1) == 0;
  const std::uint32_t offset = r.U16();
  const std::uint8_t replacement = r.U8();
  const TBajty text = r.Take(64);
  opis.fileVersion.clear();
  for (const std::uint8_t b : text) {
    opis.fileVersion += static_cast<char>(b % 0x5F + 0x20);  // printable ASCII
  }
  if ((flags & 2) != 0) {
    opis.tableKey = "040904B0";
  }
  TBajty dll = orvala::platform::testy::ResourceOnlyDll(opis);
  if (offset != 0xFFFF) {
    dll[offset % dll.size()] = replacement;
    const auto info = VersionResource(dll);
    if (info) {
      Check(info->size() <= dll.size(), "a version resource longer than its image");
      QueryAll(*info, "\\StringFileInfo\\040904B0\\FileVersion");
    }
    return;
  }
  const auto info = VersionResource(dll);
  Check(info && *info == orvala::platform::testy::VersionInfoBlock(opis),
        "the version record of a well-formed DLL was not found");
  const bool named = opis.tableKey.empty() || (opis.language == 0x0409 && opis.codePage == 0x04B0);
  if (opis.withTranslation && named) {
    Check(FirstTranslationFileVersion(*info) == opis.fileVersion,
          "the FileVersion of a well-formed record was not read back");
  }
  QueryAll(*info, "\\StringFileInfo");
}

orvala::fuzz::TZiarna Seeds() {
  orvala::platform::testy::TOpisWersji opis;
  const TBajty dll = orvala::platform::testy::ResourceOnlyDll(opis);
  const TBajty block = orvala::platform::testy::VersionInfoBlock(opis);
  auto with = [](std::uint8_t mode, const TBajty& data, const std::string& query) {
    TBajty out{mode};
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(0);
    out.insert(out.end(), query.begin(), query.end());
    return out;
  };
  return {
      {"dll", with(0, dll, "\\StringFileInfo\\041504E2\\FileVersion")},
      {"blok", with(1, block, "\\VarFileInfo\\Translation")},
      {"zbudowany", {2, 0x15, 0x04, 0xE2, 0x04, 0, 0xFF, 0xFF, 0, '4', '.', '7', '2'}},
      {"bez-tlumaczenia", {2, 0x09, 0x04, 0xB0, 0x04, 1, 0xFF, 0xFF, 0, '5', ',', ' ', '8'}},
      {"klucz-tabeli", {2, 0x09, 0x04, 0xB0, 0x04, 2, 0xFF, 0xFF, 0, '1', '.', '0'}},
      {"zepsuty", {2, 0x15, 0x04, 0xE2, 0x04, 0, 0x3C, 0x00, 0x7F, '5', '.', '1'}},
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orvala::fuzz::WriteSeedsIfAsked(Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 16384) {
    return 0;
  }
  orvala::fuzz::TCzytnik r(std::span(data + 1, size - 1));
  switch (data[0] % 3) {
    case 0: {
      const TBajty image = r.Until(0);
      const TBajty query = r.Rest();
      const auto info = VersionResource(image);
      if (info) {
        Check(info->size() <= image.size(), "a version resource longer than its image");
        QueryAll(*info, std::string(query.begin(), query.end()));
      }
      break;
    }
    case 1: {
      const TBajty info = r.Until(0);
      const TBajty query = r.Rest();
      QueryAll(info, std::string(query.begin(), query.end()));
      break;
    }
    default:
      Built(r);
      break;
  }
  return 0;
}
