#!/usr/bin/env bash
# The ziv program as a user runs it: exit statuses, one line on standard error for bad input,
# output files replaced whole or left alone, standard input and output, and --help.
# Usage: cli_test.sh ZIV FIXTURES
set -uo pipefail
ziv=$1
fixtures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

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
expect 2 "subcommand is required" --
expect 2 "subcommand" -- frobnicate
expect 2 "encoding" -- write "$work/good.json" --encoding latin1
# Success and audit's own statuses.
expect 0 "" -- info "$host"
expect 1 "" -- audit "$host"
expect 0 "" -- audit "$fixtures/bad/empty.txt"
for cmd in info dump write audit draw; do
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

if ((failures > 0)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "all cases passed"
