// The patcher: brings installed files up to date in place from patch lists.
//
// A patch list names pairs of files: a patch file in the update directory and the installed file
// it changes in the target directory. Each patch file is one packed part whose unpacked content
// is a patch script (a checksum of the old file, an escape byte, then literal bytes and
// references to 256-byte blocks of the old file). The new file is written beside the old one as
// "tmp25411.tmp" and then takes the old file's place in one step.
//
// Patch list, every byte stored inverted (bitwise NOT); after inversion each record is
//   u16 LE  patch file name length,  name bytes (ANSI, relative to the update directory)
//   u16 LE  target file name length, name bytes (ANSI, relative to the target directory)
//   u32 LE  old length, u32 LE script length, u32 LE new length
// Records follow one another to the end of the file; there is no header and no count.
//
// Patch script: u32 LE checksum (byte sum of the expected old file, mod 2^32), escape byte E,
// then commands to the end: b (b != E) appends b; E E appends E; E o0 o1 o2 o3 (o0 != E)
// appends the 256 old-file bytes at offset o0 | o1<<8 | o2<<16 | o3<<24.
//
// The status lives in DecoderState().status (codes below). Once an entry has failed, later
// records are still read, their patch files loaded and their lengths checked (a later length
// failure still sets kStatusZlaDlugosc), but nothing more is decoded or written.
//
// Choices beyond the bare format, all made so that the installed file is never lost:
//  - the temporary file replaces the installed one through TPlatforma::ReplaceFile, in one step;
//    when that fails the status is kStatusZamianaNieudana and the temporary file stays beside
//    the untouched installed file;
//  - a patch file that does not decode, and a script that is too short for its header, ends
//    inside a command, references a block outside the old file, or yields more bytes than the
//    record's new length, fail the entry with kStatusNiepelnyPlik ("the new file was not written
//    in full": the complete new file cannot be built) and write nothing. The new length is the
//    output's capacity: a script that yields fewer bytes gives a new file of what it yields;
//  - a missing installed file (or a hidden or system one, which a directory search does not
//    find) fails the entry with kStatusZlaDlugosc;
//  - a name that leaves its directory (absolute, a drive, or a ".." component) is refused:
//    a target name like a missing installed file, a patch name like a patch file that cannot
//    be opened;
//  - an I/O error while reading a record (a truncated record included), finding, opening or
//    reading the patch file or the installed file, or creating or closing the temporary file
//    raises EInOutError out of ApplyPatchList at once; the rest of the list is not read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orvala {

// Patch status codes.
inline constexpr std::int32_t kStatusOk = 0;
inline constexpr std::int32_t kStatusZlaWersja = 1;        // checksum mismatch
inline constexpr std::int32_t kStatusZlaDlugosc = 2;       // installed file size != old length
inline constexpr std::int32_t kStatusNiepelnyPlik = 3;     // new file not written (built) in full
inline constexpr std::int32_t kStatusZamianaNieudana = 4;  // the old file could not be replaced
inline constexpr std::int32_t kStatusBrakListy = 255;      // opening the patch list failed

inline constexpr char kPlikTymczasowyLatki[] = "tmp25411.tmp";
inline constexpr std::size_t kRozmiarBlokuLatki = 256;
inline constexpr std::size_t kNaglowekSkryptu = 5;  // checksum + escape byte

// --- Patch scripts on buffers -------------------------------------------------------------

// Why a script was refused. Each failure site has its own name.
enum class TBladSkryptu : std::uint8_t {
  None = 0,
  HeaderTruncated,     // fewer than 5 bytes: no checksum or no escape byte
  ChecksumMismatch,    // the old file is not the version the script expects
  CommandTruncated,    // the script ends after an escape byte or inside a block offset
  BlockOutsideOld,     // a block reference reaches past the end of the old file
  OutputOverCapacity,  // the script yields more bytes than the output holds
};

struct TWynikSkryptu {
  TBladSkryptu error = TBladSkryptu::None;
  std::size_t produced = 0;  // bytes written to the output (0 when refused)
};

// The byte sum of `data`, each byte unsigned, modulo 2^32.
std::uint32_t PatchChecksum(std::span<const std::uint8_t> data);

// Runs `script` against `oldFile` into `output` (its size is the capacity). Never reads or
// writes outside the three buffers; on a refusal the output contents are unspecified.
TWynikSkryptu RunPatchScript(std::span<const std::uint8_t> script,
                             std::span<const std::uint8_t> oldFile, std::span<std::uint8_t> output);

// The most bytes a script of `scriptLength` bytes can yield (every 5 command bytes at most one
// 256-byte block), so that an output buffer never has to be larger than that.
std::uint64_t MaxScriptOutput(std::uint64_t scriptLength);

// --- Patch list records -------------------------------------------------------------------

struct TRekordLatki {
  std::string patchName;
  std::string targetName;
  std::uint32_t oldLength = 0;
  std::uint32_t scriptLength = 0;
  std::uint32_t newLength = 0;
};

// True when `name` stays inside the directory it is relative to: not empty, no drive, not
// rooted, no "." or ".." component and no empty component.
bool IsContainedName(const std::string& name);

// --- The patcher on the decoder working state ----------------------------------------------

// Applies the list `listName` of the update directory to the target directory. Both directories
// get a trailing backslash first. Returns the status (kStatusBrakListy when the list cannot be
// opened). Raises EInOutError as described above.
std::int32_t ApplyPatchList(const std::string& listName, const std::string& updateDirectory,
                            const std::string& targetDirectory);

// One record, with the directories already stored in the working state.
void ApplyPatchEntry(const std::string& patchName, const std::string& targetName,
                     std::uint32_t oldLength, std::uint32_t scriptLength, std::uint32_t newLength);

// Works on the working state: the unpacked script (the first `produced` bytes of buffer A), the
// old file (`oldFile`) and the output (buffer B, `b.size()` = capacity). Sets the status and
// `bCount`, the bytes of the new file in B. Does nothing while the status is non-zero.
void ApplyPatchScript();

// --- Use by the installation run -----------------------------------------------------------

// The directory the patch lists are looked for in: the update directory, or, when it is empty
// (the wizard never sets one), the source directory, so that lists shipped on the CD are found.
// The existence test and the opening of a list both use this one path.
std::string EffectiveUpdateDirectory(const std::string& updateDirectory,
                                     const std::string& sourceDirectory);

// "info.pth" for n = 1, "info<n>.pth" for n >= 2.
std::string PatchScriptListName(int n);

// The edition's patch lists (rows of PatchListTable() for the active edition whose list exists
// in the update directory). None for this edition. An I/O error of a list propagates.
void ApplyEditionPatches(const std::string& updateDirectory, const std::string& targetDirectory);

// "info.pth", "info2.pth", "info3.pth", ... up to the first name missing from the update
// directory; each list's error is swallowed and the next name is tried.
void ApplyPatchScripts(const std::string& updateDirectory, const std::string& targetDirectory);

}  // namespace orvala
