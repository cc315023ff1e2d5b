#!/usr/bin/env bash
# Builds the Debian package in the build folder (BUILD_DIR, build by default) and checks it: it holds
# exactly the installed files under /usr, the program is executable, the run-time dependencies found
# by dpkg-shlibdeps include Qt Widgets, and the maintainer address is the build's FEEDBACK_EMAIL.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build}

for tool in cpack dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is missing (tools/install-deps.sh test installs cmake and dpkg-dev)" >&2
    exit 1
  fi
done
[[ -f "$build/CPackConfig.cmake" ]] || { echo "$build is not a configured build folder" >&2; exit 1; }

rm -f "$build"/vesko-calc_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
shopt -s nullglob
debs=("$build"/vesko-calc_*.deb)
if [[ ${#debs[@]} -ne 1 ]]; then
  echo "cpack wrote ${#debs[@]} vesko-calc_*.deb files, expected one" >&2
  exit 1
fi
deb=${debs[0]}
fail() { echo "$deb: $*" >&2; exit 1; }

expected="./usr/bin/vesko-calc
./usr/share/applications/com.example.VeskoCalc.desktop
./usr/share/icons/hicolor/32x32/apps/vesko-calc.png
./usr/share/icons/hicolor/64x64/apps/vesko-calc.png
./usr/share/icons/hicolor/scalable/apps/vesko-calc.svg
./usr/share/metainfo/com.example.VeskoCalc.metainfo.xml"
listing=$(dpkg-deb -c "$deb")
# Columns: mode, owner, size, date, time, path. Directories only hold the files.
files=$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sort)
if [[ "$files" != "$expected" ]]; then
  echo "$deb holds other files than expected:" >&2
  diff <(echo "$expected") <(echo "$files") >&2 || true
  exit 1
fi
awk '$1 ~ /^d/ && $6 !~ /^\.\/usr\// { bad = 1 } END { exit bad }' <<<"$listing" ||
  fail "has a folder outside /usr"
[[ $(awk '$6 == "./usr/bin/vesko-calc" { print $1 }' <<<"$listing") == -rwxr-xr-x ]] ||
  fail "the program is not installed with mode rwxr-xr-x"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == vesko-calc ]] || fail "package name is not vesko-calc"
project_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[[ $(field Version) == "$project_version" ]] ||
  fail "version $(field Version) is not the project version $project_version"
depends=$(field Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6; do
  grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
email=$(sed -n 's/^FEEDBACK_EMAIL:[A-Z]*=//p' "$build/CMakeCache.txt")
[[ -n "$email" && $(field Maintainer) == *"<$email>" ]] ||
  fail "maintainer '$(field Maintainer)' does not carry the feedback address '$email'"
[[ -n $(field Section) && -n $(field Description) ]] || fail "no section or no description"

echo "$deb: ok, $(stat -c %s "$deb") bytes"
echo "$files"
