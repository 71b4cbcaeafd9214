#!/usr/bin/env bash
# The ziv program as a user runs it: exit statuses, one line on standard error for bad input,
# output files replaced whole or left alone, standard input and output, and --help.
# Usage: cli_test.sh ZIV FIXTURES [EMULATOR]
# With an emulator (scripts/wine-run.sh) ZIV is ziv.exe, run through it; the cases of paths
# that only a POSIX system has (FIFOs, devices, symbolic links) are then left out.
set -uo pipefail
ziv=$1
fixtures=$2
emulator=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

if [[ -n $emulator ]]; then
    # A program of its own for the rest of the script and for the Python example.
    printf '#!/usr/bin/env bash\nexec %q %q "$@"\n' "$emulator" "$ziv" >"$work/ziv-emulated"
    chmod +x "$work/ziv-emulated"
    ziv=$work/ziv-emulated
    # The emulator itself must start: a failure there is not the program's.
    "$ziv" --version >/dev/null 2>"$work/emulator-err" ||
        { echo "FAIL: the emulator did not run ziv: $(cat "$work/emulator-err")"; exit 1; }
fi

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect STATUS STDERR-PATTERN -- ARGS...: runs ziv and checks its status, and that standard
# error is empty (pattern "") or one line matching the pattern.
expect() {
    local status=$1 pattern=$2
    shift 3
    "$ziv" "$@" >"$work/out" 2>"$work/err" </dev/null
    local got=$?
    [[ $got == "$status" ]] || fail "ziv $*: status $got, expected $status ($(cat "$work/err"))"
    if [[ -z $pattern ]]; then
        [[ ! -s $work/err ]] || fail "ziv $*: unexpected standard error: $(cat "$work/err")"
    else
        [[ $(wc -l <"$work/err") == 1 ]] || fail "ziv $*: standard error is not one line"
        grep -q -- "$pattern" "$work/err" || fail "ziv $*: standard error $(cat "$work/err")"
    fi
}

host=$fixtures/host_all_kinds_cp932.txt
printf '{"entities":[{"kind":"EntLine","x1":0,"y1":0,"x2":1,"y2":1}]}' >"$work/good.json"
printf '{"entities":[{"kind":"EntLine","x1":0,\n"y1":}]}' >"$work/broken.json"

# Bad input: status 2 and one line.
expect 2 "no such file" -- info "$work/missing.txt"
expect 2 "is a folder" -- dump "$work"
expect 2 "line 2, column 6" -- write "$work/broken.json"
printf '{"entities":[{"kind":"EntWave"}]}' >"$work/wave.json"
expect 2 "unknown kind" -- write "$work/wave.json"
expect 2 "a command is required; the commands are info, dump, write, audit, draw" --
expect 2 "unknown command \"frobnicate\"; the commands are info, dump" -- frobnicate
expect 2 "unknown command \"infos\" (did you mean \"info\"?)" -- infos x
expect 2 "encoding" -- write "$work/good.json" --encoding latin1
# Success and audit's own statuses.
expect 0 "" -- info "$host"
expect 1 "" -- audit "$host"
expect 0 "" -- audit "$fixtures/bad/empty.txt"
for cmd in info dump write audit draw generate; do
    expect 0 "" -- "$cmd" --help
    grep -q "Usage" "$work/out" || fail "ziv $cmd --help prints no usage"
done

# A failed write leaves the old file as it was and leaves no temporary file beside it.
mkdir "$work/out-dir"
printf 'old\r\n' >"$work/out-dir/TARGET.TXT"
expect 2 "column" -- write "$work/broken.json" -o "$work/out-dir/TARGET.TXT"
[[ $(cat "$work/out-dir/TARGET.TXT") == $'old\r' ]] || fail "failed write changed the file"
[[ $(ls "$work/out-dir") == TARGET.TXT ]] || fail "failed write left: $(ls "$work/out-dir")"
expect 2 "no such file" -- draw "$work/missing.txt" -o "$work/out-dir/TARGET.TXT"
[[ $(cat "$work/out-dir/TARGET.TXT") == $'old\r' ]] || fail "failed draw changed the file"
# A successful one replaces it.
expect 0 "" -- write "$work/good.json" -o "$work/out-dir/TARGET.TXT" --encoding utf8
[[ $(head -c 3 "$work/out-dir/TARGET.TXT" | od -An -tx1 | tr -d ' ') == efbbbf ]] ||
    fail "--encoding utf8 wrote no byte-order mark"
grep -q $'^0 0 1 1\r$' "$work/out-dir/TARGET.TXT" || fail "write wrote no line"
# An output folder that does not exist: status 2, nothing written.
expect 2 "cannot write" -- dump "$host" -o "$work/nowhere/x.json"

# The pipe: dump | write - gives the library's write-back (the same bytes as dumping again and
# writing again), and standard input works for the readers.
"$ziv" dump "$host" | "$ziv" write - >"$work/a.txt" || fail "dump | write failed"
"$ziv" dump - <"$host" | "$ziv" write - -o "$work/b.txt" || fail "dump - | write -o failed"
cmp -s "$work/a.txt" "$work/b.txt" || fail "standard input and output differ from files"
"$ziv" draw "$host" -o "$work/p.svg" && grep -q '</svg>' "$work/p.svg" || fail "draw -o"

# --version: one line, the version alone.
expect 0 "" -- --version
grep -qx 'ziv [0-9]*\.[0-9]*\.[0-9]*' "$work/out" || fail "ziv --version: $(cat "$work/out")"
# Help texts speak of what the user sees, never of the library's calls.
for cmd in info dump write audit draw generate; do
    "$ziv" "$cmd" --help >"$work/help" 2>&1
    ! grep -qE 'S_[A-Z]|TJGdata|Ent[A-Z][a-z]+N' "$work/help" || fail "ziv $cmd --help: internal names"
done

# info and audit over several files: findings as FILE:LINE:, a clean file in one line, a file
# that is no exchange file (status 1) and one that cannot be read (status 2) leave the others
# reported.
clean=$fixtures/bad/empty.txt
expect 1 "" -- audit "$clean" "$host"
[[ $(head -1 "$work/out") == "$clean: clean: every line read as it is and written back whole" ]] ||
    fail "clean audit: $(head -1 "$work/out")"
[[ $(sed -n 2p "$work/out") == "$host:43: a circular solid"* ]] || fail "audit: $(sed -n 2p "$work/out")"
expect 2 "missing.txt: no such file" -- audit "$host" "$work/missing.txt"
[[ $(wc -l <"$work/out") == 2 ]] || fail "audit stopped at the missing file"
expect 1 "good.json: not an exchange file" -- info "$work/good.json"
head -c 4096 /bin/sh >"$work/binary.bin"
expect 1 "binary.bin: not an exchange file" -- info "$host" "$work/binary.bin"
[[ $(head -1 "$work/out") == "File: $host" ]] || fail "info over two files: $(head -1 "$work/out")"

# write names each entity it cannot write, one line each, and writes nothing.
printf '{"entities":[{"kind":"EntText","x1":0,"y1":0,"st":"a"},{"x1":1},{"kind":"EntLine","x1":0,"y1":0,"x2":1,"y2":0}]}' >"$work/two-bad.json"
"$ziv" write "$work/two-bad.json" -o "$work/out-dir/TARGET.TXT" 2>"$work/err"
[[ $? == 2 ]] || fail "write of refused entities: not status 2"
[[ $(cat "$work/err") == $'ziv: entity 0 (EntText): missing "x2"\nziv: entity 1: missing "kind"' ]] ||
    fail "write refusals: $(cat "$work/err")"
grep -q $'^0 0 1 1\r$' "$work/out-dir/TARGET.TXT" || fail "a refused write changed the file"
printf '{"entities":[{"kind":"EntLine","x1":NaN}]}' >"$work/nan.json"
expect 2 'field "x1", parse error at line 1, column 37: NaN and Infinity are not JSON' -- write "$work/nan.json"

# -o by the kind of path: a symbolic link's target is replaced and the link stays; a FIFO and
# a device are written through; a folder and an empty name are refused.
expect 2 "is a folder" -- dump "$host" -o "$work/out-dir"
expect 2 "an empty output file name" -- write "$work/good.json" -o ""
if [[ -z $emulator ]]; then
printf 'old\r\n' >"$work/target.txt"
ln -s target.txt "$work/link.txt"
expect 0 "" -- dump "$host" -o "$work/link.txt"
[[ -L $work/link.txt ]] || fail "-o replaced the symbolic link"
grep -q '"format":"r407-model"' "$work/target.txt" || fail "-o did not write the link's target"
ln -s nowhere/x.txt "$work/dangling.txt"
expect 2 "cannot write" -- dump "$host" -o "$work/dangling.txt"
mkfifo "$work/fifo"
cat "$work/fifo" >"$work/from-fifo" &
reader=$!
expect 0 "" -- dump "$host" -o "$work/fifo"
wait "$reader"
[[ -p $work/fifo ]] || fail "-o replaced the FIFO"
"$ziv" dump "$host" >"$work/dump.json"
cmp -s "$work/from-fifo" "$work/dump.json" || fail "-o FIFO: not the dump"
"$ziv" dump "$host" -o /dev/stdout >"$work/via-dev"
cmp -s "$work/via-dev" "$work/dump.json" || fail "-o /dev/stdout: not the dump on standard output"
expect 0 "" -- dump "$host" -o /dev/null
[[ -c /dev/null ]] || fail "-o /dev/null replaced the device"
fi
[[ $(ls "$work/out-dir") == TARGET.TXT ]] || fail "left behind: $(ls "$work/out-dir")"

# generate: a made-up drawing that reads cleanly, of as many entities as asked, in the encoding
# asked for; the same options give the same bytes, another seed another file.
expect 0 "" -- generate --entities 500 --encoding cp932 --seed 7 -o "$work/gen.txt"
expect 0 "" -- audit "$work/gen.txt"
grep -q ': clean: ' "$work/out" || fail "generate: audit $(cat "$work/out")"
expect 0 "" -- info "$work/gen.txt"
grep -qx 'Entities: 500' "$work/out" || fail "generate: not 500 entities"
grep -q '^Encoding: Shift_JIS' "$work/out" || fail "generate: not in code page 932"
"$ziv" generate --entities 500 --encoding cp932 --seed 7 >"$work/gen-again.txt"
cmp -s "$work/gen.txt" "$work/gen-again.txt" || fail "generate: the same options gave other bytes"
"$ziv" generate --entities 500 --encoding cp932 --seed 8 >"$work/gen-other.txt"
! cmp -s "$work/gen.txt" "$work/gen-other.txt" || fail "generate: another seed gave the same file"
"$ziv" generate --encoding utf16be-nomark | "$ziv" info - >"$work/out" || fail "generate | info"
grep -q '^Encoding: UTF-16 big-endian' "$work/out" || fail "generate: not UTF-16 big-endian"
expect 2 "entities" -- generate --entities -1
expect 2 "entities" -- generate --entities 2000001
expect 2 "encoding" -- generate --encoding latin1
expect 2 "seed" -- generate --seed x

# The Python example moves the lines, circles and arcs through dump and write, keeping each
# entity's attributes, and replaces the host file with the commands.
example=$(dirname "$0")/../../examples/python/move_selection.py
printf 'lg1\r\nly2\r\nlc3\r\nlt1\r\n0 0 10 0\r\nci 5 5 2\r\nci 5 5 2 0 90 1 0\r\nch 0 0 1 0 "a\r\n' \
    >"$work/SELECTION.TXT"
ZIV=$ziv python3 "$example" "$work/SELECTION.TXT" 100 50.5 2>"$work/err" || fail "example: $(cat "$work/err")"
[[ $(cat "$work/SELECTION.TXT") == $'lg1\r\nly2\r\nlc3\r\nlt1\r\n100 50.5 110 50.5\r\nci 105 55.5 2\r\nci 105 55.5 2 0 90 1 0\r' ]] ||
    fail "example wrote: $(cat -A "$work/SELECTION.TXT")"

if ((failures > 0)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "all cases passed"
