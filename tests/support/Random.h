// A small seeded generator, so that every run of a property test draws the
// same cases.
#pragma once

#include <cstdint>

namespace kelvo::test {

struct TRandom {
  uint64_t S;
  uint32_t Next() {
    S = S * 6364136223846793005u + 1442695040888963407u;
    return static_cast<uint32_t>(S >> 33);
  }
  double Real() { return Next() / 2147483648.0; }  // [0, 1)
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
};

}  // namespace kelvo::test
