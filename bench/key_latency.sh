#!/usr/bin/env bash
# Key to repaint, end to end: under a virtual X server with openbox, types keys into the
# calculator and into a bare Qt text box (bench/key_latency.cpp does the typing and timing) and
# prints, per scenario and program, the medians over all runs of each run's median, p95 and p99
# of "first repaint" and "repaint finished", in milliseconds. Scenarios: a fresh window; after
# 1,000 commits (the calculator only); with a 2,000-character input; with a 5 MB multi-line
# input pasted through the clipboard (huge); after that input was pasted and committed
# (huge-committed, the calculator only: its input box is then empty). Enter to row shown, where
# only Return is timed after typing "1+2": with the history kept (enter), with --no-history
# (enter-no-history, the calculator only) and with a second calculator committing into the same
# history file every 100 ms (enter-second-writer, the calculator only); the bare box's Return
# adds a line. The programs take turns.
# KEY_LATENCY_SCENARIOS picks scenarios (default: all of them), KEY_LATENCY_KEYS the keys
# measured per run (default 200); the time the preparation took (the paste, say) is shown too.
#   bench/key_latency.sh [BUILD_DIR] [RUNS] [LABEL=VESKO_CALC...]   (defaults: build, 5)
# Further calculator builds to measure in the same run are given as LABEL=PATH.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
if [[ "${1:-}" != "--inside-x-server" ]]; then
  build=$(cd "${1:-$here/../build}" && pwd)
  runs=${2:-5}
  for file in "$build/app/vesko-calc" "$build/bench/key_latency" "$build/bench/bare_text_box" \
    "$build/bench/history_writer"; do
    if [[ ! -x "$file" ]]; then
      echo "$0: $file is missing; build the targets vesko-calc, key_latency, bare_text_box" \
        "and history_writer" >&2
      exit 1
    fi
  done
  exec "$here/../tests/run_under_x.sh" "$0" --inside-x-server "$build" "$runs" "${@:3}"
fi
build=$2
runs=$3
programs=("vesko-calc=$build/app/vesko-calc" "${@:4}")

work=$(mktemp -d)
clipboard_pid=
writer_pid=
trap 'rm -rf "$work"; [[ -n $clipboard_pid ]] && kill "$clipboard_pid" 2>/dev/null;
  [[ -n $writer_pid ]] && kill "$writer_pid" 2>/dev/null' EXIT
# Qt warns on every start when there is no runtime directory; give it a private one.
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
  mkdir -m 700 "$work/runtime"
  export XDG_RUNTIME_DIR=$work/runtime
fi
# The caret must not blink, or its repaints mix with the typed keys'. Qt 6 reads the blink rate
# from the desktop's settings, and of the desktops it knows it reads KDE's without a session
# running: CursorBlinkRate=0 in kdeglobals keeps the caret on. The same settings hold for every
# program measured; style and fonts stay Qt's defaults (Fusion).
mkdir "$work/config"
printf '[KDE]\nCursorBlinkRate=0\n' >"$work/config/kdeglobals"
export XDG_CONFIG_HOME=$work/config XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5
export QT_LOGGING_RULES='qt.qpa.theme.dbus=false'  # no session bus here, and none is needed

# The huge input: the 2,000-character input's pattern, 5,062,500 characters of it in lines of 81
# (a single line of megabytes takes Qt's own text box minutes to lay out, and each key as long).
scenarios=(${KEY_LATENCY_SCENARIOS:-fresh commits long huge huge-committed enter enter-no-history
  enter-second-writer})
if [[ " ${scenarios[*]} " == *" huge"* ]]; then
  line=$(printf '12+34*5-6+%.0s' $(seq 8))
  for ((i = 0; i < 62500; i++)); do echo "$line"; done >"$work/huge"
  # xclip stays in the foreground (-quiet) and hands the text to every paste.
  xclip -selection clipboard -quiet -i "$work/huge" >/dev/null 2>&1 &
  clipboard_pid=$!
  sleep 0.5
fi

results=$work/results
for ((run = 1; run <= runs; run++)); do
  for scenario in "${scenarios[@]}"; do
    case $scenario in
      fresh | enter*) prepare=none ;;
      huge) prepare=paste ;;
      huge-committed) prepare=paste-commit ;;
      *) prepare=$scenario ;;
    esac
    for entry in "${programs[@]}" "bare-qt-text-box=$build/bench/bare_text_box"; do
      label=${entry%%=*}
      program=${entry#*=}
      options=(--prepare "$prepare" --keys "${KEY_LATENCY_KEYS:-200}")
      arguments=()
      [[ $scenario == enter* ]] && options+=(--measure enter)
      if [[ $label == bare-qt-text-box ]]; then
        # The bare box has nothing to commit; Return there only adds lines.
        [[ $scenario == commits || $scenario == huge-committed ]] && continue
        [[ $scenario == enter-no-history || $scenario == enter-second-writer ]] && continue
      else
        [[ $scenario == enter-no-history ]] && arguments=(--no-history)
        # The calculator's status bar clock (330 twips, 22 pixels) repaints every second.
        options+=(--ignore-bottom 22)
      fi
      # Each start has a history folder of its own: nothing restored from an earlier start, and
      # the user's own history stays untouched.
      data=$(mktemp -d -p "$work")
      if [[ $scenario == enter-second-writer ]]; then
        "$build/bench/history_writer" "$data/vesko-calc" 100 &
        writer_pid=$!
      fi
      if ! line=$(XDG_DATA_HOME=$data "$build/bench/key_latency" "${options[@]}" "$program" \
        "${arguments[@]}"); then
        echo "run $run  $scenario  $label  failed" >&2
        line=
      fi
      if [[ -n $writer_pid ]]; then
        kill "$writer_pid"
        wait "$writer_pid" 2>/dev/null || true
        writer_pid=
      fi
      [[ -z $line ]] && continue
      echo "run $run  $scenario  $label  $line"
      echo "$scenario $label $line" >>"$results"
    done
  done
done

echo
echo "medians of $runs runs, in ms; late: keys damaged again after going quiet, idle: damage"
echo "while idle, both summed over the runs and both to be 0"
printf '%-14s %-18s %7s %7s %7s   %8s %7s %7s  %5s %5s %8s\n' scenario program first p95 p99 \
  finished p95 p99 late idle prepare
for scenario in "${scenarios[@]}"; do
  for entry in "${programs[@]}" "bare-qt-text-box="; do
    label=${entry%%=*}
    grep -q "^$scenario $label " "$results" || continue
    values=()
    for field in 4 5 6 8 9 10 18; do
      values+=("$(awk -v s="$scenario" -v l="$label" -v f="$field" '$1 == s && $2 == l { print $f }' \
        "$results" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')")
    done
    sums=$(awk -v s="$scenario" -v l="$label" '$1 == s && $2 == l { late += $14; idle += $16 }
      END { print late, idle }' "$results")
    printf '%-14s %-18s %7s %7s %7s   %8s %7s %7s  %5s %5s %8s\n' "$scenario" "$label" \
      "${values[@]:0:6}" $sums "${values[6]}"
  done
done
