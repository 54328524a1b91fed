#!/bin/sh
# Feeds the running unit bad input on serial line 1 (115200 baud, socat pseudo-terminals) and on the
# network for the given number of seconds (default 600), sampling its memory, then prints the fault
# counters per code and the memory curve. Needs socat, python3, and root for the private network
# namespace the traffic stays in (loopback only). The program is $KVE420 or build/src/kve420.
# Usage: scripts/bad-lines.sh [seconds] [--keep] [--reference]  (--reference: the same run without bad input)
set -e
cd "$(dirname "$0")/.."
export KVE420="${KVE420:-$PWD/build/src/kve420}"
export PYTHONDONTWRITEBYTECODE=1
exec python3 scripts/bad_lines.py "$@"
