// The page as text: self-contained, its data safe inside its script
// element, and the plot's thinning.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "viewer/page.h"
#include "viewer/tests/process.h"
#include "viewer/transcript.h"

namespace laplace::view {
namespace {

std::size_t count(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (std::size_t k = text.find(piece); k != std::string::npos; k = text.find(piece, k + 1)) ++n;
  return n;
}

Run read_run(const std::string& answers, ReadOptions options = {}) {
  std::istringstream in(testing::run_laplace(answers));
  return read_transcript(in, options);
}

TEST(Page, SelfContainedAndEscaped) {
  const view::Run run = read_run("1 1\n0\n0\n0\n100\nY\nY\n3\nA\n0.5 0.5\nD\n");
  const std::string page = render_page(run, {"<run> & \"one\".txt"});
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  // Nothing to fetch: no address, no linked file, no imported style.
  for (const char* outside : {"://", "<link", " src=", "url(", "@import", "fetch(", "XMLHttpRequest"})
    EXPECT_EQ(page.find(outside), std::string::npos) << outside;
  // The name shows escaped in the HTML and in the data; only the page's own
  // two scripts close.
  EXPECT_NE(page.find("&lt;run&gt; &amp; &quot;one&quot;.txt"), std::string::npos);
  EXPECT_NE(page.find(R"("source":"\u003crun\u003e \u0026 \"one\".txt")"), std::string::npos);
  EXPECT_EQ(page.find("<run>"), std::string::npos);
  EXPECT_EQ(count(page, "</script>"), 2u);
  // Every placeholder of the template is filled.
  for (const char* slot : {"@TITLE@", "@STYLE@", "@DATA@", "@SCRIPT@"}) EXPECT_EQ(page.find(slot), std::string::npos) << slot;
  // Both passes, with the layer values as the transcript prints them.
  EXPECT_EQ(count(page, "{\"number\":"), 2u);
  EXPECT_NE(page.find(R"(["9.375000","14.062500","15.625000","14.062500","9.375000",)"), std::string::npos);
}

TEST(Page, SaysWhenFramesAreThinned) {
  const view::Run thin = read_run("1 1\n0\n0\n0\n100\nY\nY\n40\nD\n", ReadOptions{8});
  EXPECT_NE(render_page(thin, {"run.txt"}).find("Frames thinned"), std::string::npos);
  const view::Run whole = read_run("1 1\n0\n0\n0\n100\nY\nY\n40\nD\n");
  EXPECT_EQ(render_page(whole, {"run.txt"}).find("Frames thinned"), std::string::npos);
}

TEST(Page, PlotKeepsEveryPointWhileTheyFit) {
  for (std::size_t n : {0u, 1u, 2u, 50u, 400u}) {
    const std::vector<double> changes(n, 1.0);
    const std::vector<std::size_t> kept = plotted_changes(changes, 400);
    ASSERT_EQ(kept.size(), n);
    for (std::size_t k = 0; k < n; ++k) EXPECT_EQ(kept[k], k);
  }
}

TEST(Page, PlotThinsToTheExtremesOfEachStretch) {
  // A smooth decay with one spike, one dip and one value that is not finite.
  constexpr std::size_t n = 100000;
  std::vector<double> changes(n);
  for (std::size_t k = 0; k < n; ++k) changes[k] = 100.0 * std::exp(-1e-4 * static_cast<double>(k));
  changes[777] = 1e6;
  changes[50001] = 1e-9;
  changes[61234] = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::size_t> kept = plotted_changes(changes, 1000);
  EXPECT_LE(kept.size(), 1000u + 2u + 1u);
  EXPECT_GE(kept.size(), 500u);
  EXPECT_EQ(kept.front(), 0u);
  EXPECT_EQ(kept.back(), n - 1);
  for (std::size_t k = 1; k < kept.size(); ++k) ASSERT_LT(kept[k - 1], kept[k]);
  // The first layers, which a logarithmic layer axis spreads out, all stay.
  for (std::size_t k = 0; k < 16; ++k) EXPECT_EQ(kept[k], k);
  for (std::size_t must : {std::size_t{777}, std::size_t{50001}, std::size_t{61234}})
    EXPECT_NE(std::find(kept.begin(), kept.end(), must), kept.end()) << must;
}

}  // namespace
}  // namespace laplace::view
