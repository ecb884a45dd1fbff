#include "solver/grid_setup.h"

namespace laplace::solver {
namespace {

// Nearest 32-bit real, ties to even: exact up to 2^24 in magnitude.
float to_real(std::int32_t value) { return static_cast<float>(value); }

}  // namespace

void fill_edge(SolverState& s, Side side) {
  switch (side) {
    case Side::lower: {
      const float v = to_real(s.lower);
      for (int n = 1; n <= MAX_LAYERS; ++n)
        for (int i = 1; i <= GRID_COLUMNS; ++i) s.grid.at(i, 1, n) = v;
      return;
    }
    case Side::right: {
      const float v = to_real(s.right);
      for (int n = 1; n <= MAX_LAYERS; ++n)
        for (int j = 2; j <= GRID_ROWS; ++j) s.grid.at(GRID_COLUMNS, j, n) = v;
      return;
    }
    case Side::left: {
      const float v = to_real(s.left);
      for (int n = 1; n <= MAX_LAYERS; ++n)
        for (int j = 2; j <= GRID_ROWS; ++j) s.grid.at(1, j, n) = v;
      return;
    }
    case Side::upper: {
      const float v = to_real(s.upper);
      for (int n = 1; n <= MAX_LAYERS; ++n)
        for (int i = 2; i <= GRID_COLUMNS - 1; ++i) s.grid.at(i, GRID_ROWS, n) = v;
      // The upper corners go last, over what the left and right sides wrote.
      for (int n = 1; n <= MAX_LAYERS; ++n) {
        s.grid.at(1, GRID_ROWS, n) = v;
        s.grid.at(GRID_COLUMNS, GRID_ROWS, n) = v;
      }
      return;
    }
  }
}

void fill_interior_start(SolverState& s) {
  // The sum is formed in 64 bits, so four values near the 32-bit limits still
  // give their true average; inside the 32-bit range this is the same sum.
  const std::int64_t sum = std::int64_t{s.upper} + s.lower + s.left + s.right;
  const auto start = static_cast<std::int32_t>(sum / 4);  // truncates toward zero
  const float v = to_real(start);
  for (int j = 2; j <= GRID_ROWS - 1; ++j)
    for (int i = 2; i <= GRID_COLUMNS - 1; ++i) s.grid.at(i, j, 1) = v;
}

void mark_edges(SolverState& s) {
  for (int j = 1; j <= GRID_ROWS; ++j)
    for (int i = 1; i <= GRID_COLUMNS; ++i)
      if (i == 1 || i == GRID_COLUMNS || j == 1 || j == GRID_ROWS) s.mask.at(i, j) = 1.0f;
}

}  // namespace laplace::solver
