#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and screenshots need.
# Idempotent: apt is only called when something is missing.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config ccache python3
    qtbase5-dev qtbase5-dev-tools qtmultimedia5-dev libqt5multimedia5-plugins libqt5svg5
    libqt5charts5-dev libqt5gamepad5-dev
    xvfb xauth
    dpkg-dev desktop-file-utils
    clang-format
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
