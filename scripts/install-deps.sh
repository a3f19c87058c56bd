#!/usr/bin/env bash
# Installs what the suite needs on Debian 12; safe to run again: it installs
# only what is missing.
#   install-deps.sh run   what building and running the programs needs
#   install-deps.sh       that, and the tools the tests and checks use
set -euo pipefail
run_pkgs=(cmake g++ ninja-build qt6-base-dev libgl-dev libcups2-dev libxcb1-dev
          libtag1-dev libcdio-dev libpng-dev pkg-config fonts-liberation fonts-dejavu-core
          glabels-data)
test_pkgs=(make ccache clang-format-14 clang-tidy-14
           xvfb xdotool x11-utils imagemagick poppler-utils
           cups printer-driver-cups-pdf
           desktop-file-utils shared-mime-info libxml2-utils
           flac vorbis-tools openbox)
# The manual pages are made at build time from the programs' own --help.
run_pkgs+=(help2man)
# The install check validates the AppStream metainfo and renders the manual pages.
test_pkgs+=(appstream man-db groff-base)
case ${1:-test} in
  run) pkgs=("${run_pkgs[@]}") ;;
  test) pkgs=("${run_pkgs[@]}" "${test_pkgs[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac
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
