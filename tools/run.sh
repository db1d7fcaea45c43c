#!/usr/bin/env bash
# Sets up, builds and runs Trevalo wired to the camera simulator: four simulated PTZ cameras
# on 127.0.0.10 to 127.0.0.13, found and previewed through the simulated NDI runtime. The
# simulator stops when the program exits. Without a display both run under Xvfb, a
# screenshot is saved under the build folder after a few seconds, and the program is closed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target trevalo trevalo-grab trevalo-camsim trevalo_camsim_ndi

SIM_LOG="$PWD/build/camsim.log"
build/tools/camsim/trevalo-camsim --cameras 4 --base 127.0.0.10 >"$SIM_LOG" 2>&1 &
sim=$!
trap 'kill -TERM "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    grep -q '^camsim: ready' "$SIM_LOG" && break
    if ! kill -0 "$sim" 2>/dev/null; then
        cat "$SIM_LOG" >&2
        echo "run.sh: the camera simulator did not start (is another one running?)" >&2
        exit 1
    fi
    sleep 0.1
done
echo "run.sh: camera simulator running, log in $SIM_LOG"
export NDI_RUNTIME_DIR_V6="$PWD/build/tools/camsim/ndi-runtime"
export TREVALO_CAMSIM_BASE=127.0.0.10

if [ -n "${DISPLAY:-}" ]; then
    build/trevalo
    exit
fi

# Nobody is at the screen: the simulated runtime picks a camera in each panel.
export TREVALO_CAMSIM_PICK_SOURCES=1
SHOT="$PWD/build/screenshot.png"
# Xvfb has no window manager to maximise the window, so it is given the whole screen.
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    build/trevalo -qwindowgeometry 1920x1080+0+0 & app=$!
    sleep 10
    build/tools/grab/trevalo-grab "$1"
    kill -TERM "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
' _ "$SHOT"
echo "run.sh: no display, ran under Xvfb with the camera simulator; screenshot saved to $SHOT"
