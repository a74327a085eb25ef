// The array grid over 10^6 rows of two texts, in one run:
//   1. memory per row: the rows as the grid holds them (lists of two text
//      values, handed to SetArray) against a std::vector of two
//      std::strings per row holding the same texts; counted as the bytes
//      asked of operator new, plus 16 per block for the allocator's own
//      bookkeeping, on both sides;
//   2. sorting by a header click on the first column (the grid's Sort,
//      with its repaint request) against std::stable_sort of the vector by
//      its first string, over the same shuffled order each round.
#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "framework/core/application.h"
#include "framework/core/globals.h"
#include "framework/core/members.h"
#include "framework/grid/array_browse.h"
#include "framework/window/form.h"

namespace {
std::atomic<long long> g_bytes{0};
constexpr long long kBlockOverhead = 16;
}  // namespace

// Every block counted at the size the C runtime reports for it. (The
// compiler sees the replaced new and delete as a mismatched pair.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  g_bytes += static_cast<long long>(_msize(p)) + kBlockOverhead;
  return p;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  g_bytes -= static_cast<long long>(_msize(p)) + kBlockOverhead;
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

constexpr int kRowsCount = 1'000'000;

// One timed call (a sort must start from the unsorted order each time).
template <typename F>
double OnceNs(F&& body) {
  const auto t0 = std::chrono::steady_clock::now();
  body();
  return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
}

// Texts like the demo's: an animation name and a Spanish description.
std::string Name(int i) {
  char t[32];
  std::snprintf(t, sizeof t, "Animation%07d", i);
  return t;
}
std::string Description(int i) {
  char t[80];
  std::snprintf(t, sizeof t, "Descripci\xf3n de la animaci\xf3n n\xfamero %07d", i);
  return t;
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  zv::FrameworkStartUp();
  using zv::Value;
  namespace sym = zv::sym;

  std::vector<int> order(kRowsCount);
  for (int i = 0; i < kRowsCount; ++i) order[static_cast<std::size_t>(i)] = i;
  std::mt19937 rng(12345);
  std::shuffle(order.begin(), order.end(), rng);

  // 1. Memory per row.
  const long long before = g_bytes.load();
  std::vector<std::array<std::string, 2>> plain;
  plain.reserve(kRowsCount);
  for (int i : order) plain.push_back({Name(i), Description(i)});
  const long long plainBytes = g_bytes.load() - before;

  Value form = zv::NewObject(zv::TFormClass());
  zv::TFormRef fv(form);
  fv.SetBounds(0, 0, 400, 300);
  fv.Create();
  fv.Show();
  Value grid = zv::NewObject(zv::TArrayBrowseClass(), form);
  grid.Send(sym::SetBounds, 8, 8, 360, 240);
  grid.Send(sym::Create);
  const long long beforeRows = g_bytes.load();
  std::vector<Value> items;
  items.reserve(kRowsCount);
  for (int i : order) items.push_back(Value::List({Name(i), Description(i)}));
  Value rows = Value::List(std::move(items));
  grid.Send(sym::SetArray, rows);
  const long long gridBytes = g_bytes.load() - beforeRows;
  std::printf("Memory per row, %d rows of two texts\n\n", kRowsCount);
  std::printf("%-58s %10.1f bytes\n", "std::vector<std::array<std::string, 2>>", static_cast<double>(plainBytes) / kRowsCount);
  std::printf("%-58s %10.1f bytes  %5.2fx\n", "TArrayBrowse rows (lists of two text values)",
              static_cast<double>(gridBytes) / kRowsCount, static_cast<double>(gridBytes) / static_cast<double>(plainBytes));
  std::printf("  (goal: within 3x)\n\n");

  // 2. Sorting by the first column. Each round starts from the same
  // shuffled order on both sides.
  const Value col = zv::Get(grid, sym::aCols).Item(1);
  std::vector<Value> shuffledRows = rows.AsList().items;
  const auto plainShuffled = plain;
  const bench::Comparison sort = bench::Alternate(
      5,
      [&] {
        plain = plainShuffled;
        return OnceNs([&] {
          std::stable_sort(plain.begin(), plain.end(), [](const auto& a, const auto& b) { return a[0] < b[0]; });
        });
      },
      [&] {
        rows.AsList().items = shuffledRows;
        zv::Put(col, sym::set::nSort, 0);
        return OnceNs([&] { grid.Send(sym::Sort, col); });
      });
  std::printf("Sort of %d rows by the first text, 5 alternating rounds\n\n", kRowsCount);
  bench::Report("std::stable_sort of the vector", "TArrayBrowse Sort (a header click)", sort);
  std::printf("  (goal: within 3x)\n");
  if (rows.AsList().items.front().Item(1).AsString() != Name(0)) std::printf("  the sort is wrong!\n");
  fv.Close(true);
  return 0;
}
