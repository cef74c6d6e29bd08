// The Win32 platform: registry keys and their values.
#include "platform/win32/untWindows.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"
#include "platform/win32/untUchwyty.h"

namespace orvala::platform {

using namespace win32;

namespace {

class TKluczWin32 final : public TKluczRejestru {
 public:
  explicit TKluczWin32(TUchwytKlucza key) : key_(std::move(key)) {}

  bool ReadString(const std::string& name, std::string& value) override {
    DWORD type = 0;
    DWORD size = 0;
    if (!key_ ||
        ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return false;
    }
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    if (::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return false;
    }
    // The stored data need not end with its NUL; the extra byte guarantees one.
    value.assign(buffer.data(), strnlen(buffer.data(), std::min<std::size_t>(size, buffer.size())));
    return true;
  }
  bool ReadInteger(const std::string& name, std::int32_t& value) override {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (!key_ ||
        ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data) {
      return false;
    }
    value = static_cast<std::int32_t>(data);
    return true;
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    return key_ && ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  }
  bool WriteWideString(const std::string& name, const TWideString& value) override {
    const std::wstring wide = Szeroki(value);
    return key_ && ::RegSetValueExW(key_.Get(), ZAnsi(name).c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(wide.c_str()),
                                    static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) ==
                       ERROR_SUCCESS;
  }
  bool WriteInteger(const std::string& name, std::int32_t value) override {
    const DWORD data = static_cast<DWORD>(value);
    return key_ &&
           ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
  }
  bool WriteBool(const std::string& name, bool value) override {
    return WriteInteger(name, value ? 1 : 0);
  }
  bool Close() override {
    const HKEY key = key_.Release();
    return key != nullptr && ::RegCloseKey(key) == ERROR_SUCCESS;
  }

 private:
  TUchwytKlucza key_;
};

}  // namespace

std::unique_ptr<TKluczRejestru> TPlatformaWin32::OpenKey(TKorzen root, const std::string& path,
                                                         std::uint32_t access, bool create) {
  const HKEY hive = root == TKorzen::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  TUchwytKlucza key;
  LONG result = ERROR_SUCCESS;
  if (create) {
    DWORD disposition = 0;
    result = ::RegCreateKeyExA(hive, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               static_cast<REGSAM>(access), nullptr, key.Put(), &disposition);
  } else {
    result = ::RegOpenKeyExA(hive, path.c_str(), 0, static_cast<REGSAM>(access), key.Put());
  }
  if (result != ERROR_SUCCESS || !key) {
    return nullptr;
  }
  return std::make_unique<TKluczWin32>(std::move(key));
}

}  // namespace orvala::platform
