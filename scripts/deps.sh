#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Usage: scripts/deps.sh [app|screens]   ("app" adds the Qt development
# packages, "screens" those and a virtual X display for the screenshots)
set -euo pipefail
want=(cmake ninja-build g++ pkg-config googletest libgtest-dev libbenchmark-dev ccache locales)
if [ "${1:-}" = app ] || [ "${1:-}" = screens ]; then
  want+=(qtbase5-dev qtbase5-dev-tools)
fi
if [ "${1:-}" = screens ]; then
  want+=(xvfb xauth)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# One locale with a decimal comma, so the tests can show that number reading
# does not follow the process locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "note: could not make the de_DE.UTF-8 locale"
fi
