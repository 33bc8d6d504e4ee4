#!/usr/bin/env bash
# Installs what is missing, builds a Release build in build/ and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a graphical desktop." >&2
  exit 1
fi

scripts/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DMRB_BENCH=OFF >/dev/null
cmake --build build
exec build/mrb_make
