// System integration: the package's registry passes and uninstall entry, the shortcuts and the
// Start-menu group, and the shared system components.
#include "engine/untInstalFunkcje.h"

#include <algorithm>
#include <array>
#include <optional>

#include "config/untCzcionki.h"
#include "config/untInstalStale.h"
#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "config/untStaleApp.h"
#include "engine/untBledy.h"
#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtils.h"

namespace orvala {

namespace {

using platform::Platform;
using platform::TKluczRejestru;
using platform::TKorzen;

constexpr char kKluczDeinstalacji[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Raises ERegistryError naming the value when a registry write failed.
void Required(bool written, const std::string& key, const char* value) {
  if (!written) {
    throw ERegistryError("cannot write registry value " + key + "\\" + value);
  }
}

std::unique_ptr<TKluczRejestru> OpenForWriting(TKorzen root, const std::string& key) {
  return Platform().OpenKey(root, key, platform::kKeyAllAccess, true);
}

// The uninstall entry of the list of installed programs under `root`. The command line is
// quoted: unquoted, a path with spaces ("C:\Program Files\...") would let Windows start a
// planted "C:\Program.exe" in place of the uninstaller. Raises on the first failure.
void WriteUninstallEntry(TKorzen root, const TOpcjeInstalacji& options) {
  const TOpisEdycji& edition = ActiveEditionDescriptor();
  const std::string uninstallKey = kKluczDeinstalacji + std::string(edition.uninstallKeyName);
  const std::unique_ptr<TKluczRejestru> key = OpenForWriting(root, uninstallKey);
  if (!key) {
    throw ERegistryError("cannot open registry key " + uninstallKey);
  }
  const auto text = [&](const char* name, const std::string& value) {
    Required(key->WriteString(name, value), uninstallKey, name);
  };
  const auto flag = [&](const char* name, bool value) {
    Required(key->WriteBool(name, value), uninstallKey, name);
  };
  const TWideString displayName =
      LocaleLanguage() == kJezykRosyjski
          ? ConvertStoredText(edition.editionDisplayName, kJezykRosyjski, false)
          : ConvertStoredText(edition.homeDisplayName, kJezykPolski, false);
  Required(key->WriteWideString("DisplayName", displayName), uninstallKey, "DisplayName");
  const std::string target = WithTrailingBackslash(options.targetDirectory);
  text("UninstallString", '"' + target + std::string(edition.uninstallerFile) + '"');
  text("DisplayVersion", std::string(edition.versionString));
  text("Publisher", std::string(edition.publisher));
  text("DisplayIcon", target + std::string(edition.mainProgramFile));
  text("InstallLocation", options.targetDirectory);
  Required(key->WriteInteger("EstimatedSize", EstimatedSizeKilobytes(options.requiredBytes)),
           uninstallKey, "EstimatedSize");
  flag("NoModify", edition.noModify);
  flag("NoRepair", edition.noRepair);
  key->Close();
}

// One pass of the package key (and, in the chosen hive, the uninstall entry). Raises on the
// first failure; the caller traps each pass on its own.
void WritePackagePass(TKorzen root, const TOpcjeInstalacji& options, bool withUninstallEntry) {
  const TOpisEdycji& edition = ActiveEditionDescriptor();
  const std::string productKey(edition.productKey);
  {
    const std::unique_ptr<TKluczRejestru> key = OpenForWriting(root, productKey);
    if (!key) {
      throw ERegistryError("cannot open registry key " + productKey);
    }
    Required(key->WriteString("Katalog", options.targetDirectory), productKey, "Katalog");
    Required(key->WriteString("CD", WithTrailingBackslash(options.sourceDirectory)), productKey,
             "CD");
    Required(key->WriteString("Wersja", std::string(edition.versionString)), productKey, "Wersja");
    Required(key->WriteInteger("JezykInterfejsu", options.language), productKey, "JezykInterfejsu");
    Required(key->WriteBool("AllUsers", options.allUsers), productKey, "AllUsers");
    key->Close();
  }
  if (withUninstallEntry) {
    WriteUninstallEntry(root, options);
  }
}

}  // namespace

std::int32_t EstimatedSizeKilobytes(std::int64_t bytes) {
  constexpr std::int64_t kMaksimum = 0x7FFFFFFF;
  if (bytes <= 0) {
    return 0;
  }
  const std::int64_t kilobytes = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
  return static_cast<std::int32_t>(std::min(kilobytes, kMaksimum));
}

LanguageId EffectiveShortcutLanguage(LanguageId interfaceLanguage) {
  if (IsNtPlatform()) {
    return interfaceLanguage;
  }
  const LanguageId locale = LocaleLanguage();
  if (interfaceLanguage == locale) {
    return interfaceLanguage;
  }
  return locale == kJezykRosyjski ? kJezykRosyjski : kJezykPolski;
}

bool CreateShellLink(const std::string& target, const TWideString& linkPath,
                     const TWideString& description) {
  return Platform().CreateShellLink(target, DirectoryOfPath(target), linkPath, description);
}

bool CreateDirectoryTreeWide(const TWideString& path) {
  platform::TPlatforma& os = Platform();
  TWideString folder = path;
  while (!folder.empty() && folder.back() == u'\\') {
    folder.pop_back();
  }
  if (folder.empty()) {
    return false;
  }
  // Each prefix ending before a backslash, from the outermost; a drive ("C:") or the start of a
  // network name is not a folder to create.
  for (std::size_t pos = folder.find(u'\\'); pos != TWideString::npos;
       pos = folder.find(u'\\', pos + 1)) {
    const TWideString prefix = folder.substr(0, pos);
    if (prefix.empty() || prefix.back() == u':' || prefix.back() == u'\\') {
      continue;
    }
    if (!os.DirectoryExistsWide(prefix)) {
      os.CreateDirectoryWide(prefix);
    }
  }
  if (!os.DirectoryExistsWide(folder)) {
    os.CreateDirectoryWide(folder);
  }
  return os.DirectoryExistsWide(folder);
}

void CreateShortcuts(const TOpcjeInstalacji& options, TObserwatorInstalacji& observer) {
  observer.ShowStage(GetText(options.language, kTekstTworzenieSkrotow, false));
  platform::TPlatforma& os = Platform();
  const LanguageId language = EffectiveShortcutLanguage(options.language);
  const LanguageId locale = LocaleLanguage();

  TWideString groupFolder;
  if (options.createGroup) {
    const TWideString programs = SpecialFolderPath(
        options.allUsers ? platform::kFolderCommonPrograms : platform::kFolderPrograms);
    if (!programs.empty()) {
      groupFolder =
          WithTrailingBackslash(programs) + ConvertStoredText(GroupName(language), language, false);
      CreateDirectoryTreeWide(groupFolder);
      groupFolder = WithTrailingBackslash(groupFolder);
    }
  }
  const TWideString desktopFolder = WithTrailingBackslash(SpecialFolderPath(
      options.allUsers ? platform::kFolderCommonDesktop : platform::kFolderDesktop));
  const bool groupExists = !groupFolder.empty() && os.DirectoryExistsWide(groupFolder);
  const bool desktopExists = !desktopFolder.empty() && os.DirectoryExistsWide(desktopFolder);
  // The description is given only where the system shows the language's letters: in the
  // locale's language, or in Polish on a system that is not Russian.
  const bool withDescription =
      language == locale || (language == kJezykPolski && locale != kJezykRosyjski);

  for (const TSkrotData* row : RowsForEdition(ShortcutTable(), ActiveEdition())) {
    if (language > 7 || ((row->languages >> language) & 1) == 0) {
      continue;
    }
    const std::string target =
        WithTrailingBackslash(options.targetDirectory) + std::string(row->file);
    const TWideString linkName = ConvertStoredText(row->title, language, false) + u".lnk";
    const TWideString description =
        withDescription ? ConvertStoredText(row->title, language, false) : TWideString();
    if (os.FileExists(target)) {
      if (options.createGroup && (row->flags & kSkrotGrupa) != 0 && groupExists) {
        CreateShellLink(target, groupFolder + linkName, description);
      }
      const bool onDesktop =
          (options.desktopTranslators && (row->flags & kSkrotPulpitTranslatory) != 0) ||
          (options.desktopDictionaries && (row->flags & kSkrotPulpitSlowniki) != 0);
      if (onDesktop && desktopExists) {
        CreateShellLink(target, desktopFolder + linkName, description);
      }
    }
    observer.ProcessMessages();
  }
}

void WriteRegistry(const TOpcjeInstalacji& options, TObserwatorInstalacji& observer) {
  observer.ShowStage(GetText(options.language, kTekstZapisyWRejestrze, false));
  const TKorzen uninstallRoot = options.allUsers ? TKorzen::LocalMachine : TKorzen::CurrentUser;
  for (const TKorzen root : {TKorzen::CurrentUser, TKorzen::LocalMachine}) {
    try {
      WritePackagePass(root, options, root == uninstallRoot);
    } catch (const std::exception&) {
      // A pass that fails (no rights for the machine hive, say) ends that pass only.
    }
  }

  const std::string face = InterfaceFontFace();
  const bool withFont = face != kCzcionkaArial;
  for (const std::string_view componentKey : ActiveEditionDescriptor().componentKeys) {
    if (componentKey.empty()) {
      continue;
    }
    const std::string keyName(componentKey);
    const std::unique_ptr<TKluczRejestru> key = OpenForWriting(TKorzen::CurrentUser, keyName);
    if (!key) {
      continue;  // a component key that cannot be opened is skipped
    }
    Required(key->WriteInteger("JezykInterfejsu", options.language), keyName, "JezykInterfejsu");
    if (withFont) {
      Required(key->WriteString("CzcionkaInterfejsuName", face), keyName, "CzcionkaInterfejsuName");
      Required(key->WriteString("CzcionkaSlownikaName", face), keyName, "CzcionkaSlownikaName");
      Required(key->WriteString("CzcionkaEdycji", face), keyName, "CzcionkaEdycji");
    }
    key->Close();
  }
  observer.ProcessMessages();
}

bool EnsureSystemComponent(const std::string& file, const std::string& sourceDirectory, int major,
                           int minor) {
  const std::string systemDirectory = SystemDirectory();
  if (systemDirectory.empty()) {
    return true;
  }
  const std::string installed = WithTrailingBackslash(systemDirectory) + file;
  platform::TPlatforma& os = Platform();
  if (os.FileExists(installed) && FileVersionAtLeast(installed, major, minor)) {
    return true;
  }
  if (!os.CopyFileNoOverwrite(WithTrailingBackslash(sourceDirectory) + file, installed)) {
    return false;
  }
  // The copy keeps the CD's read-only attribute, which would stop a later updater from
  // replacing the component.
  const std::optional<platform::TWpisKatalogu> copied = os.FindEntry(installed);
  if (copied && (copied->attributes & platform::kAttrReadOnly) != 0) {
    os.SetFileAttributes(installed,
                         copied->attributes & (platform::kAttrHidden | platform::kAttrSystem));
  }
  return true;
}

}  // namespace orvala
