#include "config/untRejestr.h"

#include "config/untInstalStale.h"

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

}  // namespace

TZapisPrzebiegu::TZapisPrzebiegu(int edition) : path_(RecordPath(edition)) {}

TZapisPrzebiegu::~TZapisPrzebiegu() = default;

void TZapisPrzebiegu::Start() {
  if (path_.empty()) {
    return;
  }
  key_.reset();
  platform::Platform().RemoveKey(TKorzen::CurrentUser, path_);
  made_ = false;
  count_ = 0;
}

void TZapisPrzebiegu::Moving(const std::string& original, const std::string& backup) {
  if (!made_ && !path_.empty()) {
    made_ = true;
    key_ = platform::Platform().OpenKey(TKorzen::CurrentUser, path_, kKeyAllAccess, true);
  }
  if (key_) {
    key_->WriteString(std::to_string(++count_), original + '|' + backup);
  }
}

void TZapisPrzebiegu::End() {
  if (key_) {
    key_->Close();
    key_.reset();
  }
  if (made_) {
    platform::Platform().RemoveKey(TKorzen::CurrentUser, path_);
    made_ = false;
  }
}

std::optional<std::vector<TPrzeniesienie>> ReadInterruptedRun(int edition) {
  const std::string path = RecordPath(edition);
  if (path.empty()) {
    return std::nullopt;
  }
  const std::unique_ptr<platform::TKluczRejestru> key =
      platform::Platform().OpenKey(TKorzen::CurrentUser, path, kKeyRead, false);
  if (!key) {
    return std::nullopt;
  }
  std::vector<TPrzeniesienie> moved;
  std::string entry;
  for (int n = 1; key->ReadString(std::to_string(n), entry); ++n) {
    const std::size_t bar = entry.find('|');
    if (bar != std::string::npos) {
      moved.emplace_back(entry.substr(0, bar), entry.substr(bar + 1));
    }
  }
  key->Close();
  return moved;
}

void ForgetInterruptedRun(int edition) {
  const std::string path = RecordPath(edition);
  if (!path.empty()) {
    platform::Platform().RemoveKey(TKorzen::CurrentUser, path);
  }
}

}  // namespace orvala
