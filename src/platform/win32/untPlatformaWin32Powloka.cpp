// The Win32 platform: shell special folders and shell links.
#include "platform/win32/untWindows.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untPlatformaWin32Wspolne.h"
#include "platform/win32/untUchwyty.h"

namespace orvala::platform {

using namespace win32;

TWideString TPlatformaWin32::SpecialFolder(int folder) {
  if (IsNtPlatform()) {
    wchar_t path[MAX_PATH + 1] = {};
    // The user served has folders of his own (the common ones are the machine's either way).
    if (::SHGetFolderPathW(nullptr, folder, static_cast<HANDLE>(UserToken()), SHGFP_TYPE_CURRENT,
                           path) != S_OK) {
      return TWideString();
    }
    path[MAX_PATH] = L'\0';
    return TWideString(path, path + wcslen(path));
  }
  char path[MAX_PATH + 1] = {};
  if (::SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
    return TWideString();
  }
  path[MAX_PATH] = '\0';
  const std::wstring wide = ZAnsi(path);
  return TWideString(wide.begin(), wide.end());
}

namespace {

// COM for the calling thread for the length of one call (when it was not initialised yet).
class TZasiegCom {
 public:
  TZasiegCom() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TZasiegCom() {
    if (SUCCEEDED(result_)) {
      ::CoUninitialize();
    }
  }
  TZasiegCom(const TZasiegCom&) = delete;
  TZasiegCom& operator=(const TZasiegCom&) = delete;
  bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

}  // namespace

namespace {

// Sets the link's path, working directory and description through IShellLinkW (texts in
// UTF-16) or IShellLinkA (texts in the ANSI code page), then saves it at `linkPath`.
template <typename Link, typename Text>
bool ZapiszSkrot(REFIID iid, const Text& target, const Text& directory, const Text& description,
                 const std::wstring& linkPath) {
  TWskaznikCom<Link> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, iid,
                                reinterpret_cast<void**>(link.Put()))) ||
      !link) {
    return false;
  }
  if (FAILED(link.Get()->SetPath(target.c_str())) ||
      FAILED(link.Get()->SetWorkingDirectory(directory.c_str())) ||
      FAILED(link.Get()->SetDescription(description.c_str()))) {
    return false;
  }
  TWskaznikCom<IPersistFile> file;
  if (FAILED(link.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))) ||
      !file) {
    return false;
  }
  return SUCCEEDED(file.Get()->Save(linkPath.c_str(), FALSE));
}

}  // namespace

bool TPlatformaWin32::CreateShellLink(const std::string& target,
                                      const std::string& workingDirectory,
                                      const TWideString& linkPath, const TWideString& description) {
  const TSciezka file = Sciezka(target);
  const TSciezka directory = Sciezka(workingDirectory);
  if (!file.ok || (!workingDirectory.empty() && !directory.ok) || !Dopuszczalna(linkPath)) {
    return false;
  }
  const TZasiegCom com;
  if (!com.Usable()) {
    return false;
  }
  const std::wstring link(WideChars(linkPath));
  const std::wstring wideDescription(WideChars(description));
  if (SystemNt()) {
    return ZapiszSkrot<IShellLinkW>(IID_IShellLinkW, file.wide, directory.wide, wideDescription,
                                    link);
  }
  // The description may lose letters the code page lacks ('?'); the paths cannot.
  std::string text;
  DoAnsi(wideDescription, text);
  return ZapiszSkrot<IShellLinkA>(IID_IShellLinkA, file.ansi, directory.ansi, text, link);
}

}  // namespace orvala::platform
