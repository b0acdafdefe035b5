#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program with the given songs.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh app
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_BUILD_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)"
if [ -x build/run/app/vexa ]; then
  exec build/run/app/vexa "$@"
fi
echo "Built the libraries:"
ls build/run/*/*.a build/run/*.a 2>/dev/null | sed 's/^/  /' || true
echo "The desktop program is not built yet: there is no window to start."
