// The whole program in-process on arbitrary standard input, on every wiring.
// Each run must end with status 0, or with status 1 and exactly one
// well-formed report; standard output must be records of the dialogue
// separated by CR LF, with the line ends after the last record that the
// rules of the console line allow; and wherever typed lines and redirected
// reads cannot differ, the wirings must print the same records.
//
// A count of iterations can make a session print without end, so standard
// output takes a bounded number of writes: from the last one on it is a full
// device, and the session ends with the report of a full device there.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/record_check.h"
#include "fuzz/report_check.h"
#include "fuzz/wiring.h"
#include "tests/support/in_process.h"

namespace laplace::fuzz {
namespace {

constexpr int WRITE_BUDGET = 600;

struct Outcome {
  int status;
  std::string out;
  std::string err;
  bool cut;  // the session reached the end of the write budget
  std::vector<std::string_view> bodies;
  int trailing = 0;
};

Outcome run(const std::string& input, Wiring wiring) {
  testing::Program p;
  p.platform.input = input;
  wire(p.platform, wiring);
  p.platform.fail_write_number = WRITE_BUDGET;
  p.platform.fail_write_kind = platform::WriteFailure::device_full;
  p.platform.fail_later_writes = true;
  const int status = p.run();
  return {status, p.platform.out, p.platform.err, p.platform.writes.size() >= WRITE_BUDGET, {}};
}

void check_outcome(Outcome& o, const std::string& input, Wiring wiring) {
  const std::string where = std::string(name_of(wiring)) + " input " + escaped(input) +
                            "\nerr " + escaped(o.err) + "\nout " +
                            escaped(o.out.substr(0, 4000));
  FUZZ_CHECK(o.status == 0 || o.status == 1, where);
  FUZZ_CHECK(split_records(o.out, o.bodies, o.trailing), where);
  FUZZ_CHECK(!o.bodies.empty() &&
                 o.bodies[0] == "THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION",
             where);
  for (const std::string_view body : o.bodies) {
    FUZZ_CHECK(body.size() <= 79 && is_dialogue_record(body), where + "\nrecord " + std::string(body));
  }
  if (o.status == 0) {
    FUZZ_CHECK(o.err.empty(), where);
    // Every line closed: by the end of the program, or at the shared
    // console by the last answer.
    if (!o.cut) FUZZ_CHECK(o.trailing == 1, where);
    return;
  }
  if (o.cut) {
    // The report may have lost a piece to the full device; standard output
    // then stops after a whole record.
    FUZZ_CHECK(o.trailing <= 2, where);
    return;
  }
  const Report r = parse_single_report(o.err);
  FUZZ_CHECK(r.context != "WRITE", where);
  FUZZ_CHECK(r.number != 6500, where);
  if (wiring == Wiring::redirected) FUZZ_CHECK(r.number != 6407, where);
  // A second line end only at the shared console, for a statement that
  // failed before it was done with its first line.
  FUZZ_CHECK(o.trailing == 1 || (o.trailing == 2 && shared_console(wiring) && r.context == "READ"),
             where);
}

bool is_prefix(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
  if (a.size() > b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (a[k] != b[k]) return false;
  }
  return true;
}

}  // namespace
}  // namespace laplace::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace laplace::fuzz;
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<Outcome> outcomes;
  outcomes.reserve(ALL_WIRINGS.size());  // the record views point into each outcome's bytes
  for (const Wiring w : ALL_WIRINGS) {
    outcomes.push_back(run(input, w));
    check_outcome(outcomes.back(), input, w);
  }
  if (!read_alike_everywhere(input)) return 0;
  const Outcome& a = outcomes[0];
  // A parenthesized value that runs past its line end leaves the rest of the
  // next line, which the shared console drops at the next statement.
  const bool console_alike = input.find('(') == std::string::npos;
  for (std::size_t k = 1; k < outcomes.size(); ++k) {
    const Outcome& b = outcomes[k];
    if (shared_console(ALL_WIRINGS[k]) && !console_alike) continue;
    const std::string where = std::string("redirected and ") + name_of(ALL_WIRINGS[k]) +
                              " differ on " + escaped(input) + "\nerr " + escaped(a.err) +
                              "\nerr " + escaped(b.err);
    if (a.cut || b.cut) {
      // Cut at different writes: the shorter run's records begin the longer's.
      FUZZ_CHECK(is_prefix(a.bodies, b.bodies) || is_prefix(b.bodies, a.bodies), where);
      continue;
    }
    FUZZ_CHECK(a.status == b.status && a.err == b.err, where);
    FUZZ_CHECK(a.bodies == b.bodies, where);
    // The same bytes, but for the second line end of a statement that failed
    // at the shared console before it was done with its first line.
    FUZZ_CHECK(a.out == b.out || (a.status == 1 && shared_console(ALL_WIRINGS[k]) && b.out == a.out + "\r\n"),
               where);
  }
  return 0;
}
