#!/usr/bin/env bash
# Start-up of the Windows program under wine next to the Linux program: the time from starting
# bench/startup_probe (the dialog as r407 starts it, on the bundled example host file; or an
# empty window, the floor of any Qt program) to the probe's word that its window has been
# painted. Everything runs in one private Xvfb server; each figure is the median of RUNS runs
# (default 11), the runs of the three kinds taking turns.
#
#   bench/startup-wine.sh
#
#   linux        the Linux probe (preset bench), on the xcb platform
#   wine warm    the Windows probe (preset windows) under wine while wine's server and services
#                already run, as they do after the first start: the closest to a program
#                started on Windows itself
#   wine cold    the same after wine has been stopped: wine's server and services start first
#
# wine runs in a prefix of its own (build/windows/wineprefix, made like the end-to-end
# tests' one) with a Japanese locale.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
runs=${RUNS:-11}

scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target startup_probe >/dev/null
# shellcheck source=../scripts/windows-session.sh
source scripts/windows-session.sh
ws_prepare startup_probe
linux_probe=$root/build/bench/bench/startup_probe
wine_probe=$root/build/windows/bench/startup_probe.exe

work=$(mktemp -d "${TMPDIR:-/tmp}/r407-startup-wine.XXXXXX")
trap 'wineserver -k >/dev/null 2>&1 || true; xs_stop_server; rm -rf "$work"' EXIT
cp examples/ZIV_TEMP.TXT "$work/ZIV_TEMP.TXT"
xs_start_server

# Prints the milliseconds from the start of COMMAND to its first line of output ("shown"),
# then waits for COMMAND to end. Only the first line is read: wine's server, which the first
# program starts, may hold the output open long after the program has ended.
time_to_shown() {
    local fifo=$work/out start end line pid
    rm -f "$fifo"
    mkfifo "$fifo"
    start=$(date +%s%N)
    "$@" >"$fifo" 2>/dev/null &
    pid=$!
    IFS= read -r -t 120 line <"$fifo" || true
    end=$(date +%s%N)
    wait "$pid" || true
    [[ $line == shown* ]] || { echo "startup-wine.sh: no window from $*" >&2; return 1; }
    echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A times
for kind in typical minimal; do
    if [[ $kind == typical ]]; then
        linux_args=("$work") wine_args=("Z:${work//\//\\}")
    else
        linux_args=(--minimal) wine_args=(--minimal)
    fi
    # The first start of wine in this display, not counted.
    time_to_shown wine "$wine_probe" "${wine_args[@]}" >/dev/null
    for ((i = 0; i < runs; i++)); do
        times[linux_$kind]+="$(XDG_RUNTIME_DIR=$XS_RUNTIME_DIR QT_QPA_PLATFORM=xcb \
            time_to_shown "$linux_probe" "${linux_args[@]}") "
        times[warm_$kind]+="$(time_to_shown wine "$wine_probe" "${wine_args[@]}") "
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w
        times[cold_$kind]+="$(time_to_shown wine "$wine_probe" "${wine_args[@]}") "
    done
done

printf '%-34s %10s %10s %10s\n' "start-up to the first paint (ms)" linux "wine warm" "wine cold"
for kind in typical minimal; do
    label="dialog, examples/ZIV_TEMP.TXT"
    [[ $kind == typical ]] || label="empty window (--minimal)"
    printf '%-34s' "$label"
    for who in linux warm cold; do
        printf ' %10s' "$(tr ' ' '\n' <<<"${times[${who}_$kind]}" | grep . | median)"
    done
    printf '\n'
done
echo "(medians of $runs runs each; $(nproc) processors; $(wine --version))"
linux_families=$(XDG_RUNTIME_DIR=$XS_RUNTIME_DIR QT_QPA_PLATFORM=xcb "$linux_probe" --families)
wine_families=$(wine "$wine_probe" --families 2>/dev/null | tr -d '\r')
echo "(font families: linux $linux_families, wine prefix $wine_families)"
