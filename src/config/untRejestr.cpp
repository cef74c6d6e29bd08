// The registry accessor and reader, the mark of an installation under way, and the record of a
// run under way (its numbered entries, written ahead and flushed).
#include "config/untRejestr.h"

#include <algorithm>
#include <cstdint>

#include "config/untInstalStale.h"
#include "textutil/untUtils.h"

namespace orvala {

bool TRejestr::OpenKey(const std::string& path, bool canCreate) {
  key_.reset();
  key_ = platform::Platform().OpenKey(RootKey, path, access_, canCreate);
  return key_ != nullptr;
}

bool TRejestr::CloseKey() {
  if (!key_) {
    return true;
  }
  const bool closed = key_->Close();
  key_.reset();
  return closed;
}

bool TRejestr::ReadString(const std::string& name, std::string& value) {
  return key_ && key_->ReadString(name, value);
}
bool TRejestr::WriteBool(const std::string& name, bool value) {
  return key_ && key_->WriteBool(name, value);
}

bool OpenRegistryKey(std::unique_ptr<TRejestr>& accessor, TKorzen root, const std::string& path,
                     bool readOnly) {
  accessor = std::make_unique<TRejestr>(readOnly ? kKeyRead : kKeyAllAccess);
  accessor->RootKey = root;
  return accessor->OpenKey(path, !readOnly);
}

bool CloseRegistryKey(std::unique_ptr<TRejestr>& accessor) {
  if (!accessor) {
    return true;
  }
  const bool closed = accessor->CloseKey();
  accessor.reset();
  return closed;
}

bool ReadRegistryString(TKorzen root, const std::string& path, const std::string& name,
                        std::string& value) {
  std::unique_ptr<TRejestr> accessor;
  bool found = false;
  if (OpenRegistryKey(accessor, root, path, true)) {
    std::string read;
    if (accessor->ReadString(name, read)) {
      value = std::move(read);
      found = true;
    }
  }
  CloseRegistryKey(accessor);
  return found;
}

void SetInstallationInProgress(int edition, bool inProgress) {
  const std::string_view productKey = EditionDescriptor(edition).productKey;
  if (productKey.empty()) {
    return;
  }
  TRejestr accessor(kKeyAllAccess);
  accessor.RootKey = TKorzen::CurrentUser;
  if (accessor.OpenKey(std::string(productKey), inProgress)) {
    accessor.WriteBool(kWartoscInstalacjaTrwa, inProgress);
  }
  accessor.CloseKey();
}

// --- The record of a run under way -------------------------------------------------------------

namespace {

std::string RecordPath(int edition) {
  const std::string_view productKey = EditionDescriptor(edition).productKey;
  return productKey.empty() ? std::string()
                            : std::string(productKey) + '\\' + kKluczTrwajacejInstalacji;
}

std::string EntryText(const TWpisZapisu& e) {
  std::string text = e.original + '|' + e.backup;
  if (e.stamped) {
    text += '|' + std::to_string(e.size) + '|' + std::to_string(e.modified);
  }
  return text;
}

// A decimal number that fills `text` whole; nullopt otherwise.
std::optional<std::uint64_t> Number(const std::string& text) {
  std::uint64_t value = 0;
  return ParseDecimal(text, value) ? std::optional<std::uint64_t>(value) : std::nullopt;
}

// "path|backup" or "path|backup|size|time"; nullopt for anything else.
std::optional<TWpisZapisu> ParseEntry(int index, const std::string& text) {
  std::vector<std::string> parts;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t bar = text.find('|', pos);
    parts.push_back(text.substr(pos, bar == std::string::npos ? std::string::npos : bar - pos));
    if (bar == std::string::npos) {
      break;
    }
    pos = bar + 1;
  }
  if ((parts.size() != 2 && parts.size() != 4) || parts[0].empty() || parts[1].empty()) {
    return std::nullopt;
  }
  TWpisZapisu e{index, parts[0], parts[1]};
  if (parts.size() == 4) {
    const std::optional<std::uint64_t> size = Number(parts[2]);
    const std::optional<std::uint64_t> modified = Number(parts[3]);
    if (!size || !modified) {
      return std::nullopt;
    }
    e.stamped = true;
    e.size = *size;
    e.modified = *modified;
  }
  return e;
}

// The numbered values of an open record key, in number order.
std::vector<TWpisZapisu> EntriesOf(platform::TKluczRejestru& key) {
  std::vector<TWpisZapisu> entries;
  for (const std::string& name : key.ValueNames()) {
    const std::optional<std::uint64_t> index = Number(name);
    std::string text;
    if (!index || *index == 0 || *index > INT32_MAX || !key.ReadString(name, text)) {
      continue;
    }
    if (std::optional<TWpisZapisu> e = ParseEntry(static_cast<int>(*index), text)) {
      entries.push_back(std::move(*e));
    }
  }
  std::sort(entries.begin(), entries.end(),
            [](const TWpisZapisu& a, const TWpisZapisu& b) { return a.index < b.index; });
  return entries;
}

// Whether the key holds an entry (a value that is no entry gives nothing back: it keeps
// nothing alive).
bool HoldsEntries(platform::TKluczRejestru& key) {
  return !EntriesOf(key).empty();
}

}  // namespace

TZapisPrzebiegu::TZapisPrzebiegu(int edition) : path_(RecordPath(edition)) {}

TZapisPrzebiegu::~TZapisPrzebiegu() = default;

bool TZapisPrzebiegu::Open() {
  if (key_) {
    return true;
  }
  key_ = platform::Platform().OpenKey(TKorzen::CurrentUser, path_, kKeyAllAccess, true);
  if (!key_ || !key_->WriteString(kWartoscWlasciciela, platform::Platform().ProcessIdentity())) {
    key_.reset();
    return false;
  }
  // Entries a run before this one could not give back stay, numbered before this run's.
  next_ = 1;
  for (const std::string& name : key_->ValueNames()) {
    if (const std::optional<std::uint64_t> n = Number(name); n && *n < INT32_MAX) {
      next_ = std::max(next_, static_cast<int>(*n) + 1);
    }
  }
  first_ = next_;
  return true;
}

void TZapisPrzebiegu::Discard() {
  if (!key_) {
    return;
  }
  // Written to the disk before the caller deletes what the entries name: after a power cut a
  // record come back would give old files back over new ones whose backups are half gone.
  if (first_ == 1) {
    key_->Close();
    key_.reset();
    platform::TPlatforma& os = platform::Platform();
    os.RemoveKey(TKorzen::CurrentUser, path_);
    const std::string parent = path_.substr(0, path_.rfind('\\'));
    if (const auto key = os.OpenKey(TKorzen::CurrentUser, parent, kKeyAllAccess, false)) {
      key->Flush();
    }
    return;
  }
  for (int index = first_; index < next_; ++index) {
    key_->DeleteValue(std::to_string(index));
  }
  key_->Flush();
  Close();
}

bool TZapisPrzebiegu::Add(TWpisZapisu& entry) {
  if (path_.empty()) {
    return true;
  }
  if (!Open() || next_ == INT32_MAX) {
    return false;
  }
  entry.index = next_;
  if (!key_->WriteString(std::to_string(entry.index), EntryText(entry))) {
    return false;  // the number stays free for the next entry
  }
  ++next_;
  return true;
}

bool TZapisPrzebiegu::Update(const TWpisZapisu& entry) {
  return path_.empty() ||
         (key_ && key_->WriteString(std::to_string(entry.index), EntryText(entry)));
}

bool TZapisPrzebiegu::Remove(int index) {
  return path_.empty() || (key_ && key_->DeleteValue(std::to_string(index)));
}

bool TZapisPrzebiegu::Flush() {
  return path_.empty() || !key_ || key_->Flush();
}

void TZapisPrzebiegu::Close() {
  if (!key_) {
    return;
  }
  const bool empty = !HoldsEntries(*key_);
  key_->Close();
  key_.reset();
  if (empty) {
    platform::Platform().RemoveKey(TKorzen::CurrentUser, path_);
  }
}

std::optional<TZapisPozostaly> ReadInterruptedRun(int edition) {
  const std::string path = RecordPath(edition);
  if (path.empty()) {
    return std::nullopt;
  }
  const std::unique_ptr<platform::TKluczRejestru> key =
      platform::Platform().OpenKey(TKorzen::CurrentUser, path, kKeyRead, false);
  if (!key) {
    return std::nullopt;
  }
  TZapisPozostaly left;
  key->ReadString(kWartoscWlasciciela, left.owner);
  left.entries = EntriesOf(*key);
  key->Close();
  return left;
}

void ForgetInterruptedRun(int edition) {
  const std::string path = RecordPath(edition);
  if (!path.empty()) {
    platform::Platform().RemoveKey(TKorzen::CurrentUser, path);
  }
}

void ForgetRecordEntries(int edition, const std::vector<int>& indices) {
  const std::string path = RecordPath(edition);
  if (path.empty() || indices.empty()) {
    return;
  }
  std::unique_ptr<platform::TKluczRejestru> key =
      platform::Platform().OpenKey(TKorzen::CurrentUser, path, kKeyAllAccess, false);
  if (!key) {
    return;
  }
  for (const int index : indices) {
    key->DeleteValue(std::to_string(index));
  }
  const bool empty = !HoldsEntries(*key);
  key->Close();
  key.reset();
  if (empty) {
    platform::Platform().RemoveKey(TKorzen::CurrentUser, path);
  }
}

}  // namespace orvala
