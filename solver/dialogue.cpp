#include "solver/dialogue.h"

#include "console_io/input_statement.h"
#include "solver/grid_setup.h"
#include "solver/reports.h"
#include "solver/sweeps.h"

namespace laplace::solver {
namespace {

using namespace console_io;

constexpr const char* SPACING_PROMPT = "Input the DX Value and DY Value with space and hit Return:";

void read_spacings(SolverState& s, ConsoleIo& io) {
  begin_input(io);
  get_real(io, s.dx);
  get_real(io, s.dy);
  end_input(io);
}

void read_integer(ConsoleIo& io, std::int32_t& variable) {
  begin_input(io);
  get_integer(io, variable);
  end_input(io);
}

void read_answer(SolverState& s, ConsoleIo& io) {
  begin_input(io);
  get_text(io, &s.answer, 1);
  end_input(io);
}

void ask_boundary(SolverState& s, ConsoleIo& io, const char* prompt, std::int32_t& value, Side side) {
  print_text(io, prompt);
  read_integer(io, value);
  fill_edge(s, side);
}

}  // namespace

bool ask_to_continue(SolverState& s, ConsoleIo& io) {
  print_text(io, " ");
  print_text(io, " ");
  print_text(io, "PRESS Y FOR THE PROGRAM TO CONTINUE");
  read_answer(s, io);
  if (s.answer != 'Y' && s.answer != 'y') return false;
  print_text(io, " ");
  print_text(io, " ");
  return true;
}

MenuChoice show_menu(SolverState& s, ConsoleIo& io) {
  print_text(io, "IF YOU WANT TO CHANGE THE DX AND DY VALUE TYPE A");
  print_text(io, "TYPE B FOR CHANGING THE NUMBER OF ITERATIONS");
  print_text(io, "TYPE C FOR STARTING OVER FROM THE BEGINNING WITH TOTALLY NEW VALUES");
  print_text(io, "TYPE D FOR ENDING THE PROGRAM");
  read_answer(s, io);
  switch (s.answer) {
    case 'A': return MenuChoice::new_spacing;
    case 'B': return MenuChoice::new_count;
    case 'C': return MenuChoice::start_over;
    default: return MenuChoice::end;
  }
}

std::int32_t run_dialogue(SolverState& s, ConsoleIo& io) {
  for (;;) {  // one pass of the set-up
    print_text(io, "THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION");
    print_text(io, "  ");
    print_text(io, SPACING_PROMPT);
    read_spacings(s, io);
    ask_boundary(s, io, "What is the Lower Boundary Value", s.lower, Side::lower);
    ask_boundary(s, io, "What is the Right Boundary Value", s.right, Side::right);
    ask_boundary(s, io, "What is the Left Boundary Value", s.left, Side::left);
    ask_boundary(s, io, "What is the Upper Boundary Value", s.upper, Side::upper);
    fill_interior_start(s);
    mark_edges(s);
    print_boundary_report(s, io);
    if (!ask_to_continue(s, io)) return 0;
    print_initial_report(s, io);
    if (!ask_to_continue(s, io)) return 0;
    print_text(io, "How Many Iterations Should be Calculated?");
    read_integer(io, s.iterations);

    for (;;) {  // the sweeps and the menu
      run_sweeps(s, io);
      const MenuChoice choice = show_menu(s, io);
      if (choice == MenuChoice::new_spacing) {
        print_text(io, SPACING_PROMPT);
        read_spacings(s, io);
      } else if (choice == MenuChoice::new_count) {
        print_text(io, "Input the New Number of Iterations:");
        read_integer(io, s.iterations);
      } else if (choice == MenuChoice::start_over) {
        break;
      } else {
        return 0;
      }
    }
  }
}

}  // namespace laplace::solver
