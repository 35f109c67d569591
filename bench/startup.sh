#!/usr/bin/env bash
# Process start to the first painted frame of the bundled sample, on Qt's
# offscreen platform: the time from just before the viewer is started to
# the first time its main window is flushed to the screen, as Qt's own
# painting log reports it. Also the processor time the viewer has used by
# then (all its threads; it is idle after the paint), which waits for a busy
# processor or disk do not inflate. Prints every run, then the medians.
#
# Usage: bench/startup.sh [PATH/TO/pixmora [RUNS]]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
viewer=${1:-$root/build/release/app/pixmora}
runs=${2:-15}
sample=$root/samples/sample.bmp
target_ms=150
[ -x "$viewer" ] || { echo "startup: $viewer is not an executable" >&2; exit 1; }

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

# Processor time of every thread of a process in ms, from the scheduler's
# nanosecond counts.
cpu_ms() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {printf "%d", ns / 1e6}'
}

times=()
cpus=()
for ((i = 1; i <= runs; ++i)); do
    log=$work/run$i.log
    : >"$log"
    start=$(date +%s%3N)
    "$viewer" "$sample" 2>"$log" >/dev/null &
    pid=$!
    flushed=
    for _ in $(seq 1 1000); do
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
    [ -n "$flushed" ] || { echo "startup: run $i painted nothing" >&2; exit 1; }
    painted=$(date -d "${flushed%%|*}" +%s%3N)
    times+=($((painted - start)))
    cpus+=("$cpu")
    echo "run $i: $((painted - start)) ms, processor $cpu ms"
done

median() { printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
wall=$(median "${times[@]}")
best=$(printf '%s\n' "${times[@]}" | sort -n | head -1)
cpu=$(median "${cpus[@]}")
verdict=met
[ "$wall" -lt "$target_ms" ] || verdict=MISSED
echo "start to first painted frame: median $wall ms (best $best ms), processor time $cpu ms," \
    "over $runs runs (target under $target_ms ms: $verdict)"
