// Small helpers for the benchmarks: a timer that repeats a body until the
// measurement is long enough, a sink the optimizer cannot see through, and
// alternating rounds of a baseline and a candidate.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace bench {

template <typename T>
inline void Keep(T const& value) {
  asm volatile("" : : "r,m"(value) : "memory");
}

// Nanoseconds per call of body(), best of five runs of `iterations` calls.
template <typename F>
double NsPerCall(std::uint64_t iterations, F&& body) {
  double best = 1e300;
  for (int run = 0; run < 5; ++run) {
    auto t0 = std::chrono::steady_clock::now();
    for (std::uint64_t i = 0; i < iterations; ++i) body();
    auto t1 = std::chrono::steady_clock::now();
    double ns = std::chrono::duration<double, std::nano>(t1 - t0).count() / static_cast<double>(iterations);
    if (ns < best) best = ns;
  }
  return best;
}

inline void Row(const char* what, double ns, double baseline) {
  std::printf("%-58s %10.2f ns  %7.2fx\n", what, ns, baseline > 0 ? ns / baseline : 0.0);
}

// A baseline and a candidate measured in alternating rounds, so that a noisy
// moment of a shared machine falls on both sides: the best time and the
// median of the rounds of each.
struct Comparison {
  double baseBest = 1e300, candBest = 1e300;
  double baseMedian = 0, candMedian = 0;
  double BestRatio() const { return baseBest > 0 ? candBest / baseBest : 0.0; }
  double MedianRatio() const { return baseMedian > 0 ? candMedian / baseMedian : 0.0; }
};

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// `base` and `candidate` each measure once and return nanoseconds per call
// (for example a NsPerCall of the body).
template <typename B, typename C>
Comparison Alternate(int rounds, B&& base, C&& candidate) {
  Comparison c;
  std::vector<double> bases, cands;
  for (int round = 0; round < rounds; ++round) {
    const double b = base();
    const double x = candidate();
    c.baseBest = std::min(c.baseBest, b);
    c.candBest = std::min(c.candBest, x);
    bases.push_back(b);
    cands.push_back(x);
  }
  c.baseMedian = Median(bases);
  c.candMedian = Median(cands);
  return c;
}

// Two rows (baseline, candidate, best times) and the two ratios.
inline void Report(const char* baseName, const char* candName, const Comparison& c) {
  Row(baseName, c.baseBest, c.baseBest);
  Row(candName, c.candBest, c.baseBest);
  std::printf("%-58s best %.2fx, median %.2fx\n", "  ratio", c.BestRatio(), c.MedianRatio());
}

}  // namespace bench
