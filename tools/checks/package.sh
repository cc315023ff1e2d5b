#!/usr/bin/env bash
# Builds the Debian package in the build folder (BUILD_DIR, build by default) and checks it: it holds
# exactly the installed files under /usr, the program is executable, the run-time dependencies found
# by dpkg-shlibdeps include Qt Widgets, the maintainer address is the build's FEEDBACK_EMAIL, the
# Chinese font dependency names the window's fonts in the window's order, the changelog is for this
# version, the program is hardened and has no RUNPATH, and lintian finds no error or warning.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build}

for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog readelf lintian; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is missing (tools/install-deps.sh test installs it)" >&2
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
./usr/share/doc/vesko-calc/changelog.gz
./usr/share/doc/vesko-calc/copyright
./usr/share/icons/hicolor/32x32/apps/vesko-calc.png
./usr/share/icons/hicolor/64x64/apps/vesko-calc.png
./usr/share/icons/hicolor/scalable/apps/vesko-calc.svg
./usr/share/man/man1/vesko-calc.1.gz
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

# The font dependency: alternatives in the order of the window's family list in song_font.cpp.
declare -A font_family=([fonts-arphic-uming]="AR PL UMing CN" [fonts-noto-cjk]="Noto Serif CJK SC")
font_dep=$(tr ',' '\n' <<<"$depends" | grep -E '(^| )fonts-' | sed 's/^ *//') ||
  fail "Depends names no font: $depends"
families=$(grep -o 'QStringLiteral("[^"]*")' window/song_font.cpp | sed 's/^QStringLiteral("//; s/")$//')
last=0
for pkg in $(sed 's/|/ /g' <<<"$font_dep"); do
  [[ -n "${font_family[$pkg]:-}" ]] || fail "no window font is known for the font dependency $pkg"
  position=$(grep -nxF "${font_family[$pkg]}" <<<"$families" | cut -d: -f1)
  [[ -n "$position" ]] || fail "$pkg: its family '${font_family[$pkg]}' is not in song_font.cpp"
  ((position > last)) || fail "font dependency '$font_dep' is not in song_font.cpp's order"
  last=$position
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
doc="$work/root/usr/share/doc/vesko-calc"
# gzip -9n: the header's flags (no file name), time stamp (none) and extra flags (maximum
# compression) are the bytes 3 to 8.
for gz in "$doc/changelog.gz" "$work/root/usr/share/man/man1/vesko-calc.1.gz"; do
  header=$(od -A n -t x1 -j 3 -N 6 "$gz" | tr -d ' \n')
  [[ "$header" == 000000000002 ]] ||
    fail "${gz#"$work/root"} is not compressed with gzip -9n"
done
gzip -dc "$doc/changelog.gz" >"$work/changelog"
changelog_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[[ "$changelog_version" == "$project_version" ]] ||
  fail "the changelog's newest entry is for $changelog_version, not $project_version"

# Hardening: bound at start with a read-only relocation table, position independent, stack
# protector and fortified calls in use, and no RUNPATH or RPATH.
program="$work/root/usr/bin/vesko-calc"
dynamic=$(readelf -dW "$program")
grep -Eq 'RUNPATH|RPATH' <<<"$dynamic" && fail "the program has a RUNPATH: $(grep PATH <<<"$dynamic")"
grep -q 'Flags: NOW PIE' <<<"$dynamic" || fail "the program is not a PIE linked with -z now"
readelf -lW "$program" | grep -q GNU_RELRO || fail "the program is not linked with -z relro"
symbols=$(readelf -W --dyn-syms "$program")
grep -q '__stack_chk_fail' <<<"$symbols" || fail "the program has no stack protector"
grep -Eq '__[a-z]+_chk@' <<<"$symbols" || fail "the program calls no fortified function"

# lintian: any error or warning fails; informational and pedantic tags are shown, and fail only if
# they are about hardening.
lintian_status=0
lintian_out=$(lintian --display-info --pedantic --fail-on error,warning "$deb" 2>&1) || lintian_status=$?
lintian_out=$(grep -v '^running with root privileges is not recommended!$' <<<"$lintian_out" || true)
[[ -n "$lintian_out" ]] && echo "$lintian_out"
((lintian_status == 0)) || fail "lintian found errors or warnings (exit status $lintian_status)"
if grep -q 'hardening-' <<<"$lintian_out"; then fail "lintian finds the program not hardened"; fi

echo "$deb: ok, $(stat -c %s "$deb") bytes"
echo "$files"
