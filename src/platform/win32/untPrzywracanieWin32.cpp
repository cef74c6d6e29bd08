// The Win32 platform: what a reinstall needs to give the previous installation back: the reason
// a failed file operation returns (a file that another program holds), deletion at the next
// restart, the removal of a registry key (the record of a run under way), writing a volume's data
// to the disk, pauses between tries, and telling whether the process that owns a record still
// runs.
//
// A file that another process keeps open without delete sharing cannot be renamed, replaced or
// deleted (ERROR_SHARING_VIOLATION; a locked range: ERROR_LOCK_VIOLATION); the .exe of a
// running program can be renamed but not deleted (ERROR_ACCESS_DENIED). Access is denied for
// other reasons too (a read-only file, a directory, a hidden or system file that CREATE_ALWAYS
// refuses): then the entry's attributes say so, and the failure is not one of a file in use.
#include "platform/win32/untWindows.h"

#include <string>
#include <vector>

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"
#include "platform/win32/untUchwyty.h"
#include "textutil/untUtils.h"

namespace orvala::platform {

using namespace win32;

namespace win32 {

TWynik Wynik(bool done, const std::string& path) {
  if (done) {
    return TWynik();
  }
  const DWORD error = ::GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return TWynik::Failed(TPrzyczynaBledu::PlikWUzyciu);
  }
  if (error != ERROR_ACCESS_DENIED) {
    return TWynik::Failed();
  }
  const TSciezka p = Sciezka(path);
  const DWORD attributes = !p.ok        ? INVALID_FILE_ATTRIBUTES
                           : SystemNt() ? ::GetFileAttributesW(p.W())
                                        : ::GetFileAttributesA(p.A());
  constexpr DWORD kOdmowaBezUzycia = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY |
                                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kOdmowaBezUzycia) != 0) {
    return TWynik::Failed();
  }
  return TWynik::Failed(TPrzyczynaBledu::PlikWUzyciu);
}

}  // namespace win32

namespace {

// A non-NT system deletes at its next start what WININIT.INI's [rename] section names as
// "NUL=<short path>". The line is added to the section (or the section to the file), never
// replacing an earlier line: WritePrivateProfileString would keep one NUL line only.
bool DeleteThroughWininit(const TSciezka& p) {
  char shortPath[MAX_PATH] = {};
  char windows[MAX_PATH] = {};
  const DWORD length = ::GetShortPathNameA(p.A(), shortPath, MAX_PATH);
  const UINT folder = ::GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || folder == 0 || folder >= MAX_PATH - 12) {
    return false;
  }
  const std::string ini = std::string(windows) + "\\WININIT.INI";
  std::string text;
  {
    TUchwytPliku in(::CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (in) {
      char block[4096];
      DWORD got = 0;
      while (::ReadFile(in.Get(), block, sizeof block, &got, nullptr) != FALSE && got > 0) {
        text.append(block, got);
      }
    }
  }
  const std::string line = std::string("NUL=") + shortPath + "\r\n";
  const std::size_t section = LowerText1250(text).find("[rename]");
  if (section == std::string::npos) {
    if (!text.empty() && text.back() != '\n') {
      text += "\r\n";
    }
    text += "[rename]\r\n" + line;
  } else {
    const std::size_t end = text.find('\n', section);
    text.insert(end == std::string::npos ? text.size() : end + 1,
                end == std::string::npos ? "\r\n" + line : line);
  }
  TUchwytPliku out(::CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return out &&
         ::WriteFile(out.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) !=
             FALSE &&
         written == text.size();
}

}  // namespace

bool TPlatformaWin32::DeleteFileAtRestart(const std::string& path) {
  const TSciezka p = Sciezka(path);
  if (!p.ok) {
    return false;
  }
  // Recorded by the system under PendingFileRenameOperations; needs an administrator.
  return SystemNt() ? ::MoveFileExW(p.W(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE
                    : DeleteThroughWininit(p);
}

bool TPlatformaWin32::FlushVolume(const std::string& path) {
  // The volume of a path with a drive letter, opened as a device: needs an administrator, and
  // writes out what every program has written to it. A non-NT system has no such device.
  if (!SystemNt() || path.size() < 2 || path[1] != ':') {
    return false;
  }
  const wchar_t device[] = {L'\\', L'\\', L'.', L'\\', static_cast<wchar_t>(path[0]), L':', 0};
  TUchwytPliku volume(::CreateFileW(device, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
  return volume && ::FlushFileBuffers(volume.Get()) != FALSE;
}

void TPlatformaWin32::Pause(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

namespace {

// A process's start time (FILETIME as one number); 0 where the system does not tell it.
unsigned long long StartTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (::GetProcessTimes(process, &created, &exited, &kernel, &user) == FALSE) {
    return 0;
  }
  return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

// "id:start time", in decimal (the C library's formatting would bring tens of kilobytes of
// code into the program for two numbers).
std::string TPlatformaWin32::ProcessIdentity() {
  return std::to_string(::GetCurrentProcessId()) + ':' +
         std::to_string(StartTime(::GetCurrentProcess()));
}

bool TPlatformaWin32::ProcessAlive(const std::string& identity) {
  const std::size_t colon = identity.find(':');
  std::uint64_t id = 0;
  std::uint64_t started = 0;
  if (colon == std::string::npos || !ParseDecimal(identity.substr(0, colon), id) ||
      !ParseDecimal(identity.substr(colon + 1), started) || id == 0 || id > 0xFFFFFFFFu) {
    return false;
  }
  constexpr DWORD kQueryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION, Vista on
  const DWORD pid = static_cast<DWORD>(id);
  TUchwytProcesu process(::OpenProcess(kQueryLimited | SYNCHRONIZE, FALSE, pid));
  if (!process) {
    process.Reset(::OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid));
  }
  if (!process) {
    // Another user's process may not be asked: it may be the owner, still at work.
    return ::GetLastError() == ERROR_ACCESS_DENIED;
  }
  if (::WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT) {
    return false;  // ended
  }
  // An id is reused once its process has ended: the start time tells the owner from another.
  const unsigned long long now = StartTime(process.Get());
  return started == 0 || now == 0 || now == started;
}

bool TPlatformaWin32::RemoveKey(TKorzen root, const std::string& path) {
  const HKEY hive = Hive(root);
  // Key paths are ASCII, as every key the program opens.
  return !path.empty() && ::RegDeleteKeyA(hive, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace orvala::platform
