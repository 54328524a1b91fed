#!/bin/sh
# Takes a screenshot of the control unit under a virtual display (Xvfb).
# usage: scripts/screenshot.sh <output.png> <seconds to wait> [control-unit arguments...]
# With KVE_SIM set, the junction-box simulator runs beside it on loopback.
set -e
cd "$(dirname "$0")/.."
B=$(realpath -m "${KVE_BUILD:-build}")
out=$(realpath -m "$1"); wait=$2; shift 2
Xvfb :98 -screen 0 1600x900x24 >/dev/null 2>&1 &
XPID=$!
export DISPLAY=:98
sleep 1
SPID=""
if [ -n "$KVE_SIM" ] && [ -x $B/tools/jbsim/kve-jb-sim ]; then
    mkdir -p run/sim && (cd run/sim && $B/tools/jbsim/kve-jb-sim --interface lo >/dev/null 2>&1) &
    SPID=$!
fi
mkdir -p run/shot
(cd run/shot && $B/src/kve420 "$@" >/dev/null 2>&1) &
APID=$!
sleep "$wait"
import -window root "$out"
kill $APID 2>/dev/null || true
[ -n "$SPID" ] && kill $SPID 2>/dev/null || true
kill $XPID 2>/dev/null || true
echo "wrote $out"
