#!/usr/bin/env bash
# The ziv program's input at the edges: paths that are not regular files, the reader's size
# and line limits for files and for standard input (an endless stream included), and host
# files at the edge of the range of numbers drawn as pictures.
# Usage: input_test.sh ZIV FIXTURES
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

# check STATUS STDERR-PATTERN: the last run's status, and standard error empty (pattern "")
# or one line matching the pattern.
check() {
    local status=$1 pattern=$2 what=$3
    [[ $got == "$status" ]] || fail "$what: status $got, expected $status ($(cat "$work/err"))"
    if [[ -z $pattern ]]; then
        [[ ! -s $work/err ]] || fail "$what: unexpected standard error: $(cat "$work/err")"
    else
        [[ $(wc -l <"$work/err") == 1 ]] || fail "$what: standard error is not one line"
        grep -q -- "$pattern" "$work/err" || fail "$what: standard error $(cat "$work/err")"
    fi
}

# run [ARGS...] < input: ziv with a time limit, so that a wait on a pipe fails the test.
run() {
    timeout 60 "$ziv" "$@" >"$work/out" 2>"$work/err"
    got=$?
}

host=$fixtures/host_all_kinds_cp932.txt

# Paths: a pipe and a device are not read (nor waited on); a link is followed.
mkfifo "$work/fifo"
run info "$work/fifo" </dev/null
check 2 "fifo: not a regular file" "info of a FIFO"
run dump /dev/null </dev/null
check 2 "/dev/null: not a regular file" "dump of a device"
ln -s "$host" "$work/link.txt"
run info "$work/link.txt" </dev/null
check 0 "" "info through a symbolic link"

# The size limit: a sparse file just over it, refused from its size at once.
printf 'ci 0 0 5\r\n' >"$work/large.txt"
truncate -s 268435457 "$work/large.txt"
run info "$work/large.txt" </dev/null
check 2 "large.txt: larger than the largest host file read, 268435456 bytes (256 MiB)" \
    "info of a file over the size limit"

# The line limit: one line a byte too long, in a file and on standard input.
{
    printf 'hp1 0 0\r\nh#'
    head -c 1048575 /dev/zero | tr '\0' 'x'
    printf '\r\nci 0 0 5\r\n'
} >"$work/longline.txt"
run dump "$work/longline.txt" </dev/null
check 2 "longline.txt: a line longer than the longest a host file may hold, 1048576 bytes (1 MiB)" \
    "dump of a file with a line over the limit"
run draw - <"$work/longline.txt"
check 2 "standard input: a line longer than the longest a host file may hold, 1048576 bytes" \
    "draw of standard input with a line over the limit"

# Endless standard input: NUL bytes without a line break, and short lines without end.
run dump - </dev/zero
check 2 "standard input: a line longer" "dump of /dev/zero"
timeout 60 bash -c 'yes "ci 0 0 5" | "$1" info - >/dev/null 2>"$2"' _ "$ziv" "$work/err"
got=$?
check 2 "standard input: larger than the largest host file read, 268435456 bytes" \
    "info of an endless stream of lines"

# Pictures at the edge of the range of numbers: what is finite is fitted and drawn, what
# reaches beyond the range of numbers is left out and said; never a number that is not finite.
no_inf() {
    grep -q -i -E 'inf|nan' "$work/out" &&
        fail "$1 wrote: $(grep -o -i -E '.{20}(inf|nan).{20}' "$work/out" | head -1)"
    grep -q '<svg' "$work/out" || fail "$1 wrote no picture"
}
printf 'hp1 1e308 1e308\r\nci 1e308 0 1e308\r\n' >"$work/far.txt"
run draw "$work/far.txt" </dev/null
check 0 "1 primitives left out of the picture" "draw of a point and a circle at 1e308"
no_inf "draw of a point and a circle at 1e308"
printf -- '-1e308 0 1e308 0\r\n' >"$work/wide.txt"
run draw "$work/wide.txt" </dev/null
check 0 "" "draw of a line across the whole range"
no_inf "draw of a line across the whole range"

# A NUL in a text is written as a blank.
printf '{"entities":[{"kind":"EntText","x1":1,"y1":2,"x2":10,"y2":0,"st":"a\\u0000b"}]}' \
    >"$work/nul.json"
run write "$work/nul.json" --encoding utf8 </dev/null
check 0 "" "write of a text with a NUL"
grep -q -a 'ch 1 2 10 0 "a b' "$work/out" || fail "write of a text with a NUL: $(cat -v "$work/out")"
[[ $(tr -d -c '\000' <"$work/out" | wc -c) == 0 ]] || fail "write of a text with a NUL wrote a NUL"

if ((failures > 0)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "all ziv input cases passed"
