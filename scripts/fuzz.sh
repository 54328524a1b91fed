#!/bin/bash
# Builds every fuzz target with the whole tree instrumented (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for the given seconds, from a working copy
# of its seed corpus, never from fuzz/corpus itself.
#
#   scripts/fuzz.sh [seconds] [-j jobs] [target ...]
#
# seconds  how long each target runs (default 60)
# -j jobs  targets run side by side (default 1; the build always uses two cores)
# target   run only these (names of fuzz/fuzz_*.cpp without the extension)
#
# Prints per target the executions, the edges covered (libFuzzer's "cov:") and the faults, and
# exits non-zero when any target found one; the reproducer is kept in build-fuzz/faults/<target>/
# and replays with "build-fuzz/fuzz/<target> <file>". Inputs the fuzzers found interesting
# accumulate in build-fuzz/corpus-work/<target>/ from run to run (delete it to start afresh).
set -e
cd "$(dirname "$0")/.."
ROOT=$PWD

SECONDS_PER_TARGET=60
JOBS=1
TARGETS=()
while [ $# -gt 0 ]; do
    case "$1" in
    -j) JOBS=$2; shift 2 ;;
    -j*) JOBS=${1#-j}; shift ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    [0-9]*) SECONDS_PER_TARGET=$1; shift ;;
    *) TARGETS+=("$1"); shift ;;
    esac
done

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang is missing: installing it."
    if [ "$(id -u)" -ne 0 ]; then
        echo "Not root: install clang (apt-get install clang) or run as root." >&2
        exit 1
    fi
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y clang
fi

BUILD=$ROOT/build-fuzz
LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then
    LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ "${LAUNCHER[@]}" -DKVE_BUILD_FUZZ=ON -DKVE_BUILD_TESTS=OFF \
    -DKVE_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j2 --target fuzzers

if [ ${#TARGETS[@]} -eq 0 ]; then
    for f in fuzz/fuzz_*.cpp; do
        TARGETS+=("$(basename "$f" .cpp)")
    done
fi

mkdir -p "$BUILD/logs" "$BUILD/faults" "$BUILD/corpus-work"
export QT_QPA_PLATFORM=offscreen
# Leaks count as faults; an undefined-behaviour report ends the run like a crash does.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_target() {
    local name=$1
    local work=$BUILD/corpus-work/$name faults=$BUILD/faults/$name scratch=$BUILD/scratch/$name
    mkdir -p "$work" "$faults" "$scratch"
    # The seeds join whatever earlier runs found; the source tree is only read.
    cp -n "$ROOT/fuzz/corpus/$name"/* "$work"/ 2>/dev/null || true
    # Harnesses that need files of their own keep them in the scratch folder.
    (cd "$scratch" && KVE_FUZZ_SCRATCH=$scratch "$BUILD/fuzz/$name" -max_total_time="$SECONDS_PER_TARGET" \
        -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$faults/" "$work" \
        >"$BUILD/logs/$name.log" 2>&1) || true
}

echo "Running ${#TARGETS[@]} targets for $SECONDS_PER_TARGET s each, $JOBS at a time; logs in build-fuzz/logs/"
START=$(date +%s)
for name in "${TARGETS[@]}"; do
    if [ ! -x "$BUILD/fuzz/$name" ]; then
        echo "No fuzz target $name" >&2
        exit 2
    fi
    # Faults of an earlier run are not counted again.
    rm -f "$BUILD/faults/$name"/* 2>/dev/null || true
done
running=0
for name in "${TARGETS[@]}"; do
    run_target "$name" &
    running=$((running + 1))
    if [ "$running" -ge "$JOBS" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

printf '\n%-26s %12s %8s %8s %7s  %s\n' target executions exec/s edges faults reproducer
total_faults=0
for name in "${TARGETS[@]}"; do
    log=$BUILD/logs/$name.log
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    found=$(find "$BUILD/faults/$name" -type f | sort)
    count=$(printf '%s' "$found" | grep -c . || true)
    if [ "$count" -eq 0 ] && grep -q -e '^==[0-9]*==ERROR' -e 'runtime error:' -e '^==[0-9]*== ERROR: libFuzzer' "$log"; then
        count=1
        found="(see $log)"
    elif [ -z "$execs" ]; then
        # It never got to the end of its run: a fault on the way out or before the first input.
        count=1
        found="(no statistics, see $log)"
    fi
    total_faults=$((total_faults + count))
    first=$(printf '%s\n' "$found" | head -1)
    printf '%-26s %12s %8s %8s %7s  %s\n' "$name" "${execs:--}" "${rate:--}" "${edges:--}" "$count" \
        "${first#"$ROOT"/}"
done
echo "Wall time: $(( $(date +%s) - START )) s"
if [ "$total_faults" -gt 0 ]; then
    echo "FAULTS FOUND: $total_faults. Replay one with: build-fuzz/fuzz/<target> build-fuzz/faults/<target>/<file>"
    exit 1
fi
echo "No faults."
