// Inner pieces of the real conversion, for its tests.
#pragma once

#include <cstddef>

#include "console_io/real_conversion.h"

namespace laplace::console_io::detail {

// convert_real_text without its quick way: every result comes from the exact
// multi-word arithmetic. The results are the same; tests compare the two.
RealResult convert_real_text_exactly(const char* text, std::size_t length);

}  // namespace laplace::console_io::detail
