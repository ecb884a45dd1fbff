#include "runtime/error_reports.h"

#include <array>

#include "runtime/error_numbers.h"
#include "runtime/message_texts.h"
#include "runtime/run_time.h"
#include "runtime/termination.h"

namespace laplace::runtime {
namespace {

std::string_view context_text(std::int32_t statement_context) {
  switch (statement_context) {
    case context::CLOSE: return ": CLOSE(";
    case context::WRITE: return ": WRITE(";
    case context::READ: return ": READ(";
    case context::MATH: return ": MATH\r\n- ";
    case context::MEMORY: return "\r\n- ";
    default: return "";
  }
}

// Contexts from 11 up carry their own line break; only the lower ones name a unit.
constexpr std::int32_t FIRST_CONTEXT_WITHOUT_UNIT = 11;

void put(RunTime& rt, std::string_view piece) {
  // A report that cannot be written is lost; the process ends all the same.
  (void)rt.platform.write(platform::STANDARD_ERROR, piece.data(), piece.size());
}

}  // namespace

void write_error_report(RunTime& rt, std::int32_t error_number,
                        std::string_view message_text,
                        std::int32_t statement_context,
                        std::string_view unit_name) {
  put(rt, "\r\n");
  put(rt, "run-time error ");
  // The letter and the four digits of the number.
  std::array<char, 5> code{};
  code[0] = statement_context == context::MATH ? 'M' : 'F';
  std::uint32_t n = static_cast<std::uint32_t>(error_number) % 10000u;
  for (std::size_t k = 4; k >= 1; --k) {
    code[k] = static_cast<char>('0' + n % 10u);
    n /= 10u;
  }
  put(rt, std::string_view(code.data(), code.size()));
  put(rt, context_text(statement_context));
  if (statement_context < FIRST_CONTEXT_WITHOUT_UNIT) {
    put(rt, unit_name);
    put(rt, message_text.empty() ? std::string_view(")\r\n") : std::string_view(")\r\n- "));
  }
  put(rt, message_text);
  put(rt, "\r\n");
  if (!rt.termination_in_progress) exit_program(rt, 1);
}

void raise_run_time_error(RunTime& rt, std::int32_t message_index,
                          std::int32_t statement_context,
                          std::string_view unit_name) {
  const std::int32_t number = error_number_of(message_index);
  write_error_report(rt, number, message_text(message_index), statement_context,
                     statement_context < FIRST_CONTEXT_WITHOUT_UNIT ? unit_name
                                                                    : std::string_view());
  throw TerminationError{number};
}

}  // namespace laplace::runtime
