#!/usr/bin/env bash
# Process start to the first painted frame, on Qt's offscreen platform: the
# time from just before the viewer is started to the first time its main
# window is flushed to the screen, as Qt's own painting log reports it. Also
# the processor time the viewer has used by then (all its threads; it is idle
# after the paint), which waits for a busy processor or disk do not inflate.
#
# Two pictures: the bundled sample, and the 8000 x 8000 32-bit picture (a
# 244 MiB file, written by pixmora_bench_frame --write-pictures): the first
# frame of a large file should cost about what the sample's costs. Prints
# every run, then each picture's median, best and worst, and their ratio.
#
# Usage: bench/startup.sh [PATH/TO/pixmora [RUNS]]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
viewer=${1:-$root/build/release/app/pixmora}
runs=${2:-15}
sample=$root/samples/sample.bmp
# The benchmark programs of the same build tree as the viewer.
pictures=$(dirname "$viewer")/../bench/pixmora_bench_frame
target_ms=150
# The large picture's median against the sample's.
target_ratio=1.5
[ -x "$viewer" ] || { echo "startup: $viewer is not an executable" >&2; exit 1; }
[ -x "$pictures" ] || { echo "startup: $pictures is not built" >&2; exit 1; }

work=$(mktemp -d ${STARTUP_TMP:+-p $STARTUP_TMP})
trap 'rm -rf "$work"' EXIT
# A settings directory of its own, so that runs neither read nor change the
# user's recent-file list.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="qt.widgets.painting=true"
export QT_MESSAGE_PATTERN='%{time yyyy-MM-dd HH:mm:ss.zzz}|%{message}'

"$pictures" --write-pictures "$work" 32-bit
large=$work/32-bit.bmp
large_label="32-bit 8000x8000 ($(($(stat -c %s "$large") / 1048576)) MiB)"

# Processor time of every thread of a process in ms, from the scheduler's
# nanosecond counts.
cpu_ms() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {printf "%d", ns / 1e6}'
}

# Runs the viewer on $2 $runs times, labelling the runs $1; leaves the times
# in `times` and `cpus`.
measure() {
    local label=$1 picture=$2 i log start pid flushed cpu painted
    times=()
    cpus=()
    for ((i = 1; i <= runs; ++i)); do
        log=$work/run.log
        : >"$log"
        start=$(date +%s%3N)
        "$viewer" "$picture" 2>"$log" >/dev/null &
        pid=$!
        flushed=
        for _ in $(seq 1 3000); do
            flushed=$(grep -m1 '|Flushing top level' "$log" || true)
            if [ -n "$flushed" ]; then
                cpu=$(cpu_ms "$pid")
                break
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.01
        done
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        [ -n "$flushed" ] || { echo "startup: $label run $i painted nothing" >&2; exit 1; }
        painted=$(date -d "${flushed%%|*}" +%s%3N)
        times+=($((painted - start)))
        cpus+=("$cpu")
        echo "$label run $i: $((painted - start)) ms, processor $cpu ms"
    done
}

median() { printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
least() { printf '%s\n' "$@" | sort -n | head -1; }
most() { printf '%s\n' "$@" | sort -n | tail -1; }

measure sample "$sample"
sample_wall=$(median "${times[@]}")
sample_best=$(least "${times[@]}")
sample_worst=$(most "${times[@]}")
sample_cpu=$(median "${cpus[@]}")
measure 32-bit "$large"
large_wall=$(median "${times[@]}")
large_best=$(least "${times[@]}")
large_worst=$(most "${times[@]}")
large_cpu=$(median "${cpus[@]}")

verdict=met
[ "$sample_wall" -lt "$target_ms" ] || verdict=MISSED
echo "start to first painted frame, over $runs runs each:"
printf '%-28s %8s %8s %8s %10s\n' picture median best worst processor
printf '%-28s %8s %8s %8s %10s  (target under %d ms: %s)\n' "sample.bmp" "$sample_wall" \
    "$sample_best" "$sample_worst" "$sample_cpu" "$target_ms" "$verdict"
printf '%-28s %8s %8s %8s %10s\n' "$large_label" "$large_wall" "$large_best" \
    "$large_worst" "$large_cpu"
awk -v l="$large_wall" -v s="$sample_wall" -v t="$target_ratio" 'BEGIN {
    r = l / (s > 0 ? s : 1)
    printf "large picture / sample: %.2fx (target at most %.1fx: %s)\n", r, t, r <= t ? "met" : "MISSED"
}'
