#!/usr/bin/env python3
"""Moves the selected lines, circles and arcs of a host file by (DX, DY).

An external program in Python, through ziv: `ziv dump` gives the host file's model as JSON,
the script keeps the lines, circles and arcs and moves them, and `ziv write` turns the model
back into the host's commands, which replace the host file. The model keeps the host's
settings and current attributes, so each entity keeps its own layer, colour and line type,
and the host's current layer is left as it was.

    move_selection.py HOSTFILE DX DY [--output FILE] [--ziv PATH]

DX and DY are in the host's coordinates (millimetres of the drawing). Only the Python standard
library is used.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys

# The fields that hold a position, by kind; radii and angles stay as they are.
MOVED = {
    "EntLine": (("x1", "y1"), ("x2", "y2")),
    "EntCirc": (("cx", "cy"),),
    "EntArc": (("cx", "cy"),),
}


def run_ziv(ziv, args, stdin=None):
    """Runs ziv; its messages go to our standard error, and a failure ends the script."""
    done = subprocess.run([ziv, *args], input=stdin, stdout=subprocess.PIPE)
    if done.returncode != 0:
        sys.exit(f"move_selection: ziv {args[0]} failed (exit status {done.returncode})")
    return done.stdout


def move(model, dx, dy):
    """Keeps the entities that can be moved, moved; returns how many."""
    kept = []
    for entity in model["entities"]:
        points = MOVED.get(entity["kind"])
        if points is None:
            continue
        for x, y in points:
            entity[x] += dx
            entity[y] += dy
        # Its place in the new model is where it is appended; the old one no longer holds.
        entity.pop("index", None)
        kept.append(entity)
    model["entities"] = kept
    return len(kept)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("hostfile")
    parser.add_argument("dx", type=float)
    parser.add_argument("dy", type=float)
    parser.add_argument("--output", help="where the commands go (default: the host file)")
    parser.add_argument("--ziv", default=os.environ.get("ZIV") or shutil.which("ziv") or "ziv")
    a = parser.parse_args()

    model = json.loads(run_ziv(a.ziv, ["dump", a.hostfile]))
    n = move(model, a.dx, a.dy)
    # allow_nan=False: JSON has no NaN; a value that is not a number would fail here rather
    # than reach ziv (the dump writes such values as the strings "nan", "inf", "-inf").
    text = json.dumps(model, ensure_ascii=False, allow_nan=False).encode("utf-8")
    run_ziv(a.ziv, ["write", "-", "-o", a.output or a.hostfile], stdin=text)
    print(f"moved {n} entities by ({a.dx:g}, {a.dy:g})", file=sys.stderr)


if __name__ == "__main__":
    main()
