// Input statements on arbitrary bytes. The first bytes choose up to three
// statements (two reals, one integer, a one-character text, a text of another
// length, several integers, or a mix), each after a prompt; the rest is
// standard input. Every statement list runs on every wiring. Each run must end
// with every statement done, or with exactly one report of the scanner's or
// the conversions' errors and status 1; standard output must hold the prompts
// and their line ends as the rules of the console line say; and wherever the
// typed lines and the redirected reads cannot differ, the wirings must agree
// on every variable, the report and the status.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console_io/console_io.h"
#include "console_io/input_statement.h"
#include "console_io/output_statement.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/report_check.h"
#include "fuzz/wiring.h"
#include "runtime/run_time.h"
#include "runtime/start_up.h"
#include "tests/support/fake_platform.h"

namespace laplace::fuzz {
namespace {

enum class Kind : std::uint8_t { integer, real, text };

struct Item {
  Kind kind;
  std::int32_t length;  // of a text
};

using Shape = std::vector<Item>;

// Bytes of the fuzz input, taken from the front; zeros once they run out.
struct Bytes {
  const std::uint8_t* data;
  std::size_t size;
  std::uint8_t next() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
};

std::int32_t text_length(std::uint8_t b) {
  // -2 to 237, and 250 to 310 around the 260 bytes of the value text.
  return b < 240 ? std::int32_t{b} - 2 : 250 + (b - 240) * 4;
}

Shape shape_from(Bytes& in) {
  const std::uint8_t s = in.next();
  const int count = s / 6;
  switch (s % 6) {
    case 0: return {{Kind::real, 4}, {Kind::real, 4}};
    case 1: return {{Kind::integer, 4}};
    case 2: return {{Kind::text, 1}};
    case 3: return {{Kind::text, text_length(in.next())}};
    case 4: return Shape(static_cast<std::size_t>(2 + count % 7), Item{Kind::integer, 4});
    default: {
      Shape shape;
      for (int k = 0; k < 1 + count % 8; ++k) {
        const std::uint8_t b = in.next();
        const auto kind = static_cast<Kind>(b % 3);
        shape.push_back({kind, kind == Kind::text ? 1 + (b / 3) % 8 : 4});
      }
      return shape;
    }
  }
}

constexpr std::uint32_t REAL_SENTINEL = 0x7FA00001u;  // a signalling NaN: no real text gives it
constexpr std::int32_t INTEGER_SENTINEL = 0x5A5A5A5A;
constexpr char TEXT_SENTINEL = '\xA5';

// One receiving variable in storage of exactly its own size, so that a byte
// stored beyond it is caught.
struct Variable {
  Item item;
  std::unique_ptr<std::int32_t> integer;
  std::unique_ptr<float> real;
  std::unique_ptr<char[]> text;

  explicit Variable(Item i) : item(i) {
    switch (i.kind) {
      case Kind::integer: integer = std::make_unique<std::int32_t>(INTEGER_SENTINEL); break;
      case Kind::real: real = std::make_unique<float>(std::bit_cast<float>(REAL_SENTINEL)); break;
      case Kind::text: {
        const auto n = static_cast<std::size_t>(std::max(i.length, 0));
        text = std::make_unique<char[]>(n);
        std::memset(text.get(), TEXT_SENTINEL, n);
        break;
      }
    }
  }

  std::string bytes() const {
    switch (item.kind) {
      case Kind::integer: return {reinterpret_cast<const char*>(integer.get()), 4};
      case Kind::real: return {reinterpret_cast<const char*>(real.get()), 4};
      case Kind::text: return {text.get(), static_cast<std::size_t>(std::max(item.length, 0))};
    }
    return {};
  }
};

std::string prompt(std::size_t k) { return "Answer " + std::to_string(k + 1) + ":"; }

// The program's main routine for this run: each statement after its prompt.
struct Statements {
  console_io::ConsoleIo& io;
  testing::FakePlatform& platform;
  std::vector<std::vector<Variable>> variables;
  std::size_t completed = 0;
  int reads_at_start = 0;  // reads made before the running statement
  // A statement ended with bytes of its record not taken: a parenthesized
  // value that ran past its line end leaves the rest of the next line, which
  // the shared console drops at the next statement and other wirings keep.
  bool record_left = false;

  std::int32_t run() {
    for (std::size_t k = 0; k < variables.size(); ++k) {
      const std::string p = prompt(k);
      console_io::begin_output(io);
      console_io::put_text(io, p.data(), static_cast<std::int32_t>(p.size()));
      console_io::end_output(io);
      reads_at_start = platform.reads;
      console_io::begin_input(io);
      for (Variable& v : variables[k]) {
        switch (v.item.kind) {
          case Kind::integer: console_io::get_integer(io, *v.integer); break;
          case Kind::real: console_io::get_real(io, *v.real); break;
          case Kind::text: console_io::get_text(io, v.text.get(), v.item.length); break;
        }
      }
      console_io::end_input(io);
      ++completed;
      const console_io::ConsoleUnit& unit = io.input_unit;
      if (unit.position <= unit.last) record_left = true;
    }
    return 0;
  }
};

struct Outcome {
  int status = -1;
  std::size_t completed = 0;
  int reads = 0;
  int reads_at_start = 0;
  bool record_left = false;
  std::size_t consumed = 0;
  std::string out;
  std::string err;
  std::vector<std::string> values;  // every variable's bytes, in order
  std::vector<Item> items;
};

Outcome run(const std::vector<Shape>& shapes, const std::string& input, Wiring wiring,
            int fail_read) {
  testing::FakePlatform platform;
  platform.input = input;
  wire(platform, wiring);
  platform.fail_read_number = fail_read;
  runtime::RunTime rt(platform);
  console_io::ConsoleIo io(rt);
  Statements statements{io, platform, {}};
  for (const Shape& shape : shapes) {
    std::vector<Variable> vars;
    for (const Item& item : shape) vars.emplace_back(item);
    statements.variables.push_back(std::move(vars));
  }
  const runtime::ProgramSteps steps{
      [](void* p) { console_io::open_console(*static_cast<console_io::ConsoleIo*>(p)); },
      {[](void* p) { console_io::finish_console_io(*static_cast<console_io::ConsoleIo*>(p)); }, &io},
      &io,
      [](void* p) { return static_cast<Statements*>(p)->run(); },
      &statements,
  };
  Outcome o;
  try {
    runtime::start_up(rt, steps);
  } catch (const testing::ProcessEnded& ended) {
    o.status = ended.status;
  }
  o.completed = statements.completed;
  o.reads = platform.reads;
  o.reads_at_start = statements.reads_at_start;
  o.record_left = statements.record_left;
  o.consumed = platform.input_position;
  o.out = platform.out;
  o.err = platform.err;
  for (const auto& vars : statements.variables) {
    for (const Variable& v : vars) {
      o.values.push_back(v.bytes());
      o.items.push_back(v.item);
    }
  }
  return o;
}

void check_outcome(const Outcome& o, std::size_t statement_count, const std::string& input,
                   Wiring wiring, int fail_read) {
  const std::string where = std::string(name_of(wiring)) + " input " + escaped(input) +
                            "\nout " + escaped(o.out) + "\nerr " + escaped(o.err);
  // The prompts of the statements that ran, each with its line end: at the
  // shared console written when the input statement starts, otherwise before
  // the next prompt or at the end.
  std::string prompts;
  for (std::size_t k = 0; k < o.completed; ++k) prompts += prompt(k) + "\r\n";

  // An assigned real is a number within the 32-bit range.
  for (std::size_t k = 0; k < o.values.size(); ++k) {
    if (o.items[k].kind != Kind::real) continue;
    std::uint32_t bits;
    std::memcpy(&bits, o.values[k].data(), 4);
    if (bits != REAL_SENTINEL) FUZZ_CHECK(std::isfinite(std::bit_cast<float>(bits)), where);
  }

  if (o.status == 0) {
    FUZZ_CHECK(o.completed == statement_count, where);
    FUZZ_CHECK(o.err.empty(), where);
    FUZZ_CHECK(o.out == prompts, where);
    FUZZ_CHECK(fail_read == 0 || o.reads < fail_read, where);
    return;
  }
  FUZZ_CHECK(o.status == 1, where);
  FUZZ_CHECK(o.completed < statement_count, where);
  const Report r = parse_single_report(o.err);
  FUZZ_CHECK(r.context == "READ", where);
  // Only a typed line can be too long; only a failing read is 6500.
  if (wiring == Wiring::redirected) FUZZ_CHECK(r.number != 6407, where);
  FUZZ_CHECK((r.number == 6500) == (fail_read != 0 && o.reads >= fail_read), where);
  if (r.number == 6500) FUZZ_CHECK(o.reads == fail_read, where);
  // The end of input is met where the bytes run out, or at a Ctrl-Z.
  if (r.number == 6501 && input.find('\x1a') == std::string::npos) {
    FUZZ_CHECK(o.consumed == input.size(), where);
  }
  const std::string failing = prompts + prompt(o.completed) + "\r\n";
  if (!shared_console(wiring)) {
    FUZZ_CHECK(o.out == failing, where);
    return;
  }
  // At the shared console the line stays open until the statement is done
  // with its first record, and the end of the program then closes it again.
  FUZZ_CHECK(o.out == failing || o.out == failing + "\r\n", where);
  if (r.number == 6500 || r.number == 6501 || r.number == 6407) {
    const bool first_read = o.reads == o.reads_at_start + 1;
    FUZZ_CHECK((o.out == failing + "\r\n") == first_read, where);
  }
}

}  // namespace
}  // namespace laplace::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace laplace::fuzz;
  Bytes in{data, size};
  const std::uint8_t header = in.next();
  const std::size_t count = 1 + header % 3;
  // Now and then the k-th read of standard input fails.
  const int selector = (header / 4) % 16;
  const int fail_read = selector >= 1 && selector <= 4 ? selector : 0;
  std::vector<Shape> shapes;
  for (std::size_t k = 0; k < count; ++k) shapes.push_back(shape_from(in));
  const std::string input(reinterpret_cast<const char*>(in.data), in.size);

  std::vector<Outcome> outcomes;
  for (const Wiring w : ALL_WIRINGS) {
    outcomes.push_back(run(shapes, input, w, fail_read));
    check_outcome(outcomes.back(), count, input, w, fail_read);
  }
  if (fail_read != 0 || !read_alike_everywhere(input)) return 0;
  const Outcome& a = outcomes[0];
  for (std::size_t k = 1; k < outcomes.size(); ++k) {
    const Outcome& b = outcomes[k];
    if (shared_console(ALL_WIRINGS[k]) && b.record_left) continue;
    const std::string where = std::string("redirected and ") + name_of(ALL_WIRINGS[k]) +
                              " differ on " + escaped(input) + "\nerr " + escaped(a.err) +
                              "\nerr " + escaped(b.err);
    FUZZ_CHECK(a.status == b.status && a.completed == b.completed && a.err == b.err, where);
    FUZZ_CHECK(a.values == b.values, where);
  }
  return 0;
}
