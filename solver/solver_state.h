// The solver's data: spacings, boundary values, the layers of the grid, the
// boundary mask, the last answer and the terms of the point last computed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace laplace::solver {

inline constexpr int GRID_COLUMNS = 7;
inline constexpr int GRID_ROWS = 5;
inline constexpr int MAX_LAYERS = 1000;

// Column i 1..7 varies fastest, then row j 1..5, then layer n 1..1000; all
// indices are one-based. Row 1 is the lower edge, column 1 the left edge.
struct PotentialGrid {
  std::array<float, std::size_t{GRID_COLUMNS} * GRID_ROWS * MAX_LAYERS> values{};

  float& at(int i, int j, int n) { return values[index(i, j, n)]; }
  float at(int i, int j, int n) const { return values[index(i, j, n)]; }

  static std::size_t index(int i, int j, int n) {
    return static_cast<std::size_t>((i - 1) + GRID_COLUMNS * (j - 1) +
                                    GRID_COLUMNS * GRID_ROWS * (n - 1));
  }
};

// 1.0 at the 20 edge points, 0.0 at the 15 interior points once marked.
struct BoundaryMask {
  std::array<float, std::size_t{GRID_COLUMNS} * GRID_ROWS> values{};

  float& at(int i, int j) { return values[static_cast<std::size_t>((i - 1) + GRID_COLUMNS * (j - 1))]; }
};

struct SolverState {
  float dx = 0.0f;
  float dy = 0.0f;
  std::int32_t lower = 0;
  std::int32_t right = 0;
  std::int32_t left = 0;
  std::int32_t upper = 0;
  PotentialGrid grid;
  BoundaryMask mask;
  char answer = '\0';
  std::int32_t iterations = 0;
  float coefficient = 0.0f;
  float term_x = 0.0f;
  float term_y = 0.0f;
};

}  // namespace laplace::solver
