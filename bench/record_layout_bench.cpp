// end_output on the statements of the sweeps, against a platform whose write
// does nothing: a point record (three integers and a real), the blank record
// that closes each layer, and the closing record of three reals.
#include <benchmark/benchmark.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bench/bench_support.h"
#include "console_io/console_io.h"
#include "console_io/output_statement.h"
#include "runtime/float_environment.h"
#include "runtime/run_time.h"

namespace {

namespace cio = laplace::console_io;
using laplace::bench::NullPlatform;

// The program's own set-up of the I/O layer: output to a file or a pipe (a
// separate output connection), traps enabled.
struct Console {
  NullPlatform platform;
  laplace::runtime::RunTime run_time{platform};
  cio::ConsoleIo io{run_time};
  Console() {
    cio::open_console(io);
    laplace::runtime::set_float_environment(run_time);
  }
};

void report_writes(benchmark::State& state, const NullPlatform& p) {
  const auto records = static_cast<double>(state.iterations());
  state.counters["writes_per_record"] = static_cast<double>(p.writes) / records;
  state.counters["bytes_per_record"] = static_cast<double>(p.bytes) / records;
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// Layer, column and row as the sweeps count them, with the values they print.
void point_record(benchmark::State& state) {
  static const std::vector<std::uint32_t> values = laplace::bench::grid_values();
  Console c;
  std::size_t k = 0;
  std::int32_t n = 2;
  std::int32_t i = 2;
  std::int32_t j = 2;
  for (auto _ : state) {
    cio::begin_output(c.io);
    cio::put_integer(c.io, n);
    cio::put_integer(c.io, i);
    cio::put_integer(c.io, j);
    cio::put_real(c.io, std::bit_cast<float>(values[k]));
    cio::end_output(c.io);
    if (++k == values.size()) k = 0;
    if (++i == 7) {
      i = 2;
      if (++j == 5) {
        j = 2;
        if (++n == 1001) n = 2;
      }
    }
  }
  report_writes(state, c.platform);
}

void blank_record(benchmark::State& state) {
  Console c;
  for (auto _ : state) {
    cio::begin_output(c.io);
    cio::put_text(c.io, " ", 1);
    cio::end_output(c.io);
  }
  report_writes(state, c.platform);
}

void closing_record(benchmark::State& state) {
  Console c;
  for (auto _ : state) {
    cio::begin_output(c.io);
    cio::put_real(c.io, 0.0f);
    cio::put_real(c.io, 0.0f);
    cio::put_real(c.io, 100.0f);
    cio::end_output(c.io);
  }
  report_writes(state, c.platform);
}

}  // namespace

BENCHMARK(point_record)->Apply(laplace::bench::with_spread);
BENCHMARK(blank_record)->Apply(laplace::bench::with_spread);
BENCHMARK(closing_record)->Apply(laplace::bench::with_spread);
