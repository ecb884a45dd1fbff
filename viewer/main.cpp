// laplace-view: turns a saved run of laplace into one HTML page.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/output_file.h"
#include "viewer/page.h"
#include "viewer/transcript.h"

namespace {

constexpr const char* HELP = R"(Usage: laplace-view [--frames=N] TRANSCRIPT PAGE

Writes PAGE, one self-contained HTML file (no network, nothing else to
load), that shows a saved run of laplace:

  - the 7 x 5 grid of every layer as a colour map with the value in each
    cell, the edges included, with controls to step through the layers
    and to play them;
  - the largest change between successive layers against the layer
    number, on a log scale;
  - each pass of the sweeps separately (the first one, and one more after
    each menu answer A, B or C), as its own series in the plot.

TRANSCRIPT is the standard output of a run, for instance
    laplace < answers.txt > run.txt
    laplace-view run.txt run.html
Either name may be "-": standard input, standard output.

The page can be opened at a layer: run.html#pass=2&layer=30.

Options:
  --frames=N  keep at most N layers of each pass for stepping through
              (at least 2, default 2000): longer passes keep layer 1,
              every k-th layer after it and the last one, and the page
              says so. The plot uses every layer's change.
  --help      show this text.

On a transcript that it cannot read, laplace-view names the line and the
reason on standard error, writes nothing and exits with status 1. Wrong
usage exits with status 2.
)";

struct Arguments {
  std::string input;
  std::string output;
  std::size_t max_frames = 2000;
};

int usage_error(const std::string& message) {
  std::cerr << "laplace-view: " << message << "\nTry 'laplace-view --help'.\n";
  return 2;
}

std::optional<std::size_t> parse_count(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  std::size_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  return value;
}

std::string display_name(const std::string& path) {
  if (path == "-") return "standard input";
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  Arguments a;
  std::vector<std::string> names;
  bool options_done = false;
  for (const std::string_view arg : args) {
    if (!options_done && arg == "--help") {
      std::cout << HELP;
      return std::cout.flush() ? 0 : 1;
    }
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg.starts_with("--frames=")) {
      const auto n = parse_count(arg.substr(9));
      if (!n || *n < 2) return usage_error("--frames needs a whole number of at least 2");
      a.max_frames = *n;
    } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
      return usage_error("unknown option " + std::string(arg));
    } else {
      names.emplace_back(arg);
    }
  }
  if (names.size() != 2) return usage_error("give the transcript and the page to write");
  a.input = names[0];
  a.output = names[1];

  const std::string shown_input = a.input == "-" ? "standard input" : a.input;
  laplace::view::Run run;
  try {
    std::ifstream file;
    std::istream* in = &std::cin;
    if (a.input != "-") {
      file.open(a.input, std::ios::binary);
      if (!file) {
        std::cerr << "laplace-view: " << a.input << ": cannot open: " << std::strerror(errno) << "\n";
        return 1;
      }
      in = &file;
    } else {
      std::ios::sync_with_stdio(false);
    }
    run = laplace::view::read_transcript(*in, {a.max_frames});
  } catch (const laplace::view::TranscriptError& e) {
    std::cerr << "laplace-view: " << shown_input << ": line " << e.line() << ": " << e.reason()
              << "\nlaplace-view: no page written\n";
    return 1;
  }

  const std::string page = laplace::view::render_page(run, {display_name(a.input)});
  const std::string failure = laplace::view::write_whole_file(a.output, page);
  if (!failure.empty()) {
    std::cerr << "laplace-view: " << failure << "\n";
    return 1;
  }
  return 0;
}
