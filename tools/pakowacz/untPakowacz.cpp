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

// A parse: at each position where an item starts, a back-reference of `choice[i]` bytes (at
// the distance the match finder gave), or, when choice[i] is 0, a literal run of runLength[i].
struct TPodzial {
  std::vector<std::uint8_t> choice;
  std::vector<std::uint8_t> runLength;
};

std::vector<TDopasowanie> FindMatches(std::span<const std::uint8_t> data) {
  std::vector<TDopasowanie> matches(data.size());
  TSzukaczDopasowan finder(data);
  for (std::size_t i = 0; i < data.size(); ++i) {
    matches[i] = finder.FindAndInsert(i);
  }
  return matches;
}

// The parse optimal in bytes of items: cost[i] is the least number of item bytes that encode
// data[i..]; a back-reference costs 2, a literal run of k bytes 1 + k. The best literal run from
// i comes from a sliding-window minimum of cost[j] + j over j in i+1..i+128.
TPodzial ParseByBytes(std::span<const std::uint8_t> data,
                      const std::vector<TDopasowanie>& matches) {
  const std::size_t n = data.size();
  TPodzial parse{std::vector<std::uint8_t>(n + 1, 0), std::vector<std::uint8_t>(n + 1, 0)};
  std::vector<std::uint64_t> cost(n + 1, 0);
  // Monotone deque of run ends j in (i, i + 128]: j enters at the back as i falls, leaves at
  // the front when out of reach; the front holds the least cost[j] + j.
  std::vector<std::size_t> window(n + 1);
  std::size_t front = 0;
  std::size_t back = 0;
  for (std::size_t i = n; i-- > 0;) {
    const std::size_t j = i + 1;
    while (back > front && cost[window[back - 1]] + window[back - 1] >= cost[j] + j) {
      --back;
    }
    window[back++] = j;
    while (window[front] > i + kMaxLiteralRun) {
      ++front;
    }
    const std::size_t bj = window[front];
    std::uint64_t best = 1 + (cost[bj] + bj - i);
    parse.runLength[i] = static_cast<std::uint8_t>(bj - i);
    for (std::size_t len = kMinMatch; len <= matches[i].length; ++len) {
      if (2 + cost[i + len] <= best) {
        best = 2 + cost[i + len];
        parse.choice[i] = static_cast<std::uint8_t>(len);
      }
    }
    cost[i] = best;
  }
  return parse;
}

std::uint8_t ReferenceControl(std::size_t length, std::size_t distance) {
  return static_cast<std::uint8_t>((length - kMinMatch) << 4 | distance >> 8);
}

// The parse optimal in bits under a given code (bits[b]: the code length of item byte b), but
// for the control byte of a literal run, which is costed after the run's end is chosen.
TPodzial ParseByBits(std::span<const std::uint8_t> data, const std::vector<TDopasowanie>& matches,
                     const std::array<std::uint32_t, 256>& bits) {
  const std::size_t n = data.size();
  TPodzial parse{std::vector<std::uint8_t>(n + 1, 0), std::vector<std::uint8_t>(n + 1, 0)};
  std::vector<std::uint64_t> cost(n + 1, 0);
  std::vector<std::uint64_t> literals(n + 1, 0);  // bits of data[0..i) as literal bytes
  for (std::size_t i = 0; i < n; ++i) {
    literals[i + 1] = literals[i] + bits[data[i]];
  }
  // The run end j in (i, i + 128] with the least literals[j] + cost[j], from a monotone deque
  // as in ParseByBytes; the run's control byte is then costed exactly.
  std::vector<std::size_t> window(n + 1);
  std::size_t front = 0;
  std::size_t back = 0;
  for (std::size_t i = n; i-- > 0;) {
    const std::size_t j = i + 1;
    while (back > front &&
           literals[window[back - 1]] + cost[window[back - 1]] >= literals[j] + cost[j]) {
      --back;
    }
    window[back++] = j;
    while (window[front] > i + kMaxLiteralRun) {
      ++front;
    }
    const std::size_t bj = window[front];
    std::uint64_t best = bits[0x80 | (bj - i - 1)] + (literals[bj] - literals[i]) + cost[bj];
    parse.runLength[i] = static_cast<std::uint8_t>(bj - i);
    const std::size_t d = matches[i].distance;
    for (std::size_t len = kMinMatch; len <= matches[i].length; ++len) {
      const std::uint64_t c = bits[ReferenceControl(len, d)] + bits[d & 0xFF] + cost[i + len];
      if (c <= best) {
        best = c;
        parse.choice[i] = static_cast<std::uint8_t>(len);
      }
    }
    cost[i] = best;
  }
  return parse;
}

std::vector<std::uint8_t> ItemsOf(std::span<const std::uint8_t> data,
                                  const std::vector<TDopasowanie>& matches, const TPodzial& parse) {
  std::vector<std::uint8_t> items;
  items.reserve(data.size() + data.size() / kMaxLiteralRun + 1);
  for (std::size_t i = 0; i < data.size();) {
    if (parse.choice[i] != 0) {
      const std::size_t len = parse.choice[i];
      const std::size_t d = matches[i].distance;
      items.push_back(ReferenceControl(len, d));
      items.push_back(static_cast<std::uint8_t>(d & 0xFF));
      i += len;
    } else {
      const std::size_t k = parse.runLength[i];
      items.push_back(static_cast<std::uint8_t>(0x80 | (k - 1)));
      items.insert(items.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                   data.begin() + static_cast<std::ptrdiff_t>(i + k));
      i += k;
    }
  }
  return items;
}

// Code lengths of the items' bytes under the packer's code; absent bytes count as the longest.
std::array<std::uint32_t, 256> ItemBits(const std::vector<std::uint8_t>& items) {
  std::array<std::uint64_t, 256> freq{};
  for (const std::uint8_t b : items) {
    ++freq[b];
  }
  const std::vector<std::uint8_t> lengths = LimitedCodeLengths(freq, kChosenCodeLength);
  std::array<std::uint32_t, 256> bits{};
  for (std::size_t b = 0; b < 256; ++b) {
    bits[b] = lengths[b] != 0 ? lengths[b] : kChosenCodeLength;
  }
  return bits;
}

std::uint64_t CodedBits(const std::vector<std::uint8_t>& items,
                        const std::array<std::uint32_t, 256>& bits) {
  std::uint64_t total = 0;
  for (const std::uint8_t b : items) {
    total += bits[b];
  }
  return total;
}

}  // namespace

// A parse optimal in item bytes, then refined twice: each pass re-parses optimally in bits
// under the code the previous items would get, and is kept only when it codes shorter.
std::vector<std::uint8_t> EncodeBackrefItems(std::span<const std::uint8_t> data) {
  const std::vector<TDopasowanie> matches = FindMatches(data);
  std::vector<std::uint8_t> items = ItemsOf(data, matches, ParseByBytes(data, matches));
  for (int pass = 0; pass < 2; ++pass) {
    const std::array<std::uint32_t, 256> bits = ItemBits(items);
    std::vector<std::uint8_t> refined = ItemsOf(data, matches, ParseByBits(data, matches, bits));
    if (CodedBits(refined, ItemBits(refined)) >= CodedBits(items, bits)) {
      break;
    }
    items = std::move(refined);
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
