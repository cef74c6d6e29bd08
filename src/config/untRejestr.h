// The installer's registry state: the shared registry accessor and reader, the flag that marks
// an installation as running, and the record of an installation run under way.
//
// An accessor (TRejestr) holds a hive root, an access mask and at most one open key; it is
// created, used and freed within one operation. Nothing here reports an error to the user: a
// key that cannot be opened means that readers find no value and writers write nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/untPlatforma.h"

namespace orvala {

using platform::kKeyAllAccess;
using platform::kKeyRead;
using platform::TKorzen;

class TRejestr {
 public:
  explicit TRejestr(std::uint32_t access) : access_(access) {}

  TKorzen RootKey = TKorzen::CurrentUser;
  std::uint32_t Access() const { return access_; }
  bool IsOpen() const { return key_ != nullptr; }

  // Opens `path` under RootKey with the accessor's mask (closing any key it held); creates the
  // missing keys only when `canCreate` is true.
  bool OpenKey(const std::string& path, bool canCreate);
  // Closes the open key; true also when none was open.
  bool CloseKey();

  // The value operations of the open key (the reader's string, the running flag's boolean);
  // false when no key is open or the call fails.
  bool ReadString(const std::string& name, std::string& value);
  bool WriteBool(const std::string& name, bool value);

 private:
  std::uint32_t access_;
  std::unique_ptr<platform::TKluczRejestru> key_;
};

// Creates `accessor` with read access when `readOnly` is true and full access otherwise, sets
// the root and opens `path`, creating it only when `readOnly` is false. False on any error
// (the accessor then exists without an open key).
bool OpenRegistryKey(std::unique_ptr<TRejestr>& accessor, TKorzen root, const std::string& path,
                     bool readOnly);
// Closes the key and frees the accessor; true on success or when there was no accessor.
bool CloseRegistryKey(std::unique_ptr<TRejestr>& accessor);
// Opens read-only; when the key opened and the value exists (as a string), reads it into
// `value` and returns true; otherwise false with `value` unchanged. The key is always closed.
bool ReadRegistryString(TKorzen root, const std::string& path, const std::string& name,
                        std::string& value);

inline constexpr const char* kWartoscInstalacjaTrwa = "InstallationInProgress";

// Writes "InstallationInProgress" = inProgress (a 32-bit 1 or 0) under the edition's product
// key in HKEY_CURRENT_USER, creating the key if and only if inProgress is true: clearing the
// flag where the key does not exist creates nothing. An edition without a product key writes
// nothing.
void SetInstallationInProgress(int edition, bool inProgress);

// --- The record of a run under way -------------------------------------------------------------
//
// While the installation run works, the key TrwajacaInstalacja under the edition's product key
// in HKEY_CURRENT_USER lists every file the run moves aside, before it is moved: value "1",
// "2", ... = the file's path, '|', its backup's path ('|' is never part of a Windows path). The
// key is made with the first file moved aside and removed at the end of the run, so finding it
// at the next start means that a run was cut off (a power cut, a killed process) after it had
// moved files aside, and says what to give back. A run into a new folder writes nothing.
inline constexpr const char* kKluczTrwajacejInstalacji = "TrwajacaInstalacja";

// One file moved aside: its own path and the path of its backup.
using TPrzeniesienie = std::pair<std::string, std::string>;

// The record of one run, kept open for the run. Nothing is reported: a record that cannot be
// written only means that a run cut off cannot be undone.
class TZapisPrzebiegu {
 public:
  // An edition without a product key records nothing.
  explicit TZapisPrzebiegu(int edition);
  ~TZapisPrzebiegu();
  TZapisPrzebiegu(const TZapisPrzebiegu&) = delete;
  TZapisPrzebiegu& operator=(const TZapisPrzebiegu&) = delete;

  // The run starts: no record yet (one left over is removed).
  void Start();
  // `original` is about to be moved aside to `backup`.
  void Moving(const std::string& original, const std::string& backup);
  // The run has dealt with its backups: the record goes.
  void End();

 private:
  std::string path_;  // empty: nothing is recorded
  std::unique_ptr<platform::TKluczRejestru> key_;
  bool made_ = false;  // the key was made in this run
  int count_ = 0;
};

// The files a run cut off moved aside, in the order it moved them; nullopt when no record is
// there (the last run ended, or none ran).
std::optional<std::vector<TPrzeniesienie>> ReadInterruptedRun(int edition);
// Removes the record of a run cut off.
void ForgetInterruptedRun(int edition);

}  // namespace orvala
