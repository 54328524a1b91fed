#!/bin/sh
# Endurance run: the real unit against the independent junction-box peer at 20 pings a second per
# channel for the given minutes (default 60), in a private network namespace. Samples and the unit's
# log go to soak-out/ (or $SOAK_OUT); the exit code tells whether every check held.
set -e
cd "$(dirname "$0")/.."
MINUTES=${1:-60}
export KVE420="${KVE420:-$PWD/build/src/kve420}"
export PYTHONPATH="$PWD/tests/peer:$PWD/tests/e2e" PYTHONDONTWRITEBYTECODE=1 PYTHONUNBUFFERED=1
exec python3 scripts/soak.py "$MINUTES" --out "${SOAK_OUT:-soak-out}"
