#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program with the given songs.
set -euo pipefail
# The songs are named from where the script was started: made absolute
# before the change of folder.
args=()
for arg in "$@"; do
  case "$arg" in
    /*) args+=("$arg") ;;
    *) args+=("$PWD/$arg") ;;
  esac
done
cd "$(dirname "$0")"
scripts/deps.sh app
# Paths below the checkout are hashed relative to it, so another clone finds
# what an earlier build put in the compiler cache.
export CCACHE_BASEDIR="$PWD"
# Each folder's files are compiled in batches (unity build), as ./test.sh does:
# far fewer compiler starts on a small machine.
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_BUILD_TESTS=OFF \
  -DCMAKE_UNITY_BUILD=ON >/dev/null
# Only the program and what it is made of: the tools, benchmarks and fuzz
# targets are for ./test.sh. What it loads beside it (the model files and
# "Lib/") is copied into build/run/app/ by the configure step above.
targets=$(cmake --build build/run --target help)
if grep -q '^vexa:' <<<"$targets"; then
  cmake --build build/run -j "$(nproc)" --target vexa
  exec build/run/app/vexa ${args[@]+"${args[@]}"}
fi
cmake --build build/run -j "$(nproc)" --target vexa_app
echo "Built the libraries:"
ls build/run/*/*.a build/run/*.a 2>/dev/null | sed 's/^/  /' || true
echo "The desktop program (build/run/app/vexa) was not built: there is no"
echo "window to start."
