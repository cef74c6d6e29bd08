// The patch producer. Divisions: the window hash; the block index of OLD; matching NEW
// against it; the escape byte; script, patch file and record encoding; host files.
#include "untLatki.h"

#include <array>
#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "engine/untPakowanie.h"
#include "textutil/untUtils.h"
#include "untPakowacz.h"

namespace orvala::latki {

namespace {

constexpr std::size_t kBlok = kRozmiarBlokuLatki;

// Polynomial rolling hash over 256 bytes, modulo 2^64.
constexpr std::uint64_t kMnoznik = 1099511628211ull;

constexpr std::uint64_t PowerOfMultiplier(std::size_t exponent) {
  std::uint64_t p = 1;
  for (std::size_t i = 0; i < exponent; ++i) {
    p *= kMnoznik;
  }
  return p;
}
constexpr std::uint64_t kMnoznikCzola = PowerOfMultiplier(kBlok - 1);

// The low bits of a polynomial hash mix poorly; the index uses a finalised form.
std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 30;
  h *= 0xbf58476d1ce4e5b9ull;
  h ^= h >> 27;
  h *= 0x94d049bb133111ebull;
  h ^= h >> 31;
  return h;
}

std::uint8_t LowByte(std::uint32_t offset) {
  return static_cast<std::uint8_t>(offset & 0xFF);
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
}

void PutLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void CheckFileSize(std::size_t size, const char* what) {
  if (size > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error(std::string(what) + " is larger than 4 GiB - 1 bytes");
  }
}

}  // namespace

// --- The block index ---------------------------------------------------------------------------

std::uint64_t TIndeksBlokow::WindowHash(const std::uint8_t* window) {
  std::uint64_t h = 0;
  for (std::size_t i = 0; i < kBlok; ++i) {
    h = h * kMnoznik + window[i];
  }
  return h;
}

std::uint64_t TIndeksBlokow::RollHash(std::uint64_t hash, std::uint8_t out, std::uint8_t in) {
  return (hash - out * kMnoznikCzola) * kMnoznik + in;
}

TIndeksBlokow::TIndeksBlokow(std::span<const std::uint8_t> oldFile) : old_(oldFile) {
  CheckFileSize(old_.size(), "OLD");
  const std::size_t windows = old_.size() >= kBlok ? old_.size() - kBlok + 1 : 0;
  // Large old files index every stride-th window only, so that the table stays within the
  // caches; the matcher still rolls over every window of NEW, so a run shifted by an edit is
  // found again at most stride - 1 bytes later.
  while (windows / stride_ > kNajwiecejOkien) {
    stride_ *= 2;
  }
  const std::size_t indexed = (windows + stride_ - 1) / stride_;
  std::size_t size = 16;
  while (size < indexed * 2) {
    size *= 2;
  }
  slots_.resize(size);
  mask_ = size - 1;
  if (windows == 0) {
    return;
  }
  std::uint64_t h = WindowHash(old_.data());
  for (std::size_t o = 0; o < windows; ++o) {
    if (o != 0) {
      h = RollHash(h, old_[o - 1], old_[o + kBlok - 1]);
    }
    if (o % stride_ != 0) {
      continue;
    }
    const std::uint64_t m = Mix(h);
    const auto tag = static_cast<std::uint32_t>(m >> 32);
    const auto offset = static_cast<std::uint32_t>(o);
    std::size_t i = static_cast<std::size_t>(m) & mask_;
    while (true) {
      TSlot& slot = slots_[i];
      if (slot.first == 0) {
        slot = {tag, offset + 1, 0};
        break;
      }
      if (slot.tag == tag &&
          std::memcmp(old_.data() + slot.first - 1, old_.data() + o, kBlok) == 0) {
        if (slot.second == 0 && LowByte(slot.first - 1) != LowByte(offset)) {
          slot.second = offset + 1;
        }
        break;
      }
      i = (i + 1) & mask_;
    }
  }
}

std::optional<TIndeksBlokow::TTrafienie> TIndeksBlokow::Find(std::uint64_t hash,
                                                             const std::uint8_t* window,
                                                             int forbidden) const {
  const std::uint64_t m = Mix(hash);
  const auto tag = static_cast<std::uint32_t>(m >> 32);
  for (std::size_t i = static_cast<std::size_t>(m) & mask_; slots_[i].first != 0;
       i = (i + 1) & mask_) {
    const TSlot& slot = slots_[i];
    if (slot.tag != tag || std::memcmp(old_.data() + slot.first - 1, window, kBlok) != 0) {
      continue;
    }
    const bool alternative = slot.second != 0;
    if (forbidden < 0 || LowByte(slot.first - 1) != forbidden) {
      return TTrafienie{slot.first - 1, alternative};
    }
    if (alternative) {  // its lowest byte differs from the first one's, so from `forbidden`
      return TTrafienie{slot.second - 1, alternative};
    }
    return std::nullopt;
  }
  return std::nullopt;
}

// --- Matching --------------------------------------------------------------------------------

std::vector<TBlok> MatchBlocks(const TIndeksBlokow& index, std::span<const std::uint8_t> oldFile,
                               std::span<const std::uint8_t> newFile, int forbidden) {
  std::vector<TBlok> blocks;
  const std::size_t n = newFile.size();
  if (oldFile.size() < kBlok || n < kBlok) {
    return blocks;
  }
  const std::uint8_t* const nw = newFile.data();
  std::size_t i = 0;
  std::uint64_t h = 0;
  bool hashValid = false;
  while (i + kBlok <= n) {
    // The block after the previous reference first: edited files keep long runs in order, and
    // the next block has the same lowest offset byte, so it is allowed too.
    if (!blocks.empty() && blocks.back().newPos + kBlok == i) {
      const std::size_t next = std::size_t{blocks.back().oldOffset} + kBlok;
      if (next <= oldFile.size() - kBlok &&
          std::memcmp(nw + i, oldFile.data() + next, kBlok) == 0) {
        blocks.push_back({i, static_cast<std::uint32_t>(next)});
        i += kBlok;
        hashValid = false;
        continue;
      }
    }
    if (!hashValid) {
      h = TIndeksBlokow::WindowHash(nw + i);
      hashValid = true;
    }
    if (const auto hit = index.Find(h, nw + i, forbidden)) {
      blocks.push_back({i, hit->offset});
      i += kBlok;
      hashValid = false;
      continue;
    }
    if (i + kBlok < n) {
      h = TIndeksBlokow::RollHash(h, nw[i], nw[i + kBlok]);
    }
    ++i;
  }
  return blocks;
}

std::uint8_t ChooseEscape(const TIndeksBlokow& index, std::span<const std::uint8_t> newFile,
                          std::span<const TBlok> blocks) {
  std::array<std::uint64_t, 256> cost{};
  std::size_t pos = 0;
  auto countLiterals = [&](std::size_t end) {
    for (; pos < end; ++pos) {
      ++cost[newFile[pos]];
    }
  };
  for (const TBlok& block : blocks) {
    countLiterals(block.newPos);
    pos = block.newPos + kBlok;
    const std::uint8_t* window = newFile.data() + block.newPos;
    const auto hit = index.Find(TIndeksBlokow::WindowHash(window), window, -1);
    const bool otherOffset =
        hit && (hit->alternative || LowByte(hit->offset) != LowByte(block.oldOffset));
    if (!otherOffset) {
      cost[LowByte(block.oldOffset)] += kBlok;
    }
  }
  countLiterals(newFile.size());
  std::size_t best = 0;
  for (std::size_t e = 1; e < cost.size(); ++e) {
    if (cost[e] < cost[best]) {
      best = e;
    }
  }
  return static_cast<std::uint8_t>(best);
}

// --- Scripts, patch files, records --------------------------------------------------------------

std::vector<std::uint8_t> BuildPatchScript(std::span<const std::uint8_t> oldFile,
                                           std::span<const std::uint8_t> newFile,
                                           std::optional<std::uint8_t> escape) {
  CheckFileSize(newFile.size(), "NEW");
  const TIndeksBlokow index(oldFile);
  std::uint8_t e = 0;
  std::vector<TBlok> blocks;
  if (escape) {
    e = *escape;
    blocks = MatchBlocks(index, oldFile, newFile, e);
  } else {
    blocks = MatchBlocks(index, oldFile, newFile, -1);
    e = ChooseEscape(index, newFile, blocks);
    for (const TBlok& block : blocks) {
      if (LowByte(block.oldOffset) == e) {
        blocks = MatchBlocks(index, oldFile, newFile, e);
        break;
      }
    }
  }

  std::vector<std::uint8_t> script;
  script.reserve(kNaglowekSkryptu + newFile.size() / 8);
  PutLe32(script, PatchChecksum(oldFile));
  script.push_back(e);
  std::size_t pos = 0;
  auto putLiterals = [&](std::size_t end) {
    for (; pos < end; ++pos) {
      script.push_back(newFile[pos]);
      if (newFile[pos] == e) {
        script.push_back(e);
      }
    }
  };
  for (const TBlok& block : blocks) {
    putLiterals(block.newPos);
    script.push_back(e);
    PutLe32(script, block.oldOffset);
    pos = block.newPos + kBlok;
  }
  putLiterals(newFile.size());
  return script;
}

TPlikLatki MakePatchFile(std::span<const std::uint8_t> oldFile,
                         std::span<const std::uint8_t> newFile) {
  TPlikLatki patch;
  const std::vector<std::uint8_t> script = BuildPatchScript(oldFile, newFile);
  CheckFileSize(script.size(), "the patch script");
  patch.packed = pakowacz::PackPart(script);
  patch.oldLength = static_cast<std::uint32_t>(oldFile.size());
  patch.scriptLength = static_cast<std::uint32_t>(script.size());
  patch.newLength = static_cast<std::uint32_t>(newFile.size());

  // Read it back as the setup program will.
  if (!UnpackPart(patch.packed, script.size())) {
    throw std::runtime_error("the packed patch script does not unpack");
  }
  const TStanDekodera& st = DecoderState();
  if (st.produced != script.size() || std::memcmp(st.a.data(), script.data(), script.size()) != 0) {
    throw std::runtime_error("the packed patch script unpacks to other bytes");
  }
  std::vector<std::uint8_t> rebuilt(newFile.size());
  const TWynikSkryptu result = RunPatchScript(script, oldFile, rebuilt);
  if (result.error != TBladSkryptu::None || result.produced != newFile.size() ||
      !std::equal(rebuilt.begin(), rebuilt.end(), newFile.begin())) {
    throw std::runtime_error("the patch script does not rebuild NEW");
  }
  return patch;
}

std::vector<std::uint8_t> EncodeListRecord(const TRekordLatki& record) {
  for (const std::string* name : {&record.patchName, &record.targetName}) {
    if (name->size() > std::numeric_limits<std::uint16_t>::max()) {
      throw std::invalid_argument("a name in a patch list record is longer than 65535 bytes");
    }
  }
  std::vector<std::uint8_t> out;
  for (const std::string* name : {&record.patchName, &record.targetName}) {
    PutLe16(out, static_cast<std::uint16_t>(name->size()));
    out.insert(out.end(), name->begin(), name->end());
  }
  PutLe32(out, record.oldLength);
  PutLe32(out, record.scriptLength);
  PutLe32(out, record.newLength);
  for (std::uint8_t& b : out) {
    b = static_cast<std::uint8_t>(~b);
  }
  return out;
}

// --- Host files ----------------------------------------------------------------------------------

bool ReadHostFile(const std::filesystem::path& path, std::vector<std::uint8_t>& data) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > data.max_size()) {
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  data.resize(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return static_cast<std::size_t>(in.gcount()) == data.size();
}

bool WriteHostFile(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                   bool append) {
  std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  if (!out) {
    return false;
  }
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  out.close();
  return !out.fail();
}

std::optional<std::uint32_t> ParseLength(const std::string& text) {
  std::uint64_t value = 0;
  if (!ParseDecimal(text, value) || value > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace orvala::latki
