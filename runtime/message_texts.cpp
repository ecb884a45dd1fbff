#include "runtime/message_texts.h"

#include <array>

#include "runtime/error_numbers.h"

namespace laplace::runtime {
namespace {

struct Text {
  std::int32_t index;
  std::string_view text;
};

// The messages the program can raise, worded for the person at the prompt.
constexpr std::array<Text, 18> RAISED{{
    {message::INTEGER_OUT_OF_RANGE,
     "the whole number typed is too large: it must lie between -2147483648 and 2147483647"},
    {message::INTEGER_BAD_CHARACTER,
     "a whole number was expected, but the answer holds a character that is not a digit"},
    {message::REAL_BEYOND_DOUBLE, "the number typed is too large to be held at all"},
    {message::REAL_NOT_A_NUMBER, "a number was expected, but the answer is not one"},
    {message::REAL_BEYOND_SINGLE,
     "the number typed is too large: its size must not exceed 3.402823E+38"},
    {message::SECOND_RADIX_MARK, "a whole number may hold only one # between its base and its digits"},
    {message::BAD_BASE, "the base before # must be from 2 to 36"},
    {message::LINE_TOO_LONG, "the line typed is too long: at most 130 characters fit"},
    {message::ACCESS_DENIED, "the output could not be written: access was denied"},
    {message::DEVICE_FULL, "the output could not be written: the disk or device is full"},
    {message::READ_FAILED, "the answer could not be read from the input"},
    {message::END_OF_INPUT, "the input ended before the answer was given"},
    {message::BAD_REPEAT_COUNT, "a repeat count before * must be a whole number above 0"},
    {message::SECOND_REPEAT_COUNT, "an answer may hold only one repeat count (one *)"},
    {message::QUOTED_NUMBER, "a number was expected, but the answer is in quotes or parentheses"},
    {message::COMPLEX_WITHOUT_COMMA, "a pair of numbers in parentheses needs a comma between them"},
    {message::LOGICAL_NOT_T_OR_F, "a true or false answer must begin with T or F"},
    {message::NO_MEMORY_FOR_UNIT, "there is not enough memory to open the console"},
}};

// Every other index belongs to a facility this program does not use; its text
// says which kind of trouble it is, by the range of its number.
std::string_view generic_text(std::int32_t error_number) {
  if (error_number < 6200) return "a number in the input could not be converted";
  if (error_number < 6300) return "a formatted statement could not be carried out";
  if (error_number < 6400) return "a value in the input is not allowed here";
  if (error_number < 6500) return "the console could not be used as asked";
  if (error_number < 6600) return "the input could not be read as asked";
  if (error_number < 6700) return "a record number or position is not allowed";
  if (error_number < 6970) return "the program ran out of a resource it needs";
  return "the program met a condition it cannot handle";
}

}  // namespace

std::string_view message_text(std::int32_t message_index) {
  if (message_index < 0 || message_index >= MESSAGE_COUNT) return {};
  for (const Text& t : RAISED) {
    if (t.index == message_index) return t.text;
  }
  return generic_text(error_number_of(message_index));
}

}  // namespace laplace::runtime
