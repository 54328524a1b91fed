#!/bin/sh
# Installs what is missing, builds in Release and starts the control unit on the loopback
# interface together with the bundled junction-box simulator.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
    echo "No display found: starting a virtual one (Xvfb :99)."
    Xvfb :99 -screen 0 1920x1080x24 >/dev/null 2>&1 &
    export DISPLAY=:99
    sleep 1
fi
SIM=""
if [ -x build/tools/jbsim/kve-jb-sim ]; then
    # The simulator keeps its settings and history files under run/, like the unit.
    mkdir -p run/junction-box
    build/tools/jbsim/kve-jb-sim --interface lo --data-dir run/junction-box "$@" &
    SIM=$!
    trap 'kill $SIM 2>/dev/null' EXIT INT TERM
fi
mkdir -p run/unit-root
export KVE_ROOT="$PWD/run/unit-root"
cd run
../build/src/kve420 spec-net-interface lo
