#!/usr/bin/env bash
# The same bytes from every compiler and processor: the program built by GCC
# and by Clang, for x86-64 and for aarch64 (run under qemu-user), must print
# identical output for every scripted session. The test suites run in the
# plain Clang build and in both aarch64 builds; GCC's x86-64 suite ran in the
# test command, and the sanitizer step runs it once more under Clang.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
exec bash "$top/tools/compare-builds.sh" --suite clang-x86_64 --suite gcc-aarch64 --suite clang-aarch64
