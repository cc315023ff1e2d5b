#!/usr/bin/env bash
# Checks the desktop entry and the program icon: the entry validates, names the icon and the
# program, and the PNG icons have the sizes their names give.
set -euo pipefail
cd "$(dirname "$0")/../.."

entry=app/com.example.VeskoCalc.desktop
if ! command -v desktop-file-validate >/dev/null 2>&1; then
  echo "desktop-file-validate is missing (Debian package desktop-file-utils; tools/install-deps.sh test)" >&2
  exit 1
fi
desktop-file-validate "$entry"
for line in 'Name=Vesko计算器' 'Exec=vesko-calc' 'Icon=vesko-calc' 'Terminal=false' \
  'Categories=Utility;Calculator;'; do
  grep -qxF "$line" "$entry" || { echo "$entry: no line '$line'" >&2; exit 1; }
done
grep -q '^Comment=' "$entry" || { echo "$entry: no English comment" >&2; exit 1; }
grep -q '^Comment\[zh_CN\]=' "$entry" || { echo "$entry: no Chinese comment" >&2; exit 1; }

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
