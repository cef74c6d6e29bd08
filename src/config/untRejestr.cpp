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

}  // namespace orvala
