// The program's one pseudo-random generator, seeded once at start-up.
#pragma once

#include <cstdint>
#include <random>

namespace plotrak {

class Random {
 public:
  explicit Random(uint32_t seed = std::random_device{}()) : gen_(seed) {}
  // A uniform draw from lo..hi inclusive; lo when hi < lo.
  int Uniform(int lo, int hi) {
    if (hi <= lo) return lo;
    return std::uniform_int_distribution<int>(lo, hi)(gen_);
  }
  void Seed(uint32_t seed) { gen_.seed(seed); }

 private:
  std::mt19937 gen_;
};

}  // namespace plotrak
