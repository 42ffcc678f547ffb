#include "engine/word_run_index.h"

#include <algorithm>
#include <cstring>

namespace plotrak {
namespace {

// With kNesting, the bounds that keep Find linear in the input: a pair of parts files at most
// kPerPair runs, the rest of a run after its second part is compared for at most kRest
// characters, and a part is at most kLongestPart long (so a word is looked up at that many
// lengths at most).
constexpr uint32_t kPerPair = 8;
constexpr size_t kRest = 48;
constexpr size_t kLongestPart = 64;
constexpr size_t kKeptWords = 2048;  // a power of two

constexpr uint64_t kSeed = 0xcbf29ce484222325u;
inline uint64_t Step(uint64_t h, char c) {
  return (h ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
}
// A part before a space is hashed from its last character backwards, so the parts that end
// a word are hashed one character more at a time.
uint64_t HashBackwards(std::string_view s) {
  uint64_t h = kSeed;
  for (size_t i = s.size(); i-- > 0;) h = Step(h, s[i]);
  return h;
}
uint64_t HashForwards(std::string_view s) {
  uint64_t h = kSeed;
  for (char c : s) h = Step(h, c);
  return h;
}
// A word's hash for the table of words, eight characters at a time.
uint64_t HashWord(std::string_view s) {
  uint64_t h = s.size() * 0x9e3779b97f4a7c15u;
  for (size_t i = 0; i < s.size(); i += 8) {
    uint64_t w = 0;
    std::memcpy(&w, s.data() + i, std::min<size_t>(8, s.size() - i));
    h = (h ^ w) * 0xff51afd7ed558ccdu;
    h ^= h >> 29;
  }
  return h;
}

inline uint64_t Mix(uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdu;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53u;
  x ^= x >> 33;
  return x;
}
inline uint64_t PairHash(uint32_t a, uint32_t b) {
  return Mix(uint64_t{a} << 32 | b);
}

}  // namespace

void WordRunIndex::PartSet::Clear() {
  slots_.assign(16, Slot{});
  shift_ = 60;
  count_ = 0;
  text_.clear();
  longest = 0;
}

void WordRunIndex::PartSet::Place(const Slot& slot) {
  size_t i = Home(slot.hash);
  while (slots_[i].id != kNone) i = (i + 1) & (slots_.size() - 1);
  slots_[i] = slot;
}

uint32_t WordRunIndex::PartSet::Add(uint64_t hash, std::string_view text) {
  const Slot slot{hash, count_++, static_cast<uint32_t>(text_.size()),
                  static_cast<uint32_t>(text.size())};
  text_ += text;
  longest = std::max(longest, text.size());
  if (count_ * 2 > slots_.size()) {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    --shift_;
    for (const Slot& s : old) {
      if (s.id != kNone) Place(s);
    }
  }
  Place(slot);
  return slot.id;
}

std::vector<bool> WordRunIndex::Build(const std::vector<std::string_view>& runs) {
  firsts_.Clear();
  seconds_.Clear();
  pairs_.clear();
  pairBits_.clear();
  filed_.clear();
  rests_.clear();
  words_.clear();
  std::vector<bool> taken(runs.size(), false);

  struct Split {
    std::string_view first, second, rest;
  };
  std::vector<Split> splits(runs.size());
  std::vector<std::string_view> firsts, seconds;
  for (size_t i = 0; i < runs.size(); ++i) {
    const std::string_view run = runs[i];
    const size_t space = run.find(' ');
    if (space == std::string_view::npos) continue;
    const size_t next = std::min(run.find(' ', space + 1), run.size());
    splits[i] = {run.substr(0, space), run.substr(space + 1, next - space - 1), run.substr(next)};
    firsts.push_back(splits[i].first);
    seconds.push_back(splits[i].second);
  }

  // Shortest parts first: a part joins its set while the parts of the set it ends with (for
  // the parts before a space) or begins with (after it), itself included, stay few.
  auto accept = [](std::vector<std::string_view>& parts, PartSet& set, auto hash, auto sub) {
    PartSet seen;
    std::vector<std::string_view> distinct;
    for (std::string_view part : parts) {
      const uint64_t h = hash(part);
      if (seen.Find(h, part) != kNone) continue;
      seen.Add(h, part);
      distinct.push_back(part);
    }
    std::stable_sort(distinct.begin(), distinct.end(),
                     [](std::string_view a, std::string_view b) { return a.size() < b.size(); });
    for (std::string_view part : distinct) {
      if (part.size() > kLongestPart) break;
      size_t nested = 1;
      for (size_t len = 0; len < part.size() && nested <= kNesting; ++len) {
        const std::string_view shorter = sub(part, len);
        nested += set.Find(hash(shorter), shorter) != kNone;
      }
      if (nested <= kNesting) set.Add(hash(part), part);
    }
  };
  accept(firsts, firsts_, HashBackwards,
         [](std::string_view s, size_t len) { return s.substr(s.size() - len); });
  accept(seconds, seconds_, HashForwards,
         [](std::string_view s, size_t len) { return s.substr(0, len); });

  // The runs by pair, in their order, at most kPerPair to a pair.
  struct Filing {
    uint64_t pair;  // first part's id, then the second's
    uint32_t run;
  };
  std::vector<Filing> filings;
  for (size_t i = 0; i < runs.size(); ++i) {
    const Split& s = splits[i];
    if (s.first.data() == nullptr || s.rest.size() > kRest) continue;
    const uint32_t a = firsts_.Find(HashBackwards(s.first), s.first);
    const uint32_t b = seconds_.Find(HashForwards(s.second), s.second);
    if (a != kNone && b != kNone)
      filings.push_back({uint64_t{a} << 32 | b, static_cast<uint32_t>(i)});
  }
  if (filings.empty()) return taken;
  std::stable_sort(filings.begin(), filings.end(),
                   [](const Filing& x, const Filing& y) { return x.pair < y.pair; });
  size_t pairCount = 0;
  for (size_t k = 0; k < filings.size(); ++k)
    pairCount += k == 0 || filings[k].pair != filings[k - 1].pair;
  words_.assign(kKeptWords, WordParts{});
  size_t size = 16;
  while (size < pairCount * 2) size *= 2;
  pairs_.assign(size, Pair{});
  // Eight bits to a pair: most pairs of parts that a line holds are no pair of a run, and
  // the bits say so without a look at the table.
  pairBits_.assign(size / 16, 0);
  for (size_t from = 0; from < filings.size();) {
    size_t to = from + 1;
    while (to < filings.size() && filings[to].pair == filings[from].pair) ++to;
    const uint64_t ab = filings[from].pair;
    const size_t count = std::min<size_t>(to - from, kPerPair);
    Pair pair{static_cast<uint32_t>(ab >> 32), static_cast<uint32_t>(ab),
              static_cast<uint32_t>(filed_.size()), static_cast<uint32_t>(count)};
    const uint32_t first = filings[from].run;
    if (count == 1 && splits[first].rest.empty()) {
      pair.begin = first;
      pair.count = kAlone;
    }
    for (size_t k = from; k < from + count; ++k) {
      const uint32_t i = filings[k].run;
      taken[i] = true;
      if (pair.count == kAlone) continue;
      filed_.push_back(
          {i, static_cast<uint32_t>(rests_.size()), static_cast<uint32_t>(splits[i].rest.size())});
      rests_ += splits[i].rest;
    }
    const uint64_t hash = PairHash(pair.first, pair.second);
    const uint64_t bit = (hash >> 32) & (pairBits_.size() * 64 - 1);
    pairBits_[bit / 64] |= uint64_t{1} << (bit % 64);
    size_t at = hash & (size - 1);
    while (pairs_[at].first != kNone) at = (at + 1) & (size - 1);
    pairs_[at] = pair;
    from = to;
  }
  return taken;
}

void WordRunIndex::SetValues(const std::vector<uint32_t>& values) {
  for (Filed& f : filed_) f.value = values[f.value];
  for (Pair& pair : pairs_) {
    if (pair.first != kNone && pair.count == kAlone) pair.begin = values[pair.begin];
  }
}

WordRunIndex::WordParts& WordRunIndex::Place(uint64_t hash, size_t length) const {
  return length <= kKeptWord ? words_[Mix(hash) & (kKeptWords - 1)] : scratch_;
}

const WordRunIndex::WordParts& WordRunIndex::PartsOf(std::string_view word, uint64_t hash) const {
  const bool keep = word.size() <= kKeptWord;
  WordParts& parts = Place(hash, word.size());
  if (keep && parts.hash == hash && parts.length == word.size() &&
      std::string_view(parts.text, word.size()) == word) {
    return parts;
  }
  parts.hash = hash;
  parts.length = static_cast<uint32_t>(word.size());
  if (keep) word.copy(parts.text, word.size());
  parts.firstCount = parts.secondCount = 0;
  // Every length up to the longest part: the parts of a word nest, at most kNesting deep.
  uint64_t h = kSeed;
  for (size_t len = 0, last = std::min(word.size(), firsts_.longest);; ++len) {
    const uint32_t id = firsts_.Find(h, word.substr(word.size() - len));
    if (id != kNone && parts.firstCount < kNesting) parts.first[parts.firstCount++] = id;
    if (len == last) break;
    h = Step(h, word[word.size() - len - 1]);
  }
  h = kSeed;
  for (size_t len = 0, last = std::min(word.size(), seconds_.longest);; ++len) {
    const uint32_t id = seconds_.Find(h, word.substr(0, len));
    if (id != kNone && parts.secondCount < kNesting) {
      parts.secondLength[parts.secondCount] = static_cast<uint8_t>(len);
      parts.second[parts.secondCount++] = id;
    }
    if (len == last) break;
    h = Step(h, word[len]);
  }
  return parts;
}

void WordRunIndex::Find(std::string_view input, const std::function<void(uint32_t)>& report) const {
  if (pairs_.empty() || input.find(' ') == std::string_view::npos) return;
  // The words between the spaces, and the pairs of parts to look up at each space. The
  // looked-up slots are asked for first and read after, a batch at a time, so their fetches
  // overlap.
  constexpr size_t kBatch = 64;
  probes_.clear();
  const WordParts* before = nullptr;
  const size_t mask = pairs_.size() - 1;
  const uint64_t bitMask = pairBits_.size() * 64 - 1;
  for (size_t begin = 0;;) {
    const size_t end = std::min(input.find(' ', begin), input.size());
    const std::string_view text = input.substr(begin, end - begin);
    const uint64_t hash = HashWord(text);
    // The word before keeps its parts when this word takes its place in the table.
    if (before != nullptr && before != &scratchBefore_ && before == &Place(hash, text.size())) {
      scratchBefore_ = *before;
      before = &scratchBefore_;
    }
    const WordParts& word = PartsOf(text, hash);
    if (before != nullptr) {
      for (size_t a = 0; a < before->firstCount; ++a) {
        for (size_t b = 0; b < word.secondCount; ++b) {
          const uint64_t hash = PairHash(before->first[a], word.second[b]);
          const uint64_t bit = (hash >> 32) & bitMask;
          if (!(pairBits_[bit / 64] >> (bit % 64) & 1)) continue;
          const auto slot = static_cast<uint32_t>(hash & mask);
          __builtin_prefetch(&pairs_[slot]);
          probes_.push_back({before->first[a], word.second[b], slot,
                             static_cast<uint32_t>(begin + word.secondLength[b])});
        }
      }
    }
    const bool last = end == input.size();
    if (last || probes_.size() >= kBatch) {
      Resolve(input, report);
      probes_.clear();
    }
    if (last) break;
    before = &word;
    begin = end + 1;
  }
}

void WordRunIndex::Resolve(std::string_view input,
                           const std::function<void(uint32_t)>& report) const {
  const size_t mask = pairs_.size() - 1;
  for (const Probe& probe : probes_) {
    for (size_t i = probe.slot;; i = (i + 1) & mask) {
      const Pair& pair = pairs_[i];
      if (pair.first == kNone) break;
      if (pair.first != probe.first || pair.second != probe.second) continue;
      if (pair.count == kAlone) {
        report(pair.begin);
        break;
      }
      const std::string_view tail = input.substr(probe.after);
      for (uint32_t k = pair.begin; k < pair.begin + pair.count; ++k) {
        const Filed& f = filed_[k];
        if (f.restLength == 0 || tail.substr(0, f.restLength) ==
                                     std::string_view(rests_).substr(f.restBegin, f.restLength)) {
          report(f.value);
        }
      }
      break;
    }
  }
}

}  // namespace plotrak
