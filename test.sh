#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer in build/test, and runs every test.
# Extra arguments go to ctest (for example: ./test.sh -L unit -R Geodesy).
set -euo pipefail
cd "$(dirname "$0")"
# Let ccache share its results between checkouts in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
scripts/install-deps.sh test

# Every include keeps the library order before anything is built.
python3 scripts/check_layering.py .


jobs=$(nproc)
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_SANITIZE=ON
# The files compiled together keep their own names to themselves.
python3 scripts/check_unity_names.py build/test
cmake --build build/test -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build/test
xvfb-run -a ctest --output-on-failure -j "$jobs" "$@"
