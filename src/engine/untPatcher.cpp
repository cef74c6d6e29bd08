// The patcher. Divisions: patch scripts on buffers; reading list records; whole-file loading;
// the patch entry and list on the decoder working state; the installation run's two steps.
#include "engine/untPatcher.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "config/untInstalStale.h"
#include "config/untStaleApp.h"
#include "engine/untBledy.h"
#include "textutil/untKodowanie.h"
#include "engine/untSciezki.h"
#include "engine/untStanDekodera.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtils.h"

namespace orvala {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

// --- Patch scripts on buffers ---------------------------------------------------------------

std::uint32_t PatchChecksum(std::span<const std::uint8_t> data) {
  // Eight bytes at a time: the even and the odd bytes of a word go into four 16-bit lanes
  // each, which hold the sum of 256 words without overflowing (256 * 255 < 65536).
  constexpr std::uint64_t kBajtyParzyste = 0x00FF00FF00FF00FFull;
  auto laneSum = [](std::uint64_t x) {
    return (x & 0xFFFF) + ((x >> 16) & 0xFFFF) + ((x >> 32) & 0xFFFF) + (x >> 48);
  };
  const std::uint8_t* p = data.data();
  std::size_t n = data.size();
  std::uint64_t total = 0;
  while (n >= 8) {
    const std::size_t words = std::min<std::size_t>(n / 8, 256);
    std::uint64_t even = 0;
    std::uint64_t odd = 0;
    for (std::size_t w = 0; w < words; ++w) {
      std::uint64_t v = 0;
      std::memcpy(&v, p + 8 * w, 8);
      even += v & kBajtyParzyste;
      odd += (v >> 8) & kBajtyParzyste;
    }
    total += laneSum(even) + laneSum(odd);
    p += 8 * words;
    n -= 8 * words;
  }
  for (; n != 0; --n) {
    total += *p++;
  }
  return static_cast<std::uint32_t>(total);
}

std::uint64_t MaxScriptOutput(std::uint64_t scriptLength) {
  if (scriptLength < kNaglowekSkryptu) {
    return 0;
  }
  const std::uint64_t commands = scriptLength - kNaglowekSkryptu;
  return commands / 5 * kRozmiarBlokuLatki + commands % 5;
}

TWynikSkryptu RunPatchScript(std::span<const std::uint8_t> script,
                             std::span<const std::uint8_t> oldFile,
                             std::span<std::uint8_t> output) {
  if (script.size() < kNaglowekSkryptu) {
    return {TBladSkryptu::HeaderTruncated, 0};
  }
  if (PatchChecksum(oldFile) != Le32(script.data())) {
    return {TBladSkryptu::ChecksumMismatch, 0};
  }
  const std::uint8_t escape = script[4];
  const std::uint8_t* const s = script.data();
  const std::size_t n = script.size();
  const std::size_t capacity = output.size();
  std::size_t pos = kNaglowekSkryptu;
  std::size_t out = 0;
  while (pos < n) {
    // A run of literal bytes up to the next escape byte.
    const void* found = std::memchr(s + pos, escape, n - pos);
    const std::size_t runEnd =
        found == nullptr ? n
                         : static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - s);
    const std::size_t run = runEnd - pos;
    if (run > capacity - out) {
      return {TBladSkryptu::OutputOverCapacity, 0};
    }
    if (run != 0) {
      std::memcpy(output.data() + out, s + pos, run);
      out += run;
    }
    pos = runEnd;
    if (pos == n) {
      break;
    }
    // An escape byte: E E is a literal E, E o0..o3 a block reference.
    ++pos;
    if (pos == n) {
      return {TBladSkryptu::CommandTruncated, 0};
    }
    if (s[pos] == escape) {
      ++pos;
      if (out == capacity) {
        return {TBladSkryptu::OutputOverCapacity, 0};
      }
      output[out++] = escape;
      continue;
    }
    if (n - pos < 4) {
      return {TBladSkryptu::CommandTruncated, 0};
    }
    const std::uint32_t offset = Le32(s + pos);
    pos += 4;
    if (offset > oldFile.size() || oldFile.size() - offset < kRozmiarBlokuLatki) {
      return {TBladSkryptu::BlockOutsideOld, 0};
    }
    if (capacity - out < kRozmiarBlokuLatki) {
      return {TBladSkryptu::OutputOverCapacity, 0};
    }
    std::memcpy(output.data() + out, oldFile.data() + offset, kRozmiarBlokuLatki);
    out += kRozmiarBlokuLatki;
  }
  return {TBladSkryptu::None, out};
}

// --- Names ------------------------------------------------------------------------------------

bool IsContainedName(const std::string& name) {
  if (name.empty() || name.find(':') != std::string::npos) {
    return false;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t end = name.find_first_of("\\/", start);
    const std::string part = name.substr(start, end == std::string::npos ? end : end - start);
    if (part.empty() || part == "." || part == "..") {
      return false;
    }
    if (end == std::string::npos) {
      return true;
    }
    start = end + 1;
  }
}

namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerChar1250(static_cast<std::uint8_t>(x)) ==
                  LowerChar1250(static_cast<std::uint8_t>(y));
         });
}

std::string ListPath(const std::string& updateDirectory, const std::string& listName) {
  return WithTrailingBackslash(updateDirectory) + listName;
}

// --- Reading list records -----------------------------------------------------------------

// Reads the inverted bytes of a patch list in chunks. A read error or a record cut short
// raises EInOutError.
class TCzytnikListy {
 public:
  TCzytnikListy(platform::TPlikPlatformy& file, std::string path)
      : file_(file), path_(std::move(path)) {}

  // The next record; false at the end of the list (no byte left before a record).
  bool ReadRecord(TRekordLatki& record) {
    if (!Fill()) {
      return false;
    }
    record.patchName = ReadName();
    record.targetName = ReadName();
    record.oldLength = ReadNumber(4);
    record.scriptLength = ReadNumber(4);
    record.newLength = ReadNumber(4);
    return true;
  }

 private:
  // True when at least one byte is buffered.
  bool Fill() {
    if (pos_ < count_) {
      return true;
    }
    std::size_t got = 0;
    if (!file_.Read(buffer_.data(), buffer_.size(), got) || got > buffer_.size()) {
      throw EInOutError("cannot read the patch list " + path_);
    }
    pos_ = 0;
    count_ = got;
    return got != 0;
  }

  std::uint8_t ReadByte() {
    if (!Fill()) {
      throw EInOutError("the patch list " + path_ + " ends inside a record");
    }
    return static_cast<std::uint8_t>(~buffer_[pos_++]);
  }

  std::uint32_t ReadNumber(int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      value |= static_cast<std::uint32_t>(ReadByte()) << (8 * i);
    }
    return value;
  }

  std::string ReadName() {
    const std::uint32_t length = ReadNumber(2);
    std::string name;
    name.reserve(length);
    for (std::uint32_t i = 0; i < length; ++i) {
      name.push_back(static_cast<char>(ReadByte()));
    }
    return name;
  }

  platform::TPlikPlatformy& file_;
  std::string path_;
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(4096);
  std::size_t pos_ = 0;
  std::size_t count_ = 0;
};

// --- Whole files -------------------------------------------------------------------------------

// The size of a file as a directory search finds it: hidden and system files and directories
// are not found.
std::optional<std::uint64_t> FoundFileSize(const std::string& path) {
  const std::optional<platform::TWpisKatalogu> entry = platform::Platform().FindEntry(path);
  if (!entry || entry->IsDirectory() ||
      (entry->attributes & (platform::kAttrHidden | platform::kAttrSystem)) != 0) {
    return std::nullopt;
  }
  return entry->size;
}

// Reads exactly `size` bytes of `path` into `data`; fewer raise EInOutError.
void LoadWholeFile(const std::string& path, std::uint64_t size, std::vector<std::uint8_t>& data) {
  if (size > data.max_size()) {
    throw EInOutError("file too large: " + path);
  }
  std::unique_ptr<platform::TPlikPlatformy> file = platform::Platform().OpenRead(path);
  if (!file) {
    throw EInOutError("cannot open " + path);
  }
  data.resize(static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < data.size()) {
    std::size_t got = 0;
    if (!file->Read(data.data() + done, data.size() - done, got) || got > data.size() - done) {
      throw EInOutError("cannot read " + path);
    }
    if (got == 0) {
      throw EInOutError("file shorter than its directory entry: " + path);
    }
    done += got;
  }
  file->Close();  // read-only: a failing close loses nothing
}

// Writes the new file (buffer B) as the temporary file and puts it in the installed file's
// place. Sets the status on a short write or a failed replacement.
void InstallNewFile(TStanDekodera& st, const std::string& targetPath) {
  const std::string temporary = st.targetDirectory + kPlikTymczasowyLatki;
  std::unique_ptr<platform::TPlikPlatformy> out = platform::Platform().CreateWrite(temporary);
  if (!out) {
    throw EInOutError("cannot create " + temporary);
  }
  std::size_t written = 0;
  const bool wrote = out->Write(st.b.data(), st.bCount, written);
  if (!wrote || written != st.bCount) {
    st.status = kStatusNiepelnyPlik;
    out->Close();  // the incomplete temporary file is left; the installed file is untouched
    return;
  }
  if (!out->Close()) {
    throw EInOutError("cannot close " + temporary);
  }
  if (!platform::Platform().ReplaceFile(temporary, targetPath)) {
    st.status = kStatusZamianaNieudana;
  }
}

}  // namespace

// --- The patcher on the decoder working state ---------------------------------------------------

void ApplyPatchScript() {
  TStanDekodera& st = DecoderState();
  if (st.status != kStatusOk) {
    return;
  }
  st.bCount = 0;
  const std::size_t scriptBytes = std::min(st.produced, st.a.size());
  const TWynikSkryptu result = RunPatchScript(std::span(st.a.data(), scriptBytes), st.oldFile,
                                              std::span(st.b.data(), st.b.size()));
  switch (result.error) {
    case TBladSkryptu::None:
      st.bCount = result.produced;
      break;
    case TBladSkryptu::ChecksumMismatch:
      st.status = kStatusZlaWersja;
      break;
    default:
      st.status = kStatusNiepelnyPlik;
      break;
  }
}

void ApplyPatchEntry(const std::string& patchName, const std::string& targetName,
                     std::uint32_t oldLength, std::uint32_t scriptLength, std::uint32_t newLength) {
  TStanDekodera& st = DecoderState();

  // 1. The patch file, whole, into buffer A (also after an earlier entry failed).
  const std::string patchPath = st.updateDirectory + patchName;
  const std::optional<std::uint64_t> patchSize =
      IsContainedName(patchName) ? FoundFileSize(patchPath) : std::nullopt;
  if (!patchSize) {
    throw EInOutError("patch file not found: " + patchPath);
  }
  LoadWholeFile(patchPath, *patchSize, st.a);
  st.aCount = st.a.size();

  // 2. The installed file must exist with the old length. The temporary file's own name is
  // refused: creating the temporary file would truncate it.
  const std::string targetPath = st.targetDirectory + targetName;
  const bool usableName =
      IsContainedName(targetName) && !EqualNoCase(targetName, kPlikTymczasowyLatki);
  const std::optional<std::uint64_t> targetSize =
      usableName ? FoundFileSize(targetPath) : std::nullopt;
  if (!targetSize || *targetSize != oldLength) {
    st.status = kStatusZlaDlugosc;
    return;
  }

  // 3. The installed file, whole.
  LoadWholeFile(targetPath, *targetSize, st.oldFile);

  // 4. Unpack the script and run it. The stages do nothing while the status is non-zero. A
  // back-reference item yields at most 5 bytes per item byte and a script at most 256 bytes
  // per 5 command bytes, so the capacities are bounded by what the data can produce.
  if (st.status == kStatusOk) {
    st.error = TBladDekodera::None;
  }
  DecodePrefixStage();
  st.aCapacity = static_cast<std::size_t>(
      std::min<std::uint64_t>(scriptLength, static_cast<std::uint64_t>(st.bCount) * 5));
  DecodeBackrefStage();
  if (st.status == kStatusOk && st.error != TBladDekodera::None) {
    st.status = kStatusNiepelnyPlik;
  }
  if (st.status == kStatusOk) {
    st.b.resize(
        static_cast<std::size_t>(std::min<std::uint64_t>(newLength, MaxScriptOutput(st.produced))));
    // The new length is the output's capacity: any output up to it is the new file.
    ApplyPatchScript();
  }

  // 5. A failed entry leaves the installed file as it was.
  if (st.status != kStatusOk) {
    return;
  }

  // 6-8. Temporary file, then the replacement in one step.
  InstallNewFile(st, targetPath);
}

std::int32_t ApplyPatchList(const std::string& listName, const std::string& updateDirectory,
                            const std::string& targetDirectory) {
  TStanDekodera& st = DecoderState();
  st.updateDirectory = WithTrailingBackslash(updateDirectory);
  st.targetDirectory = WithTrailingBackslash(targetDirectory);
  st.status = kStatusOk;

  const std::string listPath = st.updateDirectory + listName;
  std::unique_ptr<platform::TPlikPlatformy> list = platform::Platform().OpenRead(listPath);
  if (!list) {
    st.status = kStatusBrakListy;
    return st.status;
  }
  TCzytnikListy reader(*list, listPath);
  TRekordLatki record;
  while (reader.ReadRecord(record)) {
    // The list names its files in Windows-1250; paths are UTF-8.
    ApplyPatchEntry(CodePageToUtf8(record.patchName, TStronaKodowa::Cp1250),
                    CodePageToUtf8(record.targetName, TStronaKodowa::Cp1250), record.oldLength,
                    record.scriptLength, record.newLength);
  }
  list->Close();  // read-only: a failing close loses nothing
  return st.status;
}

// --- Use by the installation run -------------------------------------------------------------

std::string EffectiveUpdateDirectory(const std::string& updateDirectory,
                                     const std::string& sourceDirectory) {
  return updateDirectory.empty() ? sourceDirectory : updateDirectory;
}

std::string PatchScriptListName(int n) {
  return n <= 1 ? std::string("info.pth") : "info" + std::to_string(n) + ".pth";
}

void ApplyEditionPatches(const std::string& updateDirectory, const std::string& targetDirectory) {
  for (const TPatchData* row : RowsForEdition(PatchListTable(), ActiveEdition())) {
    const std::string listName(row->listFile);
    if (platform::Platform().FileExists(ListPath(updateDirectory, listName))) {
      ApplyPatchList(listName, updateDirectory, targetDirectory);
    }
  }
}

void ApplyPatchScripts(const std::string& updateDirectory, const std::string& targetDirectory) {
  for (int n = 1; n > 0; ++n) {
    const std::string listName = PatchScriptListName(n);
    if (!platform::Platform().FileExists(ListPath(updateDirectory, listName))) {
      return;
    }
    try {
      ApplyPatchList(listName, updateDirectory, targetDirectory);
    } catch (const std::exception&) {
      // A failing list is optional: the next one is still tried.
    }
  }
}

}  // namespace orvala
