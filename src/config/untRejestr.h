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
// While the installation run replaces files of a previous installation, the key
// TrwajacaInstalacja under the edition's product key in HKEY_CURRENT_USER lists every file it
// moves aside, before it is moved, and is written to the disk (flushed) before the first of
// them moves. Values:
//   "Wlasciciel"  the process that runs the installation (platform ProcessIdentity)
//   "1", "2", ... one file each: its path, '|', its backup's path, and once the run has written
//                 its own file in that place, '|', that file's size and '|' its last write time
//                 ('|' is never part of a Windows path).
// An entry goes when its file is back (or, at the end of a finished run, when its backup is
// deleted); the key goes with the last entry. Finding it at the next start means that a run was
// cut off (a power cut, a killed process) or could not give everything back, and says what to
// give back. A run into a new folder writes nothing.
inline constexpr const char* kKluczTrwajacejInstalacji = "TrwajacaInstalacja";
inline constexpr const char* kWartoscWlasciciela = "Wlasciciel";

// One file moved aside, as the record keeps it.
struct TWpisZapisu {
  int index = 0;  // the value's name
  std::string original;
  std::string backup;
  bool stamped = false;  // the run's own file was written in its place, of this size and time:
  std::uint64_t size = 0;
  std::uint64_t modified = 0;
};

// The record of one run, kept open while the run works.
class TZapisPrzebiegu {
 public:
  // An edition without a product key records nothing (every call then succeeds).
  explicit TZapisPrzebiegu(int edition);
  ~TZapisPrzebiegu();
  TZapisPrzebiegu(const TZapisPrzebiegu&) = delete;
  TZapisPrzebiegu& operator=(const TZapisPrzebiegu&) = delete;

  // Adds the entry `entry` (its index is chosen here, after every entry the key holds);
  // false when it could not be written.
  bool Add(TWpisZapisu& entry);
  // Writes the entry again (its file written in place: stamped).
  bool Update(const TWpisZapisu& entry);
  bool Remove(int index);
  // Writes what was added to the disk.
  bool Flush();
  // Closes the key; removes it when it holds no entry any more.
  void Close();
  // The run is done with every entry it added: they go, in one step where the record holds
  // nothing else (the key goes), one by one otherwise (entries an earlier run left stay).
  void Discard();

 private:
  bool Open();
  std::string path_;  // empty: nothing is recorded
  std::unique_ptr<platform::TKluczRejestru> key_;
  int first_ = 0;  // this run's first entry; 0: the key is not open yet
  int next_ = 0;
};

// The record left at the start: its owner and its entries in the order they were added.
struct TZapisPozostaly {
  std::string owner;
  std::vector<TWpisZapisu> entries;
};
// nullopt when no record is there (the last run ended, or none ran). Entries that cannot be
// read are left out; a gap in the numbers hides nothing after it.
std::optional<TZapisPozostaly> ReadInterruptedRun(int edition);
// Removes entries of the record (one opening of its key, however many), and the record with its
// last entry.
void ForgetRecordEntries(int edition, const std::vector<int>& indices);
// Removes the whole record.
void ForgetInterruptedRun(int edition);

}  // namespace orvala
