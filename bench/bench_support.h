// What the micro-benchmarks share: a platform whose writes go nowhere, the
// value sets they feed to the editor, and the spread statistics.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace laplace::bench {

// Accepts every write whole and keeps only the counts; reads see the end of
// the input; no descriptor is a character device.
class NullPlatform final : public platform::Platform {
 public:
  std::uint64_t writes = 0;
  std::uint64_t bytes = 0;

  platform::ReadResult read(int fd, char* buffer, std::size_t capacity) override;
  platform::WriteResult write(int fd, const char* data, std::size_t size) override;
  bool is_character_device(int fd) override;

 protected:
  void do_end_process(int status) override;
};

// `count` 32-bit patterns from a fixed-seed generator: every sign, exponent
// and fraction, infinities and NaNs included.
std::vector<std::uint32_t> random_bits(std::size_t count);

// The reals a 1000-layer run prints, in order, with dx 0.1, dy 0.3, the upper
// edge at 100 and the other edges at 0: the 20 edge values, the 15 start
// values, then the 15 computed points of each of layers 2 to 1000.
std::vector<std::uint32_t> grid_values();

// Adds the minimum and maximum over repetitions to the mean, median and
// standard deviation that every repeated benchmark reports.
void with_spread(benchmark::internal::Benchmark* b);

}  // namespace laplace::bench
