#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tallyday needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
  qt6-multimedia-dev libqt6multimedia6 qt6-qpa-plugins
  libqt6svg6 qt6-l10n-tools
  libgl-dev libxkbcommon-dev libxcb1-dev libxcb-xinput-dev
  libhunspell-dev hunspell-en-us
  fonts-liberation2 fonts-dejavu-core
  xvfb xauth imagemagick x11-utils
  desktop-file-utils appstream strace
  tzdata
  chromium
  libbenchmark-dev clang-format
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
)

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
else
  SUDO=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${SUDO[@]}" apt-get update -q
  "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
