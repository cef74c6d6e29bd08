// The installer's registry state: the shared registry accessor and reader, and the flag that
// marks an installation as running.
//
// An accessor (TRejestr) holds a hive root, an access mask and at most one open key; it is
// created, used and freed within one operation. Nothing here reports an error to the user: a
// key that cannot be opened means that readers find no value and writers write nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/untPlatforma.h"

namespace orvala {

using platform::kKeyAllAccess;
using platform::kKeyRead;
using platform::TKorzen;

class TRejestr {
 public:
  explicit TRejestr(std::uint32_t access) : access_(access) {}

  TKorzen RootKey = TKorzen::CurrentUser;
  std::uint32_t Access() const { return access_; }
  bool IsOpen() const { return key_ != nullptr; }

  // Opens `path` under RootKey with the accessor's mask (closing any key it held); creates the
  // missing keys only when `canCreate` is true.
  bool OpenKey(const std::string& path, bool canCreate);
  // Closes the open key; true also when none was open.
  bool CloseKey();

  // The value operations of the open key (the reader's string, the running flag's boolean);
  // false when no key is open or the call fails.
  bool ReadString(const std::string& name, std::string& value);
  bool WriteBool(const std::string& name, bool value);

 private:
  std::uint32_t access_;
  std::unique_ptr<platform::TKluczRejestru> key_;
};

// Creates `accessor` with read access when `readOnly` is true and full access otherwise, sets
// the root and opens `path`, creating it only when `readOnly` is false. False on any error
// (the accessor then exists without an open key).
bool OpenRegistryKey(std::unique_ptr<TRejestr>& accessor, TKorzen root, const std::string& path,
                     bool readOnly);
// Closes the key and frees the accessor; true on success or when there was no accessor.
bool CloseRegistryKey(std::unique_ptr<TRejestr>& accessor);
// Opens read-only; when the key opened and the value exists (as a string), reads it into
// `value` and returns true; otherwise false with `value` unchanged. The key is always closed.
bool ReadRegistryString(TKorzen root, const std::string& path, const std::string& name,
                        std::string& value);

inline constexpr const char* kWartoscInstalacjaTrwa = "InstallationInProgress";

// Writes "InstallationInProgress" = inProgress (a 32-bit 1 or 0) under the edition's product
// key in HKEY_CURRENT_USER, creating the key if and only if inProgress is true: clearing the
// flag where the key does not exist creates nothing. An edition without a product key writes
// nothing.
void SetInstallationInProgress(int edition, bool inProgress);

}  // namespace orvala
