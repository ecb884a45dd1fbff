#!/usr/bin/env bash
# The whole suite again, built by Clang with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
CXX=clang++ LAPLACE_SANITIZE=1 bash scripts/test.sh
