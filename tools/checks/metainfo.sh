#!/usr/bin/env bash
# Checks the AppStream metadata: it validates offline, its id names the desktop entry it launches,
# and its newest release is the version the build gives the program.
set -euo pipefail
cd "$(dirname "$0")/../.."

if ! command -v appstreamcli >/dev/null 2>&1; then
  echo "appstreamcli is missing (Debian package appstream; tools/install-deps.sh test)" >&2
  exit 1
fi
shopt -s nullglob
files=(app/*.metainfo.xml)
if [[ ${#files[@]} -ne 1 ]]; then
  echo "expected one app/*.metainfo.xml, found ${#files[@]}" >&2
  exit 1
fi
meta=${files[0]}
appstreamcli validate --no-net "$meta"

fail() { echo "$meta: $*" >&2; exit 1; }
id=$(sed -n 's:^ *<id>\(.*\)</id> *$:\1:p' "$meta")
[[ -n "$id" ]] || fail "no <id>"
[[ "$meta" == "app/$id.metainfo.xml" ]] || fail "file name does not match the id $id"
[[ -f "app/$id.desktop" ]] || fail "no desktop entry app/$id.desktop for the id $id"
grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" ||
  fail "does not launch $id.desktop"
grep -qF 'setDesktopFileName(QStringLiteral("'"$id"'"))' app/main.cpp ||
  fail "app/main.cpp does not give the program the desktop file name $id"

project_version=$(sed -n 's/^project([^ ]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n "$project_version" ]] || { echo "CMakeLists.txt: no project version" >&2; exit 1; }
release=$(grep -o '<release version="[^"]*"' "$meta" | head -1 | sed 's/.*="\(.*\)"/\1/')
[[ "$release" == "$project_version" ]] ||
  fail "newest release is '$release', the project version is $project_version"
echo "AppStream metadata: ok"
