# Refuses, at configure time, a configuration under which the program would
# compute other results: every double operation must round to IEEE double
# precision, every store to a 32-bit real must round to nearest, and no
# operation may be fused, reassociated, approximated or flushed to zero.
#
# Include after project() and after cmake/flags.cmake.
include_guard(GLOBAL)
include(CheckCXXSourceCompiles)

# Flags given from outside (CXXFLAGS, CMAKE_CXX_FLAGS[_<CONFIG>], linker
# flags: -ffast-math at link time brings in code that flushes subnormals).
set(laplace_fp_flag_sets CMAKE_CXX_FLAGS CMAKE_EXE_LINKER_FLAGS)
foreach(laplace_fp_config IN LISTS CMAKE_BUILD_TYPE CMAKE_CONFIGURATION_TYPES)
  string(TOUPPER "${laplace_fp_config}" laplace_fp_config)
  list(APPEND laplace_fp_flag_sets
    CMAKE_CXX_FLAGS_${laplace_fp_config} CMAKE_EXE_LINKER_FLAGS_${laplace_fp_config})
endforeach()

set(laplace_fp_refused
  "-ffast-math" "-Ofast" "-funsafe-math-optimizations" "-fassociative-math"
  "-freciprocal-math" "-ffinite-math-only" "-fno-signed-zeros" "-fapprox-func"
  "-ffp-contract=(fast|on|fast-honor-pragmas)" "-ffp-model=fast"
  "-mfpmath=(387|both|sse\\+387|387\\+sse)" "-mdaz-ftz"
  "-fdenormal-fp-math(-f32)?=(preserve-sign|positive-zero)")
set(laplace_fp_all_flags "")
foreach(laplace_fp_set IN LISTS laplace_fp_flag_sets)
  separate_arguments(laplace_fp_list UNIX_COMMAND "${${laplace_fp_set}}")
  foreach(laplace_fp_flag IN LISTS laplace_fp_list)
    foreach(laplace_fp_pattern IN LISTS laplace_fp_refused)
      if(laplace_fp_flag MATCHES "^${laplace_fp_pattern}$")
        message(FATAL_ERROR
          "${laplace_fp_set} holds ${laplace_fp_flag}, under which the program "
          "computes other digits than the ones it must print. Remove it.")
      endif()
    endforeach()
  endforeach()
  string(APPEND laplace_fp_all_flags " ${${laplace_fp_set}}")
endforeach()

# The target itself: IEEE 32- and 64-bit reals, no excess precision (as on
# 32-bit x86 with x87 arithmetic), no fast-math mode from the compiler's own
# defaults. The result is kept per compiler and flags.
string(MD5 laplace_fp_key "${CMAKE_CXX_COMPILER};${CMAKE_CXX_COMPILER_TARGET};${laplace_fp_all_flags}")
set(CMAKE_REQUIRED_QUIET ON)
check_cxx_source_compiles([[
#include <cfloat>
#include <limits>
static_assert(FLT_EVAL_METHOD == 0, "excess precision");
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "reals are not IEEE 754");
#if defined(__FAST_MATH__) || __FINITE_MATH_ONLY__
#error fast math
#endif
int main() { return 0; }
]] LAPLACE_FP_EXACT_${laplace_fp_key})
unset(CMAKE_REQUIRED_QUIET)
if(NOT LAPLACE_FP_EXACT_${laplace_fp_key})
  message(FATAL_ERROR
    "${CMAKE_CXX_COMPILER} for ${CMAKE_SYSTEM_PROCESSOR} does not compute with plain IEEE "
    "double and single precision (FLT_EVAL_METHOD is not 0, reals are not IEEE 754, or a "
    "fast-math mode is on; a 32-bit x86 target needs -msse2 -mfpmath=sse). The program would "
    "print other digits there.")
endif()

# The warnings-and-contract target of cmake/flags.cmake must keep contraction off.
if(TARGET laplace_flags)
  get_target_property(laplace_fp_options laplace_flags INTERFACE_COMPILE_OPTIONS)
  if(NOT "-ffp-contract=off" IN_LIST laplace_fp_options)
    message(FATAL_ERROR "laplace_flags has lost -ffp-contract=off; a fused multiply-add "
                        "rounds once where the program must round twice.")
  endif()
endif()
