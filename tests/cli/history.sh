#!/usr/bin/env bash
# orvenix-cli history: lists the recorded sets oldest first and counts the board records.
# Arguments: path of orvenix-cli, bin dir.
set -u
cli="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# One 16-byte record per call.
name_record() { # count-low count-high 13-character name
    printf "\\376\\$(printf %03o "$1")\\$(printf %03o "$2")%-13.13s" "$3"
}
board_record() { # number-low number-high
    printf "\\000\\$(printf %03o "$1")\\$(printf %03o "$2")\\033\\033\\033\\033\\033\\033\\033\\033\\033\\033\\033\\033\\033"
}
end_marker() { printf '\377===============' ; }

# Two sets; the ring's oldest record is the end marker's slot, so the walk starts there.
{
    name_record 2 0 "FIRST.PBN"
    board_record 1 0
    board_record 2 0
    name_record 40 6 "SECOND.DUP"
    board_record 17 1
    end_marker
} > "$work/history.dat"

out="$("$cli" history --history "$work/history.dat" 2>"$work/err")"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status for a good file"
expected="$(printf '    1    2  FIRST.PBN\n    4  640  SECOND.DUP\nHistory records: 3')"
[ "$out" = "$expected" ] || fail "listing was:
$out"
[ -s "$work/err" ] && fail "unexpected error output: $(cat "$work/err")"

# A wrapped ring: the end marker in slot 2, so slot 3 (SECOND) is older than slot 1 (THIRD).
{
    name_record 1 0 "THIRD.PBN"
    end_marker
    name_record 1 0 "SECOND.PBN"
    board_record 5 0
} > "$work/wrapped.dat"
out="$("$cli" history --history="$work/wrapped.dat")"
expected="$(printf '    3    1  SECOND.PBN\n    1    1  THIRD.PBN\nHistory records: 1')"
[ "$out" = "$expected" ] || fail "wrapped listing was:
$out"

# Bytes that do not make a whole record are reported and the rest is listed.
cp "$work/history.dat" "$work/cut.dat"
printf 'abc' >> "$work/cut.dat"
out="$("$cli" history --history "$work/cut.dat" 2>"$work/err")"
[ $? -eq 0 ] || fail "a cut file should still be listed"
grep -q "3 byte(s) at the end" "$work/err" || fail "no note about the cut record: $(cat "$work/err")"
echo "$out" | grep -q '^History records: 3$' || fail "cut file listing was: $out"

# Control characters of a recorded name cannot reach the terminal.
{
    name_record 1 0 "$(printf 'A\033[2JB.PBN')"
    end_marker
} > "$work/control.dat"
out="$("$cli" history --history "$work/control.dat")"
[ "$out" = "$(printf '    1    1  A?[2JB.PBN\nHistory records: 0')" ] || fail "control characters listed as: $(printf %q "$out")"

# An empty file has no sets.
: > "$work/empty.dat"
out="$("$cli" history --history "$work/empty.dat")"
[ "$out" = "History records: 0" ] || fail "empty file listing was: $out"

# A file that cannot be read: exit 1 with a clear message, nothing created.
"$cli" history --history "$work/missing.dat" >"$work/out" 2>"$work/err"
[ $? -eq 1 ] || fail "missing file should exit 1"
grep -q "cannot read .*missing.dat" "$work/err" || fail "missing file message: $(cat "$work/err")"
[ -e "$work/missing.dat" ] && fail "the listing created the file"
"$cli" history --history "$work" >"$work/out" 2>"$work/err"
[ $? -eq 1 ] || fail "a folder should exit 1"

# The default place follows XDG_DATA_HOME.
mkdir -p "$work/xdg/orvenix"
cp "$work/history.dat" "$work/xdg/orvenix/history.dat"
out="$(XDG_DATA_HOME="$work/xdg" "$cli" history)"
echo "$out" | grep -q 'SECOND.DUP' || fail "default path listing was: $out"

# Unknown arguments are refused.
"$cli" history --history "$work/history.dat" extra >/dev/null 2>&1
[ $? -eq 2 ] || fail "an extra argument should exit 2"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "history: all checks passed"
