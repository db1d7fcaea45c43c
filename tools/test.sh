#!/usr/bin/env bash
# Sets up, checks the formatting, builds and runs every test: a warnings-as-errors build, then
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-deps.sh
tools/check-format.sh
JOBS=$(nproc)

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DTREVALO_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j"$JOBS"
    ctest --test-dir "$dir" --output-on-failure -j"$JOBS" --timeout 600
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DTREVALO_SANITIZE=address,undefined \
    -DTREVALO_BUILD_BENCH=OFF
# The Debian package, from the build the tests just passed.
rm -rf build/package
cpack --config build/CPackConfig.cmake -B build/package >/dev/null
tools/check-install.sh --deb build/package/trevalo_*.deb
echo "test.sh: all tests passed"
