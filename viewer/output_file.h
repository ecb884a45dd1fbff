// Writing the page all at once: into a new file beside the target that is
// renamed over it only when every byte is written, so a failed run leaves
// no page and no half of one.
#pragma once

#include <string>
#include <string_view>

namespace laplace::view {

// Writes `content` to `path` ("-": standard output). Returns an empty string
// on success, else what went wrong; the target is then untouched.
std::string write_whole_file(const std::string& path, std::string_view content);

}  // namespace laplace::view
