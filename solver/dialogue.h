// The dialogue: the questions, the reports, the sweeps and the menu.
#pragma once

#include <cstdint>

#include "console_io/console_io.h"
#include "solver/solver_state.h"

namespace laplace::solver {

enum class MenuChoice { new_spacing, new_count, start_over, end };

// Runs the whole dialogue; returns 0 at its normal end.
std::int32_t run_dialogue(SolverState& state, console_io::ConsoleIo& io);

// Asks leave to continue; true for "Y" or "y".
bool ask_to_continue(SolverState& state, console_io::ConsoleIo& io);

// Shows the menu and reads the choice.
MenuChoice show_menu(SolverState& state, console_io::ConsoleIo& io);

}  // namespace laplace::solver
