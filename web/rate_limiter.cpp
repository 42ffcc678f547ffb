#include "web/rate_limiter.h"

#include <algorithm>

namespace plotrak {

bool RateLimiter::Allow(const std::string& key, int64_t nowMs) {
  auto found = buckets_.find(key);
  if (found == buckets_.end()) {
    if (buckets_.size() >= maxKeys_ && !buckets_.empty()) {
      auto oldest = std::min_element(buckets_.begin(), buckets_.end(), [](auto& a, auto& b) {
        return a.second.lastMs < b.second.lastMs;
      });
      buckets_.erase(oldest);
    }
    found = buckets_.emplace(key, Bucket{burst_, nowMs}).first;
  }
  Bucket& bucket = found->second;
  const int64_t elapsed = std::max<int64_t>(0, nowMs - bucket.lastMs);
  bucket.tokens =
      std::min(burst_, bucket.tokens + perSecond_ * static_cast<double>(elapsed) / 1000.0);
  bucket.lastMs = std::max(bucket.lastMs, nowMs);
  if (bucket.tokens < 1.0) return false;
  bucket.tokens -= 1.0;
  return true;
}

}  // namespace plotrak
