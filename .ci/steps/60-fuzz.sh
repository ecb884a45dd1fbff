#!/usr/bin/env bash
# A short run of every fuzz target: the seed corpus first, then new inputs,
# under AddressSanitizer and UndefinedBehaviorSanitizer with each target's
# oracle. Any crash or failed check fails the step.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
"$top/scripts/install-deps.sh" </dev/null
rm -rf "$top/build/fuzz-ci"
LAPLACE_FUZZ_DIR="$top/build/fuzz-ci" bash "$top/fuzz/run.sh" "${LAPLACE_FUZZ_SECONDS:-18}"
