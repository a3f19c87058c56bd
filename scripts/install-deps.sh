#!/usr/bin/env bash
# Installs what building, running and testing the suite needs on Debian 12.
# Safe to run again: it installs only what is missing.
set -euo pipefail
pkgs=(cmake g++ make ccache qt6-base-dev libgl-dev libxcb1-dev pkg-config clang-format-14 clang-tidy-14
      fonts-liberation fonts-dejavu-core
      xvfb xdotool x11-utils imagemagick poppler-utils
      cups printer-driver-cups-pdf
      desktop-file-utils shared-mime-info libxml2-utils)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
