// Expected console records, built from the record layout rules: integers
// right-aligned in 11 columns, reals in 15, one separator blank before every
// number after the first, the control character dropped, CR LF between
// records.
#pragma once

#include <initializer_list>
#include <string>

namespace laplace::testing {

inline std::string blanks(std::size_t n) { return std::string(n, ' '); }

// A number field: `chars` right-aligned in `width` columns, plus one separator
// blank unless it is the statement's first number.
inline std::string field(const std::string& chars, std::size_t width, bool first) {
  return blanks(width - chars.size() + (first ? 0 : 1)) + chars;
}

inline std::string integer_field(long long v, bool first) { return field(std::to_string(v), 11, first); }
inline std::string real_field(const std::string& edited, bool first) { return field(edited, 15, first); }

// The body of a record of integers then reals (the reals given as printed).
inline std::string numbers(std::initializer_list<long long> ints, std::initializer_list<const char*> reals) {
  std::string body;
  bool first = true;
  for (long long v : ints) {
    body += integer_field(v, first);
    first = false;
  }
  for (const char* r : reals) {
    body += real_field(r, first);
    first = false;
  }
  return body;
}

// The text of records as standard output holds them when every line end has
// been written: each body followed by CR LF.
inline std::string lines(std::initializer_list<std::string> bodies) {
  std::string out;
  for (const std::string& b : bodies) out += b + "\r\n";
  return out;
}

}  // namespace laplace::testing

#include <vector>

namespace laplace::testing::dialogue {

inline const std::string TITLE = "THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION";
inline const std::string SPACER = "  ";
inline const std::string SPACING = "Input the DX Value and DY Value with space and hit Return:";
inline const std::string LOWER = "What is the Lower Boundary Value";
inline const std::string RIGHT = "What is the Right Boundary Value";
inline const std::string LEFT = "What is the Left Boundary Value";
inline const std::string UPPER = "What is the Upper Boundary Value";
inline const std::string CONTINUE = "PRESS Y FOR THE PROGRAM TO CONTINUE";
inline const std::string COUNT = "How Many Iterations Should be Calculated?";
inline const std::string NEW_COUNT = "Input the New Number of Iterations:";
inline const std::string BOUNDARY_HEADING =
    "The Boundary Values of the Grid for Velocity Potential are as Follows:";
inline const std::string INITIAL_HEADING =
    "THE INITIAL VALUES FOR THE GRID BESIDES THE BOUNDARY POINTS ARE";
inline const std::vector<std::string> MENU = {
    "IF YOU WANT TO CHANGE THE DX AND DY VALUE TYPE A",
    "TYPE B FOR CHANGING THE NUMBER OF ITERATIONS",
    "TYPE C FOR STARTING OVER FROM THE BEGINNING WITH TOTALLY NEW VALUES",
    "TYPE D FOR ENDING THE PROGRAM"};

using Records = std::vector<std::string>;

inline Records& operator+=(Records& a, const Records& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Title to the boundary report, with the four edge values as printed.
inline Records set_up(const char* lower, const char* right, const char* left, const char* upper) {
  Records r{TITLE, SPACER, SPACING, LOWER, RIGHT, LEFT, UPPER, BOUNDARY_HEADING};
  for (int i = 1; i <= 7; ++i) r.push_back(numbers({i, 1}, {lower}));
  for (int j = 2; j <= 4; ++j) {
    r.push_back(numbers({1, j}, {left}));
    r.push_back(numbers({7, j}, {right}));
  }
  for (int i = 1; i <= 7; ++i) r.push_back(numbers({i, 5}, {upper}));
  return r;
}

inline Records initial_report(const char* start) {
  Records r{INITIAL_HEADING};
  for (int j = 2; j <= 4; ++j)
    for (int i = 2; i <= 6; ++i) r.push_back(numbers({i, j}, {start}));
  return r;
}

inline Records continue_yes() { return {" ", " ", CONTINUE, " ", " "}; }
inline Records continue_no() { return {" ", " ", CONTINUE}; }

// Title to the count prompt, "Y" at both continue prompts.
inline Records up_to_count(const char* lower, const char* right, const char* left, const char* upper,
                           const char* start) {
  Records r = set_up(lower, right, left, upper);
  r += continue_yes();
  r += initial_report(start);
  r += continue_yes();
  r.push_back(COUNT);
  return r;
}

// The same for the worked example: dx = dy = 1, upper = 100, the others 0.
inline Records example_up_to_count() {
  return up_to_count("0.000000E+00", "0.000000E+00", "0.000000E+00", "100.000000", "25.000000");
}

// Layer n's 15 records, rows 2 to 4 and columns 2 to 6, then its blank record.
inline Records layer(int n, const std::vector<const char*>& values) {
  Records r;
  std::size_t k = 0;
  for (int j = 2; j <= 4; ++j)
    for (int i = 2; i <= 6; ++i) r.push_back(numbers({n, i, j}, {values.at(k++)}));
  r.push_back(" ");
  return r;
}

inline Records closing(const char* a, const char* b, const char* c) {
  return {" ", numbers({}, {a, b, c}), " "};
}

// The layers of the first worked example: dx = dy = 1, upper = 100.
inline const std::vector<const char*> EXAMPLE_LAYER_2 = {
    "12.500000", "18.750000", "18.750000", "18.750000", "12.500000",
    "18.750000", "25.000000", "25.000000", "25.000000", "18.750000",
    "37.500000", "43.750000", "43.750000", "43.750000", "37.500000"};
inline const std::vector<const char*> EXAMPLE_LAYER_3 = {
    "9.375000",  "14.062500", "15.625000", "14.062500", "9.375000",
    "18.750000", "26.562500", "28.125000", "26.562500", "18.750000",
    "40.625000", "51.562500", "53.125000", "51.562500", "40.625000"};

inline Records example_sweeps(int iterations) {
  Records r;
  if (iterations >= 2) r += layer(2, EXAMPLE_LAYER_2);
  if (iterations >= 3) r += layer(3, EXAMPLE_LAYER_3);
  r += closing("0.000000E+00", "0.000000E+00", "0.000000E+00");
  return r;
}

// Standard output once every record's line end has been written.
inline std::string bytes(const Records& records) {
  std::string out;
  for (const std::string& b : records) out += b + "\r\n";
  return out;
}

}  // namespace laplace::testing::dialogue
