// A user's open program, for the scenarios: holds a file open without sharing (as a running
// translator holds its help file) until a release file appears, then exits.
//
//   trzymacz.exe FILE RELEASE     FILE opened with share mode 0; "-" holds nothing (the
//                                 program is just running, as its own .exe)
// Without RELEASE it runs until it is stopped. Exit 1 when FILE cannot be opened.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fputs("usage: trzymacz FILE|- [RELEASE]\n", stderr);
    return 2;
  }
  HANDLE held = INVALID_HANDLE_VALUE;
  if (lstrcmpW(argv[1], L"-") != 0) {
    held = ::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
    if (held == INVALID_HANDLE_VALUE) {
      std::fprintf(stderr, "trzymacz: cannot open the file (%lu)\n", ::GetLastError());
      return 1;
    }
  }
  while (argc < 3 || ::GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES) {
    ::Sleep(20);
  }
  if (held != INVALID_HANDLE_VALUE) {
    ::CloseHandle(held);
  }
  return 0;
}
