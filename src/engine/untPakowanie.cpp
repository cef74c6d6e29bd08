// Packed parts. Divisions:
//  - the working state;
//  - the back-reference stage (the prefix-code stage is untKodyPrefiksowe, its tables
//    untTabliceKodow);
//  - unpacking a whole part and appending it to a file;
//  - the main program.
#include "engine/untPakowanie.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>

#include "config/untInstalStale.h"
#include "engine/untBledy.h"
#include "engine/untKodyPrefiksowe.h"

namespace orvala {

// --- The working state ---------------------------------------------------------------------

TStanDekodera& DecoderState() {
  static TStanDekodera state;
  return state;
}

namespace {

using kody::kZapas;

// --- The back-reference stage ----------------------------------------------------------------

constexpr std::size_t kNajdluzszaSeria = 128;  // literal run of control byte 0xFF

// Copies `k` literal bytes in whole 16-byte blocks: both buffers keep kZapas bytes beyond their
// counts.
inline void CopyLiterals(std::uint8_t* to, const std::uint8_t* from, std::size_t k) {
  for (std::size_t done = 0; done < k; done += 16) {
    std::memcpy(to + done, from + done, 16);
  }
}

// Appends a reference's bytes (3..10) from `distance` bytes back, as if byte by byte. It writes
// up to 16 bytes: those past the reference's length fall in room the callers keep (the slack of
// kZapas beyond the capacity) and are overwritten by the next item, if there is one.
inline void CopyReference(std::uint8_t* to, std::size_t distance) {
  const std::uint8_t* from = to - distance;
  if (distance >= 4) {
    // Three words, each one stored before the next is read: from a distance of 4 on, a word
    // reads only bytes already final. Words of 4 rather than 8 bytes: the reference needs 12 at
    // most, which the 32-bit build moves in three loads and stores instead of four, and fewer
    // references take the slow way below.
    std::memcpy(to, from, 4);
    std::memcpy(to + 4, from + 4, 4);
    std::memcpy(to + 8, from + 8, 4);
  } else if (distance == 1) {
    std::memset(to, from[0], 16);
  } else {
    // Always as many bytes as the longest reference, so that the loop does not hinge on the
    // length.
#pragma GCC unroll 10
    for (std::size_t i = 0; i < 10; ++i) {
      to[i] = from[i];
    }
  }
}

TBladDekodera RunBackrefStage(TStanDekodera& s) {
  const std::size_t n = std::min(s.bCount, s.b.size());
  // A two-byte item yields at most 10 bytes, so the output never needs more than 5 bytes per
  // item byte, whatever capacity the caller allows.
  const std::size_t capacity = std::min(s.aCapacity, n * 5);
  if (s.a.size() < capacity + kZapas) {
    s.a.resize(capacity + kZapas);
  }
  if (s.b.size() < n + kZapas) {
    s.b.resize(n + kZapas);
  }
  const std::uint8_t* in = s.b.data();
  std::uint8_t* out = s.a.data();
  // While any item fits in what is left of both buffers (a control byte and up to 128 bytes
  // after it in B: ip < ipLimit; up to 128 bytes of output in A: op <= opLimit), only a
  // reference's distance needs checking. Pointers, and the limits worked out once: the 32-bit
  // build has few registers for the loop.
  const bool room = n > kNajdluzszaSeria + 1 && capacity >= kNajdluzszaSeria;
  const std::uint8_t* const ipLimit = in + (room ? n - kNajdluzszaSeria - 1 : 0);
  std::uint8_t* const opLimit = out + (room ? capacity - kNajdluzszaSeria : 0);
  const std::uint8_t* p = in;
  std::uint8_t* q = out;
  while (p < ipLimit && q <= opLimit) {
    const std::uint8_t c = *p++;
    if (c >= 0x80) {
      const std::size_t k = (c & 0x7Fu) + 1;
      CopyLiterals(q, p, k);
      p += k;
      q += k;
      continue;
    }
    const std::size_t distance = (std::size_t{c} & 0x0F) << 8 | *p++;
    const std::size_t length = ((c >> 4) & 7u) + 3;
    if (distance - 1 >= static_cast<std::size_t>(q - out)) [[unlikely]] {
      // distance - 1 wraps for a distance of 0: one comparison refuses 0 and before the start.
      return TBladDekodera::ReferenceBeforeStart;
    }
    CopyReference(q, distance);
    q += length;
  }
  std::size_t ip = static_cast<std::size_t>(p - in);
  std::size_t op = static_cast<std::size_t>(q - out);
  // The rest, with every check.
  while (ip < n) {
    const std::uint8_t c = in[ip++];
    if (c >= 0x80) {
      const std::size_t k = (c & 0x7Fu) + 1;
      if (k > n - ip) {
        return TBladDekodera::LiteralTruncated;
      }
      if (k > capacity - op) {
        return TBladDekodera::OutputOverCapacity;
      }
      CopyLiterals(out + op, in + ip, k);
      ip += k;
      op += k;
      continue;
    }
    if (ip >= n) {
      return TBladDekodera::ReferenceTruncated;
    }
    const std::size_t distance = (std::size_t{c} & 0x0F) << 8 | in[ip++];
    const std::size_t length = ((c >> 4) & 7u) + 3;
    if (distance == 0 || distance > op) {
      return TBladDekodera::ReferenceBeforeStart;
    }
    if (length > capacity - op) {
      return TBladDekodera::OutputOverCapacity;
    }
    CopyReference(out + op, distance);
    op += length;
  }
  s.produced = op;
  return TBladDekodera::None;
}

void DecodePrefixStageOf(TStanDekodera& s, std::span<const std::uint8_t> packed) {
  s.bCount = 0;
  s.bytePos = 0;
  s.bitsLeft = 8;
  s.error = kody::RunPrefixStage(s, packed);
}

}  // namespace

void DecodePrefixStage() {
  TStanDekodera& s = DecoderState();
  if (s.status != 0) {
    return;
  }
  DecodePrefixStageOf(s, std::span(s.a.data(), std::min(s.aCount, s.a.size())));
}

void DecodeBackrefStage() {
  TStanDekodera& s = DecoderState();
  if (s.status != 0) {
    return;
  }
  s.produced = 0;
  // A part the prefix-code stage refused stays refused.
  if (s.error != TBladDekodera::None) {
    return;
  }
  s.error = RunBackrefStage(s);
  if (s.error != TBladDekodera::None) {
    s.produced = 0;
  }
}

// --- Unpacking a whole part --------------------------------------------------------------------

std::string_view DecoderErrorText(TBladDekodera error) {
  switch (error) {
    case TBladDekodera::None:
      return "";
    case TBladDekodera::TableTruncated:
      return "the data ends inside the code table";
    case TBladDekodera::TooFewSymbols:
      return "the code table holds fewer than two symbols";
    case TBladDekodera::LengthTruncated:
      return "the data ends inside the item count";
    case TBladDekodera::CodeTruncated:
      return "the data ends inside a symbol's code";
    case TBladDekodera::NoMatchingCode:
      return "a bit string matches no code of the table";
    case TBladDekodera::LiteralTruncated:
      return "a literal run reaches past the end of the items";
    case TBladDekodera::ReferenceTruncated:
      return "the items end inside a back-reference";
    case TBladDekodera::ReferenceBeforeStart:
      return "a back-reference reaches before the start of the output";
    case TBladDekodera::OutputOverCapacity:
      return "the part unpacks to more than the output capacity";
  }
  return "unknown decoder error";
}

bool UnpackPart(std::span<const std::uint8_t> part, std::size_t capacity) {
  TStanDekodera& s = DecoderState();
  s.status = 0;
  // The part is read where it lies: putting it into buffer A first would cost a pass over
  // memory as large as the part, for bytes that the output overwrites anyway. A holds no part
  // then (aCount 0); it keeps its size from part to part, as the back-reference stage only
  // ever grows it.
  s.aCount = 0;
  DecodePrefixStageOf(s, part);
  s.aCapacity = capacity;
  DecodeBackrefStage();
  return s.error == TBladDekodera::None;
}

bool AppendPart(const std::string& resourceName, std::size_t capacity,
                platform::TPlikPlatformy& out) {
  TStanDekodera& s = DecoderState();
  std::vector<std::uint8_t> part;
  if (resourceName.empty() || !platform::Platform().LoadResource(resourceName, part)) {
    return false;
  }
  if (!UnpackPart(part, capacity)) {
    return false;
  }
  std::size_t written = 0;
  return out.Write(s.a.data(), s.produced, written) && written == s.produced;
}

bool ExtractPartTo(const std::string& resourceName, platform::TPlikPlatformy& out) {
  return AppendPart(resourceName, kPojemnoscWersjiSpecjalnej, out);
}

// --- The main program ------------------------------------------------------------------------

std::string BuildMainProgram(const std::string& targetDirectory) {
  const TOpisEdycji& edition = ActiveEditionDescriptor();
  const std::string path = targetDirectory + "\\" + std::string(edition.mainProgramFile);
  std::unique_ptr<platform::TPlikPlatformy> file = platform::Platform().CreateWrite(path);
  if (!file) {
    throw EInOutError("cannot create " + path);
  }
  for (std::size_t column = 0; column < edition.mainProgramResources.size(); ++column) {
    const std::string name(edition.mainProgramResources[column]);
    if (column > 0 && name.empty()) {
      continue;
    }
    try {
      AppendPart(name, kPojemnoscProgramuGlownego, *file);
    } catch (const std::exception&) {
      // A part that cannot be had is skipped; the next one is still written.
    }
  }
  if (!file->Close()) {
    throw EInOutError("cannot close " + path);
  }
  return path;
}

}  // namespace orvala
