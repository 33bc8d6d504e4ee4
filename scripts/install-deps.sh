#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Usage: scripts/install-deps.sh [run|test|look]
#   run   what building and running the editor needs
#   test  that, plus clang's libFuzzer for the fuzzing run
#   look  that, plus Xvfb, xdotool and ImageMagick, to drive the program on a
#         virtual display and take screenshots of it
set -euo pipefail

run_pkgs=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-svg-dev libgl-dev
  fonts-ipafont-gothic qt6-translations-l10n libdxflib-dev
)
test_pkgs=(ccache clang libclang-rt-14-dev desktop-file-utils appstream poppler-utils python3-ezdxf)
look_pkgs=(xvfb xauth imagemagick xdotool)

want=("${run_pkgs[@]}")
case "${1:-run}" in
  run) ;;
  test) want+=("${test_pkgs[@]}") ;;
  look) want+=("${test_pkgs[@]}" "${look_pkgs[@]}") ;;
  *) echo "usage: $0 [run|test|look]" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "error: packages missing (${missing[*]}) and neither root nor sudo available" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
