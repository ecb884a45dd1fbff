// The relaxation sweeps: layer n from layer n - 1 by the five-point formula,
// every computed point printed as it is stored.
#pragma once

#include <cstdint>

#include "console_io/console_io.h"
#include "solver/solver_state.h"

namespace laplace::solver {

// coefficient = dx^2 dy^2 / (2 dy^2 + 2 dx^2), rounded to 32 bits.
void compute_coefficient(SolverState& state, runtime::RunTime& rt);

// Computes and prints layers 2 to `iterations`, then the closing block.
void run_sweeps(SolverState& state, console_io::ConsoleIo& io);

// Where layer n is kept. Layers beyond the grid reuse layers 2 to 1000 in
// turn, so that layer n - 1 is always still there when layer n is computed,
// and layer 1 and the edges are never overwritten.
int storage_layer(std::int64_t n);

}  // namespace laplace::solver
