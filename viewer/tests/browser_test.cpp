// The page in a real browser: headless Chromium opens it at a pass and a
// layer, and the cells it shows must hold the transcript's values. It also
// takes a screenshot for a person to look at.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "viewer/tests/process.h"

namespace laplace::view::testing {
namespace {

const char* const CHROMIUM = "/usr/bin/chromium";

using Cells = std::map<std::pair<int, int>, std::string>;  // (column, row) -> text

std::vector<std::string> browser_command(const ScratchDir& dir) {
  return {CHROMIUM,
          "--headless",
          "--no-sandbox",
          "--disable-gpu",
          "--disable-quic",
          "--no-first-run",
          "--disable-background-networking",
          "--disable-component-update",
          "--disable-sync",
          "--hide-scrollbars",
          "--user-data-dir=" + dir.file("profile")};
}

// The transcript read the simple way: the 20 boundary records, then the
// layer records grouped by pass (a pass starts again at layer 2).
struct Plain {
  Cells edges;
  std::vector<std::map<int, Cells>> passes;  // layer -> cells
};

Plain read_plainly(const std::string& transcript) {
  Plain p;
  std::istringstream in(transcript);
  std::string line;
  int last_layer = 0;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::vector<std::string> f;
    for (std::string w; fields >> w;) f.push_back(w);
    const bool numeric = !f.empty() && (std::isdigit(static_cast<unsigned char>(f[0][0])) != 0);
    if (!numeric) continue;
    if (f.size() == 3 && p.edges.size() < 20) {
      p.edges[{std::stoi(f[0]), std::stoi(f[1])}] = f[2];
    } else if (f.size() == 4) {
      const int layer = std::stoi(f[0]);
      if (layer < last_layer || p.passes.empty()) p.passes.emplace_back();
      last_layer = layer;
      p.passes.back()[layer][{std::stoi(f[1]), std::stoi(f[2])}] = f[3];
    }
  }
  return p;
}

Cells cells_in(const std::string& dom) {
  Cells cells;
  static const std::regex cell(R"re(data-col="(\d)" data-row="(\d)"[^>]*>([^<]*)</td>)re");
  for (auto it = std::sregex_iterator(dom.begin(), dom.end(), cell); it != std::sregex_iterator(); ++it)
    cells[{std::stoi((*it)[1]), std::stoi((*it)[2])}] = (*it)[3];
  return cells;
}

class Browser : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access(CHROMIUM, X_OK) != 0) GTEST_SKIP() << CHROMIUM << " is not installed";
  }
};

TEST_F(Browser, OpensAtALayerAndShowsTheTranscriptsValues) {
  ScratchDir dir;
  const std::string transcript = run_laplace("1 1\n0\n0\n0\n100\nY\nY\n3\nA\n0.5 0.5\nD\n");
  write_file(dir.file("run.txt"), transcript);
  const Outcome made = run({view_program(), dir.file("run.txt"), dir.file("page.html")});
  ASSERT_EQ(made.status, 0) << made.err;
  const Plain plain = read_plainly(transcript);
  ASSERT_EQ(plain.edges.size(), 20u);
  ASSERT_EQ(plain.passes.size(), 2u);

  struct View {
    int pass;
    int layer;
  };
  for (const View v : {View{1, 3}, View{2, 2}}) {
    SCOPED_TRACE("pass " + std::to_string(v.pass) + ", layer " + std::to_string(v.layer));
    std::vector<std::string> cmd = browser_command(dir);
    cmd.push_back("--dump-dom");
    cmd.push_back("file://" + dir.file("page.html") + "#pass=" + std::to_string(v.pass) +
                  "&layer=" + std::to_string(v.layer));
    const Outcome o = run(cmd);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("data-pass=\"" + std::to_string(v.pass) + "\" data-layer=\"" + std::to_string(v.layer) + "\""),
              std::string::npos);
    const Cells shown = cells_in(o.out);
    ASSERT_EQ(shown.size(), 35u) << o.out.substr(0, 2000);
    const Cells& interior = plain.passes[static_cast<std::size_t>(v.pass - 1)].at(v.layer);
    ASSERT_EQ(interior.size(), 15u);
    for (const auto& [point, text] : plain.edges) EXPECT_EQ(shown.at(point), text) << point.first << "," << point.second;
    for (const auto& [point, text] : interior) EXPECT_EQ(shown.at(point), text) << point.first << "," << point.second;
  }
  // The worked example's layer 3 at (4,4), as a check on the simple reading.
  EXPECT_EQ(plain.passes[0].at(3).at({4, 4}), "53.125000");

  std::vector<std::string> cmd = browser_command(dir);
  cmd.push_back("--window-size=1200,900");
  cmd.push_back(std::string("--screenshot=") + LAPLACE_VIEW_SCREENSHOT);
  cmd.push_back("file://" + dir.file("page.html") + "#pass=1&layer=3");
  const Outcome shot = run(cmd);
  ASSERT_EQ(shot.status, 0) << shot.err;
  const std::string png = read_file(LAPLACE_VIEW_SCREENSHOT);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_GT(png.size(), 20000u);  // a drawn page, not an empty one
}

}  // namespace
}  // namespace laplace::view::testing
