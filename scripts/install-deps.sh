#!/usr/bin/env bash
# Installs the Debian packages the project needs and that are missing.
#   scripts/install-deps.sh build   what building and running needs
#   scripts/install-deps.sh test    that, plus the tools the tests use
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libcairo2-dev libpango1.0-dev libfontconfig-dev
  libasound2-dev libsndfile1-dev libjpeg62-turbo-dev libshp-dev libgps-dev
  librsvg2-bin
)
test_packages=(
  xvfb xauth locales clang libclang-rt-14-dev fonts-dejavu-core
  geographiclib-tools libgeographiclib-dev proj-bin gpsd gpsd-clients gdal-bin libjpeg-turbo-progs
  shapelib nodejs python3 python3-gdal xdotool imagemagick
)

packages=("${build_packages[@]}")
[ "${1:-build}" = test ] && packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# An independent IGC reader checks the flight logs (skipped without node).
if [ "${1:-build}" = test ] && command -v npm >/dev/null 2>&1 &&
   [ ! -f build/npm/node_modules/igc-parser/package.json ]; then
  echo "installing the npm package igc-parser"
  npm install --prefix build/npm --no-audit --no-fund --silent igc-parser@2.0.0 >/dev/null
fi

# The tests prove that numbers keep the C form under a decimal-comma locale.
if [ "${1:-build}" = test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "generating locale de_DE.UTF-8"
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
