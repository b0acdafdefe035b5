#!/usr/bin/env bash
# Fails when a library calls up: when it needs a symbol that neither it nor
# the libraries below it define but a library above it does. Such a call links
# only while every program happens to list the upper library after this one.
#
#   CheckBelow.sh NM LIB --below LIB... --above LIB...
#
# Symbols that no library given defines (the C and C++ runtimes, the
# sanitizers' hooks) are left to the linker.
set -euo pipefail
nm=$1 lib=$2
shift 2
below=() above=() into=
for arg in "$@"; do
  case $arg in
    --below|--above) into=$arg ;;
    *) if [ "$into" = --below ]; then below+=("$arg"); else above+=("$arg"); fi ;;
  esac
done
[ ${#above[@]} -gt 0 ] || { echo "CheckBelow.sh: no library above $lib given" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# nm -P: "name type value size" per symbol, "archive[member]:" per member.
# U, w and v are the undefined types; every other type defines the symbol.
undefined() { "$nm" -P -g "$@" | awk 'NF >= 2 && $2 ~ /^[Uwv]$/ { print $1 }' | sort -u; }
defined() { "$nm" -P -g "$@" | awk 'NF >= 2 && $2 !~ /^[Uwv]$/ { print $1 }' | sort -u; }

undefined "$lib" >"$work/needs"
defined "$lib" ${below[@]+"${below[@]}"} >"$work/here"
defined "${above[@]}" >"$work/above"
comm -23 "$work/needs" "$work/here" | comm -12 - "$work/above" >"$work/up"
if [ -s "$work/up" ]; then
  echo "$(basename "$lib") uses symbols that only a library above it defines:"
  if command -v c++filt >/dev/null; then c++filt <"$work/up"; else cat "$work/up"; fi
  exit 1
fi
echo "$(basename "$lib"): no call into ${above[*]##*/}"
