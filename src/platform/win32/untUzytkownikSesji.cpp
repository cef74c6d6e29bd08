// The user logged on to the session when the program runs as another account (an
// administrator's password typed at the elevation prompt, "Run as"): the owner of the shell's
// process. Its registry hive (loaded under HKEY_USERS while the user is logged on) takes the
// place of HKEY_CURRENT_USER, and its token gives the per-user shell folders.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untUchwyty.h"
#include "platform/win32/untWindows.h"
// After <windows.h>, which it needs.
#include <sddl.h>

namespace orvala::platform {

struct TPlatformaWin32::TUzytkownikSesji {
  win32::TUchwytKlucza hive;    // HKEY_USERS\<the user's SID>
  win32::TUchwytProcesu token;  // the shell's token
};

TPlatformaWin32::TPlatformaWin32() = default;
TPlatformaWin32::~TPlatformaWin32() = default;

namespace {

// The TOKEN_USER of a token, in a buffer of its own; empty when it cannot be read.
std::vector<std::uint8_t> UserOf(HANDLE token) {
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<std::uint8_t> buffer(size);
  if (size == 0 || !::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    buffer.clear();
  }
  return buffer;
}
PSID SidOf(std::vector<std::uint8_t>& user) {
  return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

}  // namespace

bool TPlatformaWin32::ServeLoggedOnUser() {
  if (!IsNtPlatform() || loggedOnUser_) {
    return false;  // Windows 9x: one user and no tokens
  }
  HWND shell = ::GetShellWindow();
  DWORD shellProcess = 0;
  if (shell == nullptr || ::GetWindowThreadProcessId(shell, &shellProcess) == 0 ||
      shellProcess == 0) {
    return false;
  }
  const win32::TUchwytProcesu process(
      ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, shellProcess));
  win32::TUchwytProcesu shellToken;
  win32::TUchwytProcesu ownToken;
  if (!process ||
      !::OpenProcessToken(process.Get(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE,
                          shellToken.Put()) ||
      !::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, ownToken.Put())) {
    return false;
  }
  std::vector<std::uint8_t> shellUser = UserOf(shellToken.Get());
  std::vector<std::uint8_t> ownUser = UserOf(ownToken.Get());
  if (shellUser.empty() || ownUser.empty() || ::EqualSid(SidOf(shellUser), SidOf(ownUser))) {
    return false;
  }
  LPWSTR text = nullptr;
  if (!::ConvertSidToStringSidW(SidOf(shellUser), &text)) {
    return false;
  }
  const std::wstring sid(text);
  ::LocalFree(text);
  win32::TUchwytKlucza hive;
  if (::RegOpenKeyExW(HKEY_USERS, sid.c_str(), 0, KEY_READ | KEY_WRITE, hive.Put()) !=
      ERROR_SUCCESS) {
    return false;  // not loaded: nothing changes, rather than half of it
  }
  loggedOnUser_.reset(new TUzytkownikSesji{std::move(hive), std::move(shellToken)});
  return true;
}

HKEY TPlatformaWin32::Hive(TKorzen root) const {
  if (root == TKorzen::LocalMachine) {
    return HKEY_LOCAL_MACHINE;
  }
  return loggedOnUser_ ? loggedOnUser_->hive.Get() : HKEY_CURRENT_USER;
}

void* TPlatformaWin32::UserToken() const {
  return loggedOnUser_ ? loggedOnUser_->token.Get() : nullptr;
}

}  // namespace orvala::platform
