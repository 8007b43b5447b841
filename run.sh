#!/usr/bin/env bash
# Installs what is missing, builds a release build in build/release and
# flies the demonstration flight on made-up sample data (scripts/demo.sh:
# --reset-demo, --speed N). ./run.sh --live starts the flight computer on
# the user's own settings and receiver instead. Other arguments go to the
# program; ./run.sh --build-only builds without starting anything.
set -euo pipefail
cd "$(dirname "$0")"
# Let ccache share its results between checkouts in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
scripts/install-deps.sh build

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_TESTS=OFF
cmake --build build/release -j "$(nproc)"

if [ "${1:-}" = --build-only ]; then
  exit 0
fi
# The program finds its resource bundle, KOR_VANresDLL.dll, beside it.
if [ "${1:-}" = --live ]; then
  shift
  exec build/release/KOR_VAN "$@"
fi
exec scripts/demo.sh build/release "$@"
