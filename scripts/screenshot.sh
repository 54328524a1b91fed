#!/bin/sh
# Takes a screenshot of the control unit under a virtual display (Xvfb).
# usage: scripts/screenshot.sh <output.png> <seconds to wait> [control-unit arguments...]
# With KVE_SIM set, the junction-box simulator runs beside it, both in a private network namespace.
# For screens reached by touch, see scripts/screenshot.py and scripts/readme-screenshots.sh.
set -e
cd "$(dirname "$0")/.."
out=$1; wait=$2; shift 2
exec python3 scripts/screenshot.py ${KVE_SIM:+--sim} "wait=$wait" "shot=$out" -- "$@"
