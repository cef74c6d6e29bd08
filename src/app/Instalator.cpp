// The program entry of the setup program.
//
// Order of start: no system error boxes, DLL search restricted to the system directory, one copy
// per session (a later start shows the running wizard and ends), VERSION.dll loaded from the
// system directory, the Win32 platform (serving the user logged on to the session),
// the build constants, the process text state, the interface font, the forms (TfrmMain with its
// FormCreate, then the dialogs, then TdmInstal), the build switches (compile-time constants,
// kPrzelacznikiBudowy), and the message loop; the wizard's FormShow runs as it is shown.
#include "app/untDmInstal.h"
#include "app/untJednaKopia.h"
#include "app/untMain.h"
#include "config/untCzcionki.h"
#include "config/untInstalTeksty.h"
#include "config/untStaleApp.h"
#include "dialogs/untFormyDialogowe.h"
#include "dialogs/untOkno.h"
#include "platform/untPlatforma.h"
#include "platform/win32/untBibliotekiSystemowe.h"
#include "platform/win32/untPlatformaWin32.h"
#include "platform/win32/untWindows.h"
#include "textutil/untUtilsEdytor.h"

namespace {

// No DLL beside the setup program (on the CD, in a downloads folder) is ever loaded: every
// later LoadLibrary searches the system directory only. SetDefaultDllDirectories exists from
// Windows 7 with KB2533623 on; without it the current directory at least leaves the search.
void RestrictDllSearch() {
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  FARPROC address =
      kernel != nullptr ? ::GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
  auto setDefault = reinterpret_cast<TSetDefaultDllDirectories>(reinterpret_cast<void*>(address));
  if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    ::SetDllDirectoryW(L"");
  }
}

// Probing a drive without a medium (the CD dialog checks the chosen drive, the directory
// chooser lists the drives) fails quietly instead of raising the system's "There is no disk in
// the drive" box. Kept for the whole run: the flags are only ever added to.
void SuppressSystemErrorBoxes() {
  const UINT wanted = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
  const UINT previous = ::SetErrorMode(wanted);  // GetErrorMode exists from Vista on only
  ::SetErrorMode(previous | wanted);
}

int Run() {
  using namespace orvala;
  // A wizard of this session is open already: it comes to the front and this copy ends, before
  // it serves another user, makes a window or writes anything. When no wizard appears, the other
  // copy was just ending: the name is claimed once more.
  TJednaKopia copy;
  if (!copy.Claim() && (BringFirstCopyForward() || !copy.Claim())) {
    return 0;
  }
  // VERSION.dll is delay-loaded by its plain name; loaded here first from the system directory,
  // that name then finds this module, also where the search cannot be restricted.
  const platform::win32::TUchwytModulu version = platform::win32::LoadSystemLibrary(L"version.dll");
  platform::TPlatformaWin32 win32;
  platform::TZasiegPlatformy scope(win32);
  // Elevated with another account's password: what is per-user goes to the user at the screen.
  win32.ServeLoggedOnUser();

  SetBuildConstants(TStaleBudowy{kEdycjaBudowy, kJezykDomowyBudowy, kJezykEdycjiBudowy});
  SetTextProcessState(platform::Platform().IsNtPlatform(), LocaleLanguage());
  ChooseInterfaceFont();

  TfrmMain frmMain;
  if (!frmMain.CreateForm()) {
    return 1;
  }
  TFormyDialogowe dialogs;
  TdmInstal dm;

  frmMain.Show();
  const int exitCode = RunMessageLoop();
  ReleaseLanguageFonts();
  return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  SuppressSystemErrorBoxes();
  RestrictDllSearch();
  try {
    return Run();
  } catch (...) {
    return 3;  // nothing can be shown any more; the exit code tells the caller
  }
}
