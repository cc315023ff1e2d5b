#!/usr/bin/env bash
# Builds the fuzz target with clang and runs it over the seed corpus for a while
# (FUZZ_SECONDS, 60 by default, then FUZZ_LONG_SECONDS, 30, with inputs up to a megabyte).
# Skipped where clang is not installed.
set -euo pipefail
cd "$(dirname "$0")/../.."
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ not found: skipping the fuzz run."
  exit 0
fi
build=${FUZZ_BUILD_DIR:-build-fuzz}
CXX=clang++ cmake -S . -B "$build" -DVESKO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target evaluate_fuzz

# New inputs go to a scratch folder; the seeds in fuzz/corpus are only read. An input that takes
# longer than -timeout seconds is a finding like a crash: everything is meant to be linear.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$build/fuzz/evaluate_fuzz" -max_total_time="${FUZZ_SECONDS:-60}" -timeout=5 -rss_limit_mb=4096 \
  -max_len=33000 -print_final_stats=1 "$scratch" fuzz/corpus
# A shorter second phase lets inputs grow to a megabyte now and then, where only a step slower
# than linear (or a memory hog) takes long (FUZZ_LONG_SECONDS, 30 by default).
"$build/fuzz/evaluate_fuzz" -max_total_time="${FUZZ_LONG_SECONDS:-30}" -timeout=10 \
  -rss_limit_mb=4096 -max_len=1048576 -len_control=0 -print_final_stats=1 "$scratch" fuzz/corpus
