// What a run-time error report on standard error must look like: exactly one
// report, with an error number the failing statement can raise.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "fuzz/fuzz_check.h"
#include "runtime/error_numbers.h"
#include "runtime/message_texts.h"

namespace laplace::fuzz {

// The errors an input statement raises: the scanner's and the conversions'.
inline constexpr std::initializer_list<int> READ_ERRORS = {
    6501, 6500, 6407, 6502, 6503, 6504, 6100, 6101, 6302, 6303, 6102, 6103, 6104};
inline constexpr std::initializer_list<int> WRITE_ERRORS = {6422, 6421};

struct Report {
  char letter;     // 'F' or 'M'
  int number;      // four digits
  std::string context;  // "READ", "WRITE" or "MATH"
};

// The message index whose error number is `number`, or -1.
inline std::int32_t message_index_of(int number) {
  for (std::int32_t i = 0; i < runtime::MESSAGE_COUNT; ++i) {
    if (runtime::error_number_of(i) == number) return i;
  }
  return -1;
}

inline bool one_of(int n, std::initializer_list<int> set) {
  for (const int m : set) {
    if (m == n) return true;
  }
  return false;
}

// Parses `err` as exactly one well-formed report and returns what it says;
// fails the run when it is anything else.
inline Report parse_single_report(const std::string& err) {
  const std::string head = "\r\nrun-time error ";
  FUZZ_CHECK(err.size() > head.size() + 5 && err.compare(0, head.size(), head) == 0, escaped(err));
  Report r{err[head.size()], 0, ""};
  for (std::size_t k = head.size() + 1; k < head.size() + 5; ++k) {
    FUZZ_CHECK(err[k] >= '0' && err[k] <= '9', escaped(err));
    r.number = r.number * 10 + (err[k] - '0');
  }
  std::string rest = err.substr(head.size() + 5);
  if (r.letter == 'M') {
    r.context = "MATH";
    const char* word = r.number == 6101 ? "invalid"
                       : r.number == 6103 ? "divide by zero"
                       : r.number == 6104 ? "overflow"
                                          : nullptr;
    FUZZ_CHECK(word != nullptr, escaped(err));
    FUZZ_CHECK(rest == std::string(": MATH\r\n- floating-point error: ") + word + "\r\n", escaped(err));
    return r;
  }
  FUZZ_CHECK(r.letter == 'F', escaped(err));
  for (const char* context : {"READ", "WRITE"}) {
    const std::string opening = std::string(": ") + context + "(CON)\r\n- ";
    if (rest.compare(0, opening.size(), opening) == 0) {
      r.context = context;
      rest = rest.substr(opening.size());
    }
  }
  FUZZ_CHECK(!r.context.empty(), escaped(err));
  FUZZ_CHECK(one_of(r.number, r.context == "READ" ? READ_ERRORS : WRITE_ERRORS), escaped(err));
  // The message text of that error number, and the closing line end: nothing
  // after it, so no second report.
  const std::int32_t index = message_index_of(r.number);
  FUZZ_CHECK(index >= 0, escaped(err));
  const std::string text(runtime::message_text(index));
  FUZZ_CHECK(!text.empty() && rest == text + "\r\n", escaped(err));
  return r;
}

}  // namespace laplace::fuzz
