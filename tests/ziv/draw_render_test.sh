#!/usr/bin/env bash
# ziv draw's pictures as two SVG renderers show them, librsvg (rsvg-convert) and headless
# Chromium: both renderers must see one-pixel lines, dashed text boxes that leave their text
# readable, the size asked for, and with --host the host's drawing dimmed beneath the
# program's output. Pixels are probed in grey levels from 0 (black) to 1 (white).
# Usage: draw_render_test.sh ZIV
set -uo pipefail
ziv=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for tool in rsvg-convert chromium convert python3; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh)"; exit 1; }
done

# render RENDERER SVG PNG WIDTH HEIGHT
render() {
    local renderer=$1 svg=$2 png=$3
    if [[ $renderer == rsvg ]]; then
        rsvg-convert "$svg" -o "$png"
    else
        # A fresh profile each time and nothing that reaches out to the network.
        local profile
        profile=$(mktemp -d "$work/profile.XXXXXX")
        chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
            --disable-component-update --disable-sync --no-first-run --hide-scrollbars \
            --user-data-dir="$profile" --window-size="$4,$5" --screenshot="$png" \
            "file://$svg" >/dev/null 2>&1
    fi
    [[ -s $png ]] || fail "$renderer drew nothing for $svg"
}

# probe PNG EXPRESSION...: python expressions over g(x, y), the grey level of a pixel,
# col(x, y0, y1) and row(y, x0, x1), lists of them, and W and H; each must be true.
probe() {
    local png=$1
    shift
    local size
    size=$(identify -format '%w %h' "$png")
    convert "$png" -background white -flatten -colorspace gray -depth 8 "gray:$work/raw"
    python3 - "$work/raw" $size "$png" "$@" <<'PY'
import sys
raw, W, H, name = open(sys.argv[1], 'rb').read(), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
g = lambda x, y: raw[y * W + x] / 255
col = lambda x, y0, y1: [g(x, y) for y in range(y0, y1)]
row = lambda y, x0, x1: [g(x, y) for x in range(x0, x1)]
# Changes between ink and paper along a run of pixels: many for a dashed line.
changes = lambda v: sum(1 for a, b in zip(v, v[1:]) if (a < 0.9) != (b < 0.9))
bad = [e for e in sys.argv[5:] if not eval(e)]
for e in bad:
    print(f"FAIL: {name}: {e}")
sys.exit(1 if bad else 0)
PY
    (($? == 0)) || failures=$((failures + 1))
}

# A black frame line along y = 0 and x = 0, and a text of width 6 and height 10 whose box is
# dashed. 800 pixels wide: the drawing spans 100 units, 7.2 pixels each inside a margin of 40.
printf '\xef\xbb\xbflc2\r\nlt1\r\n0 0 100 0\r\n0 0 0 50\r\ncn0 6 10 0 2\r\ncc0\r\nch 10 10 1 0 "W日本W\r\n' \
    >"$work/host.txt"
"$ziv" draw "$work/host.txt" -o "$work/host.svg" || fail "draw host.txt"
grep -q 'non-scaling' "$work/host.svg" && fail "the picture relies on non-scaling strokes"

for renderer in rsvg chromium; do
    png=$work/host-$renderer.png
    render "$renderer" "$work/host.svg" "$png" 800 440
    probe "$png" \
        "(W, H) == (800, 440)" \
        "min(col(400, 390, 410)) < 0.5 and sum(v < 0.9 for v in col(400, 390, 410)) <= 2" \
        "min(row(200, 30, 50)) < 0.5 and sum(v < 0.9 for v in row(200, 30, 50)) <= 2" \
        "changes(row(256, 115, 225)) >= 20" \
        "0.02 < sum(v < 0.5 for y in range(260, 326) for v in row(y, 114, 222)) / (66 * 108) < 0.6"
done

# --size: the longer side in pixels, lines still one pixel wide.
"$ziv" draw "$work/host.txt" --size 200 -o "$work/small.svg" || fail "draw --size 200"
render rsvg "$work/small.svg" "$work/small.png"
probe "$work/small.png" "(W, H) == (200, 110)" \
    "sum(v < 0.9 for v in col(100, 90, 110)) <= 2 and min(col(100, 90, 110)) < 0.6"

# --host: the program's output (a line at y = 50) in full colour over the host's line at
# y = 0, which is dimmed but still there.
printf 'lc2\r\n0 50 100 50\r\n' >"$work/output.txt"
"$ziv" draw "$work/output.txt" --host "$work/host.txt" -o "$work/over.svg" || fail "draw --host"
for renderer in rsvg chromium; do
    png=$work/over-$renderer.png
    render "$renderer" "$work/over.svg" "$png" 800 440
    probe "$png" \
        "min(col(400, 30, 50)) < 0.5" \
        "0.5 < min(col(400, 390, 410)) < 0.97"
done

# A drawing out at the edge of the range of numbers: a picture both renderers read, of the
# size asked for, with what can be drawn.
printf 'hp1 1e308 1e308\r\nlc2\r\n-1e308 0 1e308 0\r\nci 0 0 1e300\r\n' >"$work/edge.txt"
"$ziv" draw "$work/edge.txt" -o "$work/edge.svg" 2>"$work/err" || fail "draw edge.txt"
grep -qiE 'inf|nan' "$work/edge.svg" && fail "edge.svg holds a number that is not finite"
for renderer in rsvg chromium; do
    render "$renderer" "$work/edge.svg" "$work/edge-$renderer.png" 800 441
    probe "$work/edge-$renderer.png" "W == 800" "min(row(220, 40, 760)) < 0.5 or min(col(400, 40, 420)) < 0.5"
done

if ((failures > 0)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "all cases passed"
