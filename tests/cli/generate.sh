#!/usr/bin/env bash
# orvenix-cli generate: reproducible sets, the result fields, the history, refusals and bad arguments.
set -u
CLI="$1"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_status() { # expected actual what
    [ "$1" -eq "$2" ] || fail "$3: exit status $2, expected $1"
}
expect_in() { # file text what
    grep -qF -- "$2" "$1" || { fail "$3: '$2' not found in:"; cat "$1"; }
}
expect_not_in() { # file text what
    if grep -qF -- "$2" "$1"; then fail "$3: '$2' found in:"; cat "$1"; fi
}

# The same seed gives the same set (separate histories, so that the first set cannot reject the second).
"$CLI" generate --first 1 --last 32 --seed 42 --history "$WORK/h1.dat" "$WORK/a.pbn" > "$WORK/out1" 2> "$WORK/err"
expect_status 0 $? "seeded run"
"$CLI" generate --first 1 --last 32 --seed 42 --history "$WORK/h2.dat" "$WORK/b.pbn" > "$WORK/out2" 2> "$WORK/err"
expect_status 0 $? "same seed again"
cmp -s "$WORK/a.pbn" "$WORK/b.pbn" || fail "the same seed gave different sets"
cmp -s "$WORK/out1" "$WORK/out2" || fail "the same seed gave different results"
"$CLI" generate --first 1 --last 32 --seed 43 --history "$WORK/h3.dat" "$WORK/c.pbn" > /dev/null 2> "$WORK/err"
expect_status 0 $? "another seed"
cmp -s "$WORK/a.pbn" "$WORK/c.pbn" && fail "different seeds gave the same set"
[ "$(grep -c '^\[Deal ' "$WORK/a.pbn")" -eq 32 ] || fail "a.pbn does not hold 32 deals"

# The result fields of every filter.
expect_in "$WORK/out1" "Boards generated: 32" "count"
expect_in "$WORK/out1" "Shapes rejected: " "shape result"
expect_in "$WORK/out1" "Inner Similarity Rejected: 0" "inner result"
expect_in "$WORK/out1" "Inner similarity: " "inner similarity"
expect_in "$WORK/out1" "History Rejected: 0" "history result with an empty history"
expect_in "$WORK/out1" "Historic Similarity: 0, 0:0" "nothing in an empty history"
expect_in "$WORK/out1" "Boards Saved: 32" "saved"

# The saved set went into the history under its file name ...
"$CLI" history --history "$WORK/h1.dat" > "$WORK/hist" 2>&1
grep -qE '^ +1 +32 +A$' "$WORK/hist" || { fail "the history does not list set A"; cat "$WORK/hist"; }
# ... so the same seed against that history now meets every one of its deals again and draws anew.
"$CLI" generate --first 1 --last 32 --seed 42 --history "$WORK/h1.dat" "$WORK/d.pbn" > "$WORK/out" 2> "$WORK/err"
expect_status 0 $? "run against the history"
grep -q '^History Rejected: [1-9]' "$WORK/out" || { fail "the history rejected nothing"; cat "$WORK/out"; }
expect_in "$WORK/out" "Historic File: A" "historic file"
cmp -s "$WORK/a.pbn" "$WORK/d.pbn" && fail "the history did not change the set"

# Filters that are off print nothing.
"$CLI" generate --first 1 --last 4 --seed 1 --no-inner-filter --no-history-filter --history "$WORK/h4.dat" \
    "$WORK/e.pbn" > "$WORK/out" 2> "$WORK/err"
expect_status 0 $? "filters off"
expect_not_in "$WORK/out" "Inner" "inner filter off"
expect_not_in "$WORK/out" "Histor" "history filter off"
expect_in "$WORK/out" "Shapes rejected:" "shape filter on"

# Other formats: a BRI file of 4 boards is 4 records of 128 bytes; BRI asks its questions.
"$CLI" generate --first 1 --last 4 --seed 2 --history "$WORK/h5.dat" "$WORK/f.bri" > "$WORK/out" 2> "$WORK/err"
expect_status 0 $? "bri"
[ "$(wc -c < "$WORK/f.bri")" -eq 512 ] || fail "f.bri is not 512 bytes"
expect_in "$WORK/err" "(answered Yes)" "bri question answered"

# Empty boards: PBN keeps them after its question, BRI refuses them and writes nothing.
"$CLI" generate --first 5 --last 8 --empty --history "$WORK/h6.dat" "$WORK/g.pbn" > "$WORK/out" 2> "$WORK/err"
expect_status 0 $? "empty boards in pbn"
expect_in "$WORK/out" "Boards generated: 4" "empty count"
expect_in "$WORK/g.pbn" '[Board "5"]' "first empty board"
expect_in "$WORK/g.pbn" '[Board "8"]' "last empty board"
"$CLI" generate --first 5 --last 8 --empty --history "$WORK/h6.dat" "$WORK/g.bri" > "$WORK/out" 2> "$WORK/err"
expect_status 1 $? "empty boards in bri"
[ -e "$WORK/g.bri" ] && fail "a refused save left a file"

# Refused board numbers: the program's messages, status 1, no file.
run_refused() { # first last message
    "$CLI" generate --first "$1" --last "$2" --history "$WORK/h7.dat" "$WORK/r.pbn" > "$WORK/out" 2> "$WORK/err"
    expect_status 1 $? "first $1 last $2"
    expect_in "$WORK/err" "$3" "first $1 last $2"
    [ -e "$WORK/r.pbn" ] && fail "first $1 last $2 wrote a file"
}
run_refused 33 32 "Last Board Number must be greater or equal to the First Board Number."
run_refused 641 700 "Maximum allowable value for the First Board Number is 640."
run_refused 1 641 "Maximum allowable value for the Last Board Number is 640."
run_refused 0 5 "First Board numbers must be between 1 and 640"

# A file name whose format is unknown is refused before anything is generated or recorded.
"$CLI" generate --first 1 --last 2 --history "$WORK/h8.dat" "$WORK/x.txt" > "$WORK/out" 2> "$WORK/err"
expect_status 1 $? "unknown format"
[ -e "$WORK/x.txt" ] && fail "unknown format wrote a file"
expect_not_in "$WORK/out" "Boards generated" "unknown format generated"

# Bad arguments: usage errors with status 2.
for bad in "--last 5 $WORK/y.pbn" "--first 1 $WORK/y.pbn" "--first 1 --last 5" "--first x --last 5 $WORK/y.pbn" \
    "--first 1 --last 5 --seed -3 $WORK/y.pbn" "--first 1 --last 5 --seed 12ab $WORK/y.pbn" \
    "--first 1 --last 5 $WORK/y.pbn $WORK/z.pbn"; do
    # shellcheck disable=SC2086
    "$CLI" generate $bad > /dev/null 2> "$WORK/err"
    expect_status 2 $? "arguments: $bad"
done
[ -e "$WORK/y.pbn" ] && fail "a bad command line wrote a file"

if [ "$failures" -eq 0 ]; then
    echo "cli generate: all checks passed"
    exit 0
fi
echo "cli generate: $failures failed"
exit 1
