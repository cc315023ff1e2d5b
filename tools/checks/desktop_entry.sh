#!/usr/bin/env bash
# Checks the desktop entry and the program icon: the entry validates, names the icon and the
# program, and the PNG icons have the sizes their names give.
set -euo pipefail
cd "$(dirname "$0")/../.."

entry=app/vesko-calc.desktop
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$entry"
else
  echo "desktop-file-validate not found: skipping its check of $entry."
fi
grep -qx 'Exec=vesko-calc' "$entry" || { echo "$entry: Exec is not vesko-calc" >&2; exit 1; }
grep -qx 'Icon=vesko-calc' "$entry" || { echo "$entry: Icon is not vesko-calc" >&2; exit 1; }

for size in 32 64; do
  icon=app/icons/vesko-calc-$size.png
  if command -v identify >/dev/null 2>&1; then
    actual=$(identify -format '%wx%h' "$icon")
  else
    actual=$(file -b "$icon" | sed -n 's/^PNG image data, \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')
  fi
  if [[ "$actual" != "${size}x${size}" ]]; then
    echo "$icon is $actual, not ${size}x${size}" >&2
    exit 1
  fi
done
echo "desktop entry and icons: ok"
