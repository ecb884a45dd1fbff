// The two reports printed before the computation: the edge points and the
// interior start values of layer 1.
#pragma once

#include "console_io/console_io.h"
#include "solver/solver_state.h"

namespace laplace::solver {

void print_boundary_report(SolverState& state, console_io::ConsoleIo& io);
void print_initial_report(SolverState& state, console_io::ConsoleIo& io);

// One output statement of a single text item.
void print_text(console_io::ConsoleIo& io, const char* text);

// One output statement: integer, integer, real.
void print_point(console_io::ConsoleIo& io, int i, int j, float value);

}  // namespace laplace::solver
