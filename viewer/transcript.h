// Reads a saved run of laplace: the standard output of the program, lines
// ending in CR LF, with its prompts, reports, layer records, closing records
// and menus as the dialogue prints them. The typed answers are not part of
// it; the order of the records tells what was answered.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace laplace::view {

inline constexpr int GRID_COLUMNS = 7;
inline constexpr int GRID_ROWS = 5;
inline constexpr int GRID_POINTS = GRID_COLUMNS * GRID_ROWS;
inline constexpr int INTERIOR_POINTS = 15;  // columns 2-6, rows 2-4

// Position of (column i, row j) in a whole-grid array, column fastest.
constexpr int grid_index(int i, int j) { return (i - 1) + GRID_COLUMNS * (j - 1); }
// Position of interior point (i, j) in a layer's records: rows 2-4, columns 2-6.
constexpr int interior_index(int i, int j) { return (i - 2) + 5 * (j - 2); }

// A real as the transcript prints it and the value it stands for.
struct Reading {
  std::string text;  // empty: not in the transcript
  double value = 0.0;
};

// One layer of the grid kept for the view. `points` is 15 unless the
// transcript ends inside this layer.
struct Frame {
  std::int64_t layer = 0;
  int points = INTERIOR_POINTS;
  std::array<Reading, INTERIOR_POINTS> interior;
};

enum class PassKind {
  first,        // the sweeps after the count prompt of a set-up
  new_spacing,  // after the menu answer A
  new_count,    // after the menu answer B
};

// One call of the sweeps: layer 1 of its set-up, then layers 2, 3, ...
struct Pass {
  int number = 0;  // 1, 2, ... in the transcript
  int setup = 0;   // the set-up (title to reports) whose layer 1 it starts from
  PassKind kind = PassKind::first;
  long first_line = 0;  // the prompt that starts it
  long last_line = 0;

  // Layer 1: the edges from the boundary report, the interior from the
  // initial report.
  std::array<Reading, GRID_POINTS> start;

  std::int64_t last_layer = 1;  // the last layer in the transcript (1: none computed)
  bool last_layer_partial = false;
  bool closed = false;  // its closing record is in the transcript

  // Largest change of an interior point from layer n - 1 to layer n, for
  // n = 2 .. last complete layer: changes[n - 2]. Infinite or NaN where a
  // value is not finite.
  std::vector<double> changes;

  // Layers kept for the view: layer 1, every `stride`-th layer after it
  // (1, 1 + stride, 1 + 2 stride, ...) and the last layer.
  std::vector<Frame> frames;
  std::int64_t stride = 1;
};

struct Run {
  std::vector<Pass> passes;
  int setups = 0;
  long lines = 0;
  std::string ending;  // where the transcript ends, as a sentence
};

struct ReadOptions {
  // Frames kept per pass, the first and the last included; at least 2.
  std::size_t max_frames = 2000;
};

// A transcript that cannot be read: the line (1-based) and why.
class TranscriptError : public std::runtime_error {
 public:
  TranscriptError(long line, const std::string& reason);
  long line() const { return line_; }
  const std::string& reason() const { return reason_; }

 private:
  long line_;
  std::string reason_;
};

// Reads a whole transcript. Throws TranscriptError for the first line that
// does not fit, and also when the transcript holds no sweeps at all.
Run read_transcript(std::istream& in, const ReadOptions& options = {});

}  // namespace laplace::view
