#include "solver/reports.h"

#include <cstring>

namespace laplace::solver {

void print_text(console_io::ConsoleIo& io, const char* text) {
  console_io::begin_output(io);
  console_io::put_text(io, text, static_cast<std::int32_t>(std::strlen(text)));
  console_io::end_output(io);
}

void print_point(console_io::ConsoleIo& io, int i, int j, float value) {
  console_io::begin_output(io);
  console_io::put_integer(io, i);
  console_io::put_integer(io, j);
  console_io::put_real(io, value);
  console_io::end_output(io);
}

void print_boundary_report(SolverState& s, console_io::ConsoleIo& io) {
  print_text(io, "The Boundary Values of the Grid for Velocity Potential are as Follows:");
  for (int j = 1; j <= GRID_ROWS; ++j)
    for (int i = 1; i <= GRID_COLUMNS; ++i)
      if (s.mask.at(i, j) == 1.0f) print_point(io, i, j, s.grid.at(i, j, 1));
}

void print_initial_report(SolverState& s, console_io::ConsoleIo& io) {
  print_text(io, "THE INITIAL VALUES FOR THE GRID BESIDES THE BOUNDARY POINTS ARE");
  for (int j = 2; j <= GRID_ROWS - 1; ++j)
    for (int i = 2; i <= GRID_COLUMNS - 1; ++i) print_point(io, i, j, s.grid.at(i, j, 1));
}

}  // namespace laplace::solver
