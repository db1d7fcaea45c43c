#!/usr/bin/env bash
# Sets up, builds and runs Trevalo. Without a display it runs under Xvfb, saves a
# screenshot under the build folder after a few seconds and then closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target trevalo trevalo-grab

if [ -n "${DISPLAY:-}" ]; then
    exec build/trevalo
fi

SHOT="$PWD/build/screenshot.png"
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    build/trevalo & app=$!
    sleep 6
    build/tools/grab/trevalo-grab "$1"
    kill -TERM "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
' _ "$SHOT"
echo "run.sh: no display, ran under Xvfb; screenshot saved to $SHOT"
