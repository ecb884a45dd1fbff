// Faults injected into a whole scripted session, one at a time: the k-th
// write of standard output fails, for every k, in each failure class, once or
// from there on; the k-th read of standard input fails or meets the end of the
// input, for every k. Each on the shared console and on separate connections.
//
// What each run must print is worked out from the records of the session and
// the rules of the console line, not from a run of the program: the write that
// fails is matched to the pieces that the rules write (a record's line end,
// its body, the line end at the start of an input statement, the final line
// end), and the rules say which of them are looked at and what follows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

#include "tests/support/in_process.h"
#include "tests/support/process_runner.h"
#include "tests/support/report_check.h"
#include "tests/support/transcript.h"

namespace laplace::testing {
namespace {

using namespace dialogue;
using platform::WriteFailure;

// One record body, or the lines that one input statement takes.
struct Event {
  bool answer;
  std::string text;
};

struct Script {
  std::vector<Event> events;

  void show(const Records& records) {
    for (const std::string& body : records) events.push_back({false, body});
  }
  void type(const std::string& lines) { events.push_back({true, lines}); }

  std::string input() const {
    std::string in;
    for (const Event& e : events)
      if (e.answer) in += e.text;
    return in;
  }
};

// Words after an answer, which the statement drops with the rest of its
// line: they make the input several redirected reads long.
std::string answer(const std::string& value) { return value + "    and the rest of this line is dropped\n"; }

// Set-up, both reports and the count, answering each prompt in turn.
void set_up_pass(Script& s, const std::string& spacings, const std::string& count) {
  const Records r = set_up("0.000000E+00", "0.000000E+00", "0.000000E+00", "100.000000");
  const std::vector<std::string> answers = {spacings, answer("0"), answer("0"), answer("0"),
                                            answer("100")};
  std::size_t next = 0;
  for (const std::string& body : r) {
    s.show({body});
    if (body == SPACING || body == LOWER || body == RIGHT || body == LEFT || body == UPPER) {
      s.type(answers.at(next++));
    }
  }
  s.show({" ", " ", CONTINUE});
  s.type(answer("Y"));
  s.show({" ", " "});
  s.show(initial_report("25.000000"));
  s.show({" ", " ", CONTINUE});
  s.type(answer("y"));
  s.show({" ", " "});
  s.show({COUNT});
  s.type(answer(count));
}

// The worked example with a round of each menu choice; the first spacings
// are typed on two lines, so that one statement makes two reads.
Script worked_example_with_menu_rounds() {
  Script s;
  set_up_pass(s, "1\n" + answer("1"), "3");
  s.show(example_sweeps(3));
  s.show(MENU);
  s.type(answer("A"));
  s.show({SPACING});
  s.type(answer("1 1"));
  s.show(example_sweeps(3));
  s.show(MENU);
  s.type(answer("B"));
  s.show({NEW_COUNT});
  s.type(answer("2"));
  s.show(example_sweeps(2));
  s.show(MENU);
  s.type(answer("C"));
  set_up_pass(s, answer("1 1"), "2");
  s.show(example_sweeps(2));
  s.show(MENU);
  s.type(answer("D"));
  return s;
}

struct Wiring {
  const char* name;
  bool typed;   // standard input a character device, a line per read
  bool shared;  // standard output one too: the shared console
};

void PrintTo(const Wiring& w, std::ostream* os) { *os << w.name; }

const Wiring WIRINGS[] = {{"Redirected", false, false},
                          {"SharedConsole", true, true},
                          {"TypedToFile", true, false}};

void wire(Program& p, const Wiring& w, const std::string& input) {
  p.platform.input = input;
  p.platform.input_is_character_device = w.typed;
  p.platform.output_is_character_device = w.shared;
  p.platform.line_at_a_time = w.typed;
}

// What the rules write to standard output, piece by piece.
enum class PieceKind { record_line_end, body, input_line_end, final_line_end };

struct Piece {
  PieceKind kind;
  std::string bytes;
};

std::vector<Piece> pieces_of(const Script& s, const Wiring& w) {
  std::vector<Piece> out;
  bool line_open = false;
  for (const Event& e : s.events) {
    if (!e.answer) {
      if (line_open) out.push_back({PieceKind::record_line_end, "\r\n"});
      out.push_back({PieceKind::body, e.text});
      line_open = true;
    } else if (w.shared) {
      // The prompt's line end when the statement starts; the typed Enter
      // ends the line on the screen, so the next record needs none.
      if (line_open) out.push_back({PieceKind::input_line_end, "\r\n"});
      line_open = false;
    }
  }
  if (line_open) out.push_back({PieceKind::final_line_end, "\r\n"});
  return out;
}

// One write of the fault-free run, as the pieces it carries: a line end, a
// body, or a record's line end and its body together.
struct Write {
  std::string bytes;
  std::size_t line_end = 0;  // 2 when the write starts with a line end
  bool body = false;
  bool line_was_open = false;  // the body's record had a line end before it
};

// Matches the fault-free run's writes to the pieces; fails the test unless
// every write is one piece, or a record's line end with its body.
std::vector<Write> writes_of(const FakePlatform& run, const std::vector<Piece>& pieces) {
  std::vector<Write> writes;
  std::size_t p = 0;
  for (const WriteCall& call : run.writes) {
    EXPECT_EQ(call.fd, platform::STANDARD_OUTPUT);
    if (p >= pieces.size()) {
      ADD_FAILURE() << "a write beyond the pieces: " << call.bytes;
      break;
    }
    Write w{call.bytes};
    if (pieces[p].bytes == call.bytes) {
      w.line_end = pieces[p].kind == PieceKind::body ? 0 : 2;
      w.body = pieces[p].kind == PieceKind::body;
      w.line_was_open = w.body && p > 0 && pieces[p - 1].kind == PieceKind::record_line_end;
      p += 1;
    } else if (pieces[p].kind == PieceKind::record_line_end && p + 1 < pieces.size() &&
               call.bytes == "\r\n" + pieces[p + 1].bytes) {
      w.line_end = 2;
      w.body = true;
      w.line_was_open = true;
      p += 2;
    } else {
      ADD_FAILURE() << "write " << writes.size() + 1 << " is no piece of the rules: " << call.bytes;
      break;
    }
    writes.push_back(w);
  }
  EXPECT_EQ(p, pieces.size());
  return writes;
}

struct Outcome {
  int status;
  std::string out;
  bool report;  // the write error's report on standard error
};


std::string concat(const std::vector<Write>& writes, std::size_t from, std::size_t to) {
  std::string s;
  for (std::size_t k = from; k < to && k < writes.size(); ++k) s += writes[k].bytes;
  return s;
}

// ---------------------------------------------------------------------------
// Writes.

struct WriteFault {
  const char* name;
  WriteFailure kind;
  std::size_t accepts;  // bytes of the failing write that get through
  bool persistent;      // every later write of standard output fails too
};

const WriteFault WRITE_FAULTS[] = {
    {"DeviceFullOnce", WriteFailure::device_full, 0, false},
    {"DeviceFullOncePartly", WriteFailure::device_full, 1, false},
    {"DeviceFullFromThereOn", WriteFailure::device_full, 0, true},
    {"AccessDeniedOnce", WriteFailure::access_denied, 0, false},
    {"AccessDeniedOncePartly", WriteFailure::access_denied, 3, false},
    {"AccessDeniedFromThereOn", WriteFailure::access_denied, 0, true},
    {"OtherOnce", WriteFailure::other, 0, false},
    {"OtherOncePartly", WriteFailure::other, 1, false},
    {"OtherFromThereOn", WriteFailure::other, 0, true},
};

void PrintTo(const WriteFault& f, std::ostream* os) { *os << f.name; }

bool raises(WriteFailure kind) {
  return kind == WriteFailure::device_full || kind == WriteFailure::access_denied;
}

std::string write_report_head(WriteFailure kind) {
  return std::string("\r\nrun-time error F") + (kind == WriteFailure::device_full ? "6422" : "6421") +
         ": WRITE(CON)\r\n- ";
}

// What the rules make of a failure of write k (0-based).
Outcome expected_after_write_fault(const std::vector<Write>& writes, std::size_t k, const WriteFault& f) {
  const Write& w = writes[k];
  const std::string before = concat(writes, 0, k);
  const std::string after = concat(writes, k + 1, writes.size());
  const std::string kept = w.bytes.substr(0, std::min(f.accepts, w.bytes.size()));
  if (!w.body || f.accepts < w.line_end) {
    // The failure hit the line end, which is not looked at; the body, if the
    // write carried one, still has to be written.
    if (!f.persistent) {
      return {0, before + kept + w.bytes.substr(w.line_end) + after, false};
    }
    // From there on nothing gets through: the next body's write fails.
    bool body_follows = w.body;
    for (std::size_t j = k + 1; j < writes.size(); ++j) body_follows = body_follows || writes[j].body;
    const bool raised = raises(f.kind) && body_follows;
    return {raised ? 1 : 0, before + kept, raised};
  }
  // The failure hit the body.
  if (raises(f.kind)) {
    // A line end written for this record leaves the line open (only a body
    // written makes it so anew); the end of the program closes it, if
    // anything gets through.
    return {1, before + kept + (w.line_was_open && !f.persistent ? "\r\n" : ""), true};
  }
  // Ignored: the record counts as written and the dialogue goes on.
  return {0, before + kept + (f.persistent ? "" : after), false};
}

class WriteFaults : public ::testing::TestWithParam<std::tuple<Wiring, WriteFault>> {};

TEST_P(WriteFaults, EveryWriteOfTheSessionInTurn) {
  const auto& [wiring, fault] = GetParam();
  const Script script = worked_example_with_menu_rounds();
  const std::string input = script.input();

  Program clean;
  wire(clean, wiring, input);
  ASSERT_EQ(clean.run(), 0);
  const std::vector<Piece> pieces = pieces_of(script, wiring);
  std::string all;
  for (const Piece& p : pieces) all += p.bytes;
  ASSERT_EQ(clean.platform.out, all) << "the fault-free session";
  const std::vector<Write> writes = writes_of(clean.platform, pieces);
  ASSERT_FALSE(::testing::Test::HasFailure());

  int failures = 0;
  for (std::size_t k = 0; k < writes.size() && failures < 3; ++k) {
    SCOPED_TRACE("write " + std::to_string(k + 1) + " of " + std::to_string(writes.size()) + ": " +
                 writes[k].bytes);
    Program p;
    wire(p, wiring, input);
    p.platform.fail_write_number = static_cast<int>(k + 1);
    p.platform.fail_write_kind = fault.kind;
    p.platform.fail_write_accepts = fault.accepts;
    p.platform.fail_later_writes = fault.persistent;
    const int status = p.run();
    const Outcome want = expected_after_write_fault(writes, k, fault);
    EXPECT_EQ(status, want.status);
    EXPECT_EQ(p.platform.out, want.out);
    if (want.report) {
      expect_report(p.platform.err, write_report_head(fault.kind));
    } else {
      EXPECT_EQ(p.platform.err, "");
    }
    if (::testing::Test::HasFailure()) ++failures;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllClasses, WriteFaults,
    ::testing::Combine(::testing::ValuesIn(WIRINGS), ::testing::ValuesIn(WRITE_FAULTS)),
    [](const auto& p) {
      return std::string(std::get<0>(p.param).name) + "_" + std::get<1>(p.param).name;
    });

// ---------------------------------------------------------------------------
// Reads.

constexpr std::size_t RECORD = 132;

// The input statement (index among the answers) that makes read k (1-based),
// and whether it is that statement's first read.
struct Reader {
  std::size_t answer;
  bool first_read;
};

Reader reader_of(const Script& s, const Wiring& w, std::size_t k) {
  std::size_t answer = 0;
  std::size_t line = 0;   // lines typed before this answer
  std::size_t offset = 0; // bytes before this answer
  for (const Event& e : s.events) {
    if (!e.answer) continue;
    const auto lines = static_cast<std::size_t>(std::count(e.text.begin(), e.text.end(), '\n'));
    if (w.typed) {
      // A line per read.
      if (k - 1 < line + lines) return {answer, k - 1 == line};
    } else if ((k - 1) * RECORD < offset + e.text.size()) {
      // A redirected read is made when the bytes so far are used up.
      return {answer, (k - 1) * RECORD <= offset};
    }
    line += lines;
    offset += e.text.size();
    ++answer;
  }
  ADD_FAILURE() << "no statement makes read " << k;
  return {answer, false};
}

std::size_t reads_of(const Script& s, const Wiring& w) {
  const std::string in = s.input();
  if (w.typed) return static_cast<std::size_t>(std::count(in.begin(), in.end(), '\n'));
  return (in.size() + RECORD - 1) / RECORD;
}

// The bytes up to the prompt of answer `a`, each record with its line end.
std::string shown_before(const Script& s, std::size_t a) {
  std::string out;
  std::size_t answer = 0;
  for (const Event& e : s.events) {
    if (e.answer && answer++ == a) break;
    if (!e.answer) out += e.text + "\r\n";
  }
  return out;
}

enum class ReadFault { fails, input_ends };

void PrintTo(ReadFault f, std::ostream* os) { *os << (f == ReadFault::fails ? "fails" : "input ends"); }

class ReadFaults : public ::testing::TestWithParam<std::tuple<Wiring, ReadFault>> {};

TEST_P(ReadFaults, EveryReadOfTheSessionInTurn) {
  const auto& [wiring, fault] = GetParam();
  const Script script = worked_example_with_menu_rounds();
  const std::string input = script.input();
  const std::size_t reads = reads_of(script, wiring);
  {
    Program clean;
    wire(clean, wiring, input);
    ASSERT_EQ(clean.run(), 0);
    ASSERT_EQ(clean.platform.reads, static_cast<int>(reads));
  }

  int failures = 0;
  for (std::size_t k = 1; k <= reads && failures < 3; ++k) {
    SCOPED_TRACE("read " + std::to_string(k) + " of " + std::to_string(reads));
    Program p;
    if (fault == ReadFault::fails) {
      wire(p, wiring, input);
      p.platform.fail_read_number = static_cast<int>(k);
    } else {
      // The input as far as the reads before k deliver it.
      std::string cut;
      if (wiring.typed) {
        std::size_t at = 0;
        for (std::size_t line = 1; line < k; ++line) at = input.find('\n', at) + 1;
        cut = input.substr(0, at);
      } else {
        cut = input.substr(0, (k - 1) * RECORD);
      }
      wire(p, wiring, cut);
    }
    const int status = p.run();
    const Reader r = reader_of(script, wiring, k);
    // The prompts so far with their line ends: with separate connections the
    // end of the program writes the last one; at the shared console the
    // statement did at its start, and the end of the program writes one more
    // while the statement has not yet been done with a line.
    const std::string want =
        shown_before(script, r.answer) + (wiring.shared && r.first_read ? "\r\n" : "");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(p.platform.out, want);
    expect_report(p.platform.err, std::string("\r\nrun-time error F") +
                                      (fault == ReadFault::fails ? "6500" : "6501") +
                                      ": READ(CON)\r\n- ");
    if (::testing::Test::HasFailure()) ++failures;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllReads, ReadFaults,
    ::testing::Combine(::testing::ValuesIn(WIRINGS), ::testing::Values(ReadFault::fails, ReadFault::input_ends)),
    [](const auto& p) {
      return std::string(std::get<0>(p.param).name) +
             (std::get<1>(p.param) == ReadFault::fails ? "_ReadFails" : "_InputEnds");
    });

// ---------------------------------------------------------------------------
// A real file system that fills up during a long run: a small tmpfs in a
// mount namespace of this test's own, so that nothing outside sees it. Where
// mounting is not permitted the test is skipped; /dev/full and the faults
// above cover the same rules.

class SmallFileSystem {
 public:
  // Mounts a tmpfs of `size` bytes; returns why not, or an empty text.
  std::string mount(const char* size) {
    if (::unshare(CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
    // Keep the mount from propagating back to the rest of the system.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      return std::string("private mounts: ") + std::strerror(errno);
    }
    char dir[] = "/tmp/laplace-small-fsXXXXXX";
    if (::mkdtemp(dir) == nullptr) return std::string("mkdtemp: ") + std::strerror(errno);
    dir_ = dir;
    const std::string options = std::string("size=") + size;
    if (::mount("tmpfs", dir, "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
      return std::string("mount: ") + std::strerror(errno);
    }
    mounted_ = true;
    return "";
  }
  const std::string& dir() const { return dir_; }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    if (!dir_.empty()) ::rmdir(dir_.c_str());
  }

 private:
  std::string dir_;
  bool mounted_ = false;
};

TEST(FillingFileSystem, TheRecordThatDoesNotFitIs6422AndTheFileKeepsWhatFitted) {
  SmallFileSystem fs;
  const std::string why = fs.mount("64k");
  if (!why.empty()) GTEST_SKIP() << "no small file system here: " << why;
  // All boundary values 0, so that every record of the 300 layers is known:
  // far more than 64 KiB.
  const std::string zero = "0.000000E+00";
  Records records = set_up(zero.c_str(), zero.c_str(), zero.c_str(), zero.c_str());
  records += continue_yes();
  records += initial_report(zero.c_str());
  records += continue_yes();
  records.push_back(COUNT);
  const std::vector<const char*> zeros(15, zero.c_str());
  for (int n = 2; n <= 300; ++n) records += layer(n, zeros);
  const std::string expected = bytes(records);

  // The output file goes where the test runner makes its files.
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("TMPDIR", fs.dir().c_str(), 1);
  const RunResult r = run_program("1 1\n0\n0\n0\n0\nY\nY\n300\nD\n", {Source::pipe, Sink::file});
  if (old != nullptr) {
    ::setenv("TMPDIR", saved.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }

  EXPECT_EQ(r.exit_status, 1);
  expect_report(r.err, "\r\nrun-time error F6422: WRITE(CON)\r\n- ");
  // Whatever fitted, in order, nothing twice; the final line end found no room.
  ASSERT_GT(r.out.size(), 32u * 1024u);
  ASSERT_LT(r.out.size(), expected.size());
  EXPECT_EQ(r.out, expected.substr(0, r.out.size()));
}

}  // namespace
}  // namespace laplace::testing
