#!/usr/bin/env bash
# The program as it is packaged: a build of its own, `cmake --install`, the
# manual page's lint, the Debian package and lintian, and, as root in CI,
# the round trip dpkg -i, `laplace` and `man -w laplace` from the system,
# dpkg -r with nothing left behind.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
"$top/scripts/install-deps.sh" </dev/null
dir="$top/build/package"
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLAPLACE_TESTS=OFF </dev/null >/dev/null
cmake --build "$dir" </dev/null
bash "$top/packaging/check-install.sh" "$dir" </dev/null
