#!/bin/bash
# Times kve-nmea-check against gpsdecode on the same 1,000,000-line mixed corpus that bench_nmea
# uses (written by bench_nmea --write-corpus). Usage: compare_nmea_check.sh BUILD_DIR
# gpsdecode comes with Debian's gpsd-clients package (apt-get install -y gpsd-clients).
set -euo pipefail
build=${1:?usage: compare_nmea_check.sh BUILD_DIR}
bench="$build/bench/bench_nmea"
check="$build/tools/nmeacheck/kve-nmea-check"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus="$work/corpus.nmea"

"$bench" --write-corpus="$corpus"
lines=$(wc -l < "$corpus")
echo "corpus: $lines lines, $(stat -c %s "$corpus") bytes"

# CPU seconds (user + system) of one shell command, with its output thrown away.
cpu_seconds() {
    local name=$1 command=$2 times
    times=$( { TIMEFORMAT='%U %S %R'; time bash -c "$command" > /dev/null 2>&1; } 2>&1 )
    awk -v l="$lines" -v name="$name" '{ cpu = $1 + $2; printf "%-16s cpu %.2f s  wall %.2f s  %.0f lines/s (cpu)\n", name, cpu, $3, l / cpu }' <<< "$times"
}

for round in 1 2; do
    echo "round $round"
    cpu_seconds "kve-nmea-check" "'$check' '$corpus'"
    cpu_seconds "gpsdecode" "gpsdecode < '$corpus'"
done
"$check" "$corpus" 2>&1 > /dev/null | head -1
