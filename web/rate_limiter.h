// A token bucket per key (a peer address): `perSecond` tokens flow in, up to `burst`; each
// event takes one. The table holds at most `maxKeys` keys; when it is full the key idle the
// longest is forgotten (it had a full bucket or nearly so). Plain C++; time comes in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace plotrak {

class RateLimiter {
 public:
  RateLimiter(double perSecond, double burst, size_t maxKeys = 4096)
      : perSecond_(perSecond), burst_(burst), maxKeys_(maxKeys) {}

  // One event of `key` at `nowMs` (a monotonic clock): true when it is within the rate.
  bool Allow(const std::string& key, int64_t nowMs);

  size_t size() const { return buckets_.size(); }

 private:
  struct Bucket {
    double tokens;
    int64_t lastMs;
  };
  double perSecond_, burst_;
  size_t maxKeys_;
  std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace plotrak
