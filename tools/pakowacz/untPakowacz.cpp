#include "untPakowacz.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace orvala::pakowacz {

namespace {

// --- Limits of the format ------------------------------------------------------------------
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 10;
constexpr std::size_t kMaxDistance = 4095;
constexpr std::size_t kMaxLiteralRun = 128;
constexpr int kMaxCodeLength = 16;
// The lengths the packer chooses: codes of up to 12 bits are decoded by one lookup of the
// decoder's fast table, and the limit costs a fraction of a percent of the part's size.
constexpr int kChosenCodeLength = 12;

// --- Match finder: hash chains over 3-byte prefixes ------------------------------------------
constexpr int kHashBits = 15;
constexpr std::size_t kChainLimit = 192;

struct TDopasowanie {
  std::size_t length = 0;
  std::size_t distance = 0;
};

class TSzukaczDopasowan {
 public:
  explicit TSzukaczDopasowan(std::span<const std::uint8_t> data)
      : data_(data),
        hashBits_(HashBitsFor(data.size())),
        head_(std::size_t{1} << hashBits_, kNone),
        prev_(data.size(), kNone) {}

  // Longest match (nearest among equals) for position `pos`, then records `pos` in the chains.
  // Positions must be visited in ascending order, each exactly once.
  TDopasowanie FindAndInsert(std::size_t pos) {
    TDopasowanie best;
    if (pos + kMinMatch > data_.size()) {
      return best;
    }
    const std::size_t limit = std::min(kMaxMatch, data_.size() - pos);
    const std::uint32_t h = Hash(pos);
    std::size_t candidate = head_[h];
    for (std::size_t steps = 0; candidate != kNone && steps < kChainLimit; ++steps) {
      const std::size_t distance = pos - candidate;
      if (distance > kMaxDistance) {
        break;
      }
      if (data_[candidate + best.length] == data_[pos + best.length] || best.length == 0) {
        std::size_t len = 0;
        while (len < limit && data_[candidate + len] == data_[pos + len]) {
          ++len;
        }
        if (len >= kMinMatch && len > best.length) {
          best = {len, distance};
          if (len == limit) {
            break;
          }
        }
      }
      candidate = prev_[candidate];
    }
    prev_[pos] = head_[h];
    head_[h] = pos;
    return best;
  }

 private:
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  // Fewer hash bits for short inputs: the chains stay as selective, the table small.
  static int HashBitsFor(std::size_t size) {
    int bits = 8;
    while (bits < kHashBits && (std::size_t{1} << bits) < size) {
      ++bits;
    }
    return bits;
  }

  std::uint32_t Hash(std::size_t pos) const {
    const std::uint32_t v = static_cast<std::uint32_t>(data_[pos]) << 16 |
                            static_cast<std::uint32_t>(data_[pos + 1]) << 8 | data_[pos + 2];
    return (v * 2654435761u) >> (32 - hashBits_);
  }

  std::span<const std::uint8_t> data_;
  int hashBits_;
  std::vector<std::size_t> head_;
  std::vector<std::size_t> prev_;
};

// --- Bit writer, most significant bit first --------------------------------------------------
class TPisarzBitow {
 public:
  explicit TPisarzBitow(std::vector<std::uint8_t>& out) : out_(out) {}
  void Put(std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      current_ = static_cast<std::uint8_t>(current_ << 1 | ((value >> i) & 1u));
      if (++filled_ == 8) {
        out_.push_back(current_);
        current_ = 0;
        filled_ = 0;
      }
    }
  }
  // Pads the current byte with zero bits (nothing when already on a byte boundary).
  void Align() {
    if (filled_ != 0) {
      Put(0, 8 - filled_);
    }
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint8_t current_ = 0;
  int filled_ = 0;
};

}  // namespace

// The parse is optimal in bytes of items: cost[i] is the least number of item bytes that
// encode data[i..]; a back-reference costs 2, a literal run of k bytes costs 1 + k. The best
// literal run from i is found with a sliding-window minimum over cost[j] + j, j in i+1..i+128.
std::vector<std::uint8_t> EncodeBackrefItems(std::span<const std::uint8_t> data) {
  const std::size_t n = data.size();
  std::vector<TDopasowanie> matches(n);
  {
    TSzukaczDopasowan finder(data);
    for (std::size_t i = 0; i < n; ++i) {
      matches[i] = finder.FindAndInsert(i);
    }
  }
  constexpr std::uint32_t kLiteral = 0;  // choice[i] = 0: literal run, else match length
  std::vector<std::uint64_t> cost(n + 1, 0);
  std::vector<std::uint8_t> choice(n + 1, 0);
  std::vector<std::uint8_t> runLength(n + 1, 0);
  // Monotone deque of run ends j in (i, i + 128]: j enters at the back as i falls, leaves at
  // the front when out of reach; the front holds the least cost[j] + j.
  std::vector<std::size_t> window(n + 1);
  std::size_t front = 0;
  std::size_t back = 0;
  for (std::size_t i = n; i-- > 0;) {
    // Best literal run from i.
    std::uint64_t bestRun = std::numeric_limits<std::uint64_t>::max();
    std::size_t bestK = 1;
    {
      const std::size_t j = i + 1;
      while (back > front && cost[window[back - 1]] + window[back - 1] >= cost[j] + j) {
        --back;
      }
      window[back++] = j;
      while (window[front] > i + kMaxLiteralRun) {
        ++front;
      }
      const std::size_t bj = window[front];
      bestRun = 1 + (cost[bj] + bj - i);
      bestK = bj - i;
    }
    std::uint64_t best = bestRun;
    std::uint8_t how = kLiteral;
    for (std::size_t len = kMinMatch; len <= matches[i].length; ++len) {
      const std::uint64_t c = 2 + cost[i + len];
      if (c <= best) {
        best = c;
        how = static_cast<std::uint8_t>(len);
      }
    }
    cost[i] = best;
    choice[i] = how;
    runLength[i] = static_cast<std::uint8_t>(bestK);
  }
  std::vector<std::uint8_t> items;
  items.reserve(static_cast<std::size_t>(cost[0]));
  for (std::size_t i = 0; i < n;) {
    if (choice[i] != kLiteral) {
      const std::size_t len = choice[i];
      const std::size_t d = matches[i].distance;
      items.push_back(static_cast<std::uint8_t>((len - kMinMatch) << 4 | d >> 8));
      items.push_back(static_cast<std::uint8_t>(d & 0xFF));
      i += len;
    } else {
      const std::size_t k = runLength[i];
      items.push_back(static_cast<std::uint8_t>(0x80 | (k - 1)));
      items.insert(items.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                   data.begin() + static_cast<std::ptrdiff_t>(i + k));
      i += k;
    }
  }
  return items;
}

// Package-merge: the optimal prefix code whose lengths do not exceed maxLength.
std::vector<std::uint8_t> LimitedCodeLengths(std::span<const std::uint64_t> frequencies,
                                             int maxLength) {
  std::vector<std::uint8_t> lengths(frequencies.size(), 0);
  std::vector<std::size_t> present;
  for (std::size_t s = 0; s < frequencies.size(); ++s) {
    if (frequencies[s] != 0) {
      present.push_back(s);
    }
  }
  // The table needs two symbols: add absent ones (the lowest byte values) with weight 0.
  for (std::size_t s = 0; present.size() < 2 && s < frequencies.size(); ++s) {
    if (frequencies[s] == 0) {
      present.push_back(s);
    }
  }
  std::sort(present.begin(), present.end());
  if (present.size() < 2) {
    return lengths;  // fewer than two byte values exist at all
  }
  // Weights of at least 1 keep the added symbols in the code.
  struct TLisc {
    std::uint64_t weight;
    std::size_t symbol;
  };
  std::vector<TLisc> leaves;
  for (const std::size_t s : present) {
    leaves.push_back({std::max<std::uint64_t>(frequencies[s], 1), s});
  }
  std::stable_sort(leaves.begin(), leaves.end(),
                   [](const TLisc& x, const TLisc& y) { return x.weight < y.weight; });
  // lists[l]: the items of level l in ascending weight, each a leaf (its index in `leaves`) or
  // a package of the first two unused items of level l - 1 (kPaczka).
  constexpr std::size_t kPaczka = std::numeric_limits<std::size_t>::max();
  struct TElement {
    std::uint64_t weight;
    std::size_t leaf;
  };
  std::vector<std::vector<TElement>> lists(static_cast<std::size_t>(maxLength));
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    lists[0].push_back({leaves[i].weight, i});
  }
  for (std::size_t level = 1; level < lists.size(); ++level) {
    const std::vector<TElement>& below = lists[level - 1];
    std::vector<TElement>& list = lists[level];
    std::size_t leaf = 0;
    std::size_t pair = 0;
    while (leaf < leaves.size() || pair + 1 < below.size()) {
      const bool takeLeaf = pair + 1 >= below.size() ||
                            (leaf < leaves.size() &&
                             leaves[leaf].weight <= below[pair].weight + below[pair + 1].weight);
      if (takeLeaf) {
        list.push_back({leaves[leaf].weight, leaf});
        ++leaf;
      } else {
        list.push_back({below[pair].weight + below[pair + 1].weight, kPaczka});
        pair += 2;
      }
    }
  }
  // The first 2n - 2 items of the top level; every package taken takes the first two unused
  // items of the level below, so level by level the first `take` items are the ones used, and
  // each leaf among them adds one bit to its symbol's code.
  std::size_t take = 2 * leaves.size() - 2;
  for (std::size_t level = lists.size(); level-- > 0 && take > 0;) {
    std::size_t packages = 0;
    for (std::size_t i = 0; i < take && i < lists[level].size(); ++i) {
      if (lists[level][i].leaf == kPaczka) {
        ++packages;
      } else {
        ++lengths[leaves[lists[level][i].leaf].symbol];
      }
    }
    take = 2 * packages;
  }
  return lengths;
}

std::vector<std::uint8_t> EncodePrefixStage(std::span<const std::uint8_t> items) {
  std::array<std::uint64_t, 256> freq{};
  for (const std::uint8_t b : items) {
    ++freq[b];
  }
  const std::vector<std::uint8_t> lengths = LimitedCodeLengths(freq, kChosenCodeLength);
  // Canonical codes in the order the decoder sorts its table: by length, then byte value.
  std::array<std::uint16_t, 256> codes{};
  {
    std::uint32_t code = 0;
    int previousLength = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
      for (int s = 0; s < 256; ++s) {
        if (lengths[static_cast<std::size_t>(s)] == len) {
          code <<= (len - previousLength);
          previousLength = len;
          codes[static_cast<std::size_t>(s)] = static_cast<std::uint16_t>(code);
          ++code;
        }
      }
    }
  }
  std::vector<std::uint8_t> out;
  out.reserve(items.size() + 1024);
  TPisarzBitow bits(out);
  for (std::size_t s = 0; s < 256; ++s) {
    if (lengths[s] == 0) {
      bits.Put(0, 1);
      continue;
    }
    bits.Put(1, 1);
    bits.Put(lengths[s] & 0x0F, 4);  // 16 is written as 0
    bits.Put(codes[s], lengths[s]);
  }
  bits.Align();
  const std::uint32_t n = static_cast<std::uint32_t>(items.size());
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
  }
  for (const std::uint8_t b : items) {
    bits.Put(codes[b], lengths[b]);
  }
  bits.Align();
  return out;
}

std::vector<std::uint8_t> PackPart(std::span<const std::uint8_t> data) {
  return EncodePrefixStage(EncodeBackrefItems(data));
}

}  // namespace orvala::pakowacz
