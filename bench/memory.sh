#!/usr/bin/env bash
# Peak resident memory, measured by GNU time, of pixmora-render drawing the
# first frame (a 1920x1080 window) of each large picture, and of the viewer
# (on Qt's offscreen platform) until its first paint of it. The targets do
# not grow with the file's size N: at most 64 MiB for pixmora-render and
# 96 MiB for the viewer, for every picture up to the 244 MiB 32-bit one.
#
# Usage: bench/memory.sh [BUILD_DIR]     (default build/release)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
render=$build/tools/pixmora-render
viewer=$build/app/pixmora
pictures=$build/bench/pixmora_bench_frame
for tool in "$render" "$viewer" "$pictures"; do
    [ -x "$tool" ] || { echo "memory: $tool is not built" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "memory: /usr/bin/time is missing (Debian package time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
mkdir "$work/pictures"
"$pictures" --write-pictures "$work/pictures"

peak_kib() { sed -n 's/.*Maximum resident set size (kbytes): //p' "$1"; }

# The viewer's peak once it has painted the picture: it runs until its main
# window is first flushed to the screen, then it is closed.
viewer_peak() {
    local picture=$1 log=$work/viewer.log stats=$work/viewer.time
    : >"$log"
    QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.widgets.painting=true" \
        /usr/bin/time -v -o "$stats" "$viewer" "$picture" 2>"$log" >/dev/null &
    local timer=$! child=
    for _ in $(seq 1 3000); do
        grep -q 'Flushing top level' "$log" && break
        kill -0 "$timer" 2>/dev/null || break
        sleep 0.01
    done
    child=$(pgrep -P "$timer" || true)
    [ -n "$child" ] && kill "$child" 2>/dev/null
    wait "$timer" 2>/dev/null || true
    grep -q 'Flushing top level' "$log" || { echo "memory: the viewer painted nothing" >&2; return 1; }
    peak_kib "$stats"
}

render_target=64
viewer_target=96
printf '%-16s %9s %12s %8s %7s %12s %8s %7s\n' picture "N MiB" "render MiB" target "" \
    "viewer MiB" target ""
status=0
for picture in "$work"/pictures/*.bmp; do
    name=$(basename "$picture" .bmp)
    bytes=$(stat -c %s "$picture")
    /usr/bin/time -v -o "$work/render.time" "$render" --viewport 1920x1080+0+0 "$picture" \
        "$work/out.ppm" >/dev/null
    render_kib=$(peak_kib "$work/render.time")
    viewer_kib=$(viewer_peak "$picture")
    awk -v name="$name" -v n="$bytes" -v r="$render_kib" -v v="$viewer_kib" \
        -v rt="$render_target" -v vt="$viewer_target" 'BEGIN {
        mib = 1048576; nm = n / mib; rm = r * 1024 / mib; vm = v * 1024 / mib
        rv = rm <= rt ? "met" : "MISSED"; vv = vm <= vt ? "met" : "MISSED"
        printf "%-16s %9.1f %12.1f %8d %7s %12.1f %8d %7s\n", name, nm, rm, rt, rv, vm, vt, vv
        exit (rv == "met" && vv == "met") ? 0 : 1
    }' || status=1
done
exit $status
