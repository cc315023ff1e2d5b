#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest in the dev build,
# then the whole suite again under the address and undefined-behaviour sanitizers (the asan
# preset, in build-asan/), then the checks in tools/checks/ (formatting, clang-tidy, fuzzing,
# packaging, metadata). Each stage prints how long it took.
#   ASAN=0 ./test.sh   leaves out the sanitizer build and its run
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test

jobs=$(nproc)
ctest_args=(--output-on-failure -j"$jobs")
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "xvfb-run is not available: skipping the tests that need an X server."
  ctest_args+=(-LE xserver)
fi

stage_start=
stage() {
  [[ -z "$stage_start" ]] || echo "   (took $((SECONDS - stage_start)) s)"
  stage_start=$SECONDS
  echo "== $*"
}

build=${BUILD_DIR:-build}
stage "dev build ($build)"
cmake --preset dev -B "$build"
cmake --build "$build" -j"$jobs"
stage "tests"
ctest --test-dir "$build" "${ctest_args[@]}"

if [[ "${ASAN:-1}" != 0 ]]; then
  asan_build=${ASAN_BUILD_DIR:-build-asan}
  stage "asan build ($asan_build)"
  cmake --preset asan -B "$asan_build"
  cmake --build "$asan_build" -j"$jobs"
  stage "tests under the sanitizers"
  ctest --preset asan --test-dir "$asan_build" "${ctest_args[@]}"
fi

# Extra checks that are not unit tests live in tools/checks/ and run last; every one runs, and
# the script fails at the end if any of them failed.
failed=()
for check in tools/checks/*.sh; do
  [[ -e "$check" ]] || continue
  stage "$check"
  BUILD_DIR="$build" bash "$check" || failed+=("$check")
done
stage "done in ${SECONDS} s"
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "failed: ${failed[*]}" >&2
  exit 1
fi
