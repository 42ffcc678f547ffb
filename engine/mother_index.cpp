#include "engine/mother_index.h"

#include <algorithm>

#include "engine/knowledge_base.h"
#include "engine/normalize.h"

namespace plotrak {
namespace {

uint32_t Trigram(const char* p) {
  return static_cast<uint32_t>(static_cast<unsigned char>(p[0])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(p[1])) << 8 |
         static_cast<unsigned char>(p[2]);
}

// The longest run of characters a match must find verbatim in the input; empty when the
// pattern has none of three characters or more.
std::string RequiredRun(std::string_view pattern) {
  std::string best, run;
  for (size_t i = 0; i <= pattern.size(); ++i) {
    const char c = i < pattern.size() ? pattern[i] : '@';
    if (c == '@' || c == '^' || c == '?') {
      if (run.size() > best.size()) best = run;
      run.clear();
      // A "?" can be skipped by the "???" shortcut: the runs beside it prove nothing.
      if (c == '?') return std::string();
    } else {
      run += c;
    }
  }
  return best.size() >= 3 ? best : std::string();
}

}  // namespace

void MotherKeyIndex::Refresh(const KnowledgeBase& base) {
  if (revision_ == base.MotherRevision()) return;
  revision_ = base.MotherRevision();
  upperKeys_.assign(1, std::string());
  always_.clear();
  byTrigram_.clear();

  // Per entry, the required run of each pattern; empty list = always a candidate.
  std::vector<std::vector<std::string>> runs(1);
  std::unordered_map<uint32_t, int> frequency;
  const int end = std::min(base.FirstEmptyKey(kMotherBase), base.EntryCount());
  for (int e = 1; e < end; ++e) {
    std::string key = UpperAscii(base.Cell(kMotherBase, e, 1));
    std::vector<std::string>& entryRuns = runs.emplace_back();
    for (size_t open = key.find('$'); open != std::string::npos;) {
      const size_t close = key.find('$', open + 1);
      if (close == std::string::npos) break;
      std::string run = RequiredRun(std::string_view(key).substr(open + 1, close - open - 1));
      if (run.empty()) {
        entryRuns.clear();
        break;
      }
      for (size_t i = 0; i + 3 <= run.size(); ++i) ++frequency[Trigram(run.data() + i)];
      entryRuns.push_back(std::move(run));
      open = key.find('$', close + 1);
    }
    upperKeys_.push_back(std::move(key));
  }
  // Each pattern is filed under the rarest trigram of its run, to keep candidate lists short.
  for (int e = 1; e < static_cast<int>(runs.size()); ++e) {
    if (runs[e].empty()) {
      always_.push_back(e);
      continue;
    }
    std::vector<uint32_t> grams;
    for (const std::string& run : runs[e]) {
      uint32_t best = Trigram(run.data());
      for (size_t i = 1; i + 3 <= run.size(); ++i) {
        const uint32_t g = Trigram(run.data() + i);
        if (frequency[g] < frequency[best]) best = g;
      }
      grams.push_back(best);
    }
    std::sort(grams.begin(), grams.end());
    grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
    for (uint32_t g : grams) byTrigram_[g].push_back(e);
  }
}

std::vector<int> MotherKeyIndex::Candidates(const std::string& input, int start, int limit) const {
  limit = std::min(limit, static_cast<int>(upperKeys_.size()));
  std::vector<int> out;
  auto take = [&](const std::vector<int>& entries) {
    for (auto it = std::upper_bound(entries.begin(), entries.end(), start);
         it != entries.end() && *it < limit; ++it) {
      out.push_back(*it);
    }
  };
  take(always_);
  if (input.size() >= 3) {
    std::vector<uint32_t> grams;
    grams.reserve(input.size() - 2);
    for (size_t i = 0; i + 3 <= input.size(); ++i) grams.push_back(Trigram(input.data() + i));
    std::sort(grams.begin(), grams.end());
    grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
    for (uint32_t g : grams) {
      auto it = byTrigram_.find(g);
      if (it != byTrigram_.end()) take(it->second);
    }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace plotrak
