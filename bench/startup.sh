#!/usr/bin/env bash
# Start-up time (process start to the window mapped) and peak resident memory (VmHWM) of the
# calculator, under a virtual X server with openbox as window manager, beside a bare Qt text box
# in the same run (where bare_text_box was built): with an empty data folder, and with a history
# file of 100,000 rows, of 50 rows of 1 MB, of one row of 32 MB and of 200 MB of rows. Prints
# every run and the medians of each case.
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

# Runs PROGRAM RUNS times and prints each run and the medians, headed by LABEL.
#   measure LABEL PROGRAM
measure() {
  local label=$1 program=$2 times=() peaks=() run ms hwm rss gl
  "$build/bench/map_watch" "$program" >/dev/null  # warm the file cache
  echo "== $label"
  echo "run  map-ms  VmHWM-MiB  VmRSS-MiB  OpenGL"
  for ((run = 1; run <= runs; run++)); do
    read -r ms hwm rss gl < <("$build/bench/map_watch" "$program")
    times+=("$ms")
    peaks+=("$(awk -v k="$hwm" 'BEGIN { printf "%.1f", k / 1024 }')")
    printf "%3d  %6s  %9s  %9s  %s\n" "$run" "$ms" "${peaks[-1]}" \
      "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" "$gl"
  done
  summary+=("$(printf '%-40s %8s ms %8s MiB' "$label" "$(printf '%s\n' "${times[@]}" | median)" \
    "$(printf '%s\n' "${peaks[@]}" | median)")")
  echo "$label, median of $runs runs: $(printf '%s\n' "${times[@]}" | median) ms to map," \
    "$(printf '%s\n' "${peaks[@]}" | median) MiB peak resident"
}

history=$data_home/vesko-calc/history.txt
# Writes the history file with awk's program $1 (the rows, one per line).
kept() {
  rm -rf "$data_home/vesko-calc"
  mkdir -m 700 "$data_home/vesko-calc"
  awk "BEGIN { $1 }" >"$history"
}
summary=()

# The yardstick, where it was built (with the key latency benchmark).
if [[ -x "$build/bench/bare_text_box" ]]; then
  measure "bare Qt text box" "$build/bench/bare_text_box"
fi
measure "no history file" "$build/app/vesko-calc"

# 100,000 committed rows of some 50 characters each, as a long day's work would leave them.
kept 'for (i = 0; i < 100000; i++)
  printf "(%d-10)**(4)+sin((60-30)*pi/180)/%d=%d.0123456789\n", i, i % 97 + 1, i'
measure "100,000 rows ($(du -h "$history" | cut -f1))" "$build/app/vesko-calc"

# Huge pasted expressions, committed: 50 rows of 1 MB, and one of 32 MB (the longest accepted).
kept 'row = "1+2"; while (length(row) < 1048576) row = row "+" row;
  for (i = 0; i < 50; i++) printf "%s=%d\n", substr(row, 1, 1048570), i'
measure "50 rows of 1 MB ($(du -h "$history" | cut -f1))" "$build/app/vesko-calc"
kept 'row = "1+2"; while (length(row) < 33554432) row = row "+" row;
  printf "%s=3\n", substr(row, 1, 33554430)'
measure "one row of 32 MB ($(du -h "$history" | cut -f1))" "$build/app/vesko-calc"

# 200 MB of ordinary rows: years of use without compaction (an older version, another program).
kept 'for (i = 0; i < 4000000; i++)
  printf "(%d-10)**(4)+sin((60-30)*pi/180)/%d=%d.0123456789\n", i, i % 97 + 1, i'
measure "200 MB of rows ($(du -h "$history" | cut -f1))" "$build/app/vesko-calc"

echo
echo "medians of $runs runs: time to the mapped window, peak resident memory"
printf '%s\n' "${summary[@]}"
