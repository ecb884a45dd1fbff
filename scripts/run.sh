#!/usr/bin/env bash
# Builds the program (if needed) and starts it on this terminal.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/install-deps.sh" </dev/null >&2
cmake -S "$top" -B "$top/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLAPLACE_TESTS=OFF </dev/null >/dev/null
cmake --build "$top/build/release" --target laplace </dev/null >&2
exec "$top/build/release/app/laplace"
