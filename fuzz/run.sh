#!/usr/bin/env bash
# Builds the fuzz targets with Clang and runs them one after another, each on
# one core, for the given number of seconds (default: an hour each):
#
#   fuzz/run.sh [seconds-per-target] [target ...]
#
# Targets: input_statement real_conversion integer_conversion real_editing
# dialogue (all by default). Each run starts from fuzz/corpus/<target>; new
# inputs go to <dir>/corpus/<target>, crashes to <dir>/artifacts/, the logs to
# <dir>/logs/. <dir> is build/fuzz-run, or LAPLACE_FUZZ_DIR. A found crash
# fails the script after the remaining targets have run.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-3600}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(input_statement real_conversion integer_conversion real_editing dialogue)
dir=${LAPLACE_FUZZ_DIR:-$top/build/fuzz-run}

start=$SECONDS
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLAPLACE_FUZZ=ON -DLAPLACE_TESTS=OFF -DLAPLACE_WERROR=ON </dev/null >/dev/null
cmake --build "$dir" --target laplace_fuzzers -j 2 </dev/null >/dev/null
echo "fuzz targets built in $((SECONDS - start)) s"

# Longest input and dictionary of each target: value texts hold 260 bytes,
# a real is 4 bytes, statements and sessions are a few lines.
options() {
  case "$1" in
    input_statement) echo "-max_len=1024 -dict=$top/fuzz/dict/answers.dict" ;;
    dialogue) echo "-max_len=2048 -dict=$top/fuzz/dict/answers.dict" ;;
    real_conversion | integer_conversion) echo "-max_len=300 -dict=$top/fuzz/dict/numbers.dict" ;;
    real_editing) echo "-max_len=4" ;;
    *) echo "unknown target $1" >&2; return 1 ;;
  esac
}

mkdir -p "$dir/artifacts" "$dir/logs"
failed=()
for t in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$t"
  log="$dir/logs/$t.log"
  began=$SECONDS
  # shellcheck disable=SC2046
  if ! "$dir/fuzz/${t}_fuzzer" $(options "$t") -max_total_time="$seconds" -timeout=20 \
      -print_final_stats=1 -artifact_prefix="$dir/artifacts/$t-" \
      "$dir/corpus/$t" "$top/fuzz/corpus/$t" </dev/null >"$log" 2>&1; then
    failed+=("$t")
    grep -A8 "check failed\|ERROR:" "$log" | head -40 >&2 || true
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
  echo "$t: ${runs:-?} executions in $((SECONDS - began)) s, ${last:-no coverage line}"
done
echo "fuzzing done in $((SECONDS - start)) s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "crashes in: ${failed[*]} (see $dir/artifacts and $dir/logs)" >&2
  exit 1
fi
