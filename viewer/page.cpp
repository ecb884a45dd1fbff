#include "viewer/page.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "viewer/page_assets.h"

namespace laplace::view {
namespace {

// Text inside a JSON string. "<", ">" and "&" are escaped too, so that the
// data can never close its script element.
void append_json_string(std::string& out, std::string_view text) {
  static constexpr char hex[] = "0123456789abcdef";
  out += '"';
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == '<' || c == '>' || c == '&' || c >= 0x7f) {
      out += "\\u00";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += ch;
    }
  }
  out += '"';
}

void append_html_text(std::string& out, std::string_view text) {
  for (const char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += ch;
    }
  }
}

// A number in JSON: the shortest form that reads back as the same double;
// null for an infinity or a NaN.
void append_json_number(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void append_json_integer(std::string& out, std::int64_t value) { out += std::to_string(value); }

std::string with_commas(std::int64_t value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  std::string out;
  const std::size_t first = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
  out = digits.substr(0, first);
  for (std::size_t k = first; k < digits.size(); k += 3) out += "," + digits.substr(k, 3);
  return value < 0 ? "-" + out : out;
}

// 1st, 2nd, 3rd, 4th, ..., 11th, 12th, 13th, ..., 21st, ...
std::string ordinal(std::int64_t n) {
  const std::int64_t tens = n % 100, ones = n % 10;
  const char* suffix = (tens >= 11 && tens <= 13) ? "th" : ones == 1 ? "st" : ones == 2 ? "nd" : ones == 3 ? "rd" : "th";
  return with_commas(n) + suffix;
}

const char* kind_code(PassKind kind) {
  switch (kind) {
    case PassKind::first: return "first";
    case PassKind::new_spacing: return "A";
    case PassKind::new_count: return "B";
  }
  return "first";
}

std::vector<std::string> pass_notes(const Pass& p, std::size_t plotted) {
  std::vector<std::string> notes;
  if (p.stride > 1) {
    notes.push_back("Frames thinned: of the " + with_commas(p.last_layer) + " layers of this pass the view keeps layer 1, every " +
                    ordinal(p.stride) + " layer after it (1, " + with_commas(1 + p.stride) + ", " +
                    with_commas(1 + 2 * p.stride) + ", ...) and the last layer, " +
                    with_commas(static_cast<std::int64_t>(p.frames.size())) +
                    " frames in all. The plot uses the change of every layer.");
  }
  if (plotted < p.changes.size()) {
    notes.push_back("Plot thinned: its " + with_commas(static_cast<std::int64_t>(p.changes.size())) +
                    " changes are drawn as " + with_commas(static_cast<std::int64_t>(plotted)) +
                    " points, the largest and the smallest change of each stretch of layers.");
  }
  if (p.last_layer_partial) {
    const Frame& last = p.frames.back();
    notes.push_back("The transcript ends inside layer " + with_commas(p.last_layer) + ", after " +
                    std::to_string(last.points) + " of its 15 points; the missing points show as a dash.");
  } else if (!p.closed) {
    notes.push_back("The transcript ends before this pass's closing record.");
  }
  if (p.last_layer == 1 && p.closed) notes.push_back("No layer was computed in this pass (a count of 1 or less).");
  return notes;
}

void append_pass(std::string& out, const Pass& p, const PageOptions& options) {
  const std::vector<std::size_t> plotted = plotted_changes(p.changes, options.max_plot_points);

  out += "{\"number\":";
  append_json_integer(out, p.number);
  out += ",\"setup\":";
  append_json_integer(out, p.setup);
  out += ",\"kind\":";
  append_json_string(out, kind_code(p.kind));
  out += ",\"firstLine\":";
  append_json_integer(out, p.first_line);
  out += ",\"lastLine\":";
  append_json_integer(out, p.last_line);
  out += ",\"lastLayer\":";
  append_json_integer(out, p.last_layer);
  out += ",\"partial\":";
  out += p.last_layer_partial ? "true" : "false";
  out += ",\"closed\":";
  out += p.closed ? "true" : "false";
  out += ",\"stride\":";
  append_json_integer(out, p.stride);

  out += ",\n\"start\":[";
  for (std::size_t k = 0; k < p.start.size(); ++k) {
    if (k > 0) out += ',';
    append_json_string(out, p.start[k].text);
  }
  out += "]";

  out += ",\n\"frameLayers\":[";
  for (std::size_t k = 0; k < p.frames.size(); ++k) {
    if (k > 0) out += ',';
    append_json_integer(out, p.frames[k].layer);
  }
  out += "],\n\"frameChanges\":[";
  for (std::size_t k = 0; k < p.frames.size(); ++k) {
    if (k > 0) out += ',';
    const Frame& f = p.frames[k];
    const std::int64_t index = f.layer - 2;
    if (f.points == INTERIOR_POINTS && index >= 0 && static_cast<std::size_t>(index) < p.changes.size())
      append_json_number(out, p.changes[static_cast<std::size_t>(index)]);
    else
      out += "null";
  }
  out += "],\n\"frames\":[";
  for (std::size_t k = 0; k < p.frames.size(); ++k) {
    out += k > 0 ? ",\n[" : "\n[";
    const Frame& f = p.frames[k];
    for (std::size_t q = 0; q < f.interior.size(); ++q) {
      if (q > 0) out += ',';
      append_json_string(out, f.interior[q].text);
    }
    out += ']';
  }
  out += "],\n\"changeLayers\":[";
  for (std::size_t k = 0; k < plotted.size(); ++k) {
    if (k > 0) out += ',';
    append_json_integer(out, static_cast<std::int64_t>(plotted[k]) + 2);
  }
  out += "],\n\"changes\":[";
  for (std::size_t k = 0; k < plotted.size(); ++k) {
    if (k > 0) out += ',';
    append_json_number(out, p.changes[plotted[k]]);
  }
  out += "],\n\"changeCount\":";
  append_json_integer(out, static_cast<std::int64_t>(p.changes.size()));
  out += ",\"lastChange\":";
  if (p.changes.empty()) out += "null";
  else append_json_number(out, p.changes.back());
  out += ",\n\"notes\":[";
  const std::vector<std::string> notes = pass_notes(p, plotted.size());
  for (std::size_t k = 0; k < notes.size(); ++k) {
    if (k > 0) out += ',';
    append_json_string(out, notes[k]);
  }
  out += "]}";
}

std::string run_data(const Run& run, const PageOptions& options) {
  std::string out = "{\"source\":";
  append_json_string(out, options.source_name);
  out += ",\"lines\":";
  append_json_integer(out, run.lines);
  out += ",\"setups\":";
  append_json_integer(out, run.setups);
  out += ",\"ending\":";
  append_json_string(out, run.ending);
  out += ",\"passes\":[\n";
  for (std::size_t k = 0; k < run.passes.size(); ++k) {
    if (k > 0) out += ",\n";
    append_pass(out, run.passes[k], options);
  }
  out += "]}";
  return out;
}

}  // namespace

std::vector<std::size_t> plotted_changes(const std::vector<double>& changes, std::size_t max_points) {
  std::vector<std::size_t> kept;
  const std::size_t n = changes.size();
  if (n <= std::max<std::size_t>(max_points, 8)) {
    kept.resize(n);
    for (std::size_t k = 0; k < n; ++k) kept[k] = k;
    return kept;
  }
  // Stretch boundaries: equal stretches for a linear layer axis, and
  // stretches growing geometrically for a logarithmic one, so that the
  // first layers, where the change falls fastest, keep their detail.
  const std::size_t stretches = std::max<std::size_t>(max_points / 4, 2);
  std::vector<std::size_t> bounds;
  bounds.reserve(2 * stretches + 3);
  bounds.push_back(0);
  const double log_n = std::log(static_cast<double>(n));
  for (std::size_t s = 1; s <= stretches; ++s) {
    bounds.push_back(s * n / stretches);
    const double at = std::exp(log_n * static_cast<double>(s) / static_cast<double>(stretches));
    bounds.push_back(std::min(n, static_cast<std::size_t>(std::llround(at))));
  }
  std::sort(bounds.begin(), bounds.end());
  bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());

  kept.reserve(2 * bounds.size() + 2);
  kept.push_back(0);
  for (std::size_t b = 0; b + 1 < bounds.size(); ++b) {
    std::size_t low = n, high = n, odd = n;
    for (std::size_t k = bounds[b]; k < bounds[b + 1]; ++k) {
      const double v = changes[k];
      if (!std::isfinite(v)) {
        if (odd == n) odd = k;
        continue;
      }
      if (low == n || v < changes[low]) low = k;
      if (high == n || v > changes[high]) high = k;
    }
    std::size_t picks[3] = {low, high, odd};
    std::sort(std::begin(picks), std::end(picks));
    for (const std::size_t k : picks)
      if (k != n && k != kept.back()) kept.push_back(k);
  }
  if (kept.back() != n - 1) kept.push_back(n - 1);
  return kept;
}

std::string render_page(const Run& run, const PageOptions& options) {
  std::string title;
  append_html_text(title, options.source_name);
  const std::string data = run_data(run, options);

  // One pass over the template; what goes in is not scanned again.
  const std::string_view page = assets::page_html();
  std::string out;
  out.reserve(page.size() + data.size() + assets::page_css().size() + assets::page_js().size() + 256);
  std::size_t k = 0;
  while (k < page.size()) {
    const std::size_t at = page.find('@', k);
    if (at == std::string_view::npos) {
      out.append(page.substr(k));
      break;
    }
    out.append(page.substr(k, at - k));
    const std::size_t close = page.find('@', at + 1);
    const std::string_view name =
        close == std::string_view::npos ? std::string_view{} : page.substr(at + 1, close - at - 1);
    if (name == "TITLE") out += title;
    else if (name == "STYLE") out.append(assets::page_css());
    else if (name == "DATA") out += data;
    else if (name == "SCRIPT") out.append(assets::page_js());
    else {
      out += '@';
      k = at + 1;
      continue;
    }
    k = close + 1;
  }
  return out;
}

}  // namespace laplace::view
