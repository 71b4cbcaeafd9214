#!/usr/bin/env bash
# Builds the benchmarks (bench preset) and runs every bench/*_bench program. Prints each figure
# next to its baseline and the ratio of their times, and writes the same report to
# bench/RESULTS.md with the machine it ran on.
#
#   ./bench.sh                          # everything, medians of five repetitions
#   ./bench.sh --benchmark_filter=Float # arguments go to every benchmark program
#   BENCH_NO_RESULTS=1 ./bench.sh       # leave bench/RESULTS.md alone
#   BENCH_REPORT_ONLY=1 ./bench.sh      # report the last run again, without building or running
#
# Needs only bash, awk and the build tools; the JSON output is read with awk.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

# Which figure is compared with which baseline: "figure baseline", one pair a line. A trailing
# "/*" matches the input name after the slash, which the baseline must share. Names are taken
# without their "/iterations:N", "/manual_time" and "/real_time" parts.
baselines='
BM_FloatToText/*        BM_Snprintf/*
BM_AppendFloatText/*    BM_Snprintf/*
BM_OpenTempBytes/*      BM_GetlineSplit/*
BM_OpenTempFile/*       BM_GetlineSplit/*
BM_CommandsAndSave      BM_PlainStreamFormatting
BM_CommandsAndSave      BM_PlainStreamLoop
WriteBack/groups_last   WriteBack/in_drawing_order
Ziv/info                Library/load
Ziv/dump                Library/load
Ziv/write               Library/writeback
Startup/xcb_label       Startup/xcb_minimal
Startup/xcb_typical     Startup/xcb_minimal
Startup/xcb_1M          Startup/xcb_minimal
Startup/xcb_label_fonts   Startup/xcb_minimal
Startup/xcb_typical_fonts Startup/xcb_minimal
Startup/xcb_typical_fonts Startup/xcb_minimal_fonts
Startup/offscreen_label Startup/offscreen_minimal
Startup/offscreen_typical Startup/offscreen_minimal
Startup/offscreen_1M    Startup/offscreen_minimal
'

build=build/bench
out=$build/results
jobs=$(nproc 2>/dev/null || echo 2)

run_all() {
    cmake --preset bench >/dev/null
    cmake --build --preset bench -j "$jobs"

    rm -rf "$out"
    mkdir -p "$out"
    # Other work on the machine inflates every time; the report shows how busy it was.
    cut -d ' ' -f 1-3 /proc/loadavg >"$out/load-before.txt" 2>/dev/null || true
    shopt -s nullglob
    local programs=("$build"/bench/*_bench)
    if ((${#programs[@]} == 0)); then
        echo "bench.sh: no benchmark programs in $build/bench" >&2
        exit 1
    fi
    # The machine's load and the allocator's state move single runs by tens of percent, so
    # every figure is the median of five repetitions unless the caller says otherwise.
    local repeat=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
    local exe name
    for exe in "${programs[@]}"; do
        name=$(basename "$exe")
        printf '\n== %s\n' "$name"
        "$exe" --benchmark_out="$out/$name.json" --benchmark_out_format=json "${repeat[@]}" "$@"
    done

    # Peak memory is a property of a whole process: one load per process, per encoding.
    local enc log
    : >"$out/peak.txt"
    for enc in utf8 cp932; do
        printf '\n== peak memory of one load, %s\n' "$enc"
        log=$out/peak-$enc.txt
        "$build/bench/TempFile_bench" --benchmark_filter="BM_OpenTempFileOnce/$enc/" >"$log"
        cat "$log"
        awk -v enc="$enc" '
            /PeakRSSxFile=/ {
                f = "-"
                for (i = 1; i <= NF; ++i) {
                    if ($i ~ /^PeakRSSxFile=/) { v = $i; sub(/^[^=]*=/, "", v) }
                    if ($i ~ /^PageFaults=/) { f = $i; sub(/^[^=]*=/, "", f) }
                }
                printf "| %s | %.2f | %s |\n", enc, v, f
            }' "$log" >>"$out/peak.txt"
    done
}

# One line per figure: program, name, time in ns, bytes/s, items/s, and the kind of time:
# CPU time, or the wall time a benchmark measures itself (manual time).
flatten() {
    awk '
        FNR == 1 { prog = FILENAME; sub(/.*\//, "", prog); sub(/\.json$/, "", prog) }
        /^    \{/ {
            name = ""; type = "iteration"; agg = ""; cpu = ""; real = ""; unit = "ns"
            bps = "-"; ips = "-"
        }
        /^      "name":/ { name = $0; sub(/^[^:]*: "/, "", name); sub(/",?$/, "", name) }
        /^      "run_type":/ { type = $0; gsub(/.*: "|",?$/, "", type) }
        /^      "aggregate_name":/ { agg = $0; gsub(/.*: "|",?$/, "", agg) }
        /^      "cpu_time":/ { cpu = $2; sub(/,$/, "", cpu) }
        /^      "real_time":/ { real = $2; sub(/,$/, "", real) }
        /^      "time_unit":/ { unit = $2; gsub(/[",]/, "", unit) }
        /^      "bytes_per_second":/ { bps = $2; sub(/,$/, "", bps) }
        /^      "items_per_second":/ { ips = $2; sub(/,$/, "", ips) }
        /^    \}/ {
            # Single runs, or the median of repeated ones.
            if (name != "" && cpu != "" && (type == "iteration" || agg == "median")) {
                sub(/_median$/, "", name)
                f = unit == "s" ? 1e9 : unit == "ms" ? 1e6 : unit == "us" ? 1e3 : 1
                kind = name ~ /\/(manual_time|real_time)/ ? "wall" : "cpu"
                t = kind == "wall" ? real : cpu
                gsub(/\/iterations:[0-9]+|\/manual_time|\/real_time/, "", name)
                printf "%s\t%s\t%.6g\t%s\t%s\t%s\n", prog, name, t * f, bps, ips, kind
            }
        }
    ' "$out"/*.json
}

report() {
    flatten | awk -F '\t' -v pairs="$baselines" '
        function human(ns) {
            if (ns >= 1e9) return sprintf("%.3g s", ns / 1e9)
            if (ns >= 1e6) return sprintf("%.3g ms", ns / 1e6)
            if (ns >= 1e3) return sprintf("%.3g us", ns / 1e3)
            return sprintf("%.3g ns", ns)
        }
        function rate(v, what) {
            if (v == "-" || v == "") return ""
            if (what == "B") return sprintf("%.4g MB/s", v / 1e6)
            return sprintf("%.3g M/s", v / 1e6)
        }
        # The baseline names for a figure, separated by blanks, or "".
        function baselines(name,    i, f, b, head, tail, all) {
            all = ""
            for (i = 1; i <= npairs; ++i) {
                f = pf[i]; b = pb[i]
                if (f == name) {
                    all = all " " b
                } else if (f ~ /\/\*$/) {
                    head = substr(f, 1, length(f) - 1)
                    if (index(name, head) == 1) {
                        tail = substr(name, length(head) + 1)
                        all = all " " substr(b, 1, length(b) - 1) tail
                    }
                }
            }
            return all
        }
        BEGIN {
            n = split(pairs, rows, "\n")
            for (i = 1; i <= n; ++i) {
                if (split(rows[i], w, " ") == 2) { ++npairs; pf[npairs] = w[1]; pb[npairs] = w[2] }
            }
        }
        {
            ++count; prog[count] = $1; name[count] = $2; cpu[$2] = $3
            thr[$2] = $4 != "-" ? rate($4, "B") : rate($5, "I")
            tag[$2] = $6 == "wall" ? " (wall)" : ""
        }
        END {
            print "| Program | Benchmark | Time | Throughput | Baseline | Baseline time | Ratio |"
            print "|---|---|---:|---:|---|---:|---:|"
            for (i = 1; i <= count; ++i) {
                nm = name[i]
                shown = 0
                nb = split(baselines(nm), bl, " ")
                for (j = 1; j <= nb; ++j) {
                    b = bl[j]
                    if ((b in cpu) && cpu[b] > 0) {
                        printf "| %s | %s | %s%s | %s | %s | %s%s | %.2f |\n", prog[i], nm,
                            human(cpu[nm]), tag[nm], thr[nm], b, human(cpu[b]), tag[b],
                            cpu[nm] / cpu[b]
                        shown = 1
                    }
                }
                if (!shown) {
                    printf "| %s | %s | %s%s | %s | | | |\n", prog[i], nm, human(cpu[nm]), tag[nm],
                        thr[nm]
                }
            }
        }
    '
}

# The font families the start-up cases saw, without and with the font set of bench/fonts.sh.
families() {
    local json=$out/Startup_bench.json
    [[ -s $json ]] || return 0
    awk '
        /^      "name":/ { name = $0; sub(/^[^:]*: "/, "", name); sub(/",?$/, "", name) }
        /^      "families":/ && name ~ /xcb_typical(_fonts)?\/.*_median$/ {
            v = $2; sub(/,$/, "", v)
            if (name ~ /_fonts/) fonts = v + 0; else plain = v + 0
        }
        END {
            if (plain != "" || fonts != "")
                printf "Font families: %d on this machine, %d in the \"fonts\" cases (bench/fonts.sh).\n", plain, fonts
        }' "$json"
}

machine() {
    local model cores
    model=$(lscpu 2>/dev/null | awk -F: '/^Model name/ { sub(/^[ \t]+/, "", $2); print $2; exit }')
    cores=$(nproc 2>/dev/null || echo "?")
    printf -- '- Machine: %s, %s cores\n' "${model:-unknown}" "$cores"
    printf -- '- Date: %s\n' "$(date -u '+%Y-%m-%d %H:%M UTC')"
    printf -- '- Commit: %s\n' "$(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
    printf -- '- Compiler: %s\n' "$(awk -F= '/^CMAKE_CXX_COMPILER:/ { print $2 }' "$build/CMakeCache.txt")"
    if [[ -s $out/load-before.txt ]]; then
        printf -- '- Load average (1, 5, 15 minutes) before the run: %s; after it: %s\n' \
            "$(cat "$out/load-before.txt")" "$(cut -d ' ' -f 1-3 /proc/loadavg 2>/dev/null)"
    fi
}

if [[ -z ${BENCH_REPORT_ONLY:-} ]]; then
    run_all "$@"
fi
table=$(report)
printf '\n== Summary (ratio = time / baseline time; below 1 is faster)\n%s\n' "$table"
fonts=$(families)
[[ -z $fonts ]] || printf '%s\n' "$fonts"
peak=""
if [[ -s $out/peak.txt ]]; then
    peak=$(printf '| Encoding | Peak resident memory / file size | Page faults of the load |\n|---|---:|---:|\n'
           cat "$out/peak.txt")
    printf '\n== Peak memory of one load of the generated host file\n%s\n' "$peak"
fi

if [[ -z ${BENCH_NO_RESULTS:-} ]]; then
    {
        echo "# Benchmark results"
        echo
        echo "The latest run of \`./bench.sh\`: each figure next to its baseline, and the ratio of"
        echo "their times (below 1: faster than the baseline). Times are CPU times, except those"
        echo "marked (wall): the benchmark measures the wall time itself. Medians of five repetitions"
        echo "unless the arguments say otherwise. Release build, bench preset."
        echo
        machine
        if (($# > 0)); then
            printf -- '- Arguments: %s\n' "$*"
        fi
        echo
        echo "$table"
        if [[ -n $fonts ]]; then
            echo
            echo "$fonts"
        fi
        if [[ -n $peak ]]; then
            echo
            echo "Peak memory of one \`OpenTempFile\` of the generated host file, each in a process of"
            echo "its own:"
            echo
            echo "$peak"
        fi
    } >bench/RESULTS.md
    echo "Written to bench/RESULTS.md"
fi
