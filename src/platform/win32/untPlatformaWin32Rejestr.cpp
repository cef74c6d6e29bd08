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

  // Strings go through the wide functions on an NT-family system (paths among them keep every
  // name), through the *A ones in the ANSI code page on any other.
  bool ReadString(const std::string& name, std::string& value) override {
    if (!key_) {
      return false;
    }
    if (SystemNt()) {
      std::wstring text;
      if (!Czytaj<wchar_t>(ZUtf8(name).c_str(), text, &::RegQueryValueExW)) {
        return false;
      }
      value = DoUtf8(text);
      return true;
    }
    std::string text;
    if (!Czytaj<char>(name.c_str(), text, &::RegQueryValueExA)) {
      return false;
    }
    value = ZSystemu(text.c_str());
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
    const std::wstring wide = ZUtf8(value);
    if (wide.empty() && !value.empty()) {
      return false;  // no UTF-8
    }
    if (SystemNt()) {
      return WriteWideString(name, FromWideChars(wide));
    }
    std::string ansi;
    if (!DoAnsi(wide, ansi)) {
      return false;  // the system could not hold it
    }
    return key_ && ::RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(ansi.c_str()),
                                    static_cast<DWORD>(ansi.size() + 1)) == ERROR_SUCCESS;
  }
  bool WriteWideString(const std::string& name, const TWideString& value) override {
    return key_ && ::RegSetValueExW(key_.Get(), ZUtf8(name).c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(WideChars(value)),
                                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
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
  // Value names are ASCII, as every name the program writes.
  bool DeleteValue(const std::string& name) override {
    return key_ && ::RegDeleteValueA(key_.Get(), name.c_str()) == ERROR_SUCCESS;
  }
  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0; key_; ++i) {
      DWORD length = sizeof name;
      const LONG status =
          ::RegEnumValueA(key_.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_MORE_DATA) {
        continue;  // a name longer than any the program writes: not one of its values
      }
      if (status != ERROR_SUCCESS) {
        break;
      }
      names.emplace_back(name, length);
    }
    return names;
  }
  bool Flush() override { return key_ && ::RegFlushKey(key_.Get()) == ERROR_SUCCESS; }
  bool Close() override {
    const HKEY key = key_.Release();
    return key != nullptr && ::RegCloseKey(key) == ERROR_SUCCESS;
  }

 private:
  // A REG_SZ or REG_EXPAND_SZ value of `Znak` characters, whole.
  template <typename Znak, typename Zapytanie>
  bool Czytaj(const Znak* name, std::basic_string<Znak>& text, Zapytanie query) {
    DWORD type = 0;
    DWORD size = 0;
    if (query(key_.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return false;
    }
    // One character more than the data: the stored data need not end with its NUL.
    std::vector<Znak> buffer(size / sizeof(Znak) + 1, Znak{});
    size = static_cast<DWORD>((buffer.size() - 1) * sizeof(Znak));
    if (query(key_.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return false;
    }
    const std::size_t length = std::min<std::size_t>(size / sizeof(Znak), buffer.size() - 1);
    text.assign(buffer.data(), length);
    text.resize(std::basic_string<Znak>(text.c_str()).size());  // up to the first NUL
    return true;
  }

  TUchwytKlucza key_;
};

}  // namespace

std::unique_ptr<TKluczRejestru> TPlatformaWin32::OpenKey(TKorzen root, const std::string& path,
                                                         std::uint32_t access, bool create) {
  const HKEY hive = Hive(root);
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
