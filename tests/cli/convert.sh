#!/usr/bin/env bash
# orvenix-cli convert and stats: byte-exact conversions, questions as warnings, refusals and load errors.
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

# One board: North all spades, East all hearts, South all diamonds, West all clubs.
ZETA_RECORD='0000000000000111111111111122222222222223333333333333\r\n'
printf "$ZETA_RECORD" > "$WORK/one.all"
printf "$ZETA_RECORD$ZETA_RECORD$ZETA_RECORD$ZETA_RECORD" > "$WORK/four.all"

# The same board as a BRI record: card codes 01 to 39, 32 blanks, 18 zero bytes.
{
    for c in $(seq 1 39); do printf '%02d' "$c"; done
    printf '%32s' ''
    head -c 18 /dev/zero
} > "$WORK/expected.bri"

# ZETA771 -> BRI, byte for byte; BRI asks about the event information.
"$CLI" convert "$WORK/one.all" "$WORK/one.bri" > "$WORK/out" 2> "$WORK/err"
expect_status 0 $? "zeta771 to bri"
cmp -s "$WORK/one.bri" "$WORK/expected.bri" || fail "zeta771 to bri: bytes differ"
expect_in "$WORK/err" "warning: BRI format does not support Event Name, Event Site and Event Date Information." "event question"
expect_in "$WORK/err" "(answered Yes)" "event question answered"
expect_in "$WORK/out" "Boards Saved: 1" "saved count"

# And back: the ZETA771 file is reproduced.
"$CLI" convert "$WORK/one.bri" "$WORK/back.ALL" > /dev/null 2> "$WORK/err"
expect_status 0 $? "bri to zeta771"
cmp -s "$WORK/back.ALL" "$WORK/one.all" || fail "bri to zeta771: bytes differ"

# --first-board places boards of a file without numbers; DUP keeps them.
"$CLI" convert "$WORK/four.all" "$WORK/four.dup" --first-board 17 > /dev/null 2> "$WORK/err"
expect_status 0 $? "first board 17"
[ "$(head -c 156 "$WORK/four.dup" | tail -c 10)" = "YN17 1 20 " ] || fail "dup tail of boards 17 to 20"
! grep -qF "does not support board numbers" "$WORK/err" || fail "dup asks no first-board question"
# DUP -> BRI from board 17 asks the first-board question too.
"$CLI" convert "$WORK/four.dup" "$WORK/four.bri" > /dev/null 2> "$WORK/err"
expect_status 0 $? "dup to bri"
expect_in "$WORK/err" "First Board for the current Board Set is not board number 1." "first-board question"
# The DUP file carries its numbers: the option is not used, and says so.
"$CLI" convert "$WORK/four.dup" "$WORK/again.dup" --first-board 3 > /dev/null 2> "$WORK/err"
expect_status 0 $? "dup with --first-board"
expect_in "$WORK/err" "--first-board is not used" "numbers kept"
cmp -s "$WORK/again.dup" "$WORK/four.dup" || fail "dup to dup: bytes differ"

# A first board beyond the last place four boards fit: 637 is the largest.
"$CLI" convert "$WORK/four.all" "$WORK/x.pbn" --first-board 638 2> "$WORK/err"
expect_status 1 $? "first board too high"
expect_in "$WORK/err" "First Board numbers must be between 1 and 637" "first board refusal"
[ ! -e "$WORK/x.pbn" ] || fail "refused conversion wrote a file"
"$CLI" convert "$WORK/four.all" "$WORK/x.pbn" --first-board 637 > /dev/null 2>&1
expect_status 0 $? "first board 637"
"$CLI" convert "$WORK/four.all" "$WORK/x.pbn" --first-board abc > /dev/null 2>&1
expect_status 2 $? "first board not a number"

# Load errors: the message's lines on stderr, exit 1.
"$CLI" convert "$WORK/missing.bri" "$WORK/x.pbn" 2> "$WORK/err"
expect_status 1 $? "missing input"
expect_in "$WORK/err" "Error: 2 during load operation - No such file or directory" "missing input message"
expect_in "$WORK/err" "Load operation aborted!" "missing input second line"
printf '0000000004000111111111111122222222222223333333333333\r\n' > "$WORK/bad.all"
"$CLI" convert "$WORK/bad.all" "$WORK/x.pbn" 2> "$WORK/err"
expect_status 1 $? "bad record"
expect_in "$WORK/err" "Invalid character: 40  in record: 1" "bad record message"
"$CLI" convert "$WORK/one.all" "$WORK/x.txt" 2> "$WORK/err"
expect_status 1 $? "unknown output format"
expect_in "$WORK/err" "Unknow file format: x.txt" "unknown output message"

# BRE with an incomplete board (North lacks the spade ace): PBN saves it after the question, BRI refuses.
{
    printf 'Club night\r\nTown hall\r\n2026-12-06\r\n'
    printf '\006KQJT98765432\003\004\005\006\003AKQJT98765432\004\005\006\003\004AKQJT98765432\005\006\003\004\005AKQJT98765432\r\n'
} > "$WORK/part.bre"
"$CLI" convert "$WORK/part.bre" "$WORK/part.pbn" > /dev/null 2> "$WORK/err"
expect_status 0 $? "incomplete to pbn"
expect_in "$WORK/err" "Board number: 1 is incomplete." "incomplete question"
expect_in "$WORK/part.pbn" '[Event "Club night"]' "event kept"
"$CLI" convert "$WORK/part.bre" "$WORK/part.bri" 2> "$WORK/err"
expect_status 1 $? "incomplete to bri"
expect_in "$WORK/err" "This Board Set cannot be saved in BRI format." "incomplete refusal"
[ ! -e "$WORK/part.bri" ] || fail "refused bri was written"

# stats: four boards of one suit per hand. Each hand holds A K Q J of its suit (10 points) and three
# voids (9 distribution points).
"$CLI" stats "$WORK/four.all" > "$WORK/out" 2> "$WORK/err"
expect_status 0 $? "stats"
expect_in "$WORK/out" "First Board Number: 1" "stats first"
expect_in "$WORK/out" "Last Board Number: 4" "stats last"
expect_in "$WORK/out" "Number of Boards in Set: 4" "stats count"
expect_in "$WORK/out" "Number of Completed Boards: 4" "stats completed"
expect_in "$WORK/out" "Hand N:  10.0    9.0" "stats north"
expect_in "$WORK/out" "Hand W:  10.0    9.0" "stats west"
expect_in "$WORK/out" "Inner Similarity: 13" "stats similarity"
grep -q "^D000 " "$WORK/out" || fail "stats: shape row D000 missing"
"$CLI" stats "$WORK/bad.all" > /dev/null 2> "$WORK/err"
expect_status 1 $? "stats of a bad file"
expect_in "$WORK/err" "File format error" "stats error"
"$CLI" stats > /dev/null 2>&1
expect_status 2 $? "stats without a file"
"$CLI" stats "$WORK/four.all" "$WORK/one.all" > /dev/null 2>&1
expect_status 2 $? "stats with two files"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "convert and stats: all checks passed"
