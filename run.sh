#!/usr/bin/env bash
# Installs what is missing, builds a release build in build/release and
# starts the flight computer. Arguments go to the program;
# ./run.sh --build-only builds without starting anything.
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
exec build/release/KOR_VAN "$@"
