#include "viewer/transcript.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <utility>

#include "viewer/record_fields.h"

namespace laplace::view {

TranscriptError::TranscriptError(long line, const std::string& reason)
    : std::runtime_error("line " + std::to_string(line) + ": " + reason), line_(line), reason_(reason) {}

namespace {

// The texts of the dialogue, each one record.
constexpr std::string_view TITLE = "THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION";
constexpr std::string_view SPACER = "  ";
constexpr std::string_view SPACING_PROMPT = "Input the DX Value and DY Value with space and hit Return:";
constexpr std::string_view LOWER_PROMPT = "What is the Lower Boundary Value";
constexpr std::string_view RIGHT_PROMPT = "What is the Right Boundary Value";
constexpr std::string_view LEFT_PROMPT = "What is the Left Boundary Value";
constexpr std::string_view UPPER_PROMPT = "What is the Upper Boundary Value";
constexpr std::string_view BOUNDARY_HEADING = "The Boundary Values of the Grid for Velocity Potential are as Follows:";
constexpr std::string_view INITIAL_HEADING = "THE INITIAL VALUES FOR THE GRID BESIDES THE BOUNDARY POINTS ARE";
constexpr std::string_view CONTINUE_PROMPT = "PRESS Y FOR THE PROGRAM TO CONTINUE";
constexpr std::string_view COUNT_PROMPT = "How Many Iterations Should be Calculated?";
constexpr std::string_view NEW_COUNT_PROMPT = "Input the New Number of Iterations:";
constexpr std::string_view BLANK = " ";
constexpr std::array<std::string_view, 4> MENU = {
    "IF YOU WANT TO CHANGE THE DX AND DY VALUE TYPE A",
    "TYPE B FOR CHANGING THE NUMBER OF ITERATIONS",
    "TYPE C FOR STARTING OVER FROM THE BEGINNING WITH TOTALLY NEW VALUES",
    "TYPE D FOR ENDING THE PROGRAM",
};
// The continue prompt with its blank records: two before, two after a yes.
constexpr std::array<std::string_view, 5> CONFIRM = {BLANK, BLANK, CONTINUE_PROMPT, BLANK, BLANK};

constexpr std::array<FieldSpec, 3> REPORT_LAYOUT = {{
    {FieldKind::integer, "column"},
    {FieldKind::integer, "row"},
    {FieldKind::real, "value"},
}};
constexpr std::array<FieldSpec, 4> LAYER_LAYOUT = {{
    {FieldKind::integer, "layer"},
    {FieldKind::integer, "column"},
    {FieldKind::integer, "row"},
    {FieldKind::real, "value"},
}};
constexpr std::array<FieldSpec, 3> CLOSING_LAYOUT = {{
    {FieldKind::real, "lower value"},
    {FieldKind::real, "right value"},
    {FieldKind::real, "left value"},
}};

// Points of the reports in the order they are printed: the boundary report
// row by row, the edge points only; the initial report rows 2-4, columns 2-6.
struct Point {
  int i;
  int j;
};
constexpr std::array<Point, 20> BOUNDARY_ORDER = [] {
  std::array<Point, 20> order{};
  std::size_t k = 0;
  for (int j = 1; j <= GRID_ROWS; ++j)
    for (int i = 1; i <= GRID_COLUMNS; ++i)
      if (i == 1 || i == GRID_COLUMNS || j == 1 || j == GRID_ROWS) order[k++] = {i, j};
  return order;
}();
constexpr Point interior_point(int k) { return {2 + k % 5, 2 + k / 5}; }

std::string shown(std::string_view text) {
  if (text.empty()) return "an empty line";
  constexpr std::size_t longest = 72;
  if (text.size() > longest) return "\"" + std::string(text.substr(0, longest)) + "...\"";
  return "\"" + std::string(text) + "\"";
}

std::string layout_text(std::span<const FieldSpec> layout) {
  std::string names, widths;
  for (std::size_t k = 0; k < layout.size(); ++k) {
    if (k > 0) {
      names += k + 1 == layout.size() ? " and " : ", ";
      widths += " + ";
    }
    names += layout[k].name;
    const std::size_t width = layout[k].kind == FieldKind::integer ? INTEGER_FIELD_WIDTH : REAL_FIELD_WIDTH;
    widths += std::to_string(width + (k > 0 ? 1 : 0));
  }
  return names + " in " + widths + " columns";
}

bool finite(double v) { return std::isfinite(v); }

// Keeps at most `max_frames` frames of a pass whose length is not known in
// advance: layer 1 and every stride-th layer after it, the stride doubling
// whenever they would not fit, and the last layer seen.
class FrameThinner {
 public:
  explicit FrameThinner(std::size_t max_frames) : regular_limit_(max_frames - 1) {}

  void add(Frame frame) {
    if ((frame.layer - 1) % stride_ == 0 && kept_.size() >= regular_limit_) {
      stride_ *= 2;
      std::vector<Frame> fewer;
      fewer.reserve(kept_.size() / 2 + 1);
      for (Frame& f : kept_)
        if ((f.layer - 1) % stride_ == 0) fewer.push_back(std::move(f));
      kept_ = std::move(fewer);
    }
    if ((frame.layer - 1) % stride_ == 0) {
      kept_.push_back(std::move(frame));
      tail_.reset();
    } else {
      tail_ = std::move(frame);
    }
  }

  void finish(Pass& pass) {
    if (tail_) kept_.push_back(std::move(*tail_));
    tail_.reset();
    pass.frames = std::move(kept_);
    pass.stride = stride_;
  }

 private:
  std::size_t regular_limit_;
  std::int64_t stride_ = 1;
  std::vector<Frame> kept_;
  std::optional<Frame> tail_;
};

enum class Step {
  title,
  spacer,
  spacing_prompt,
  lower_prompt,
  right_prompt,
  left_prompt,
  upper_prompt,
  boundary_heading,
  boundary_records,
  first_confirm,
  initial_heading,
  initial_records,
  second_confirm,
  count_prompt,
  sweeps,
  menu,
  after_menu,
};

enum class SweepStep { record, layer_blank, closing_record, closing_blank };

class Reader {
 public:
  explicit Reader(const ReadOptions& options) : options_(options) {
    if (options_.max_frames < 2) options_.max_frames = 2;
  }

  void line(long number, std::string_view text) {
    number_ = number;
    text_ = text;
    last_.assign(text);
    switch (step_) {
      case Step::title: expect(TITLE, Step::spacer); begin_setup(); break;
      case Step::spacer: expect(SPACER, Step::spacing_prompt); break;
      case Step::spacing_prompt: expect(SPACING_PROMPT, Step::lower_prompt); break;
      case Step::lower_prompt: expect(LOWER_PROMPT, Step::right_prompt); break;
      case Step::right_prompt: expect(RIGHT_PROMPT, Step::left_prompt); break;
      case Step::left_prompt: expect(LEFT_PROMPT, Step::upper_prompt); break;
      case Step::upper_prompt: expect(UPPER_PROMPT, Step::boundary_heading); break;
      case Step::boundary_heading: expect(BOUNDARY_HEADING, Step::boundary_records); break;
      case Step::boundary_records: boundary_record(); break;
      case Step::first_confirm: confirm(Step::initial_heading); break;
      case Step::initial_heading: expect(INITIAL_HEADING, Step::initial_records); break;
      case Step::initial_records: initial_record(); break;
      case Step::second_confirm: confirm(Step::count_prompt); break;
      case Step::count_prompt:
        expect(COUNT_PROMPT, Step::sweeps);
        begin_pass(PassKind::first);
        break;
      case Step::sweeps: sweep_line(); break;
      case Step::menu: menu_line(); break;
      case Step::after_menu: after_menu(); break;
    }
  }

  Run finish(long lines) {
    run_.lines = lines;
    if (lines == 0) throw TranscriptError(1, "the transcript is empty");
    run_.ending = ending();
    if (in_pass_ && pass_has_lines_) end_pass();
    if (run_.passes.empty())
      throw TranscriptError(lines, "the transcript holds no sweeps: " + run_.ending);
    return std::move(run_);
  }

 private:
  [[noreturn]] void fail(const std::string& reason) const { throw TranscriptError(number_, reason); }

  void expect(std::string_view wanted, Step next) {
    if (text_ != wanted) fail("expected " + shown(wanted) + ", found " + shown(text_));
    step_ = next;
    count_ = 0;
  }

  void read(std::span<const FieldSpec> layout, const char* what, std::span<FieldValue> values) const {
    const std::size_t width = record_width(layout);
    if (text_.size() != width)
      fail(std::string("expected ") + what + " of " + std::to_string(width) + " characters (" +
           layout_text(layout) + "), found " + std::to_string(text_.size()) + " characters: " + shown(text_));
    const std::string reason = read_record(text_, layout, values);
    if (!reason.empty()) fail(std::string(what) + ": " + reason);
  }

  void begin_setup() {
    ++run_.setups;
    setup_start_ = {};
  }

  void boundary_record() {
    std::array<FieldValue, 3> v;
    read(REPORT_LAYOUT, "a boundary record", v);
    const Point p = BOUNDARY_ORDER[static_cast<std::size_t>(count_)];
    if (v[0].integer != p.i || v[1].integer != p.j)
      fail("expected the boundary record of column " + std::to_string(p.i) + ", row " + std::to_string(p.j) +
           "; found column " + std::to_string(v[0].integer) + ", row " + std::to_string(v[1].integer));
    setup_start_[static_cast<std::size_t>(grid_index(p.i, p.j))] = Reading{std::string(v[2].text), v[2].real};
    if (++count_ == static_cast<int>(BOUNDARY_ORDER.size())) {
      step_ = Step::first_confirm;
      count_ = 0;
    }
  }

  void initial_record() {
    std::array<FieldValue, 3> v;
    read(REPORT_LAYOUT, "an initial-value record", v);
    const Point p = interior_point(count_);
    if (v[0].integer != p.i || v[1].integer != p.j)
      fail("expected the initial value of column " + std::to_string(p.i) + ", row " + std::to_string(p.j) +
           "; found column " + std::to_string(v[0].integer) + ", row " + std::to_string(v[1].integer));
    setup_start_[static_cast<std::size_t>(grid_index(p.i, p.j))] = Reading{std::string(v[2].text), v[2].real};
    if (++count_ == INTERIOR_POINTS) {
      step_ = Step::second_confirm;
      count_ = 0;
    }
  }

  void confirm(Step next) {
    const std::string_view wanted = CONFIRM[static_cast<std::size_t>(count_)];
    if (text_ != wanted) fail("expected " + shown(wanted) + " around the continue prompt, found " + shown(text_));
    if (++count_ == static_cast<int>(CONFIRM.size())) {
      step_ = next;
      count_ = 0;
    }
  }

  void begin_pass(PassKind kind) {
    pass_ = Pass{};
    pass_.number = static_cast<int>(run_.passes.size()) + 1;
    pass_.setup = run_.setups;
    pass_.kind = kind;
    pass_.first_line = number_;
    pass_.last_line = number_;
    pass_.start = setup_start_;
    for (int k = 0; k < INTERIOR_POINTS; ++k) {
      const Point p = interior_point(k);
      const Reading& r = setup_start_[static_cast<std::size_t>(grid_index(p.i, p.j))];
      previous_[static_cast<std::size_t>(k)] = r.value;
      layer_.interior[static_cast<std::size_t>(k)] = r;
    }
    layer_.layer = 1;
    layer_.points = INTERIOR_POINTS;
    thinner_.emplace(options_.max_frames);
    thinner_->add(layer_);
    in_pass_ = true;
    pass_has_lines_ = false;
    sweep_ = SweepStep::record;
    next_layer_ = 2;
    count_ = 0;
    step_ = Step::sweeps;
  }

  void sweep_line() {
    pass_has_lines_ = true;
    pass_.last_line = number_;
    switch (sweep_) {
      case SweepStep::record:
        if (count_ == 0 && text_ == BLANK) {
          sweep_ = SweepStep::closing_record;
          return;
        }
        layer_record();
        return;
      case SweepStep::layer_blank:
        if (text_ != BLANK)
          fail("expected the blank record after the 15 records of layer " + std::to_string(next_layer_ - 1) +
               ", found " + shown(text_));
        sweep_ = SweepStep::record;
        return;
      case SweepStep::closing_record: closing_record(); return;
      case SweepStep::closing_blank:
        if (text_ != BLANK) fail("expected the blank record after the closing record, found " + shown(text_));
        end_pass();
        step_ = Step::menu;
        count_ = 0;
        return;
    }
  }

  void layer_record() {
    std::array<FieldValue, 4> v;
    if (count_ > 0 && text_ == BLANK)
      fail("layer " + std::to_string(next_layer_) + " ends after " + std::to_string(count_) +
           " of its 15 records");
    read(LAYER_LAYOUT, "a layer record", v);
    const Point p = interior_point(count_);
    if (v[0].integer != next_layer_ || v[1].integer != p.i || v[2].integer != p.j)
      fail("expected the record of layer " + std::to_string(next_layer_) + ", column " + std::to_string(p.i) +
           ", row " + std::to_string(p.j) + "; found layer " + std::to_string(v[0].integer) + ", column " +
           std::to_string(v[1].integer) + ", row " + std::to_string(v[2].integer));
    const auto k = static_cast<std::size_t>(count_);
    layer_.interior[k] = Reading{std::string(v[3].text), v[3].real};
    ++count_;
    layer_.layer = next_layer_;
    layer_.points = count_;
    pass_.last_layer = next_layer_;
    pass_.last_layer_partial = count_ < INTERIOR_POINTS;
    if (count_ < INTERIOR_POINTS) return;

    double largest = 0.0;
    bool all_finite = true;
    for (std::size_t q = 0; q < layer_.interior.size(); ++q) {
      const double now = layer_.interior[q].value;
      if (!finite(now) || !finite(previous_[q])) all_finite = false;
      else largest = std::max(largest, std::fabs(now - previous_[q]));
      previous_[q] = now;
    }
    pass_.changes.push_back(all_finite ? largest : std::nan(""));
    thinner_->add(layer_);
    ++next_layer_;
    count_ = 0;
    sweep_ = SweepStep::layer_blank;
  }

  void closing_record() {
    std::array<FieldValue, 3> v;
    read(CLOSING_LAYOUT, "the closing record", v);
    constexpr std::array<Point, 3> shows = {{{3, 1}, {7, 4}, {1, 4}}};
    for (std::size_t k = 0; k < shows.size(); ++k) {
      const Reading& edge = pass_.start[static_cast<std::size_t>(grid_index(shows[k].i, shows[k].j))];
      if (v[k].text != edge.text)
        fail(std::string("the closing record's ") + CLOSING_LAYOUT[k].name + " is " + std::string(v[k].text) +
             ", but the boundary report gave " + edge.text + " for column " + std::to_string(shows[k].i) +
             ", row " + std::to_string(shows[k].j));
    }
    pass_.closed = true;
    sweep_ = SweepStep::closing_blank;
  }

  void end_pass() {
    if (pass_.last_layer_partial) {  // the layer the transcript ends in
      Frame partial = layer_;
      for (std::size_t k = static_cast<std::size_t>(partial.points); k < partial.interior.size(); ++k)
        partial.interior[k] = Reading{};
      thinner_->add(std::move(partial));
    }
    thinner_->finish(pass_);
    thinner_.reset();
    run_.passes.push_back(std::move(pass_));
    pass_ = Pass{};
    in_pass_ = false;
  }

  void menu_line() {
    const std::string_view wanted = MENU[static_cast<std::size_t>(count_)];
    if (text_ != wanted) fail("expected the menu line " + shown(wanted) + ", found " + shown(text_));
    if (++count_ == static_cast<int>(MENU.size())) {
      step_ = Step::after_menu;
      count_ = 0;
    }
  }

  void after_menu() {
    if (text_ == SPACING_PROMPT) {
      begin_pass(PassKind::new_spacing);
    } else if (text_ == NEW_COUNT_PROMPT) {
      begin_pass(PassKind::new_count);
    } else if (text_ == TITLE) {
      step_ = Step::spacer;
      begin_setup();
    } else {
      fail("after the menu expected " + shown(SPACING_PROMPT) + " (A), " + shown(NEW_COUNT_PROMPT) +
           " (B) or the title (C), found " + shown(text_));
    }
  }

  std::string ending() const {
    const std::string at = " (line " + std::to_string(number_) + ")";
    switch (step_) {
      case Step::sweeps: {
        const std::string pass = " of pass " + std::to_string(pass_.number);
        if (!pass_has_lines_) return "the transcript ends at the prompt before pass " + std::to_string(pass_.number) + at + ".";
        if (sweep_ == SweepStep::record && count_ > 0)
          return "the transcript ends inside layer " + std::to_string(next_layer_) + pass + ", after " +
                 std::to_string(count_) + " of its 15 points" + at + ".";
        if (sweep_ == SweepStep::closing_blank)
          return "the transcript ends after the closing record" + pass + at + ".";
        return "the transcript ends after layer " + std::to_string(next_layer_ - 1) + pass +
               ", before its closing record" + at + ".";
      }
      case Step::after_menu: return "the run ends at the menu" + at + ".";
      case Step::first_confirm:
      case Step::second_confirm:
        if (count_ == 3) return "the run ends at a continue prompt" + at + ".";
        break;
      default: break;
    }
    return "the transcript ends after " + shown(last_) + at + ".";
  }

  ReadOptions options_;
  Run run_;
  Step step_ = Step::title;
  int count_ = 0;  // lines or records of the current step so far
  long number_ = 0;
  std::string_view text_;  // the line being read
  std::string last_;       // a copy, for the end

  std::array<Reading, GRID_POINTS> setup_start_;

  Pass pass_;
  bool in_pass_ = false;
  bool pass_has_lines_ = false;
  SweepStep sweep_ = SweepStep::record;
  std::int64_t next_layer_ = 2;
  Frame layer_;  // the layer being read
  std::array<double, INTERIOR_POINTS> previous_{};
  std::optional<FrameThinner> thinner_;
};

// The line's problem as text, if it is not one line of printable text.
std::optional<std::string> bad_characters(std::string_view text) {
  for (std::size_t k = 0; k < text.size(); ++k) {
    const auto c = static_cast<unsigned char>(text[k]);
    if (c < 0x20 || c > 0x7e) {
      static constexpr char hex[] = "0123456789ABCDEF";
      std::string code = "0x";
      code += hex[c >> 4];
      code += hex[c & 15];
      if (c == '\r') return "a CR in column " + std::to_string(k + 1) + " before the end of the line";
      return "the byte " + code + " in column " + std::to_string(k + 1) + " is not printable text";
    }
  }
  return std::nullopt;
}

}  // namespace

Run read_transcript(std::istream& in, const ReadOptions& options) {
  Reader reader(options);
  std::string line;
  long number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (in.eof())
      throw TranscriptError(number, "the last line has no line end (CR LF): the transcript is cut short");
    if (line.empty() || line.back() != '\r')
      throw TranscriptError(number, "the line ends in LF alone; the lines of a transcript end in CR LF");
    line.pop_back();
    if (const auto problem = bad_characters(line)) throw TranscriptError(number, *problem);
    reader.line(number, line);
  }
  if (in.bad()) throw TranscriptError(number + 1, "the transcript could not be read");
  return reader.finish(number);
}

}  // namespace laplace::view
