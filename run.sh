#!/usr/bin/env bash
# Installs what is missing, builds a release build in build/release and
# starts the flight computer. Arguments go to the program;
# ./run.sh --build-only builds without starting anything.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_TESTS=OFF
cmake --build build/release -j "$(nproc)"

if [ "${1:-}" = --build-only ]; then
  exit 0
fi
program=build/release/KOR_VAN
if [ -x "$program" ]; then
  exec "$program" "$@"
fi
echo "Built the libraries in build/release:"
find build/release -maxdepth 2 -name 'libkv_*.a' -printf '  %P\n' | sort
echo "The flight computer program is not part of this build yet."
