#include "viewer/tests/malformed.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "viewer/tests/process.h"

namespace laplace::view::testing {
namespace {

using Lines = std::vector<std::string>;

Lines split(const std::string& text) {
  Lines lines;
  std::size_t k = 0;
  while (k < text.size()) {
    const std::size_t end = text.find("\r\n", k);
    if (end == std::string::npos) throw std::runtime_error("transcript line without CR LF");
    lines.push_back(text.substr(k, end - k));
    k = end + 2;
  }
  return lines;
}

std::string join(const Lines& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// Index of the first line that starts with `prefix`.
std::size_t find(const Lines& lines, const std::string& prefix) {
  for (std::size_t k = 0; k < lines.size(); ++k)
    if (lines[k].compare(0, prefix.size(), prefix) == 0) return k;
  throw std::runtime_error("no line starts with " + prefix);
}

long line_no(std::size_t index) { return static_cast<long>(index) + 1; }

}  // namespace

std::vector<Malformed> malformed_transcripts() {
  // The worked example: three layers, then D.
  const Lines base = split(run_laplace("1 1\n0\n0\n0\n100\nY\nY\n3\nD\n"));
  const std::size_t heading = find(base, "The Boundary Values of the Grid");
  const std::size_t record = find(base, "          2           2           2");  // layer 2, (2,2)
  const std::size_t layer3_end = find(base, "          3           6           4");
  std::size_t closing = 0;
  for (std::size_t k = 0; k < base.size(); ++k)
    if (base[k].size() == 47) closing = k;

  std::vector<Malformed> out;
  auto changed = [&](std::string name, long line, std::string reason, auto edit) {
    Lines lines = base;
    edit(lines);
    out.push_back({std::move(name), join(lines), line, std::move(reason)});
  };

  changed("truncated layer record", line_no(record), "expected a layer record of 51 characters",
          [&](Lines& l) { l[record].resize(30); });
  changed("fields one column to the left", line_no(record), "columns 1-11 (the layer) do not hold one right-aligned number",
          [&](Lines& l) { l[record] = l[record].substr(1) + " "; });
  changed("layer records out of order", line_no(record + 1),
          "expected the record of layer 2, column 3, row 2; found layer 2, column 4, row 2",
          [&](Lines& l) { std::swap(l[record + 1], l[record + 2]); });
  changed("record of the wrong layer", line_no(record), "expected the record of layer 2, column 2, row 2; found layer 3",
          [&](Lines& l) { l[record][10] = '3'; });
  changed("layer cut short", line_no(layer3_end), "layer 3 ends after 14 of its 15 records",
          [&](Lines& l) { l.erase(l.begin() + static_cast<long>(layer3_end)); });
  changed("no blank record after a layer", line_no(record + 15),
          "expected the blank record after the 15 records of layer 2",
          [&](Lines& l) { l.erase(l.begin() + static_cast<long>(record + 15)); });
  changed("garbage in the boundary report", line_no(heading + 5), "expected a boundary record of 39 characters",
          [&](Lines& l) { l.insert(l.begin() + static_cast<long>(heading + 5), "garbage"); });
  changed("boundary records out of order", line_no(heading + 1),
          "expected the boundary record of column 1, row 1; found column 2, row 1",
          [&](Lines& l) { std::swap(l[heading + 1], l[heading + 2]); });
  changed("a byte that is not text", line_no(record), "the byte 0x01 in column 6 is not printable text",
          [&](Lines& l) { l[record][5] = '\x01'; });
  changed("value that is not a number", line_no(record), "columns 36-51 (the value) do not hold a real number",
          [&](Lines& l) { l[record].replace(l[record].size() - 9, 9, "12.5.0000"); });
  changed("integer with a leading zero", line_no(record), "columns 1-11 (the layer) do not hold an integer",
          [&](Lines& l) { l[record].replace(9, 2, "02"); });
  changed("closing record that does not repeat the boundary", line_no(closing),
          "the closing record's left value is 1.000000E+00",
          [&](Lines& l) { l[closing].replace(l[closing].size() - 12, 12, "1.000000E+00"); });
  changed("prompts out of order", 4, "expected \"What is the Lower Boundary Value\"",
          [&](Lines& l) { std::swap(l[3], l[4]); });
  changed("unknown line after the menu", line_no(base.size()), "after the menu expected",
          [&](Lines& l) { l.push_back("THE END"); });

  std::string lf_alone = join(base);
  lf_alone.erase(lf_alone.find("\r\n"), 1);
  out.push_back({"a line ending in LF alone", lf_alone, 1, "ends in LF alone"});

  Lines head(base.begin(), base.begin() + static_cast<long>(record));
  out.push_back({"cut in the middle of a line", join(head) + base[record].substr(0, 20), line_no(record),
                 "no line end"});
  out.push_back({"empty", "", 1, "empty"});
  out.push_back({"not a transcript", "hello world\r\n", 1,
                 "expected \"THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION\""});

  // A real run that ends at the first continue prompt.
  const Lines refused = split(run_laplace("1 1\n0\n0\n0\n100\nN\n"));
  out.push_back({"a run without sweeps", join(refused), line_no(refused.size() - 1), "holds no sweeps"});
  return out;
}

}  // namespace laplace::view::testing
