#include "engine/mother_index.h"

#include <algorithm>
#include <stdexcept>

#include "engine/knowledge_base.h"
#include "engine/normalize.h"

namespace plotrak {

bool LiteralRunsOccur(std::string_view input, std::string_view pattern) {
  bool all = true;
  ForEachLiteralRun(pattern, [&](std::string_view run) {
    if (all && input.find(run) == std::string_view::npos) all = false;
  });
  return all;
}

bool KeyMayMatch(std::string_view input, std::string_view key) {
  std::string upper;
  if (HasLowerAscii(key)) {
    upper = UpperAscii(key);
    key = upper;
  }
  bool may = false;
  ForEachPattern(key,
                 [&](std::string_view pattern) { may = may || LiteralRunsOccur(input, pattern); });
  return may;
}

namespace {

// Changed keys held beside the automaton before it is built again, and patterns of changed
// keys left in it: both stay small against the base, so a query never pays much for them.
bool NeedsRebuild(size_t changed, size_t dead, size_t patterns) {
  return changed > 64 + patterns / 64 || dead > 64 + patterns / 4;
}

}  // namespace

inline uint32_t MotherKeyIndex::Child(uint32_t node, unsigned char c) const {
  const uint32_t* record = trie_.data() + node;
  const uint32_t count = record[kCount] & kChildMask;
  const uint32_t words = (count + 3) / 4;
  // Four labels at a time: the lowest byte equal to c marks the child, without a branch per
  // label.
  const uint32_t spread = 0x01010101u * c;
  for (uint32_t w = 0; w < words; ++w) {
    const uint32_t v = record[kLabels + w] ^ spread;
    const uint32_t zero = (v - 0x01010101u) & ~v & 0x80808080u;
    if (zero == 0) continue;
    const uint32_t i = w * 4 + static_cast<uint32_t>(__builtin_ctz(zero)) / 8;
    return i < count ? record[kLabels + words + i] : kNone;
  }
  return kNone;
}

void MotherKeyIndex::Build(const KnowledgeBase& base) {
  epoch_ = base.MotherKeyEpoch();
  replayed_ = base.MotherKeyChanges().size();
  patterns_.clear();
  patternRuns_.clear();
  changed_.clear();
  alwaysItems_.clear();
  deadCount_ = 0;
  lastValid_ = false;
  allValid_ = false;

  // The upper-cased keys side by side, and every pattern's runs as places in them.
  std::string keys;
  struct Place {
    uint32_t offset, length;
  };
  std::vector<Place> runs;
  const int end = base.StoredEntryEnd(kMotherBase);
  for (int e = base.NextStoredEntry(kMotherBase, 0); e < end;
       e = base.NextStoredEntry(kMotherBase, e)) {
    const std::string_view key = base.Cell(kMotherBase, e, 1);
    if (key.empty()) continue;
    const size_t at = keys.size();
    AppendUpperAscii(keys, key);
    ForEachPattern(std::string_view(keys).substr(at), [&](std::string_view pattern) {
      Pattern p{e, static_cast<uint32_t>(runs.size()), 0};
      ForEachLiteralRun(pattern, [&](std::string_view run) {
        runs.push_back(
            {static_cast<uint32_t>(run.data() - keys.data()), static_cast<uint32_t>(run.size())});
        ++p.runCount;
      });
      patterns_.push_back(p);
    });
  }

  // The distinct runs in order; the trie is laid out breadth first from them, each node
  // standing for the range of runs that share its prefix.
  auto text = [&keys](const Place& p) { return std::string_view(keys).substr(p.offset, p.length); };
  // The first eight bytes, as a number that orders as they do, settle most comparisons.
  struct Sorting {
    uint64_t head;
    std::string_view run;
    uint32_t place;
    bool operator<(const Sorting& o) const { return head != o.head ? head < o.head : run < o.run; }
  };
  std::vector<Sorting> order(runs.size());
  for (uint32_t i = 0; i < order.size(); ++i) {
    const std::string_view run = text(runs[i]);
    uint64_t head = 0;
    for (size_t k = 0; k < 8; ++k) {
      head = head << 8 | (k < run.size() ? static_cast<unsigned char>(run[k]) : 0);
    }
    order[i] = {head, run, i};
  }
  std::sort(order.begin(), order.end());
  std::vector<std::string_view> sorted;
  std::vector<uint32_t> distinct(runs.size());  // per place: its run in sorted
  for (const Sorting& s : order) {
    if (sorted.empty() || sorted.back() != s.run) sorted.push_back(s.run);
    distinct[s.place] = static_cast<uint32_t>(sorted.size() - 1);
  }
  std::vector<uint32_t> runNumber(sorted.size());  // per distinct run: its number
  // The runs that hold a space go to the word tables where they can; the automaton holds the
  // rest.
  const std::vector<bool> byWords = words_.Build(sorted);
  std::vector<std::string_view> automaton;
  std::vector<uint32_t> automatonRun;  // per run of the automaton: its place in sorted
  for (uint32_t i = 0; i < sorted.size(); ++i) {
    if (byWords[i]) continue;
    automaton.push_back(sorted[i]);
    automatonRun.push_back(i);
  }

  struct Node {
    uint32_t lo, hi, depth;
    uint32_t edgeBegin = 0, edgeEnd = 0, fail = 0, out = kNone, run = kNone;
  };
  std::vector<Node> nodes{{0, static_cast<uint32_t>(automaton.size()), 0}};
  std::vector<unsigned char> labels;
  std::vector<uint32_t> targets;
  auto child = [&](uint32_t v, unsigned char c) {
    for (uint32_t i = nodes[v].edgeBegin; i < nodes[v].edgeEnd; ++i) {
      if (labels[i] == c) return targets[i];
    }
    return kNone;
  };
  uint32_t runCount = 0;
  for (uint32_t v = 0; v < nodes.size(); ++v) {
    uint32_t lo = nodes[v].lo;
    const uint32_t hi = nodes[v].hi, depth = nodes[v].depth;
    if (lo < hi && automaton[lo].size() == depth) {
      runNumber[automatonRun[lo]] = runCount;
      nodes[v].run = runCount++;
      ++lo;  // a run that ends here sorts before those that go on
    }
    nodes[v].out = nodes[v].run != kNone ? v : (v == 0 ? kNone : nodes[nodes[v].fail].out);
    nodes[v].edgeBegin = static_cast<uint32_t>(labels.size());
    for (uint32_t i = lo; i < hi;) {
      const auto c = static_cast<unsigned char>(automaton[i][depth]);
      uint32_t j = i + 1;
      while (j < hi && static_cast<unsigned char>(automaton[j][depth]) == c) ++j;
      labels.push_back(c);
      targets.push_back(static_cast<uint32_t>(nodes.size()));
      nodes.push_back({i, j, depth + 1});
      i = j;
    }
    nodes[v].edgeEnd = static_cast<uint32_t>(labels.size());
    // Suffix links of the children; every node on the parent's chain is shallower, so its
    // children are laid out already.
    for (uint32_t k = nodes[v].edgeBegin; k < nodes[v].edgeEnd; ++k) {
      uint32_t fail = 0;
      for (uint32_t f = v; f != 0;) {
        f = nodes[f].fail;
        const uint32_t t = child(f, labels[k]);
        if (t != kNone) {
          fail = t;
          break;
        }
      }
      nodes[targets[k]].fail = fail;
    }
  }

  automatonRuns_ = runCount;
  for (uint32_t i = 0; i < sorted.size(); ++i) {
    if (byWords[i]) runNumber[i] = runCount++;
  }

  // Each pattern's runs by number; the pattern is filed under the run that the fewest
  // patterns share, as its entry when that is its only run.
  std::vector<uint32_t> uses(runCount, 0);
  patternRuns_.reserve(runs.size());
  for (uint32_t place = 0; place < runs.size(); ++place) {
    patternRuns_.push_back(runNumber[distinct[place]]);
    ++uses[patternRuns_.back()];
  }
  std::vector<uint32_t> filedAt(patterns_.size(), kNone), items(runCount, 0);
  itemAt_.assign(patterns_.size(), kNone);
  for (uint32_t id = 0; id < patterns_.size(); ++id) {
    const Pattern& p = patterns_[id];
    if (p.runCount == 0) {
      itemAt_[id] = kAlways | static_cast<uint32_t>(alwaysItems_.size());
      alwaysItems_.push_back(static_cast<uint32_t>(p.entry));
      continue;
    }
    uint32_t best = patternRuns_[p.runBegin];
    for (uint32_t i = 1; i < p.runCount; ++i) {
      const uint32_t run = patternRuns_[p.runBegin + i];
      if (uses[run] < uses[best]) best = run;
    }
    filedAt[id] = best;
    ++items[best];
  }

  // The records in depth-first order: a node's first child follows it, so a walk along a
  // key's run (most of a walk) reads memory in order instead of jumping a level away.
  std::vector<uint32_t> at(nodes.size());
  size_t size = 0;
  for (std::vector<uint32_t> stack{0}; !stack.empty();) {
    const uint32_t v = stack.back();
    stack.pop_back();
    const Node& n = nodes[v];
    const uint32_t count = n.edgeEnd - n.edgeBegin;
    at[v] = static_cast<uint32_t>(std::min<size_t>(size, kNone));
    size += kLabels + (count + 3) / 4 + count + (n.run != kNone ? 3 + items[n.run] : 0);
    for (uint32_t k = n.edgeEnd; k-- > n.edgeBegin;) stack.push_back(targets[k]);
  }
  // The records of the word runs follow the nodes': a run part without a node.
  const size_t wordRecords = size;
  for (uint32_t run = automatonRuns_; run < runCount; ++run) size += 3 + items[run];
  if (size >= kNone) throw std::length_error("mother keys too long to index");
  trie_.assign(size, 0);
  std::vector<uint32_t> fill(runCount);  // where the next item of a run goes
  // A run part: the run's number, the next run end on its suffix chain, its item count; the
  // items follow.
  auto writeRunPart = [&](uint32_t part, uint32_t run, uint32_t next) {
    trie_[part] = run;
    trie_[part + 1] = next;
    trie_[part + 2] = items[run];
    fill[run] = part + 3;
  };
  for (uint32_t v = 0; v < nodes.size(); ++v) {
    const Node& n = nodes[v];
    uint32_t* record = trie_.data() + at[v];
    const uint32_t count = n.edgeEnd - n.edgeBegin;
    record[kFail] = at[n.fail];
    record[kOut] = n.out == kNone ? kNone : at[n.out];
    record[kCount] = count | (n.run != kNone ? kRunEnd : 0u);
    auto* label = reinterpret_cast<unsigned char*>(record + kLabels);
    uint32_t* children = record + kLabels + (count + 3) / 4;
    for (uint32_t i = 0; i < count; ++i) {
      label[i] = labels[n.edgeBegin + i];
      children[i] = at[targets[n.edgeBegin + i]];
    }
    if (n.run == kNone) continue;
    const uint32_t nextOut = v == 0 ? kNone : nodes[n.fail].out;
    writeRunPart(static_cast<uint32_t>(children + count - trie_.data()), n.run,
                 nextOut == kNone ? kNone : at[nextOut]);
  }
  std::vector<uint32_t> wordPart(sorted.size(), kNone);
  for (uint32_t i = 0, at = static_cast<uint32_t>(wordRecords); i < sorted.size(); ++i) {
    if (!byWords[i]) continue;
    writeRunPart(at, runNumber[i], kNone);
    wordPart[i] = at;
    at += 3 + items[runNumber[i]];
  }
  words_.SetValues(wordPart);
  for (uint32_t id = 0; id < patterns_.size(); ++id) {
    if (filedAt[id] == kNone) continue;
    const uint32_t where = fill[filedAt[id]]++;
    trie_[where] =
        patterns_[id].runCount == 1 ? static_cast<uint32_t>(patterns_[id].entry) : kMultiRun | id;
    itemAt_[id] = where;
  }
  for (int c = 0; c < 256; ++c) {
    const uint32_t t = child(0, static_cast<unsigned char>(c));
    rootNext_[c] = t == kNone ? 0 : at[t];
  }
  seen_.assign((runCount + 63) / 64, 0);
  lastRuns_.clear();
}

void MotherKeyIndex::Replay(const KnowledgeBase& base, int entry) {
  allValid_ = false;
  auto first = std::lower_bound(patterns_.begin(), patterns_.end(), entry,
                                [](const Pattern& p, int e) { return p.entry < e; });
  for (auto it = first; it != patterns_.end() && it->entry == entry; ++it) {
    const uint32_t at = itemAt_[it - patterns_.begin()];
    uint32_t& item = at & kAlways ? alwaysItems_[at & ~kAlways] : trie_[at];
    deadCount_ += item != kGone;
    item = kGone;
  }
  std::erase_if(changed_, [entry](const ChangedKey& k) { return k.entry == entry; });
  const std::string_view key = base.Cell(kMotherBase, entry, 1);
  if (entry < 1 || key.empty()) return;
  ChangedKey changed{entry, {}};
  const std::string upper = UpperAscii(key);
  ForEachPattern(upper, [&](std::string_view pattern) {
    auto& runs = changed.patterns.emplace_back();
    ForEachLiteralRun(pattern, [&](std::string_view run) { runs.emplace_back(run); });
  });
  if (!changed.patterns.empty()) changed_.push_back(std::move(changed));
}

void MotherKeyIndex::Refresh(const KnowledgeBase& base) {
  const std::vector<int>& changes = base.MotherKeyChanges();
  if (epoch_ != base.MotherKeyEpoch() || replayed_ > changes.size() ||
      NeedsRebuild(changes.size() - replayed_, deadCount_, patterns_.size())) {
    Build(base);
    return;
  }
  for (; replayed_ < changes.size(); ++replayed_) Replay(base, changes[replayed_]);
  if (NeedsRebuild(changed_.size(), deadCount_, patterns_.size())) Build(base);
}

const std::vector<uint32_t>& MotherKeyIndex::FindRuns(std::string_view input) const {
  if (lastValid_ && input == lastInput_) return lastRuns_;
  for (uint32_t part : lastRuns_) seen_[trie_[part] / 64] = 0;
  lastRuns_.clear();
  // Marks a run found; false when it was marked already.
  auto mark = [this](uint32_t part) {
    const uint32_t run = trie_[part];
    uint64_t& word = seen_[run / 64];
    const uint64_t bit = uint64_t{1} << (run % 64);
    if (word & bit) return false;
    word |= bit;
    lastRuns_.push_back(part);
    return true;
  };
  // One pass over the input; a run met again has had its whole suffix chain marked already.
  uint32_t state = 0;
  for (char ch : automatonRuns_ ? input : std::string_view()) {
    const auto c = static_cast<unsigned char>(ch);
    for (;;) {
      if (state == 0) {
        state = rootNext_[c];
        break;
      }
      const uint32_t t = Child(state, c);
      if (t != kNone) {
        state = t;
        break;
      }
      state = trie_[state + kFail];
    }
    if (state == 0) continue;  // the root ends no run
    for (uint32_t t = trie_[state + kOut]; t != kNone && mark(RunPart(t));) {
      t = trie_[RunPart(t) + 1];
    }
  }
  // The runs with a space that the word tables hold.
  words_.Find(input, [&mark](uint32_t part) { mark(part); });
  lastInput_.assign(input);
  lastValid_ = true;
  return lastRuns_;
}

std::vector<int> MotherKeyIndex::Candidates(std::string_view input, int start, int limit) const {
  std::vector<int> out;
  if (scanEveryKey_) {
    for (int e = std::max(start, 0) + 1; e < limit; ++e) out.push_back(e);
    return out;
  }
  const std::vector<int>& all = *AllCandidates(input);
  auto first = std::upper_bound(all.begin(), all.end(), start);
  auto last = std::lower_bound(first, all.end(), limit);
  out.assign(first, last);
  return out;
}

void MotherKeyIndex::TakeItems(const uint32_t* items, uint32_t count, std::vector<int>& out) const {
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t item = items[i];
    if (item == kGone) continue;
    if (!(item & kMultiRun)) {
      out.push_back(static_cast<int>(item));
      continue;
    }
    const Pattern& p = patterns_[item & ~kMultiRun];
    bool all = true;
    for (uint32_t r = 0; r < p.runCount && all; ++r) {
      const uint32_t run = patternRuns_[p.runBegin + r];
      all = seen_[run / 64] >> (run % 64) & 1;
    }
    if (all) out.push_back(p.entry);
  }
}

const std::vector<int>* MotherKeyIndex::AllCandidates(std::string_view input) const {
  if (scanEveryKey_) return nullptr;
  if (allValid_ && input == allInput_) return &all_;
  std::vector<int>& out = all_;
  out.clear();
  if (!trie_.empty()) {
    for (uint32_t part : FindRuns(input)) TakeItems(&trie_[part + 3], trie_[part + 2], out);
  }
  TakeItems(alwaysItems_.data(), static_cast<uint32_t>(alwaysItems_.size()), out);
  for (const ChangedKey& key : changed_) {
    for (const auto& runs : key.patterns) {
      if (std::all_of(runs.begin(), runs.end(), [input](const std::string& run) {
            return input.find(run) != std::string_view::npos;
          })) {
        out.push_back(key.entry);
        break;
      }
    }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  allInput_.assign(input);
  allValid_ = true;
  return &all_;
}

}  // namespace plotrak
