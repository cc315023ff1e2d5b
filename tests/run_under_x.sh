#!/usr/bin/env bash
# Runs one test program in a virtual X server (xvfb-run) with openbox as its window manager, since
# without a window manager nothing frames, places or stacks windows:
#   tests/run_under_x.sh TEST_PROGRAM [ARGUMENTS...]
# Exits with the test program's status, and non-zero when the X server or openbox does not come up.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 TEST_PROGRAM [ARGUMENTS...]" >&2
  exit 2
fi

if [[ "$1" != "--inside-x-server" ]]; then
  for tool in xvfb-run xauth openbox xprop flock; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "$0: '$tool' is missing; tools/install-deps.sh test installs what the X tests need." >&2
      exit 1
    fi
  done
  # xvfb-run -a takes the first free display number, and two started at the same moment can both
  # take the same one: the X server tests take turns.
  exec flock "${TMPDIR:-/tmp}/vesko-run-under-x.lock" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside-x-server "$@"
fi
shift

openbox_log=$(mktemp)
openbox_pid=""
stop_openbox() {
  [[ -n "$openbox_pid" ]] && kill "$openbox_pid" 2>/dev/null || true
  [[ -n "$openbox_pid" ]] && wait "$openbox_pid" 2>/dev/null || true
  rm -f "$openbox_log"
}
trap stop_openbox EXIT

# openbox has taken over the screen once it has announced itself on the root window. On a busy
# machine it now and then fails to open a display that has only just come up; it gets three tries.
start_openbox() {
  openbox --sm-disable >"$openbox_log" 2>&1 &
  openbox_pid=$!
  for ((tries = 0; ; tries++)); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
      return 0
    fi
    if ! kill -0 "$openbox_pid" 2>/dev/null; then
      wait "$openbox_pid" 2>/dev/null || true
      return 1
    fi
    if ((tries >= 100)); then
      echo "$0: openbox did not come up within 10 seconds" >&2
      exit 1
    fi
    sleep 0.1
  done
}
for ((attempt = 1; ; attempt++)); do
  start_openbox && break
  if ((attempt >= 3)); then
    echo "$0: openbox exited before it was up:" >&2
    cat "$openbox_log" >&2
    exit 1
  fi
  sleep 0.5
done

export QT_QPA_PLATFORM=xcb
status=0
"$@" || status=$?
exit "$status"
