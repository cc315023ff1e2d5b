#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"

ctest_args=(--test-dir "$build" --output-on-failure -j"$(nproc)")
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "xvfb-run is not available: skipping the tests that need an X server."
  ctest_args+=(-LE xserver)
fi
ctest "${ctest_args[@]}"

# Extra checks that are not unit tests live in tools/checks/ and run last.
for check in tools/checks/*.sh; do
  [[ -e "$check" ]] || continue
  echo "== $check"
  BUILD_DIR="$build" bash "$check"
done
