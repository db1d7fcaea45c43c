#!/usr/bin/env bash
# Sets up, checks the formatting and the include layers, builds and runs every test: a
# warnings-as-errors build, the same tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the threaded ones (engine, store, capture, the race end to end) under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-deps.sh
tools/check-format.sh
tools/include-graph.py
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
cmake -S . -B build-tsan -G Ninja -DTREVALO_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTREVALO_SANITIZE=thread -DTREVALO_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$JOBS" --target threaded_tests
ctest --test-dir build-tsan --output-on-failure -j"$JOBS" --timeout 600 -L threaded
# The Debian package, from the build the tests just passed.
rm -rf build/package
cpack --config build/CPackConfig.cmake -B build/package >/dev/null
tools/check-install.sh --deb build/package/trevalo_*.deb
echo "test.sh: all tests passed"
