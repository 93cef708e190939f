#!/usr/bin/env bash
# Installs what is missing, builds Portrik and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPORTRIK_TESTS=OFF -DPORTRIK_BENCH=OFF >/dev/null
cmake --build build-release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: start Portrik from a desktop session (or set DISPLAY)." >&2
  exit 1
fi
exec ./build-release/portrik
