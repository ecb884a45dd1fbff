// Message indices and the error numbers they stand for.
#pragma once

#include <array>
#include <cstdint>

namespace laplace::runtime {

inline constexpr int MESSAGE_COUNT = 220;

// Error number = 6000 + ErrorNumberTable[message index].
using ErrorNumberTable = std::array<std::int16_t, MESSAGE_COUNT>;
extern const ErrorNumberTable ERROR_NUMBER_TABLE;

// Four digits for every valid index.
std::int32_t error_number_of(std::int32_t message_index);

// The indices the program raises.
namespace message {
inline constexpr std::int32_t INTEGER_OUT_OF_RANGE = 4;   // 6100
inline constexpr std::int32_t INTEGER_BAD_CHARACTER = 5;  // 6101
inline constexpr std::int32_t REAL_BEYOND_DOUBLE = 6;     // 6102
inline constexpr std::int32_t REAL_NOT_A_NUMBER = 7;      // 6103
inline constexpr std::int32_t REAL_BEYOND_SINGLE = 8;     // 6104
inline constexpr std::int32_t SECOND_RADIX_MARK = 28;     // 6302
inline constexpr std::int32_t BAD_BASE = 29;              // 6303
inline constexpr std::int32_t LINE_TOO_LONG = 53;         // 6407
inline constexpr std::int32_t ACCESS_DENIED = 67;         // 6421
inline constexpr std::int32_t DEVICE_FULL = 68;           // 6422
inline constexpr std::int32_t READ_FAILED = 72;           // 6500
inline constexpr std::int32_t END_OF_INPUT = 73;          // 6501
inline constexpr std::int32_t BAD_REPEAT_COUNT = 74;      // 6502
inline constexpr std::int32_t SECOND_REPEAT_COUNT = 75;   // 6503
inline constexpr std::int32_t QUOTED_NUMBER = 76;         // 6504
inline constexpr std::int32_t COMPLEX_WITHOUT_COMMA = 78; // 6506
inline constexpr std::int32_t LOGICAL_NOT_T_OR_F = 79;    // 6507
inline constexpr std::int32_t NO_MEMORY_FOR_UNIT = 92;    // 6700
}  // namespace message

}  // namespace laplace::runtime
