# Warnings and the floating-point contract every target is built under.
add_library(laplace_flags INTERFACE)
target_compile_options(laplace_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
  # A fused multiply-add rounds once where the results are defined with two
  # roundings; the printed digits depend on it.
  -ffp-contract=off
  -fno-fast-math)
if(LAPLACE_WERROR)
  target_compile_options(laplace_flags INTERFACE -Werror)
endif()
if(LAPLACE_SANITIZE)
  target_compile_options(laplace_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(laplace_flags INTERFACE -fsanitize=address,undefined)
endif()
