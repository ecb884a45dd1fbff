// Setting up the grid: the edges of every layer, the interior start values
// of layer 1, and the boundary mask.
#pragma once

#include "solver/solver_state.h"

namespace laplace::solver {

enum class Side { lower, right, left, upper };

// Stores that side's boundary value into its points of every layer.
void fill_edge(SolverState& state, Side side);

// Stores the truncated integer average of the four values into layer 1's interior.
void fill_interior_start(SolverState& state);

// Sets the mask to 1.0 at every edge point.
void mark_edges(SolverState& state);

}  // namespace laplace::solver
