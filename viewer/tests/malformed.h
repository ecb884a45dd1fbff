// Transcripts that laplace-view must refuse, made from real transcripts of
// the program by one change each, with the line and the reason to expect.
#pragma once

#include <string>
#include <vector>

namespace laplace::view::testing {

struct Malformed {
  std::string name;
  std::string text;
  long line;           // 1-based
  std::string reason;  // a piece of the message
};

std::vector<Malformed> malformed_transcripts();

}  // namespace laplace::view::testing
