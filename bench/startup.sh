#!/usr/bin/env bash
# Start-up time (process start to the window mapped) and peak resident memory (VmHWM) of the
# calculator, under a virtual X server with openbox as window manager, once with an empty data folder
# and once with 100,000 rows in the history file. Prints every run and the medians of each case.
#   bench/startup.sh [BUILD_DIR] [RUNS]      (defaults: build, 21)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
if [[ "${1:-}" != "--inside-x-server" ]]; then
  build=$(cd "${1:-$here/../build}" && pwd)
  runs=${2:-21}
  for file in "$build/app/vesko-calc" "$build/bench/map_watch"; do
    if [[ ! -x "$file" ]]; then
      echo "$0: $file is missing; build the targets vesko-calc and map_watch first" >&2
      exit 1
    fi
  done
  exec "$here/../tests/run_under_x.sh" "$0" --inside-x-server "$build" "$runs"
fi
build=$2
runs=$3

# Qt warns on every start when there is no runtime directory; give it a private one.
runtime_dir=
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
  runtime_dir=$(mktemp -d)
  export XDG_RUNTIME_DIR=$runtime_dir
fi

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# The history lives in a private data folder, never in the user's own.
data_home=$(mktemp -d)
trap 'rm -rf "$data_home" ${runtime_dir:+"$runtime_dir"}' EXIT
export XDG_DATA_HOME=$data_home

# Runs the program RUNS times and prints each run and the medians, headed by LABEL.
measure() {
  local label=$1 times=() peaks=() run ms hwm rss gl
  "$build/bench/map_watch" "$build/app/vesko-calc" >/dev/null  # warm the file cache
  echo "== $label"
  echo "run  map-ms  VmHWM-MiB  VmRSS-MiB  OpenGL"
  for ((run = 1; run <= runs; run++)); do
    read -r ms hwm rss gl < <("$build/bench/map_watch" "$build/app/vesko-calc")
    times+=("$ms")
    peaks+=("$(awk -v k="$hwm" 'BEGIN { printf "%.1f", k / 1024 }')")
    printf "%3d  %6s  %9s  %9s  %s\n" "$run" "$ms" "${peaks[-1]}" \
      "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" "$gl"
  done
  echo "$label, median of $runs runs: $(printf '%s\n' "${times[@]}" | median) ms to map," \
    "$(printf '%s\n' "${peaks[@]}" | median) MiB peak resident"
}

measure "no history file"

# 100,000 committed rows of some 50 characters each, as a long day's work would leave them.
mkdir -p "$data_home/vesko-calc"
awk 'BEGIN { for (i = 0; i < 100000; i++)
  printf "(%d-10)**(4)+sin((60-30)*pi/180)/%d=%d.0123456789\n", i, i % 97 + 1, i }' \
  >"$data_home/vesko-calc/history.txt"
measure "100,000 rows in the history file ($(du -h "$data_home/vesko-calc/history.txt" | cut -f1))"
