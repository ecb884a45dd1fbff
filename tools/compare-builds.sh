#!/usr/bin/env bash
# Builds the program four ways (GCC and Clang, for x86-64 and for aarch64),
# runs every scripted session of tests/sessions through each build (the
# aarch64 ones under qemu-aarch64), and fails unless standard output,
# standard error and the exit status are identical byte for byte.
#
# It also fails unless the solver, the console I/O and the run-time are
# compiled with -ffp-contract=off and their object files hold no fused
# multiply-add instruction: those round once where the program must round
# twice.
#
# Usage: tools/compare-builds.sh [--suite BUILD]...
#   BUILD is gcc-x86_64, clang-x86_64, gcc-aarch64, clang-aarch64 or all:
#   also builds that build's test suite and runs it (under the emulator for
#   aarch64).
#
# Builds go to build/cross-<BUILD>, GoogleTest for aarch64 to
# build/cross-googletest-aarch64, the session outputs to build/cross-sessions.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
builds=(gcc-x86_64 clang-x86_64 gcc-aarch64 clang-aarch64)
reference=gcc-x86_64
jobs=2
toolchain="$top/cmake/aarch64-linux-gnu.cmake"
qemu=(qemu-aarch64 -L /usr/aarch64-linux-gnu)

declare -A suite=()
while [ $# -gt 0 ]; do
  case "$1" in
    --suite)
      [ $# -ge 2 ] || { echo "--suite needs a build name" >&2; exit 2; }
      if [ "$2" = all ]; then
        for b in "${builds[@]}"; do suite[$b]=1; done
      elif [[ " ${builds[*]} " == *" $2 "* ]]; then
        suite[$2]=1
      else
        echo "unknown build: $2 (one of: ${builds[*]} all)" >&2
        exit 2
      fi
      shift 2 ;;
    -h|--help) sed -n '2,18p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

"$top/scripts/install-deps.sh" </dev/null

# Runs a command with its output in a log, shown only if it fails.
quietly() {
  local log
  log=$(mktemp)
  if ! "$@" </dev/null >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "FAIL: $*" >&2
    exit 1
  fi
  rm -f "$log"
}

dir_of() { echo "$top/build/cross-$1"; }
arch_of() { echo "${1#*-}"; }
compiler_of() {
  case "$1" in
    gcc-x86_64) echo g++ ;;
    gcc-aarch64) echo aarch64-linux-gnu-g++ ;;
    clang-*) echo clang++ ;;  # the toolchain file gives it the target
  esac
}

# GoogleTest for aarch64, from the sources Debian ships, once for both
# aarch64 builds (Clang's code links against GCC's libstdc++ either way, as
# it does with the system's own GoogleTest on x86-64).
googletest_dir="$top/build/cross-googletest-aarch64"
googletest_config="$googletest_dir/install/lib/cmake/GTest"
build_googletest() {
  [ -f "$googletest_config/GTestConfig.cmake" ] && return 0
  echo "-- GoogleTest for aarch64"
  quietly cmake -S /usr/src/googletest -B "$googletest_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$googletest_dir/install"
  quietly cmake --build "$googletest_dir" --target install -j "$jobs"
}

configure_and_build() {
  local build=$1 dir arch tests=OFF targets=(app/all)
  dir=$(dir_of "$build")
  arch=$(arch_of "$build")
  if [ -n "${suite[$build]:-}" ]; then
    tests=ON
    targets+=(tests/all)
  fi
  # The build type of the package and of the test command.
  local args=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLAPLACE_WERROR=ON -DLAPLACE_TESTS=$tests
              -DCMAKE_CXX_COMPILER="$(compiler_of "$build")")
  if [ "$arch" = aarch64 ]; then
    args+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
    if [ $tests = ON ]; then
      build_googletest
      args+=(-DGTest_DIR="$googletest_config")
    fi
  fi
  echo "-- $build: building (tests $tests)"
  quietly cmake -S "$top" -B "$dir" "${args[@]}"
  quietly cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
}

# Fused multiply-add and its vector forms, as each objdump prints them.
fused_pattern() {
  case "$1" in
    aarch64) echo '[[:space:]](fmadd|fmsub|fnmadd|fnmsub|fmla|fmls)[[:space:]]' ;;
    x86_64) echo '[[:space:]]v?fn?m(add|sub|addsub|subadd)[0-9]*[ps][sd][[:space:]]' ;;
  esac
}
objdump_of() { case "$1" in aarch64) echo aarch64-linux-gnu-objdump ;; x86_64) echo objdump ;; esac; }

# Whether `objdump -d` shows a fused instruction in an object file (a failing
# objdump ends the script).
has_fused() {
  local listing
  listing=$("$(objdump_of "$1")" -d "$2") || { echo "FAIL: cannot disassemble $2" >&2; exit 1; }
  grep -Eq "$(fused_pattern "$1")" <<<"$listing"
}

# The check must be able to see what it looks for: a*b+c compiled with
# contraction allowed has to show a fused instruction (on x86-64 only where
# FMA is enabled).
check_fused_detection() {
  local tmp arch ok=1
  tmp=$(mktemp -d)
  printf 'double f(double a, double b, double c) { return a * b + c; }\n' >"$tmp/fma.cpp"
  aarch64-linux-gnu-g++ -O2 -ffp-contract=fast -c "$tmp/fma.cpp" -o "$tmp/aarch64.o"
  g++ -O2 -mfma -ffp-contract=fast -c "$tmp/fma.cpp" -o "$tmp/x86_64.o"
  for arch in aarch64 x86_64; do
    has_fused $arch "$tmp/$arch.o" || ok=0
  done
  rm -rf "$tmp"
  if [ $ok = 0 ]; then
    echo "FAIL: the fused multiply-add check does not recognise a fused instruction" >&2
    exit 1
  fi
}

check_no_fused() {
  local build=$1 dir arch found=0 objects
  dir=$(dir_of "$build")
  arch=$(arch_of "$build")
  mapfile -t objects < <(find "$dir/solver" "$dir/console_io" "$dir/runtime" -name '*.o' | sort)
  if [ ${#objects[@]} -eq 0 ]; then
    echo "FAIL: $build: no object files found to check" >&2
    exit 1
  fi
  for o in "${objects[@]}"; do
    if has_fused "$arch" "$o"; then
      echo "FAIL: $build: ${o#"$dir"/} holds fused multiply-add instructions" >&2
      found=1
    fi
  done
  [ $found = 0 ] || exit 1
}

# Every compile command of the arithmetic's sources must end up with
# -ffp-contract=off (the last -ffp-contract= on a command line wins).
check_contract_flag() {
  local build=$1 dir commands line last seen=0 bad=0
  dir=$(dir_of "$build")
  commands=$(ninja -C "$dir" -t commands app/laplace)
  while IFS= read -r line; do
    case "$line" in
      *" -c "*/solver/*.cpp|*" -c "*/console_io/*.cpp|*" -c "*/runtime/*.cpp) ;;
      *) continue ;;
    esac
    seen=$((seen + 1))
    last=$(grep -o -- '-ffp-contract=[a-z-]*' <<<"$line" | tail -n 1 || true)
    if [ "$last" != "-ffp-contract=off" ]; then
      echo "FAIL: $build compiles ${line##* } with ${last:-no -ffp-contract option}" >&2
      bad=1
    fi
  done <<<"$commands"
  if [ $seen = 0 ]; then
    echo "FAIL: $build: no compile commands of the solver, console I/O or run-time found" >&2
    exit 1
  fi
  [ $bad = 0 ] || exit 1
}

run_suite() {
  local build=$1 dir
  dir=$(dir_of "$build")
  echo "-- $build: test suite"
  if [ "$(arch_of "$build")" = aarch64 ] && [ ! -e "$dir/tests/laplace-launcher" ]; then
    # The end-to-end tests start the program by its path; an aarch64 program
    # needs the emulator's launcher for that. Without it, the groups that run
    # the program in-process.
    echo "   (no launcher for the emulated program: the in-process bit tests only)"
    local log="$dir/suite.log"
    if ! "${qemu[@]}" "$dir/tests/sweeps_bits_test" </dev/null >"$log" 2>&1; then
      cat "$log" >&2
      echo "FAIL: $build: sweeps_bits_test" >&2
      exit 1
    fi
    grep -E '^\[  PASSED  \]' "$log" | sed 's/^/   /'
  else
    local log="$dir/suite.log"
    if ! ctest --test-dir "$dir/tests" --output-on-failure -j "$jobs" </dev/null >"$log" 2>&1; then
      cat "$log" >&2
      echo "FAIL: $build: test suite" >&2
      exit 1
    fi
    grep -E 'tests passed|Total Test time' "$log" | sed 's/^/   /'
  fi
}

sessions=("$top"/tests/sessions/*.txt)
[ -e "${sessions[0]}" ] || { echo "FAIL: no sessions in tests/sessions" >&2; exit 1; }
out_root="$top/build/cross-sessions"

run_sessions() {
  local build=$1 dir out runner=()
  dir=$(dir_of "$build")
  out="$out_root/$build"
  rm -rf "$out"
  mkdir -p "$out"
  [ "$(arch_of "$build")" = aarch64 ] && runner=("${qemu[@]}")
  for s in "${sessions[@]}"; do
    local name status=0
    name=$(basename "$s" .txt)
    "${runner[@]}" "$dir/app/laplace" <"$s" >"$out/$name.out" 2>"$out/$name.err" || status=$?
    echo "$status" >"$out/$name.status"
  done
}

# The reference build's outputs must be what the sessions are meant to show,
# or identical outputs would prove little.
check_reference_outcomes() {
  local out="$out_root/$reference" bad=0
  for s in "${sessions[@]}"; do
    local name status
    name=$(basename "$s" .txt)
    status=$(cat "$out/$name.status")
    if [[ $name == trap-* ]]; then
      if [ "$status" != 1 ] || ! grep -q 'floating-point error' "$out/$name.err"; then
        echo "FAIL: $name: expected a floating-point error report and status 1, got status $status" >&2
        bad=1
      fi
    elif [ "$status" != 0 ] || [ -s "$out/$name.err" ]; then
      echo "FAIL: $name: expected a normal end, got status $status:" >&2
      head -c 300 "$out/$name.err" >&2
      bad=1
    fi
  done
  [ $bad = 0 ] || exit 1
}

compare_with_reference() {
  local build=$1 bad=0
  for s in "${sessions[@]}"; do
    local name
    name=$(basename "$s" .txt)
    for part in out err status; do
      local a="$out_root/$reference/$name.$part" b="$out_root/$build/$name.$part"
      if ! cmp -s "$a" "$b"; then
        local what="standard output"
        [ $part = err ] && what="standard error"
        [ $part = status ] && what="exit status"
        echo "FAIL: $name: $what of $build differs from $reference:" >&2
        diff <(tr -d '\r' <"$a") <(tr -d '\r' <"$b") | head -8 >&2 || true
        bad=1
      fi
    done
  done
  return $bad
}

check_fused_detection
for b in "${builds[@]}"; do
  start=$SECONDS
  configure_and_build "$b"
  check_contract_flag "$b"
  check_no_fused "$b"
  [ -n "${suite[$b]:-}" ] && run_suite "$b"
  run_sessions "$b"
  echo "   $b done in $((SECONDS - start)) s"
done

check_reference_outcomes
failed=0
for b in "${builds[@]}"; do
  [ "$b" = "$reference" ] && continue
  compare_with_reference "$b" || failed=1
done
if [ $failed != 0 ]; then
  echo "FAIL: the builds do not print the same bytes" >&2
  exit 1
fi
bytes=$(cat "$out_root/$reference"/*.out | wc -c)
echo "-- ${#sessions[@]} sessions, $bytes bytes of output each: identical in ${builds[*]}"
