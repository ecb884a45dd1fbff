#!/usr/bin/env bash
# Checks that laplace installs like a native tool, from a configured and
# built CMake build directory:
#   1. `cmake --install` into a scratch prefix gives bin/laplace (which runs)
#      and the manual page in share/man/man1;
#   2. the manual page renders without a single warning (groff -ww, man -l,
#      and mandoc's lint when mandoc is there);
#   3. cpack builds the Debian package and lintian finds no error in it;
#   4. with --dpkg, or by default when run as root with CI=true: dpkg -i
#      installs the package, `laplace` runs from PATH, `man -w laplace`
#      finds the page, and dpkg -r removes every file again.
# --no-dpkg never does step 4.
set -euo pipefail
# Nothing here reads the caller's standard input.
exec </dev/null

usage() {
  echo "usage: $(basename "$0") [--dpkg | --no-dpkg] BUILD_DIR"
}

dpkg_mode=auto
while [ $# -gt 0 ]; do
  case "$1" in
    --dpkg) dpkg_mode=yes ;;
    --no-dpkg) dpkg_mode=no ;;
    -h | --help) usage; exit 0 ;;
    -*) usage >&2; exit 2 ;;
    *) break ;;
  esac
  shift
done
[ $# -eq 1 ] || { usage >&2; exit 2; }
[ -f "$1/CMakeCache.txt" ] || { echo "$1 is not a CMake build directory" >&2; exit 2; }
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_page="$here/../man/laplace.1"

title="THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION"
# Spacings 1 and 1, boundary values 0, 0, 0 and 100, then "n" at the first
# continue prompt, which ends the program normally.
answers=$'1 1\n0\n0\n0\n100\nn\n'

work=$(mktemp -d "${TMPDIR:-/tmp}/laplace-check-install.XXXXXX")
installed_by_us=0
cleanup() {
  if [ "$installed_by_us" = 1 ]; then
    dpkg -r laplace >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "check-install: FAIL: $*" >&2
  exit 1
}
step() {
  echo "== $*"
}
need() {
  command -v "$1" >/dev/null || fail "$1 is not installed (scripts/install-deps.sh installs it)"
}

# Runs PROGRAM with the answers above: it must end with status 0, and its
# output must start with the title.
check_runs() {
  local program=$1 status=0
  # The time limit only keeps a hanging program from blocking the check.
  printf '%s' "$answers" | timeout 60 "$program" >"$work/run.out" 2>"$work/run.err" || status=$?
  [ "$status" -eq 0 ] || { cat "$work/run.err" >&2; fail "$program ended with status $status, not 0"; }
  [ "$(head -c ${#title} "$work/run.out")" = "$title" ] ||
    fail "$program did not start its output with the title line"
}

# A check of its own for a stripped program: no symbol table, no debug
# sections.
check_stripped() {
  if readelf -S --wide "$1" | grep -Eq '\.(symtab|debug_[a-z]+) '; then
    fail "$1 is not stripped"
  fi
}

need cmake
need cpack
need groff
need man
need lintian
need dpkg-deb
need readelf

step "cmake --install into a scratch prefix"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install failed"; }
[ -f "$prefix/bin/laplace" ] && [ -x "$prefix/bin/laplace" ] || fail "bin/laplace is missing or not executable"
if [ -f "$prefix/share/man/man1/laplace.1.gz" ]; then
  installed_page="$prefix/share/man/man1/laplace.1.gz"
  gzip -dc "$installed_page" >"$work/laplace.1"
elif [ -f "$prefix/share/man/man1/laplace.1" ]; then
  installed_page="$prefix/share/man/man1/laplace.1"
  cp "$installed_page" "$work/laplace.1"
else
  fail "share/man/man1/laplace.1 (or .1.gz) is missing"
fi
cmp -s "$work/laplace.1" "$source_page" || fail "the installed manual page differs from man/laplace.1"
check_runs "$prefix/bin/laplace"
echo "installed: $(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"

step "manual page lint"
groff -ww -man -z "$work/laplace.1" 2>"$work/groff.err" || true
[ ! -s "$work/groff.err" ] || { cat "$work/groff.err" >&2; fail "groff -ww -man warns about the manual page"; }
MANWIDTH=80 man --warnings -l "$installed_page" >/dev/null 2>"$work/man.err" || true
[ ! -s "$work/man.err" ] || { cat "$work/man.err" >&2; fail "man -l warns about the manual page"; }
if command -v mandoc >/dev/null; then
  mandoc -T lint -W all "$work/laplace.1" >"$work/mandoc.out" 2>&1 || true
  [ ! -s "$work/mandoc.out" ] || { cat "$work/mandoc.out" >&2; fail "mandoc -T lint reports on the manual page"; }
  echo "groff, man and mandoc: no warnings"
else
  echo "groff and man: no warnings (mandoc not installed)"
fi

step "cpack -G DEB"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/deb/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack did not make exactly one .deb"
deb=${debs[0]}
echo "package: $(basename "$deb")"
field() {
  dpkg-deb --field "$deb" "$1"
}
[ "$(field Package)" = laplace ] || fail "the package is not named laplace"
[ "$(field Section)" = math ] || fail "the package's section is not math"
[ "$(field Priority)" = optional ] || fail "the package's priority is not optional"
[ -n "$(field Maintainer)" ] || fail "the package has no maintainer"
[ -n "$(field Depends)" ] || fail "the package's dependencies were not computed"
echo "Depends: $(field Depends)"
dpkg-deb --contents "$deb" | awk '{ print $NF }' | sort >"$work/contents"
for path in ./usr/bin/laplace ./usr/share/man/man1/laplace.1.gz \
  ./usr/share/doc/laplace/copyright ./usr/share/doc/laplace/changelog.Debian.gz; do
  grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done
dpkg-deb --extract "$deb" "$work/unpacked"
check_stripped "$work/unpacked/usr/bin/laplace"
check_runs "$work/unpacked/usr/bin/laplace"

step "lintian"
# Errors fail the check; warnings are shown.
lintian --fail-on error "$deb" >"$work/lintian.out" 2>&1 || { cat "$work/lintian.out" >&2; fail "lintian reports errors"; }
grep -v 'running with root privileges' "$work/lintian.out" || true
echo "lintian: $(grep -c '^E: ' "$work/lintian.out" || true) errors, $(grep -c '^W: ' "$work/lintian.out" || true) warnings"

if [ "$dpkg_mode" = auto ]; then
  dpkg_mode=no
  [ "$(id -u)" -eq 0 ] && [ "${CI:-}" = true ] && dpkg_mode=yes
fi
if [ "$dpkg_mode" = no ]; then
  echo "check-install: passed (without installing the package; --dpkg does that, as root)"
  exit 0
fi

step "dpkg -i, use, dpkg -r"
[ "$(id -u)" -eq 0 ] || fail "installing the package needs root"
if dpkg-query -W -f='${Status}' laplace 2>/dev/null | grep -q 'install ok installed'; then
  echo "note: a laplace package is installed already; this check replaces it and then removes it"
fi
installed_by_us=1
# The include patterns keep the page and the documents even on a system
# whose dpkg configuration leaves out manual pages or documentation.
dpkg -i --path-include='/usr/share/man/man1/laplace.1.gz' --path-include='/usr/share/doc/laplace/*' \
  "$deb" >"$work/dpkg-i.log" 2>&1 || { cat "$work/dpkg-i.log" >&2; fail "dpkg -i failed"; }
dpkg -L laplace >"$work/listed"
program=$(command -v laplace) || fail "laplace is not found in PATH after dpkg -i"
[ "$program" = /usr/bin/laplace ] || fail "laplace from PATH is $program, not /usr/bin/laplace"
check_runs laplace
page=$(man -w laplace 2>/dev/null) || fail "man -w laplace does not find the manual page"
[ "$page" = /usr/share/man/man1/laplace.1.gz ] || fail "man -w laplace finds $page"
echo "installed: $program, $page"

dpkg -r laplace >"$work/dpkg-r.log" 2>&1 || { cat "$work/dpkg-r.log" >&2; fail "dpkg -r failed"; }
installed_by_us=0
left=()
while read -r path; do
  # Directories such as /usr/bin belong to other packages too; a path that
  # is still a regular file or a link is left behind.
  if [ -e "$path" ] || [ -L "$path" ]; then
    [ -d "$path" ] && [ ! -L "$path" ] || left+=("$path")
  fi
done <"$work/listed"
[ -e /usr/share/doc/laplace ] && left+=(/usr/share/doc/laplace)
[ ${#left[@]} -eq 0 ] || fail "dpkg -r left ${left[*]}"
status=$(dpkg-query -W -f='${Status}' laplace 2>/dev/null || true)
case "$status" in *" installed" | *config-files*) fail "after dpkg -r the package is still $status" ;; esac
echo "removed: $(grep -c . "$work/listed") paths listed by dpkg -L, none left"
echo "check-install: passed"
