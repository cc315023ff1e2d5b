#!/usr/bin/env bash
# Installs the Debian packages the calculator needs, skipping those already present.
#   tools/install-deps.sh run    what building and starting the program needs
#   tools/install-deps.sh test   that, plus what the tests, the fuzzer, the benchmarks and the
#                                checks (clang-format, clang-tidy) need, and ccache for the presets
set -euo pipefail

build_pkgs=(g++ make cmake qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libx11-dev
  fonts-arphic-uming fonts-noto-cjk qt6-wayland)
test_pkgs=(xvfb xauth openbox xdotool xclip x11-utils imagemagick clang libclang-rt-14-dev
  libbenchmark-dev libmuparser-dev libxtst-dev libxdamage-dev desktop-file-utils appstream
  dpkg-dev file lintian weston orca speech-dispatcher python3-pyatspi at-spi2-core dbus-x11
  clang-format clang-tidy ccache python3)

case "${1:-run}" in
  run) wanted=("${build_pkgs[@]}") ;;
  test) wanted=("${build_pkgs[@]}" "${test_pkgs[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "These Debian packages are missing: ${missing[*]}" >&2
  echo "Install them as root (apt-get install ${missing[*]}) and run this again." >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
