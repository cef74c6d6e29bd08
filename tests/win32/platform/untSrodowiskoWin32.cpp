// The conformance environment of the Win32 platform: a folder under the temporary directory, a
// key under HKEY_CURRENT_USER\Software\OrvalaZgodnosc, and the CD-ROM drive that the test
// command maps into the Wine prefix (ORVALA_TEST_CD, e.g. "D:").
#include "platform/win32/untWindows.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untUchwyty.h"
#include "untSrodowiskoZgodnosci.h"

namespace orvala::platform::testy {

namespace {

constexpr const char* kKluczTestow = "Software\\OrvalaZgodnosc";

HKEY Ul(TKorzen root) {
  return root == TKorzen::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class TSrodowiskoWin32 final : public TSrodowisko {
 public:
  TSrodowiskoWin32() {
    static unsigned counter = 0;
    const std::string suffix =
        std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
    scratch_ = platform_.TempDirectory() + "orvala-zg-" + suffix;
    ::CreateDirectoryA(scratch_.c_str(), nullptr);
    key_ = std::string(kKluczTestow) + "\\T" + suffix;
  }
  ~TSrodowiskoWin32() override {
    RemoveTree(scratch_);
    DeleteKey(TKorzen::CurrentUser, key_);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kKluczTestow);  // only when no other test's key is left
  }

  TPlatforma& Platforma() override { return platform_; }
  std::string Scratch() const override { return scratch_; }
  std::string RegistryKey() const override { return key_; }
  void DeleteKey(TKorzen root, const std::string& path) override {
    ::RegDeleteTreeA(Ul(root), path.c_str());
    ::RegDeleteKeyA(Ul(root), path.c_str());
  }
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return ::SetFileAttributesA(path.c_str(),
                                attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
  }
  bool MakeLargeFile(const std::string& path, std::uint64_t size) override {
    win32::TUchwytPliku file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return file && ::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) &&
           ::SetEndOfFile(file.Get());
  }
  // The drive named by ORVALA_TEST_CD (it must then be a CD-ROM drive, or the test fails);
  // without it, the first CD-ROM drive of the system, if any.
  std::string CdRoot() const override {
    const char* cd = std::getenv("ORVALA_TEST_CD");
    if (cd != nullptr && cd[0] != '\0') {
      return std::string(1, cd[0]) + ":\\";
    }
    for (const std::string& root : TPlatformaWin32().LogicalDrives()) {
      if (::GetDriveTypeA(root.c_str()) == DRIVE_CDROM) {
        return root;
      }
    }
    return std::string();
  }
  std::optional<TPlikWersji> CompiledVersionFile() override {
    char dir[MAX_PATH + 1] = {};
    const DWORD n = ::GetCurrentDirectoryA(MAX_PATH, dir);
    if (n == 0 || n >= MAX_PATH) {
      return std::nullopt;
    }
    const std::string path = std::string(dir) + "\\orvala_test_wersja.dll";
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      return std::nullopt;
    }
    return TPlikWersji{path, "4.72.3110.1"};
  }
  bool Names1250() const override { return ::GetACP() == 1250; }

 private:
  // Removes a folder with everything in it, read-only and hidden entries included.
  static void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    win32::TUchwytWyszukiwania find(::FindFirstFileA((folder + "\\*").c_str(), &data));
    if (find) {
      do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") {
          continue;
        }
        const std::string path = folder + "\\" + name;
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
          RemoveTree(path);
        } else {
          ::DeleteFileA(path.c_str());
        }
      } while (::FindNextFileA(find.Get(), &data));
    }
    find.Reset();
    ::RemoveDirectoryA(folder.c_str());
  }

  TPlatformaWin32 platform_;
  std::string scratch_;
  std::string key_;
};

}  // namespace

std::unique_ptr<TSrodowisko> CreateSrodowisko() {
  return std::make_unique<TSrodowiskoWin32>();
}

}  // namespace orvala::platform::testy
