#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the program's sources in engine/, script/,
# window/, app/ and tools/, two files at a time, with the compile commands of the build folder
# (BUILD_DIR, build by default; it must have been built, for the generated moc files). Fails on
# any finding; each is printed with its file and line.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build}

if ! command -v clang-tidy >/dev/null 2>&1; then
  echo "clang-tidy is missing (tools/install-deps.sh test installs it)" >&2
  exit 1
fi
[[ -f "$build/compile_commands.json" ]] ||
  { echo "$build/compile_commands.json is missing: configure and build first" >&2; exit 1; }

mapfile -t files < <(python3 - "$build/compile_commands.json" "$PWD" <<'PY'
import json, os, sys
root = sys.argv[2]
parts = ("engine", "script", "window", "app", "tools")
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), root)
    if path.split(os.sep)[0] in parts and path not in seen:
        seen.add(path)
        print(path)
PY
)
[[ ${#files[@]} -gt 0 ]] || { echo "no sources of engine/ script/ window/ app/ tools/ in $build" >&2; exit 1; }

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# One clang-tidy per file, two at a time; --quiet leaves only the findings (and the count of
# warnings from outside the project's headers, suppressed by HeaderFilterRegex).
status=0
printf '%s\0' "${files[@]}" |
  xargs -0 -n1 -P"${TIDY_JOBS:-2}" clang-tidy -p "$build" --quiet --warnings-as-errors='*' \
    >"$log" 2>&1 || status=$?
grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter=' \
  "$log" || true
findings=$(grep -c -E ': (warning|error): ' "$log" || true)
if ((status != 0 || findings > 0)); then
  echo "clang-tidy: $findings findings in ${#files[@]} files" >&2
  exit 1
fi
echo "clang-tidy: ${#files[@]} files, no findings"
