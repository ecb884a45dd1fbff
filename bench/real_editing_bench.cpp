// edit_real: the time per value over random patterns of the whole 32-bit
// range, and over the values that a 1000-layer run prints.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bench/bench_support.h"
#include "console_io/real_editing.h"

namespace {

using laplace::console_io::edit_real;
using laplace::console_io::EditedReal;

// One value per iteration, taken in order and round again.
void edit_each(benchmark::State& state, const std::vector<std::uint32_t>& values) {
  std::size_t k = 0;
  for (auto _ : state) {
    EditedReal edited = edit_real(values[k]);
    benchmark::DoNotOptimize(edited);
    if (++k == values.size()) k = 0;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// 2^16 patterns: more than the branch predictors can learn, and still in the
// second-level cache.
void edit_real_random(benchmark::State& state) {
  static const std::vector<std::uint32_t> values = laplace::bench::random_bits(1u << 16);
  edit_each(state, values);
}

void edit_real_grid(benchmark::State& state) {
  static const std::vector<std::uint32_t> values = laplace::bench::grid_values();
  edit_each(state, values);
}

}  // namespace

BENCHMARK(edit_real_random)->Apply(laplace::bench::with_spread);
BENCHMARK(edit_real_grid)->Apply(laplace::bench::with_spread);
