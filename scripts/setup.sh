#!/usr/bin/env bash
# Shared by ./run and ./run-tests: install what is missing, configure, build.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# The last lines: the desktop's own checkers, with which the install test validates the
# desktop entry and the chart file type and asks GLib what a double click on a .lcs file opens;
# a PDF reader, with which the export test counts the pages written; Qt's translation tools and
# its own texts in other languages, and a font that shows Chinese text.
packages=(cmake g++ make qt6-base-dev qt6-serialport-dev qt6-svg-dev libqt6svg6 qt6-multimedia-dev
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth
          libgl-dev fonts-dejavu-core libtinyxml2-dev libpugixml-dev libboost-dev
          desktop-file-utils libxml2-utils shared-mime-info libglib2.0-bin
          poppler-utils
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n fonts-wqy-microhei)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The fuzz targets' compiler and runtime: wanted, not needed. Where they cannot be installed
# (another release, no package) the rest goes on and scripts/fuzz-smoke skips its run.
optional=(clang libclang-rt-14-dev)
missing=()
for p in "${optional[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing missing packages for the fuzz targets: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  install_optional() {
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  }
  if ! install_optional && ! { "${sudo_cmd[@]}" apt-get update -qq && install_optional; }; then
    echo "Could not install ${missing[*]}: the fuzz smoke run will be skipped."
  fi
fi

jobs=$(nproc 2>/dev/null || echo 2)
if [[ ! -f build/CMakeCache.txt ]]; then
  cmake --preset default >/dev/null
fi
cmake --build build -j "$jobs"
