// Reading transcripts that laplace itself produced in the test, checked
// against values worked out by hand or by an independent relaxation.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "viewer/record_fields.h"
#include "viewer/tests/malformed.h"
#include "viewer/tests/process.h"
#include "viewer/transcript.h"

namespace laplace::view {
namespace {

using testing::run_laplace;

Run read(const std::string& text, ReadOptions options = {}) {
  std::istringstream in(text);
  return read_transcript(in, options);
}

// Rows 2, 3, 4 (each columns 2 to 6) of a layer.
using Interior = std::array<double, INTERIOR_POINTS>;

// Layers 2 and 3 of the worked example: dx = dy = 1, lower = right = left = 0,
// upper = 100; the interior starts at 25.
constexpr Interior WORKED_LAYER_2 = {12.5, 18.75, 18.75, 18.75, 12.5,  //
                                     18.75, 25.0, 25.0, 25.0, 18.75,   //
                                     37.5, 43.75, 43.75, 43.75, 37.5};
constexpr Interior WORKED_LAYER_3 = {9.375, 14.0625, 15.625, 14.0625, 9.375,    //
                                     18.75, 26.5625, 28.125, 26.5625, 18.75,    //
                                     40.625, 51.5625, 53.125, 51.5625, 40.625};

// The edges of a set-up as the boundary values place them: lower on row 1,
// upper on row 5 (corners included), left and right on rows 2-4.
std::array<double, GRID_POINTS> edges(double lower, double right, double left, double upper) {
  std::array<double, GRID_POINTS> g{};
  for (int j = 1; j <= GRID_ROWS; ++j)
    for (int i = 1; i <= GRID_COLUMNS; ++i) {
      double& v = g[static_cast<std::size_t>(grid_index(i, j))];
      if (j == 1) v = lower;
      else if (j == GRID_ROWS) v = upper;
      else if (i == 1) v = left;
      else if (i == GRID_COLUMNS) v = right;
    }
  return g;
}

// Layers 1..n of the five-point relaxation with equal spacings (each point
// the mean of its four neighbours in the layer before), in double precision.
std::vector<Interior> relax(const std::array<double, GRID_POINTS>& edge, double start, int layers) {
  std::array<double, GRID_POINTS> g = edge;
  for (int j = 2; j <= 4; ++j)
    for (int i = 2; i <= 6; ++i) g[static_cast<std::size_t>(grid_index(i, j))] = start;
  std::vector<Interior> out;
  for (int n = 1; n <= layers; ++n) {
    if (n > 1) {
      std::array<double, GRID_POINTS> next = g;
      for (int j = 2; j <= 4; ++j)
        for (int i = 2; i <= 6; ++i)
          next[static_cast<std::size_t>(grid_index(i, j))] =
              (g[static_cast<std::size_t>(grid_index(i + 1, j))] + g[static_cast<std::size_t>(grid_index(i - 1, j))] +
               g[static_cast<std::size_t>(grid_index(i, j + 1))] + g[static_cast<std::size_t>(grid_index(i, j - 1))]) /
              4.0;
      g = next;
    }
    Interior layer{};
    for (int j = 2; j <= 4; ++j)
      for (int i = 2; i <= 6; ++i)
        layer[static_cast<std::size_t>(interior_index(i, j))] = g[static_cast<std::size_t>(grid_index(i, j))];
    out.push_back(layer);
  }
  return out;
}

double largest_change(const Interior& a, const Interior& b) {
  double d = 0.0;
  for (std::size_t k = 0; k < a.size(); ++k) d = std::max(d, std::fabs(a[k] - b[k]));
  return d;
}

void expect_edges(const Pass& p, const std::array<double, GRID_POINTS>& want) {
  for (int j = 1; j <= GRID_ROWS; ++j)
    for (int i = 1; i <= GRID_COLUMNS; ++i) {
      if (i > 1 && i < GRID_COLUMNS && j > 1 && j < GRID_ROWS) continue;
      const auto k = static_cast<std::size_t>(grid_index(i, j));
      EXPECT_EQ(p.start[k].value, want[k]) << "pass " << p.number << " edge (" << i << "," << j << ")";
    }
}

// The frame of `layer`, which the pass must have kept.
const Frame& frame_of(const Pass& p, std::int64_t layer) {
  for (const Frame& f : p.frames)
    if (f.layer == layer) return f;
  throw std::runtime_error("no frame of layer " + std::to_string(layer));
}

// Printed reals carry 7 significant digits.
void expect_layer_near(const Frame& f, const Interior& want) {
  ASSERT_EQ(f.points, INTERIOR_POINTS);
  for (std::size_t k = 0; k < want.size(); ++k)
    EXPECT_NEAR(f.interior[k].value, want[k], 1e-6 * std::max(1.0, std::fabs(want[k])))
        << "layer " << f.layer << " point " << k << " printed " << f.interior[k].text;
}

void expect_layer_exactly(const Frame& f, const Interior& want) {
  ASSERT_EQ(f.points, INTERIOR_POINTS);
  for (std::size_t k = 0; k < want.size(); ++k)
    EXPECT_EQ(f.interior[k].value, want[k]) << "layer " << f.layer << " point " << k;
}

TEST(Transcript, WorkedExampleThenNewSpacings) {
  // Pass 1: the worked example. Pass 2 (menu answer A) with dx = dy = 0.5:
  // with equal spacings every point is the mean of its neighbours again, so
  // the layers repeat exactly.
  const view::Run run = read(run_laplace("1 1\n0\n0\n0\n100\nY\nY\n3\nA\n0.5 0.5\nD\n"));
  ASSERT_EQ(run.passes.size(), 2u);
  EXPECT_EQ(run.setups, 1);
  const std::array<PassKind, 2> kinds = {PassKind::first, PassKind::new_spacing};
  for (std::size_t k = 0; k < run.passes.size(); ++k) {
    const Pass& p = run.passes[k];
    SCOPED_TRACE("pass " + std::to_string(k + 1));
    EXPECT_EQ(p.number, static_cast<int>(k + 1));
    EXPECT_EQ(p.setup, 1);
    EXPECT_EQ(p.kind, kinds[k]);
    EXPECT_EQ(p.last_layer, 3);
    EXPECT_TRUE(p.closed);
    EXPECT_FALSE(p.last_layer_partial);
    EXPECT_EQ(p.stride, 1);
    ASSERT_EQ(p.frames.size(), 3u);
    expect_edges(p, edges(0, 0, 0, 100));
    Interior start{};
    start.fill(25.0);
    expect_layer_exactly(frame_of(p, 1), start);
    expect_layer_exactly(frame_of(p, 2), WORKED_LAYER_2);
    expect_layer_exactly(frame_of(p, 3), WORKED_LAYER_3);
    // Largest changes: |43.75 - 25| into layer 2, |53.125 - 43.75| into layer 3.
    EXPECT_EQ(p.changes, (std::vector<double>{18.75, 9.375}));
  }
  // The printed forms are kept as they stand.
  EXPECT_EQ(run.passes[0].frames[1].interior[0].text, "12.500000");
  EXPECT_EQ(run.passes[0].start[static_cast<std::size_t>(grid_index(1, 1))].text, "0.000000E+00");
  EXPECT_LT(run.passes[0].last_line, run.passes[1].first_line);
  EXPECT_NE(run.ending.find("menu"), std::string::npos) << run.ending;
}

TEST(Transcript, NewCountAndStartOver) {
  // Set-up 1: lower 10, right 20, left 30, upper 40 (start (40+10+30+20)/4 =
  // 25); 2 layers, then B with 4 layers. Then C: a set-up with lower = right
  // = left = 0, upper 100, and a count of 1, which computes no layer.
  const view::Run run = read(run_laplace("1 1\n10\n20\n30\n40\nY\nY\n2\nB\n4\nC\n2 2\n0\n0\n0\n100\nY\nY\n1\nD\n"));
  ASSERT_EQ(run.passes.size(), 3u);
  EXPECT_EQ(run.setups, 2);

  const auto first_edges = edges(10, 20, 30, 40);
  const std::vector<Interior> want = relax(first_edges, 25.0, 4);
  struct Case {
    PassKind kind;
    int setup;
    std::int64_t last_layer;
  };
  const std::array<Case, 3> cases = {{{PassKind::first, 1, 2}, {PassKind::new_count, 1, 4}, {PassKind::first, 2, 1}}};
  for (std::size_t k = 0; k < cases.size(); ++k) {
    const Pass& p = run.passes[k];
    SCOPED_TRACE("pass " + std::to_string(k + 1));
    EXPECT_EQ(p.kind, cases[k].kind);
    EXPECT_EQ(p.setup, cases[k].setup);
    EXPECT_EQ(p.last_layer, cases[k].last_layer);
    EXPECT_TRUE(p.closed);
    ASSERT_EQ(p.frames.size(), static_cast<std::size_t>(cases[k].last_layer));
    ASSERT_EQ(p.changes.size(), static_cast<std::size_t>(cases[k].last_layer - 1));
  }
  for (std::size_t k = 0; k < 2; ++k) {
    const Pass& p = run.passes[k];
    expect_edges(p, first_edges);
    for (std::int64_t n = 1; n <= p.last_layer; ++n) {
      expect_layer_near(frame_of(p, n), want[static_cast<std::size_t>(n - 1)]);
      if (n > 1) {
        EXPECT_NEAR(p.changes[static_cast<std::size_t>(n - 2)],
                    largest_change(want[static_cast<std::size_t>(n - 1)], want[static_cast<std::size_t>(n - 2)]), 1e-4);
      }
    }
  }
  // Layer 2 at (2,2): (25 + 30 + 25 + 10) / 4.
  EXPECT_EQ(frame_of(run.passes[0], 2).interior[0].value, 22.5);

  const Pass& last = run.passes[2];
  expect_edges(last, edges(0, 0, 0, 100));
  EXPECT_EQ(frame_of(last, 1).interior[7].value, 25.0);
}

TEST(Transcript, RunThatEndsBeforeItsNextSweeps) {
  // After C the new set-up is refused at the second continue prompt: the
  // pass before it is all there is, and the page says where the run ended.
  const view::Run run = read(run_laplace("1 1\n0\n0\n0\n100\nY\nY\n2\nC\n1 1\n1\n2\n3\n4\nY\nN\n"));
  ASSERT_EQ(run.passes.size(), 1u);
  EXPECT_EQ(run.setups, 2);
  EXPECT_EQ(run.passes[0].last_layer, 2);
  EXPECT_NE(run.ending.find("continue prompt"), std::string::npos) << run.ending;
}

TEST(Transcript, TranscriptThatEndsInsideALayer) {
  // As if the run had stopped after the first row of layer 3.
  std::string text = run_laplace("1 1\n0\n0\n0\n100\nY\nY\n3\nD\n");
  text.resize(text.find("          3           2           3"));
  const view::Run run = read(text);
  ASSERT_EQ(run.passes.size(), 1u);
  const Pass& p = run.passes[0];
  EXPECT_EQ(p.last_layer, 3);
  EXPECT_TRUE(p.last_layer_partial);
  EXPECT_FALSE(p.closed);
  EXPECT_EQ(p.changes, (std::vector<double>{18.75}));  // layer 3 is not whole
  ASSERT_EQ(p.frames.size(), 3u);
  const Frame& last = p.frames.back();
  EXPECT_EQ(last.layer, 3);
  ASSERT_EQ(last.points, 5);
  for (std::size_t k = 0; k < INTERIOR_POINTS; ++k) {
    if (k < 5) EXPECT_EQ(last.interior[k].value, WORKED_LAYER_3[k]) << k;
    else EXPECT_EQ(last.interior[k].text, "") << k;
  }
  EXPECT_NE(run.ending.find("inside layer 3 of pass 1, after 5 of its 15 points"), std::string::npos) << run.ending;
}

TEST(Transcript, LongPassIsThinnedButEveryChangeKept) {
  // 2,500 layers (numbers above 1000 included), at most 100 frames.
  constexpr std::int64_t layers = 2500;
  const view::Run run = read(run_laplace("1 1\n0\n0\n0\n100\nY\nY\n2500\nD\n"), ReadOptions{100});
  ASSERT_EQ(run.passes.size(), 1u);
  const Pass& p = run.passes[0];
  EXPECT_EQ(p.last_layer, layers);
  ASSERT_EQ(p.changes.size(), static_cast<std::size_t>(layers - 1));
  ASSERT_LE(p.frames.size(), 100u);
  ASSERT_GE(p.frames.size(), 50u);  // thinned no more than needed
  EXPECT_EQ(p.frames.front().layer, 1);
  EXPECT_EQ(p.frames.back().layer, layers);
  EXPECT_GT(p.stride, 1);
  for (std::size_t k = 0; k + 1 < p.frames.size(); ++k)
    EXPECT_EQ(p.frames[k].layer, 1 + static_cast<std::int64_t>(k) * p.stride);

  // Against the relaxation in double precision; the program rounds every
  // value to 32 bits, so allow a little.
  const std::vector<Interior> want = relax(edges(0, 0, 0, 100), 25.0, static_cast<int>(layers));
  for (const Frame& f : p.frames)
    for (std::size_t q = 0; q < INTERIOR_POINTS; ++q)
      EXPECT_NEAR(f.interior[q].value, want[static_cast<std::size_t>(f.layer - 1)][q], 1e-3) << "layer " << f.layer;
  EXPECT_EQ(p.changes[0], 18.75);
  EXPECT_EQ(p.changes.back(), 0.0);  // long converged: the printed values no longer move
}

TEST(Transcript, MalformedTranscriptsNameTheLineAndTheReason) {
  for (const testing::Malformed& m : testing::malformed_transcripts()) {
    SCOPED_TRACE(m.name);
    try {
      read(m.text);
      ADD_FAILURE() << "read without complaint";
    } catch (const TranscriptError& e) {
      EXPECT_EQ(e.line(), m.line) << e.what();
      EXPECT_NE(e.reason().find(m.reason), std::string::npos) << e.what();
    }
  }
}

TEST(RecordFields, RealsInEveryPrintedForm) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* text;
    double value;
  };
  const Case good[] = {
      {"12.500000", 12.5},           {"1.000000E-01", 0.1},       {"-3.250000", -3.25},
      {"0.000000E+00", 0.0},         {"1.401298E-45", 1.401298e-45}, {"3.402823E+38", 3.402823e38},
      {"-1234568.000000", -1234568}, {"1.000000-100", 1e-100},    {"1#INF........", inf},
      {"INF", inf},                  {"-INF", -inf},
  };
  for (const Case& c : good) {
    const auto v = parse_real_text(c.text);
    ASSERT_TRUE(v.has_value()) << c.text;
    EXPECT_EQ(*v, c.value) << c.text;
  }
  for (const char* nan : {"1#IND........", "1#QNAN.......", "1#SNAN.......", "NAN"}) {
    const auto v = parse_real_text(nan);
    ASSERT_TRUE(v.has_value()) << nan;
    EXPECT_TRUE(std::isnan(*v)) << nan;
  }
  for (const char* bad : {"", "12.5.0", "E+01", "1.0E", "1.0E+", "1#FOO", "--1.0", "1.0x", ".", "1,5"})
    EXPECT_FALSE(parse_real_text(bad).has_value()) << bad;
}

TEST(RecordFields, IntegersAsPrinted) {
  EXPECT_EQ(parse_integer_text("0"), 0);
  EXPECT_EQ(parse_integer_text("1000"), 1000);
  EXPECT_EQ(parse_integer_text("-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(parse_integer_text("2147483647"), std::numeric_limits<std::int32_t>::max());
  for (const char* bad : {"", "-", "-0", "007", "2147483648", "+5", "1.0", "12345678901"})
    EXPECT_FALSE(parse_integer_text(bad).has_value()) << bad;
}

TEST(RecordFields, LayoutOfALayerRecord) {
  constexpr std::array<FieldSpec, 4> layout = {{{FieldKind::integer, "layer"},
                                                {FieldKind::integer, "column"},
                                                {FieldKind::integer, "row"},
                                                {FieldKind::real, "value"}}};
  EXPECT_EQ(record_width(layout), 51u);
  std::array<FieldValue, 4> v;
  // 10 blanks, 2; 11 blanks, 3; 11 blanks, 4; 8 blanks, 3.750000.
  ASSERT_EQ(read_record("          2           3           4        3.750000", layout, v), "");
  EXPECT_EQ(v[0].integer, 2);
  EXPECT_EQ(v[1].integer, 3);
  EXPECT_EQ(v[2].integer, 4);
  EXPECT_EQ(v[3].real, 3.75);
  EXPECT_EQ(v[3].text, "3.750000");
  // A 15-character real takes its field whole, after the separator blank.
  ASSERT_EQ(read_record("       1000           2           2 -1234568.000000", layout, v), "");
  EXPECT_EQ(v[0].integer, 1000);
  EXPECT_EQ(v[3].real, -1234568.0);

  struct Bad {
    const char* line;
    const char* reason;
  };
  const Bad bad[] = {
      {"2                     3           4        3.750000", "columns 1-11 (the layer)"},
      {"          2           3           4 3.750000       ", "columns 36-51 (the value)"},
      {"          2          13          4        3.750000", "the record has 50 characters"},
      {"          2           3-12345678901        3.750000", "columns 24-35 (the row) have no separator"},
      {"          2           3 12345678901        3.750000", "columns 24-35 (the row) do not hold an integer"},
      {"          2           3           4                ", "columns 36-51 (the value) are blank"},
      {"          2           x           4        3.750000", "columns 12-23 (the column) do not hold an integer"},
  };
  for (const Bad& b : bad) {
    const std::string reason = read_record(b.line, layout, v);
    EXPECT_NE(reason.find(b.reason), std::string::npos) << b.line << " -> " << reason;
  }
}

}  // namespace
}  // namespace laplace::view
