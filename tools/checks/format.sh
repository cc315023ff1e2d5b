#!/usr/bin/env bash
# Checks that every C++ file is formatted as .clang-format says: clang-format --dry-run -Werror
# names each file and line it would change. Fix them with clang-format -i.
set -euo pipefail
cd "$(dirname "$0")/../.."

if ! command -v clang-format >/dev/null 2>&1; then
  echo "clang-format is missing (tools/install-deps.sh test installs it)" >&2
  exit 1
fi
# The tracked files in a git checkout, otherwise every C++ file outside the build folders.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t files < <(find . \( -name 'build*' -prune \) -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
[[ ${#files[@]} -gt 0 ]] || { echo "no C++ files found" >&2; exit 1; }
clang-format --dry-run -Werror "${files[@]}"
echo "clang-format: ${#files[@]} files formatted"
