#include "solver/sweeps.h"

#include "runtime/float_arithmetic.h"
#include "solver/reports.h"

namespace laplace::solver {
namespace {

using runtime::float_add;
using runtime::float_divide;
using runtime::float_load;
using runtime::float_multiply;
using runtime::float_store;

void print_point_of_layer(console_io::ConsoleIo& io, std::int32_t n, int i, int j, float value) {
  console_io::begin_output(io);
  console_io::put_integer(io, n);
  console_io::put_integer(io, i);
  console_io::put_integer(io, j);
  console_io::put_real(io, value);
  console_io::end_output(io);
}

}  // namespace

int storage_layer(std::int64_t n) {
  if (n <= MAX_LAYERS) return static_cast<int>(n);
  constexpr std::int64_t REUSED = MAX_LAYERS - 1;  // layers 2 to 1000
  return static_cast<int>(2 + (n - 2) % REUSED);
}

void compute_coefficient(SolverState& s, runtime::RunTime& rt) {
  const double dx = float_load(rt, s.dx);
  const double dy = float_load(rt, s.dy);
  const double a = float_multiply(rt, float_multiply(rt, dy, dy), 2.0);
  const double b = float_multiply(rt, float_multiply(rt, dx, dx), 2.0);
  const double d = float_add(rt, a, b);
  const double p = float_multiply(rt, float_multiply(rt, dy, dy), float_multiply(rt, dx, dx));
  s.coefficient = float_store(rt, float_divide(rt, p, d));
}

void run_sweeps(SolverState& s, console_io::ConsoleIo& io) {
  runtime::RunTime& rt = io.run_time;
  compute_coefficient(s, rt);

  // 64-bit layer numbers: the count may be the largest 32-bit value.
  for (std::int64_t n = 2; n <= s.iterations; ++n) {
    const int from = storage_layer(n - 1);
    const int to = storage_layer(n);
    for (int j = 2; j <= GRID_ROWS - 1; ++j) {
      for (int i = 2; i <= GRID_COLUMNS - 1; ++i) {
        const PotentialGrid& g = s.grid;
        const double sx = float_add(rt, float_load(rt, g.at(i + 1, j, from)),
                                    float_load(rt, g.at(i - 1, j, from)));
        const double dx = float_load(rt, s.dx);
        s.term_x = float_store(rt, float_divide(rt, sx, float_multiply(rt, dx, dx)));
        const double sy = float_add(rt, float_load(rt, g.at(i, j + 1, from)),
                                    float_load(rt, g.at(i, j - 1, from)));
        const double dy = float_load(rt, s.dy);
        // The update uses the vertical term at double precision; its 32-bit
        // copy is stored all the same, and that store can overflow.
        const double ty = float_divide(rt, sy, float_multiply(rt, dy, dy));
        s.term_y = float_store(rt, ty);
        const double r = float_add(rt, ty, float_load(rt, s.term_x));
        s.grid.at(i, j, to) = float_store(rt, float_multiply(rt, r, float_load(rt, s.coefficient)));
        print_point_of_layer(io, static_cast<std::int32_t>(n), i, j, s.grid.at(i, j, to));
      }
    }
    print_text(io, " ");
  }
  print_text(io, " ");
  console_io::begin_output(io);
  console_io::put_real(io, s.grid.at(3, 1, 5));
  console_io::put_real(io, s.grid.at(7, 4, 8));
  console_io::put_real(io, s.grid.at(1, 4, 9));
  console_io::end_output(io);
  print_text(io, " ");
}

}  // namespace laplace::solver
