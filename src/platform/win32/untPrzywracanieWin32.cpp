// The Win32 platform: what a reinstall needs to give the previous installation back: why a file
// operation failed (a file that another program holds), deletion at the next restart, and the
// removal of a registry key (the record of a run under way).
//
// A file that another process keeps open without delete sharing cannot be renamed, replaced or
// deleted (ERROR_SHARING_VIOLATION; a locked range: ERROR_LOCK_VIOLATION); the .exe of a
// running program can be renamed but not deleted (ERROR_ACCESS_DENIED). Access is denied for
// other reasons too (a read-only file, a directory, a hidden or system file that CREATE_ALWAYS
// refuses): then the entry's attributes say so, and the failure is not one of a file in use.
#include "platform/win32/untWindows.h"

#include <string>

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"

namespace orvala::platform {

using namespace win32;

TPrzyczynaBledu TPlatformaWin32::FailureReason(const std::string& path) {
  const DWORD error = ::GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return TPrzyczynaBledu::PlikWUzyciu;
  }
  if (error != ERROR_ACCESS_DENIED) {
    return TPrzyczynaBledu::Inna;
  }
  const TSciezka p = Sciezka(path);
  const DWORD attributes = !p.ok        ? INVALID_FILE_ATTRIBUTES
                           : SystemNt() ? ::GetFileAttributesW(p.W())
                                        : ::GetFileAttributesA(p.A());
  constexpr DWORD kOdmowaBezUzycia = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY |
                                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kOdmowaBezUzycia) != 0) {
    return TPrzyczynaBledu::Inna;
  }
  return TPrzyczynaBledu::PlikWUzyciu;
}

bool TPlatformaWin32::DeleteFileAtRestart(const std::string& path) {
  const TSciezka p = Sciezka(path);
  // Recorded by the system under PendingFileRenameOperations; needs an administrator. A non-NT
  // system has no such list: the file stays.
  return p.ok && SystemNt() && ::MoveFileExW(p.W(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool TPlatformaWin32::RemoveKey(TKorzen root, const std::string& path) {
  const HKEY hive = Hive(root);
  // Key paths are ASCII, as every key the program opens.
  return !path.empty() && ::RegDeleteKeyA(hive, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace orvala::platform
