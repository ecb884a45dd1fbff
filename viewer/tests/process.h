// Running the programs under test, and a scratch folder per test.
#pragma once

#include <string>
#include <vector>

namespace laplace::view::testing {

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;  // the exit status; -1 when a signal ended it
};

// Runs argv[0] (a path) with the rest as arguments. Standard input is a pipe
// holding `input` and then closed; standard output and error are captured.
Outcome run(const std::vector<std::string>& argv, const std::string& input = "");

// The built programs.
std::string laplace_program();
std::string view_program();

// Runs laplace with `answers` typed on a pipe and returns its standard output.
std::string run_laplace(const std::string& answers);

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& content);
bool file_exists(const std::string& path);

// A new empty folder, removed with everything in it at the end of the scope.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> entries() const;  // names in the folder, sorted

 private:
  std::string path_;
};

}  // namespace laplace::view::testing
