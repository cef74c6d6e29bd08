// System DLLs loaded at run time, from the system directory only: never one planted beside the
// program (on the CD, in a downloads folder) or in the current directory, also on systems
// without the search flags of LoadLibraryEx (XP, Vista, 7 without KB2533623), which load a plain
// name from the program's folder first.
#pragma once

#include <string>

#include "platform/win32/untUchwyty.h"

namespace orvala::platform::win32 {

// `name` ("version.dll") from the system directory: LoadLibraryEx with the system-directory
// flag where the system has it, else by the full path of GetSystemDirectory. Empty when the
// DLL is not there.
inline TUchwytModulu LoadSystemLibrary(const wchar_t* name) {
  HMODULE loaded = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (loaded == nullptr) {
    // Systems without the flag refuse it (ERROR_INVALID_PARAMETER): the full path then.
    wchar_t directory[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      std::wstring path(directory, length);
      path += L'\\';
      path += name;
      loaded = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
  }
  return TUchwytModulu(loaded);
}

}  // namespace orvala::platform::win32
