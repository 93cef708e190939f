#!/usr/bin/env bash
# Installs what is missing, builds Portrik with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

# Qt wants a private runtime folder when no desktop session provides one.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ]; then
  export XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
fi

# The print tests print through a CUPS server with a PDF queue.
if [ -f scripts/start-cups.sh ]; then
  bash scripts/start-cups.sh || echo "CUPS could not be started: the print-queue test will skip."
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j "$(nproc)"
