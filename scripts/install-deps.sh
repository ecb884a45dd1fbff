#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages*.txt (or in the
# files named as arguments) that are not installed yet. Needs root (or sudo) only when
# something is missing.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
lists=("$@")
[ ${#lists[@]} -gt 0 ] || lists=("$here"/packages*.txt)
missing=()
for list in "${lists[@]}"; do
  while read -r pkg _; do
    case "$pkg" in ''|'#'*) continue ;; esac
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done <"$list"
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq </dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
