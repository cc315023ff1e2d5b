#!/usr/bin/env bash
# Installs what is missing, builds the calculator and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh run

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)" --target vesko-calc

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display found: the calculator needs a graphical session." >&2
  echo "Without one, start it in a virtual X server: xvfb-run -a ./run.sh" >&2
  exit 1
fi
exec "$build/app/vesko-calc" "$@"
