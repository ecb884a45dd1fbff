// Input records: raw reads of standard input, at most 132 bytes each.
#pragma once

namespace laplace::console_io {

struct ConsoleIo;

// Reads the next record and delivers its first byte.
char read_input_record(ConsoleIo& io);

// The next byte of the input, reading a record when the current one is used up.
char next_input_char(ConsoleIo& io);

// Done with the current record: drops what a typed line still holds, or takes
// the bytes of redirected input up to and including the next LF.
void skip_to_next_record(ConsoleIo& io);

}  // namespace laplace::console_io
