// The platform's registry: keys opened, created and removed, values read and written. Part of
// TPlatforma (untPlatforma.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "textutil/untTekst.h"

namespace orvala::platform {

enum class TKorzen { CurrentUser, LocalMachine };

inline constexpr std::uint32_t kKeyRead = 0x20019;       // KEY_READ
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;  // KEY_ALL_ACCESS

// An open registry key.
class TKluczRejestru {
 public:
  virtual ~TKluczRejestru() = default;
  // True and `value` set when the value exists and is a string; otherwise false, value untouched.
  virtual bool ReadString(const std::string& name, std::string& value) = 0;
  // The same for a REG_DWORD. The program only writes integers; reading them back is how both
  // implementations are held to storing DWORDs.
  virtual bool ReadInteger(const std::string& name, std::int32_t& value) = 0;
  virtual bool WriteString(const std::string& name, const std::string& value) = 0;
  // A UTF-16 string value (REG_SZ written through the wide API).
  virtual bool WriteWideString(const std::string& name, const TWideString& value) = 0;
  virtual bool WriteInteger(const std::string& name, std::int32_t value) = 0;  // REG_DWORD
  virtual bool WriteBool(const std::string& name, bool value) = 0;             // REG_DWORD 1 / 0
  virtual bool DeleteValue(const std::string& name) = 0;  // false when it is not there
  // The names of the key's values, in no particular order.
  virtual std::vector<std::string> ValueNames() = 0;
  // Writes the key's changes to the disk before it returns (the system writes them lazily,
  // seconds later, otherwise).
  virtual bool Flush() = 0;
  virtual bool Close() = 0;
};

class TPlatformaRejestr {
 public:
  virtual ~TPlatformaRejestr() = default;

  // Opens `path` under `root` with `access`; creates missing keys only when `create` is true.
  virtual std::unique_ptr<TKluczRejestru> OpenKey(TKorzen root, const std::string& path,
                                                  std::uint32_t access, bool create) = 0;
  // Deletes the key `path` under `root` with its values (a key with subkeys is not deleted).
  // False when it does not exist or cannot be deleted.
  virtual bool RemoveKey(TKorzen root, const std::string& path) = 0;
};

}  // namespace orvala::platform
