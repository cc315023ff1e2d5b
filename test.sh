#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest in the dev build,
# then the checks in tools/checks/ (formatting, clang-tidy, fuzzing, packaging, metadata).
#   ASAN=1 ./test.sh   also runs the whole suite again under the address and undefined-behaviour
#                      sanitizers (the asan preset), in build-asan/
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test

jobs=$(nproc)
ctest_args=(--output-on-failure -j"$jobs")
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "xvfb-run is not available: skipping the tests that need an X server."
  ctest_args+=(-LE xserver)
fi

build=${BUILD_DIR:-build}
echo "== dev build ($build)"
cmake --preset dev -B "$build"
cmake --build "$build" -j"$jobs"
echo "== tests"
ctest --test-dir "$build" "${ctest_args[@]}"

if [[ -n "${ASAN:-}" ]]; then
  asan_build=${ASAN_BUILD_DIR:-build-asan}
  echo "== asan build ($asan_build)"
  cmake --preset asan -B "$asan_build"
  cmake --build "$asan_build" -j"$jobs"
  echo "== tests under the sanitizers"
  ctest --preset asan --test-dir "$asan_build" "${ctest_args[@]}"
fi

# Extra checks that are not unit tests live in tools/checks/ and run last; every one runs, and
# the script fails at the end if any of them failed.
failed=()
for check in tools/checks/*.sh; do
  [[ -e "$check" ]] || continue
  echo "== $check"
  BUILD_DIR="$build" bash "$check" || failed+=("$check")
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "failed: ${failed[*]}" >&2
  exit 1
fi
