// Faults the simulated regulator can be told to make, for tests and for
// training: armed counts for exact scenarios, probabilities for soak runs.
#pragma once

#include <cstdint>
#include <random>

namespace vrx4::sim {

struct FaultPlan {
  int corruptNext = 0;     // the next N replies carry a wrong checksum
  int dropNext = 0;        // the next N replies are not sent at all
  int strayNext = 0;       // the next N replies are preceded by stray bytes
  int strayCount = 3;      // how many stray bytes
  int staleReads = 0;      // the next N memory reads return pre-write data
  int ignoreLive = 0;      // the next N sound live commands are not applied
  bool silent = false;     // no reply at all while set
  long silentAfter = -1;   // fall silent after this many bytes received

  double corruptProbability = 0;
  double dropProbability = 0;
  double strayProbability = 0;
  std::mt19937 rng{12345};

  bool chance(double p) {
    if (p <= 0) return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p;
  }
};

}  // namespace vrx4::sim
