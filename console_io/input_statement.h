// Input statements: begin_input, one get call per receiving variable, end_input.
#pragma once

#include <cstdint>

namespace laplace::console_io {

struct ConsoleIo;

void begin_input(ConsoleIo& io);
void get_integer(ConsoleIo& io, std::int32_t& variable);
void get_real(ConsoleIo& io, float& variable);
void get_text(ConsoleIo& io, char* variable, std::int32_t length);
void end_input(ConsoleIo& io);

}  // namespace laplace::console_io
