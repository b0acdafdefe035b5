#!/usr/bin/env bash
# Installs what is missing (Qt included), builds, and runs every test twice:
# once plainly and once under AddressSanitizer and UndefinedBehaviorSanitizer.
# The user interface tests run on Qt's offscreen platform when there is no
# display.
#
# ./test.sh --screens instead runs only the screenshot gallery (tests/ui) on a
# virtual X display and leaves its PNGs in build/screens/.
set -euo pipefail
cd "$(dirname "$0")"
# Paths below the checkout are hashed relative to it, so a fresh clone in
# another folder still finds what an earlier build put in the compiler cache.
export CCACHE_BASEDIR="$PWD"
if [ "${1:-}" = --screens ]; then
  scripts/deps.sh screens
  cmake -S . -B build/test -G Ninja -DVEXA_BUILD_APP=ON -DCMAKE_BUILD_TYPE=Release \
    "-DCMAKE_CXX_FLAGS_RELEASE=-O2" -DCMAKE_UNITY_BUILD=ON >/dev/null
  cmake --build build/test -j "$(nproc)" --target test_ui
  mkdir -p build/screens
  VEXA_SCREENS="$PWD/build/screens" xvfb-run -a -s "-screen 0 1280x1024x24" build/test/tests/ui/test_ui
  echo "Screenshots: build/screens/"
  exit 0
fi
scripts/deps.sh app
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DVEXA_BUILD_APP=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

# Both builds compile each folder's files in batches (unity build), which keeps
# the run short on small machines; file-local names must therefore not repeat
# across the files of one folder. (A header that a file uses without including
# it can hide behind the file batched before it: the plain build's test
# files_compile_alone compiles every header on its own, and
# -DCMAKE_UNITY_BUILD=OFF builds every file on its own.)
echo "== plain build"
run_suite build/test -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2" -DCMAKE_UNITY_BUILD=ON
echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build/asan -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g1" -DVEXA_SANITIZE=ON \
    -DCMAKE_UNITY_BUILD=ON
