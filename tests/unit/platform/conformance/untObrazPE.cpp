#include "untObrazPE.h"

#include <cstdio>

namespace orvala::platform::testy {

namespace {

using TBajty = std::vector<std::uint8_t>;

void Put16(TBajty& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(TBajty& b, std::uint32_t v) {
  Put16(b, static_cast<std::uint16_t>(v));
  Put16(b, static_cast<std::uint16_t>(v >> 16));
}
void Set16(TBajty& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Set32(TBajty& b, std::size_t at, std::uint32_t v) {
  Set16(b, at, static_cast<std::uint16_t>(v));
  Set16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}
void Pad4(TBajty& b) {
  while (b.size() % 4 != 0) {
    b.push_back(0);
  }
}

// One version block: header, key, value, children (each child padded to 4 bytes).
TBajty Block(const std::string& key, const TBajty& value, std::uint16_t valueLength,
             std::uint16_t type, const std::vector<TBajty>& children) {
  TBajty b;
  Put16(b, 0);
  Put16(b, valueLength);
  Put16(b, type);
  for (const char c : key) {
    Put16(b, static_cast<std::uint8_t>(c));
  }
  Put16(b, 0);
  Pad4(b);
  b.insert(b.end(), value.begin(), value.end());
  for (const TBajty& child : children) {
    Pad4(b);
    b.insert(b.end(), child.begin(), child.end());
  }
  Set16(b, 0, static_cast<std::uint16_t>(b.size()));
  return b;
}

TBajty Text(const std::string& key, const std::string& text) {
  TBajty value;
  for (const char c : text) {
    Put16(value, static_cast<std::uint8_t>(c));
  }
  Put16(value, 0);
  return Block(key, value, static_cast<std::uint16_t>(text.size() + 1), 1, {});
}

TBajty FixedFileInfo() {
  TBajty f;
  Put32(f, 0xFEEF04BD);  // signature
  Put32(f, 0x00010000);  // structure version
  for (int i = 0; i < 4; ++i) {
    Put32(f, 0);  // file and product version (the strings are what is read)
  }
  Put32(f, 0x3F);     // flags mask
  Put32(f, 0);        // flags
  Put32(f, 0x40004);  // VOS_NT_WINDOWS32
  Put32(f, 2);        // VFT_DLL
  Put32(f, 0);        // subtype
  Put32(f, 0);        // date
  Put32(f, 0);
  return f;
}

}  // namespace

TBajty VersionInfoBlock(const TOpisWersji& opis) {
  char key[9];
  std::snprintf(key, sizeof key, "%04X%04X", opis.language, opis.codePage);
  const std::string tableKey = opis.tableKey.empty() ? std::string(key) : opis.tableKey;
  std::vector<TBajty> children;
  children.push_back(
      Block("StringFileInfo", {}, 0, 1,
            {Block(tableKey, {}, 0, 1,
                   {Text("CompanyName", "Orvala"), Text("FileVersion", opis.fileVersion),
                    Text("ProductName", "Orvala test")})}));
  if (opis.withTranslation) {
    TBajty pair;
    Put16(pair, opis.language);
    Put16(pair, opis.codePage);
    children.push_back(Block("VarFileInfo", {}, 0, 1, {Block("Translation", pair, 4, 0, {})}));
  }
  const TBajty fixed = FixedFileInfo();
  return Block("VS_VERSION_INFO", fixed, static_cast<std::uint16_t>(fixed.size()), 0, children);
}

TBajty ResourceOnlyDll(const TOpisWersji& opis) {
  constexpr std::uint32_t kFileAlignment = 0x200;
  constexpr std::uint32_t kSectionAlignment = 0x1000;
  constexpr std::uint32_t kRsrcRva = 0x1000;

  // The resource section: three directory levels (type 16, name 1, language), one data entry,
  // then the data.
  TBajty rsrc;
  const auto directory = [&](std::uint32_t id, std::uint32_t target) {
    for (int i = 0; i < 3; ++i) {
      Put32(rsrc, 0);  // characteristics, time stamp, version
    }
    Put16(rsrc, 0);  // named entries
    Put16(rsrc, 1);  // id entries
    Put32(rsrc, id);
    Put32(rsrc, target);
  };
  directory(16, 0x80000000u | 0x18);
  directory(1, 0x80000000u | 0x30);
  directory(opis.language, 0x48);
  const TBajty info = VersionInfoBlock(opis);
  Put32(rsrc, kRsrcRva + 0x58);
  Put32(rsrc, static_cast<std::uint32_t>(info.size()));
  Put32(rsrc, 0);
  Put32(rsrc, 0);
  rsrc.resize(0x58, 0);
  rsrc.insert(rsrc.end(), info.begin(), info.end());
  const auto rsrcSize = static_cast<std::uint32_t>(rsrc.size());
  const std::uint32_t rawSize = (rsrcSize + kFileAlignment - 1) / kFileAlignment * kFileAlignment;
  const std::uint32_t imageSize =
      kRsrcRva + (rsrcSize + kSectionAlignment - 1) / kSectionAlignment * kSectionAlignment;

  TBajty pe(0x40, 0);
  Set16(pe, 0, 0x5A4D);  // "MZ"
  Set32(pe, 0x3C, 0x40);
  Put32(pe, 0x00004550);  // "PE\0\0"
  // COFF header
  Put16(pe, 0x014C);  // i386
  Put16(pe, 1);       // sections
  Put32(pe, 0);       // time stamp
  Put32(pe, 0);
  Put32(pe, 0);
  Put16(pe, 224);     // optional header size
  Put16(pe, 0x2102);  // DLL, 32-bit, executable
  // Optional header (PE32)
  Put16(pe, 0x010B);
  Put16(pe, 0);                  // linker version
  Put32(pe, 0);                  // size of code
  Put32(pe, rawSize);            // initialised data
  Put32(pe, 0);                  // uninitialised data
  Put32(pe, 0);                  // entry point: none
  Put32(pe, kRsrcRva);           // base of code
  Put32(pe, kRsrcRva);           // base of data
  Put32(pe, 0x10000000);         // image base
  Put32(pe, kSectionAlignment);  // section alignment
  Put32(pe, kFileAlignment);     // file alignment
  Put16(pe, 4);                  // OS version
  Put16(pe, 0);
  Put16(pe, 0);  // image version
  Put16(pe, 0);
  Put16(pe, 4);  // subsystem version
  Put16(pe, 0);
  Put32(pe, 0);          // Win32 version
  Put32(pe, imageSize);  // size of image
  Put32(pe, 0x200);      // size of headers
  Put32(pe, 0);          // checksum
  Put16(pe, 2);          // GUI subsystem
  Put16(pe, 0);          // DLL characteristics
  Put32(pe, 0x100000);   // stack reserve
  Put32(pe, 0x1000);     // stack commit
  Put32(pe, 0x100000);   // heap reserve
  Put32(pe, 0x1000);     // heap commit
  Put32(pe, 0);          // loader flags
  Put32(pe, 16);         // data directories
  for (int i = 0; i < 16; ++i) {
    Put32(pe, i == 2 ? kRsrcRva : 0);
    Put32(pe, i == 2 ? rsrcSize : 0);
  }
  // Section table
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  pe.insert(pe.end(), name, name + 8);
  Put32(pe, rsrcSize);  // virtual size
  Put32(pe, kRsrcRva);  // virtual address
  Put32(pe, rawSize);   // raw size
  Put32(pe, 0x200);     // raw offset
  Put32(pe, 0);         // relocations
  Put32(pe, 0);         // line numbers
  Put16(pe, 0);
  Put16(pe, 0);
  Put32(pe, 0x40000040);  // initialised data, readable
  pe.resize(0x200, 0);
  pe.insert(pe.end(), rsrc.begin(), rsrc.end());
  pe.resize(0x200 + rawSize, 0);
  return pe;
}

}  // namespace orvala::platform::testy
