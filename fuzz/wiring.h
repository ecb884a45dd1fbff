// The ways standard input and output are connected, as the fake platform
// plays them, and which inputs every one of them must read alike.
#pragma once

#include <array>
#include <string>

#include "tests/support/fake_platform.h"

namespace laplace::fuzz {

enum class Wiring {
  redirected,     // files or pipes: separate connections, reads of 132 bytes
  console,        // a terminal on both sides: the shared console, a line per read
  typed_to_file,  // typed lines in, output to a file: separate connections
};

inline constexpr std::array<Wiring, 3> ALL_WIRINGS = {Wiring::redirected, Wiring::console,
                                                       Wiring::typed_to_file};

inline void wire(testing::FakePlatform& p, Wiring w) {
  const bool typed = w != Wiring::redirected;
  p.input_is_character_device = typed;
  p.output_is_character_device = w == Wiring::console;
  p.line_at_a_time = typed;
}

inline bool shared_console(Wiring w) { return w == Wiring::console; }

inline const char* name_of(Wiring w) {
  switch (w) {
    case Wiring::redirected: return "redirected";
    case Wiring::console: return "console";
    case Wiring::typed_to_file: return "typed_to_file";
  }
  return "?";
}

// True when typed lines and redirected reads must give the same values: no
// Ctrl-Z (its test looks at the end of each read, and reads differ), no line
// that overflows a typed record of 132 bytes, and a last line without LF that
// gets one appended by both (a redirected read gets it only when it is short).
inline bool read_alike_everywhere(const std::string& input) {
  constexpr std::size_t RECORD = 132;
  std::size_t line_start = 0;
  for (std::size_t k = 0; k < input.size(); ++k) {
    if (input[k] == 26) return false;
    if (input[k] == '\n') {
      if (k + 1 - line_start > RECORD) return false;
      line_start = k + 1;
    }
  }
  if (line_start == input.size()) return true;
  return input.size() - line_start < RECORD && input.size() % RECORD != 0;
}

}  // namespace laplace::fuzz
