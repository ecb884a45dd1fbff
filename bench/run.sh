#!/usr/bin/env bash
# Speed and memory of laplace, measured side by side against the least that
# the system allows:
#
#  1. the micro-benchmarks (real editing, the conversions of typed answers,
#     the layout of a point record);
#  2. a 1000-layer session with standard output to a file and to /dev/null,
#     against bench/floor.c, which writes the same bytes with one write(2)
#     per record and computes nothing; the writes per record (strace) and the
#     peak resident set (/usr/bin/time -v, and the process's own VmHWM read
#     by bench/peak.c) of both;
#  3. the start-up cost: a session that ends at the first continue prompt,
#     against an empty C program;
#  4. scaling: 1,000, 10,000 and 100,000 layers, time and peak memory;
#  5. user-space instruction counts (callgrind), which do not depend on the
#     load of the machine.
#
# The program is measured in three link forms, each against a floor and an
# empty program linked the same way:
#   dynamic     as the project builds it (the C++ run-time linked in, the C
#               library shared), against the floor and the empty program
#               linked dynamically; the targets are this form's;
#   static-cxx  -static-libstdc++ -static-libgcc (libc still shared), against
#               the same dynamic floor and empty program;
#   static      -static -Wl,--gc-sections, objects built with
#               -ffunction-sections -fdata-sections, against the floor and the
#               empty program linked with -static.
# Every form is checked to print the same bytes as the others.
#
# Environment: RUNS (interleaved runs per comparison, default 31), STARTS
# (starts per run in the start-up comparison, default 20), REPS (repetitions
# of each micro-benchmark, default 9), CXX and CC (compilers), SKIP_MICRO=1,
# SKIP_CALLGRIND=1. Scratch files and the summary go to build/bench-run.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RUNS=${RUNS:-31}
STARTS=${STARTS:-20}
REPS=${REPS:-9}
CC=${CC:-cc}
jobs=2
work="$top/build/bench-run"
mkdir -p "$work"
summary="$work/summary.md"
tsv="$work/runner.tsv"
: >"$tsv"

"$top/scripts/install-deps.sh" "$top/scripts/packages.txt" "$top/scripts/packages-bench.txt" </dev/null >&2

say() { printf '\n== %s\n' "$*"; }
calc() { awk "BEGIN {printf \"%.6f\", $1}"; }
# median, min and max of the numbers on standard input, one a line
spread() { sort -n | awk '{v[NR]=$1} END {m = NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2; printf "%s %s %s\n", m, v[1], v[NR]}'; }
# a figure of the runner for a command: 2-4 time median/min/max, 5-7 ratio median/min/max
figure() { awk -F'\t' -v n="$1" -v f="$2" '$1==n {v=$f} END {print v}' "$tsv"; }

# --- builds -------------------------------------------------------------------
say "builds"
variants=(dynamic static-cxx static)
declare -A build_dir=(
  [dynamic]="$top/build/bench-release"
  [static-cxx]="$top/build/bench-static-cxx"
  [static]="$top/build/bench-static")
declare -A link_flags=(
  [dynamic]=""
  [static-cxx]="-static-libstdc++ -static-libgcc"
  [static]="-static -Wl,--gc-sections")
declare -A cxx_flags=(
  [dynamic]=""
  [static-cxx]=""
  [static]="-ffunction-sections -fdata-sections")
# the floor and the empty program each form is compared with
declare -A c_form=([dynamic]=dyn [static-cxx]=dyn [static]=static)
declare -A laplace
cmake_common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DLAPLACE_TESTS=OFF -DLAPLACE_WERROR=ON)
[ -n "${CXX:-}" ] && cmake_common+=(-DCMAKE_CXX_COMPILER="$CXX")
for v in "${variants[@]}"; do
  dir=${build_dir[$v]}
  cmake -S "$top" -B "$dir" "${cmake_common[@]}" \
    -DCMAKE_CXX_FLAGS="${cxx_flags[$v]}" -DCMAKE_EXE_LINKER_FLAGS="${link_flags[$v]}" \
    </dev/null >"$work/configure.log" 2>&1 || { cat "$work/configure.log" >&2; exit 1; }
  targets=(laplace)
  [ "$v" = dynamic ] && targets+=(laplace_bench)
  cmake --build "$dir" -j "$jobs" --target "${targets[@]}" </dev/null >"$work/build.log" 2>&1 ||
    { tail -40 "$work/build.log" >&2; exit 1; }
  laplace[$v]="$dir/app/laplace"
done
micro="${build_dir[dynamic]}/bench/laplace_bench"

c_flags=(-O2 -std=c11 -Wall -Wextra -Werror)
"$CC" "${c_flags[@]}" -o "$work/runner" "$top/bench/runner.c"
"$CC" "${c_flags[@]}" -o "$work/peak" "$top/bench/peak.c"
for form in dyn static; do
  extra=()
  [ "$form" = static ] && extra=(-static)
  "$CC" "${c_flags[@]}" "${extra[@]}" -o "$work/floor-$form" "$top/bench/floor.c"
  "$CC" "${c_flags[@]}" "${extra[@]}" -o "$work/empty-$form" "$top/bench/empty.c"
done
runner="$work/runner"
for v in "${variants[@]}"; do
  p=${laplace[$v]}
  if ldd "$p" >/dev/null 2>&1; then libs=$(ldd "$p" | awk '/=>/ {printf "%s ", $1}'); else libs="none"; fi
  printf '%-11s %-34s %8s bytes; shared libraries: %s\n' "$v" "${p#"$top"/}" "$(stat -c %s "$p")" "$libs"
done

# --- sessions -------------------------------------------------------------------
# dx 0.1, dy 0.3; lower, right and left 0, upper 100; Y, Y; the count; D.
for n in 1000 10000 100000; do
  printf '0.1 0.3\n0\n0\n0\n100\nY\nY\n%s\nD\n' "$n" >"$work/layers-$n.in"
done
# Ends at the first continue prompt.
printf '1 1\n0\n0\n0\n100\nn\n' >"$work/short.in"

# The record stream the floor writes is the program's own output; every
# link form and the floor must print exactly those bytes.
for n in 1000 10000 100000; do
  "${laplace[dynamic]}" <"$work/layers-$n.in" >"$work/layers-$n.stream"
  for v in static-cxx static; do
    "${laplace[$v]}" <"$work/layers-$n.in" | cmp -s - "$work/layers-$n.stream" ||
      { echo "the $v build prints other bytes for $n layers" >&2; exit 1; }
  done
  for form in dyn static; do
    "$work/floor-$form" "$work/layers-$n.stream" </dev/null | cmp -s - "$work/layers-$n.stream" ||
      { echo "the floor prints other bytes for $n layers" >&2; exit 1; }
  done
done
stream="$work/layers-1000.stream"
in1000="$work/layers-1000.in"
records=$(tr -cd '\n' <"$stream" | wc -c)

# --- 1. micro-benchmarks ---------------------------------------------------------
if [ "${SKIP_MICRO:-0}" != 1 ]; then
  say "micro-benchmarks ($REPS repetitions each, randomly interleaved; ns per call)"
  "$micro" --benchmark_repetitions="$REPS" --benchmark_min_time=0.1 \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
    --benchmark_time_unit=ns --benchmark_color=false 2>/dev/null >"$work/micro-full.txt"
  # Rows "name_median  12.3 ns  12.2 ns  reps  counters...": the wall time.
  awk '$3 == "ns" && match($1, /_(median|min|max)$/) {
      base=substr($1, 1, RSTART-1); kind=substr($1, RSTART+1)
      if (!(base in seen)) { seen[base]=1; order[++n]=base }
      t[base, kind]=$2
    }
    END {
      printf "%-42s %9s %9s %9s\n", "benchmark", "median", "min", "max"
      for (i=1; i<=n; i++) { b=order[i]; printf "%-42s %9.1f %9.1f %9.1f\n", b, t[b,"median"], t[b,"min"], t[b,"max"] }
    }' "$work/micro-full.txt" | (read -r h; echo "$h"; sort) | tee "$work/micro.txt"
  awk '$1 ~ /_median$/ && /writes_per_record=/ {
      for (i = 1; i <= NF; i++) if ($i ~ /^writes_per_record=/) printf "%s: %s\n", substr($1, 1, length($1) - 7), $i
    }' "$work/micro-full.txt"
fi

# --- 2. the 1000-layer session ------------------------------------------------------
say "1000-layer session against the floor ($RUNS interleaved runs; us per session)"
args=()
for v in "${variants[@]}"; do
  f="$work/floor-${c_form[$v]}"
  args+=(-- "floor-$v-file" "$in1000" "$work/floor.out" "$f" "$stream")
  args+=(-- "laplace-$v-file" "$in1000" "$work/laplace.out" "${laplace[$v]}")
  args+=(-- "floor-$v-null" "$in1000" /dev/null "$f" "$stream")
  args+=(-- "laplace-$v-null" "$in1000" /dev/null "${laplace[$v]}")
done
RUNNER_TSV="$tsv" "$runner" "$RUNS" 1 "${args[@]}"

say "writes per record, 1000-layer session ($records records)"
write_sizes() { # program [args]: the size of each write to standard output, in order
  strace -f -e trace=write -e signal=none -o "$work/strace.log" "$@" <"$in1000" >/dev/null
  awk '/write\(1,/ {print $NF}' "$work/strace.log"
}
write_sizes "$work/floor-dyn" "$stream" >"$work/writes-floor.txt"
printf '%-16s %8s %8s %11s   %s\n' "program" "writes" "records" "per record" "write sizes"
for p in floor "${variants[@]}"; do
  if [ "$p" = floor ]; then
    cmd=("$work/floor-dyn" "$stream")
  else
    cmd=("${laplace[$p]}")
    write_sizes "${cmd[@]}" >"$work/writes-$p.txt"
  fi
  strace -f -c -e trace=write -o "$work/strace.txt" "${cmd[@]}" <"$in1000" >/dev/null
  w=$(awk '$NF=="write" {print $4}' "$work/strace.txt")
  if [ "$p" = floor ]; then same="(the reference)"
  elif cmp -s "$work/writes-$p.txt" "$work/writes-floor.txt"; then same="the floor's, size for size"
  else same="DIFFERENT from the floor's"; fi
  printf '%-16s %8s %8s %11.5f   %s\n' "$p" "$w" "$records" "$(calc "$w / $records")" "$same"
  printf -v "writes_${p//-/_}" '%s' "$w"
  printf -v "same_${p//-/_}" '%s' "$same"
done
echo "(the one write beyond the record count is the last record's line end, written at exit)"

say "peak resident set, KiB ($RUNS interleaved runs; median, min, max)"
echo "time: /usr/bin/time -v \"Maximum resident set size\"; own: the process's VmHWM at exit (bench/peak.c)"
rss_names=()
for v in "${variants[@]}"; do rss_names+=("laplace-$v-file" "laplace-$v-null"); done
rss_names+=(floor-dyn floor-static empty-dyn empty-static)
rss_command() { # name: sets cmd, out and in
  in=$in1000; out=/dev/null
  case $1 in
    laplace-*-file) out="$work/rss.out" ;;
  esac
  case $1 in
    laplace-*) local v=${1#laplace-}; v=${v%-*}; cmd=("${laplace[$v]}") ;;
    floor-*) cmd=("$work/$1" "$stream") ;;
    empty-*) cmd=("$work/$1") ;;
  esac
}
for name in "${rss_names[@]}"; do : >"$work/rss-time-$name"; : >"$work/rss-own-$name"; done
for ((r = 0; r < RUNS; r++)); do
  for name in "${rss_names[@]}"; do
    rss_command "$name"
    /usr/bin/time -v "${cmd[@]}" <"$in" >"$out" 2>"$work/time.txt"
    awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt" >>"$work/rss-time-$name"
    "$work/peak" "${cmd[@]}" <"$in" >"$out" 2>"$work/peak.txt"
    awk '/^VmHWM/ {print $2}' "$work/peak.txt" >>"$work/rss-own-$name"
  done
done
printf '%-24s %22s %22s\n' "program (1000 layers)" "time: median min max" "own: median min max"
for name in "${rss_names[@]}"; do
  t=$(spread <"$work/rss-time-$name")
  o=$(spread <"$work/rss-own-$name")
  printf '%-24s %22s %22s\n' "$name" "$t" "$o"
  printf -v "rss_time_${name//-/_}" '%s' "$t"
  printf -v "rss_own_${name//-/_}" '%s' "$o"
done

# --- 3. start-up -----------------------------------------------------------------------
say "start-up to exit of a short session against an empty C program ($RUNS runs of $STARTS starts; us per start)"
args=()
for v in "${variants[@]}"; do
  args+=(-- "empty-$v" "$work/short.in" /dev/null "$work/empty-${c_form[$v]}")
  args+=(-- "laplace-$v-short" "$work/short.in" /dev/null "${laplace[$v]}")
done
RUNNER_TSV="$tsv" "$runner" "$RUNS" "$STARTS" "${args[@]}"

# --- 4. scaling ----------------------------------------------------------------------
say "scaling: layers against time and peak memory (output to /dev/null)"
for n in 1000 10000 100000; do
  runs=$RUNS
  [ "$n" -ge 10000 ] && runs=$(((RUNS + 2) / 3))
  [ "$n" -ge 100000 ] && runs=$(((RUNS + 5) / 6))
  [ "$runs" -lt 3 ] && runs=3
  echo "-- $n layers ($runs runs)"
  args=()
  for v in "${variants[@]}"; do
    args+=(-- "floor-$v-$n" "$work/layers-$n.in" /dev/null "$work/floor-${c_form[$v]}" "$work/layers-$n.stream")
    args+=(-- "laplace-$v-$n" "$work/layers-$n.in" /dev/null "${laplace[$v]}")
  done
  RUNNER_TSV="$tsv" "$runner" "$runs" 1 "${args[@]}"
  for v in "${variants[@]}"; do
    : >"$work/scale-time-$v-$n"; : >"$work/scale-own-$v-$n"
    for ((r = 0; r < 3; r++)); do
      /usr/bin/time -v "${laplace[$v]}" <"$work/layers-$n.in" >/dev/null 2>"$work/time.txt"
      awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt" >>"$work/scale-time-$v-$n"
      "$work/peak" "${laplace[$v]}" <"$work/layers-$n.in" >/dev/null 2>"$work/peak.txt"
      awk '/^VmHWM/ {print $2}' "$work/peak.txt" >>"$work/scale-own-$v-$n"
    done
  done
done
echo
printf '%-11s %8s %13s %10s %9s %18s %18s\n' "form" "layers" "median us" "us/layer" "to floor" "time KiB (median)" "own KiB (median)"
for v in "${variants[@]}"; do
  for n in 1000 10000 100000; do
    t=$(figure "laplace-$v-$n" 2)
    printf '%-11s %8s %13s %10.3f %9s %18s %18s\n' "$v" "$n" "$t" "$(calc "$t / $n")" \
      "$(figure "laplace-$v-$n" 5)" "$(spread <"$work/scale-time-$v-$n" | cut -d' ' -f1)" \
      "$(spread <"$work/scale-own-$v-$n" | cut -d' ' -f1)"
  done
done

# --- 5. instruction counts ---------------------------------------------------------------
if [ "${SKIP_CALLGRIND:-0}" != 1 ] && command -v valgrind >/dev/null; then
  say "user-space instructions (callgrind; repeatable)"
  printf '%-18s %16s %12s %18s\n' "program" "1000 layers" "per record" "short session"
  instructions() { # input program [args]
    local in=$1; shift
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" <"$in" >/dev/null 2>"$work/callgrind.txt"
    awk '/Collected :/ {print $NF}' "$work/callgrind.txt"
  }
  for p in "${variants[@]}" floor-dyn floor-static empty-dyn empty-static; do
    case $p in
      floor-*) cmd=("$work/$p" "$stream") ;;
      empty-*) cmd=("$work/$p") ;;
      *) cmd=("${laplace[$p]}") ;;
    esac
    i=$(instructions "$in1000" "${cmd[@]}")
    short=-
    case $p in floor-*) ;; *) short=$(instructions "$work/short.in" "${cmd[@]}") ;; esac
    printf '%-18s %16s %12.0f %18s\n' "$p" "$i" "$(calc "$i / $records")" "$short"
  done
fi

# --- summary ------------------------------------------------------------------------------
say "targets"
verdict() { if awk "BEGIN {exit !($1)}"; then echo met; else echo MISSED; fi; }
# The targets are the shipped program's, the dynamic form; the other link
# forms are shown beside it for comparison.
judge() { # form condition
  if [ "$1" = dynamic ]; then verdict "$2"; else echo "($(verdict "$2" | tr 'A-Z' 'a-z'); another link form)"; fi
}
ratio_row() { # label command target form
  local m lo hi
  m=$(figure "$2" 5); lo=$(figure "$2" 6); hi=$(figure "$2" 7)
  printf '| %s | %s | %s | %s | at most %s | %s |\n' "$1" "$m" "$lo" "$hi" "$3" "$(judge "$4" "$m <= $3")"
}
{
  echo "| measure | median | min | max | target | |"
  echo "| --- | ---: | ---: | ---: | --- | --- |"
  for v in "${variants[@]}"; do
    ratio_row "1000 layers to a file, $v, time to the floor's" "laplace-$v-file" 1.15 "$v"
    ratio_row "1000 layers to /dev/null, $v, time to the floor's" "laplace-$v-null" 1.15 "$v"
  done
  for v in "${variants[@]}"; do
    w="writes_${v//-/_}"; s="same_${v//-/_}"
    printf '| writes per record, %s (%s writes, %s records) | %.5f | | | at most 1, as the floor (%s writes) | %s |\n' \
      "$v" "${!w}" "$records" "$(calc "${!w} / $records")" "$writes_floor" \
      "$([ "${!s}" = "the floor's, size for size" ] && echo "met: the floor's writes" || echo MISSED)"
  done
  if [ -s "$work/micro.txt" ]; then
    for b in edit_real_random edit_real_grid; do
      read -r _ m lo hi < <(awk -v b="$b" '$1==b' "$work/micro.txt")
      printf '| %s, ns per value | %s | %s | %s | at most 100 | %s |\n' "$b" "$m" "$lo" "$hi" "$(verdict "$m <= 100")"
    done
    for b in convert_real_text/0.25 convert_real_text/0.1 convert_real_text/1.5D0 convert_real_text/100; do
      read -r _ m lo hi < <(awk -v b="$b" '$1==b' "$work/micro.txt")
      printf '| %s, ns | %s | %s | %s | at most 60 | %s |\n' "$b" "$m" "$lo" "$hi" "$(verdict "$m <= 60")"
    done
  fi
  for v in "${variants[@]}"; do
    ratio_row "start-up to exit of a short session, $v, time to an empty C program's (${c_form[$v]})" "laplace-$v-short" 1.3 "$v"
  done
  for v in "${variants[@]}"; do
    for kind in time own; do
      r="rss_${kind}_laplace_${v//-/_}_file"; read -r m lo hi <<<"${!r}"
      label="/usr/bin/time -v"; [ $kind = own ] && label="VmHWM"
      printf '| peak resident set, %s, 1000 layers to a file (%s), KiB | %s | %s | %s | at most 1638 (1.6 MiB) | %s |\n' \
        "$v" "$label" "$m" "$lo" "$hi" "$(judge "$v" "$m <= 1638")"
    done
  done
} | tee "$summary"
echo
echo "(scratch files in ${work#"$top"/}; this table in ${summary#"$top"/})"
