// What standard output of the dialogue must look like: record bodies
// separated by CR LF, each one of the dialogue's texts or a record of numbers
// in its fields.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace laplace::fuzz {

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

inline bool all_digits(std::string_view s) {
  for (const char c : s) {
    if (!is_digit(c)) return false;
  }
  return !s.empty();
}

// An integer as printed: digits without leading zeros, "-" before a negative.
inline bool is_printed_integer(std::string_view s) {
  if (!s.empty() && s[0] == '-') s.remove_prefix(1);
  return all_digits(s) && (s.size() == 1 || s[0] != '0') && s.size() <= 10;
}

// A real as edited: fixed form, exponent form, or a special text.
inline bool is_edited_real(std::string_view s) {
  if (s.size() == 13 && s.substr(0, 2) == "1#") {
    for (const std::string_view special : {"1#INF", "1#IND", "1#QNAN", "1#SNAN"}) {
      if (s.substr(0, special.size()) == special &&
          s.find_first_not_of('.', special.size()) == std::string_view::npos) {
        return true;
      }
    }
    return false;
  }
  if (!s.empty() && s[0] == '-') s.remove_prefix(1);
  const std::size_t point = s.find('.');
  if (point == std::string_view::npos || point == 0) return false;
  const std::string_view whole = s.substr(0, point);
  const std::string_view rest = s.substr(point + 1);
  if (!all_digits(whole)) return false;
  if (rest.size() == 6) {  // fixed form, at least 1: no leading zero
    return all_digits(rest) && whole[0] != '0' && whole.size() <= 8;
  }
  return whole.size() == 1 && rest.size() == 10 && all_digits(rest.substr(0, 6)) &&
         rest[6] == 'E' && (rest[7] == '+' || rest[7] == '-') && all_digits(rest.substr(8));
}

// A record of numbers: each field right-aligned in its width, the first
// without a separator blank, the later ones with one.
inline bool is_number_record(std::string_view body, int integers, int reals) {
  for (int k = 0; k < integers + reals; ++k) {
    const bool integer = k < integers;
    const bool first_field = k == 0;
    const std::size_t width = (integer ? 11u : 15u) + (first_field ? 0u : 1u);
    if (body.size() < width) return false;
    std::string_view f = body.substr(0, width);
    body.remove_prefix(width);
    // A later field starts with its separator blank.
    if (!first_field && f[0] != ' ') return false;
    const std::size_t start = f.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    f.remove_prefix(start);
    if (!(integer ? is_printed_integer(f) : is_edited_real(f))) return false;
  }
  return body.empty();
}

// The dialogue's own texts, and its records of numbers: a report point
// (column, row, value), a layer point (layer, column, row, value) and the
// closing record of three reals.
inline bool is_dialogue_record(std::string_view body) {
  static constexpr std::array<std::string_view, 17> TEXTS = {
      "THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION",
      "  ",
      "Input the DX Value and DY Value with space and hit Return:",
      "What is the Lower Boundary Value",
      "What is the Right Boundary Value",
      "What is the Left Boundary Value",
      "What is the Upper Boundary Value",
      "PRESS Y FOR THE PROGRAM TO CONTINUE",
      "How Many Iterations Should be Calculated?",
      "IF YOU WANT TO CHANGE THE DX AND DY VALUE TYPE A",
      "TYPE B FOR CHANGING THE NUMBER OF ITERATIONS",
      "TYPE C FOR STARTING OVER FROM THE BEGINNING WITH TOTALLY NEW VALUES",
      "TYPE D FOR ENDING THE PROGRAM",
      "Input the New Number of Iterations:",
      " ",
      "The Boundary Values of the Grid for Velocity Potential are as Follows:",
      "THE INITIAL VALUES FOR THE GRID BESIDES THE BOUNDARY POINTS ARE",
  };
  for (const std::string_view t : TEXTS) {
    if (body == t) return true;
  }
  return is_number_record(body, 2, 1) || is_number_record(body, 3, 1) || is_number_record(body, 0, 3);
}

// Splits standard output into the bodies between line ends and counts the
// line ends after the last body; false when standard output starts with a
// line end, or a CR or LF stands anywhere but in a CR LF pair after a body.
inline bool split_records(std::string_view out, std::vector<std::string_view>& bodies, int& trailing) {
  bodies.clear();
  trailing = 0;
  while (out.size() >= 2 && out.substr(out.size() - 2) == "\r\n") {
    out.remove_suffix(2);
    ++trailing;
  }
  while (!out.empty()) {
    const std::size_t end = out.find("\r\n");
    const std::string_view body = out.substr(0, end);
    if (body.empty() || body.find_first_of("\r\n") != std::string_view::npos) return false;
    bodies.push_back(body);
    if (end == std::string_view::npos) break;
    out.remove_prefix(end + 2);
    if (out.empty()) return false;
  }
  return !bodies.empty() || trailing == 0;
}

}  // namespace laplace::fuzz
