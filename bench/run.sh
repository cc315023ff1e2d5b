#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks and runs them all: one key release in the real
# window, 100,000 commits in a row, the history file's operations, start-up time and memory under
# an X server (without and with 100,000 rows in the history file), key to repaint under an X
# server beside a bare Qt text box, and the evaluator's speed. Timings depend on the machine and
# on what else it is doing.
#   bench/run.sh          (build directory: $BUILD_DIR, default build)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
targets=(vesko-calc key_release_bench soak_bench map_watch history_file_bench)
# The evaluator benchmark exists only where its libraries were found.
available=$(cmake --build "$build" --target help 2>/dev/null || true)
if [[ "$available" == *evaluate_bench* ]]; then
  targets+=(evaluate_bench)
fi
if [[ "$available" == *hostile_input_bench* ]]; then
  targets+=(hostile_input_bench)
fi
if [[ "$available" == *key_latency* ]]; then
  targets+=(key_latency bare_text_box history_writer)
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

echo "== key release in the window (offscreen)"
QT_QPA_PLATFORM=offscreen "$build/bench/key_release_bench"
echo "== 100,000 commits (offscreen)"
QT_QPA_PLATFORM=offscreen "$build/bench/soak_bench"
echo "== history file: restore, append, compaction"
"$build/bench/history_file_bench"
echo "== start-up under Xvfb with openbox"
bench/startup.sh "$build"
if [[ -x "$build/bench/key_latency" ]]; then
  echo "== key to repaint under Xvfb with openbox"
  bench/key_latency.sh "$build"
fi
if [[ -x "$build/bench/evaluate_bench" ]]; then
  echo "== evaluator"
  "$build/bench/evaluate_bench"
fi
if [[ -x "$build/bench/hostile_input_bench" ]]; then
  echo "== huge and hostile inputs"
  "$build/bench/hostile_input_bench"
fi
