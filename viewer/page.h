// Writes the HTML page of a run: one self-contained file (its style, data
// and script inline) that shows each pass's layers as a colour map and the
// largest change per layer as a log-scale plot.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "viewer/transcript.h"

namespace laplace::view {

struct PageOptions {
  std::string source_name;  // shown as the page's title
  // Points per pass in the convergence plot; longer passes are thinned to
  // the largest and smallest change of each stretch of layers.
  std::size_t max_plot_points = 4000;
};

// The layers (0-based indexes into Pass::changes) that the plot draws, in
// layer order: all of them when they fit, else the first, the last, and the
// largest and the smallest change (and the first that is not finite) of
// each stretch, the stretches cut both into max_points / 4 equal parts and
// into max_points / 4 parts that grow geometrically (for a logarithmic layer
// axis). At most about max_points + 3 points.
std::vector<std::size_t> plotted_changes(const std::vector<double>& changes, std::size_t max_points);

std::string render_page(const Run& run, const PageOptions& options);

}  // namespace laplace::view
