// Small helpers for the benchmarks: a timer that repeats a body until the
// measurement is long enough, and a sink the optimizer cannot see through.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

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

}  // namespace bench
