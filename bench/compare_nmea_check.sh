#!/bin/bash
# Whole-process timing of `kve-nmea-check --summary` (every line through the unit's complete receive
# path) against the open Go decoder github.com/adrianmo/go-nmea parsing every line of the same
# 1,000,000-line mixed corpus that bench_nmea writes (bench_nmea --write-corpus), in the same run.
#
# Usage: compare_nmea_check.sh BUILD_DIR [ROUNDS]
#
# The Go decoder is built from bench/gonmea/main.go against Debian's packages golang-go and
# golang-github-adrianmo-go-nmea-dev, which the script installs when they are missing (as root),
# offline from /usr/share/gocode without Go modules.
# Each round times both programs one after the other; the best round of each is the figure, as the
# machine is shared. Rates are lines per second of CPU time (user + system) and of wall time.
set -euo pipefail
build=$(cd "${1:?usage: compare_nmea_check.sh BUILD_DIR [ROUNDS]}" && pwd)
rounds=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
bench="$build/bench/bench_nmea"
check="$build/tools/nmeacheck/kve-nmea-check"

missing=()
command -v go > /dev/null || missing+=(golang-go)
[ -d /usr/share/gocode/src/github.com/adrianmo/go-nmea ] || missing+=(golang-github-adrianmo-go-nmea-dev)
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" > /dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus="$work/corpus.nmea"
gonmea="$work/gonmea"

( cd "$here/gonmea" && env GOPATH=/usr/share/gocode GO111MODULE=off GOFLAGS= GOPROXY=off \
      GOCACHE="$work/gocache" go build -o "$gonmea" . )

"$bench" --write-corpus="$corpus"
lines=$(wc -l < "$corpus")
echo "corpus: $lines lines, $(stat -c %s "$corpus") bytes"

# "cpu wall" seconds of one command, its output thrown away.
timed() {
    local times
    times=$( { TIMEFORMAT='%U %S %R'; time "$@" > /dev/null 2>&1; } 2>&1 )
    awk '{ printf "%.3f %.3f\n", $1 + $2, $3 }' <<< "$times"
}

best_kve_cpu=; best_kve_wall=; best_go_cpu=; best_go_wall=
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
for round in $(seq 1 "$rounds"); do
    read -r kve_cpu kve_wall < <(timed "$check" --summary "$corpus")
    read -r go_cpu go_wall < <(timed "$gonmea" "$corpus")
    printf "round %d: kve-nmea-check --summary cpu %.2f s wall %.2f s | go-nmea cpu %.2f s wall %.2f s\n" \
        "$round" "$kve_cpu" "$kve_wall" "$go_cpu" "$go_wall"
    best_kve_cpu=$(min "$best_kve_cpu" "$kve_cpu"); best_kve_wall=$(min "$best_kve_wall" "$kve_wall")
    best_go_cpu=$(min "$best_go_cpu" "$go_cpu"); best_go_wall=$(min "$best_go_wall" "$go_wall")
done

awk -v l="$lines" -v kc="$best_kve_cpu" -v kw="$best_kve_wall" -v gc="$best_go_cpu" -v gw="$best_go_wall" 'BEGIN {
    printf "best of rounds, lines/s:\n"
    printf "  kve-nmea-check --summary  %9.0f (cpu)  %9.0f (wall)\n", l / kc, l / kw
    printf "  go-nmea                   %9.0f (cpu)  %9.0f (wall)\n", l / gc, l / gw
    printf "  ratio kve / go            %9.2f (cpu)  %9.2f (wall)\n", gc / kc, gw / kw
}'
echo "what each counted:"
"$check" --summary "$corpus" | sed 's/^/  kve: /'
"$gonmea" "$corpus" | tail -1 | sed 's/^/  go:  /'
