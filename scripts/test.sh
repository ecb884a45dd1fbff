#!/usr/bin/env bash
# Builds everything and runs every test. LAPLACE_SANITIZE=1 builds the same
# tests with AddressSanitizer and UndefinedBehaviorSanitizer; CXX chooses the
# compiler (g++ by default).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/install-deps.sh" </dev/null
compiler=${CXX:-g++}
sanitize=${LAPLACE_SANITIZE:-0}
dir="$top/build/test-$(basename "$compiler")"
[ "$sanitize" = 1 ] && dir="$dir-sanitize"
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLAPLACE_WERROR=ON \
  -DLAPLACE_SANITIZE="$([ "$sanitize" = 1 ] && echo ON || echo OFF)" </dev/null >/dev/null
cmake --build "$dir" </dev/null
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" </dev/null
