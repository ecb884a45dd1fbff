#include "bench/bench_support.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>

namespace laplace::bench {

platform::ReadResult NullPlatform::read(int, char*, std::size_t) { return {0, false}; }

platform::WriteResult NullPlatform::write(int, const char*, std::size_t size) {
  ++writes;
  bytes += size;
  return {size, platform::WriteFailure::none};
}

bool NullPlatform::is_character_device(int) { return false; }

void NullPlatform::do_end_process(int) {
  // Nothing in a benchmark ends the process; if something does, stop loudly.
  std::abort();
}

std::vector<std::uint32_t> random_bits(std::size_t count) {
  std::vector<std::uint32_t> values(count);
  std::uint64_t x = 0x9E3779B97F4A7C15u;
  for (std::uint32_t& v : values) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    v = static_cast<std::uint32_t>(x >> 32);
  }
  return values;
}

std::vector<std::uint32_t> grid_values() {
  // The five-point update, each step one double operation and a rounding to
  // a 32-bit real where a variable is stored.
  constexpr int COLUMNS = 7;
  constexpr int ROWS = 5;
  constexpr int LAYERS = 1000;
  const auto at = [](std::array<float, COLUMNS * ROWS>& g, int i, int j) -> float& {
    return g[static_cast<std::size_t>((i - 1) + COLUMNS * (j - 1))];
  };
  std::array<float, COLUMNS * ROWS> previous{};
  for (int i = 1; i <= COLUMNS; ++i) at(previous, i, ROWS) = 100.0f;
  for (int j = 2; j < ROWS; ++j) {
    for (int i = 2; i < COLUMNS; ++i) at(previous, i, j) = 25.0f;
  }
  std::array<float, COLUMNS * ROWS> next = previous;

  std::vector<std::uint32_t> values;
  values.reserve(20 + 15 * LAYERS);
  for (int j = 1; j <= ROWS; ++j) {
    for (int i = 1; i <= COLUMNS; ++i) {
      if (i == 1 || i == COLUMNS || j == 1 || j == ROWS) {
        values.push_back(std::bit_cast<std::uint32_t>(at(previous, i, j)));
      }
    }
  }
  for (int k = 0; k < 15; ++k) values.push_back(std::bit_cast<std::uint32_t>(25.0f));

  const double dx = static_cast<double>(0.1f);
  const double dy = static_cast<double>(0.3f);
  const double d = dy * dy * 2.0 + dx * dx * 2.0;
  const auto coefficient = static_cast<float>((dy * dy) * (dx * dx) / d);
  for (int n = 2; n <= LAYERS; ++n) {
    for (int j = 2; j < ROWS; ++j) {
      for (int i = 2; i < COLUMNS; ++i) {
        const double sx = static_cast<double>(at(previous, i + 1, j)) + at(previous, i - 1, j);
        const auto term_x = static_cast<float>(sx / (dx * dx));
        const double sy = static_cast<double>(at(previous, i, j + 1)) + at(previous, i, j - 1);
        const double r = sy / (dy * dy) + static_cast<double>(term_x);
        at(next, i, j) = static_cast<float>(r * static_cast<double>(coefficient));
        values.push_back(std::bit_cast<std::uint32_t>(at(next, i, j)));
      }
    }
    previous = next;
  }
  return values;
}

void with_spread(benchmark::internal::Benchmark* b) {
  b->ComputeStatistics("min", [](const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
  });
  b->ComputeStatistics("max", [](const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
  });
}

}  // namespace laplace::bench
