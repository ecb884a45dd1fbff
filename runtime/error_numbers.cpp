#include "runtime/error_numbers.h"

namespace laplace::runtime {
namespace {

// Runs of consecutive indices that number consecutively from a first offset.
struct Run {
  int first_index;
  int last_index;
  int first_offset;
};

constexpr std::array<Run, 10> RUNS{{
    {0, 10, 96},
    {11, 25, 200},
    {26, 45, 300},
    {46, 71, 400},
    {72, 88, 500},
    {89, 91, 600},
    {92, 93, 700},
    {94, 96, 970},
    {97, 116, 980},
    {117, 219, 702},
}};

constexpr ErrorNumberTable build_table() {
  ErrorNumberTable table{};
  for (const Run& run : RUNS) {
    for (int i = run.first_index; i <= run.last_index; ++i) {
      table[static_cast<std::size_t>(i)] =
          static_cast<std::int16_t>(run.first_offset + (i - run.first_index));
    }
  }
  return table;
}

}  // namespace

const ErrorNumberTable ERROR_NUMBER_TABLE = build_table();

std::int32_t error_number_of(std::int32_t message_index) {
  if (message_index < 0 || message_index >= MESSAGE_COUNT) return 6000;
  return 6000 + ERROR_NUMBER_TABLE[static_cast<std::size_t>(message_index)];
}

}  // namespace laplace::runtime
