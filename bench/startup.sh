#!/usr/bin/env bash
# Start-up time (process start to the window mapped) and peak resident memory (VmHWM) of the
# calculator, under a virtual X server with openbox as window manager. Prints every run and the
# medians.
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
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

"$build/bench/map_watch" "$build/app/vesko-calc" >/dev/null  # warm the file cache
times=()
peaks=()
echo "run  map-ms  VmHWM-MiB  VmRSS-MiB  OpenGL"
for ((run = 1; run <= runs; run++)); do
  read -r ms hwm rss gl < <("$build/bench/map_watch" "$build/app/vesko-calc")
  times+=("$ms")
  peaks+=("$(awk -v k="$hwm" 'BEGIN { printf "%.1f", k / 1024 }')")
  printf "%3d  %6s  %9s  %9s  %s\n" "$run" "$ms" "${peaks[-1]}" \
    "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" "$gl"
done
echo "median of $runs runs: $(printf '%s\n' "${times[@]}" | median) ms to map," \
  "$(printf '%s\n' "${peaks[@]}" | median) MiB peak resident"
