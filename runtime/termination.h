// Exit actions and the one orderly way out of the process.
#pragma once

#include <array>
#include <cstdint>

namespace laplace::runtime {

struct RunTime;

struct ExitAction {
  void (*run)(void* context);
  void* context;
};

struct ExitActionList {
  static constexpr int CAPACITY = 4;
  std::array<ExitAction, CAPACITY> actions{};
  int count = 0;
};

// Appends `action`; false when the list is full.
bool register_exit_action(RunTime& rt, ExitAction action);

// Runs the exit actions last registered first, then ends the process with
// `status`. Never returns.
[[noreturn]] void exit_program(RunTime& rt, std::int32_t status);

}  // namespace laplace::runtime
