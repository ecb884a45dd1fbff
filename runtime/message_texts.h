// The message text of each message index.
#pragma once

#include <cstdint>
#include <string_view>

namespace laplace::runtime {

// The text for `message_index`; empty for an index outside the table.
std::string_view message_text(std::int32_t message_index);

}  // namespace laplace::runtime
