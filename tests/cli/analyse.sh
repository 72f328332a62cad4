#!/usr/bin/env bash
# orvenix-cli analyse: tables and par of boards whose results follow from their layouts, and the refusals.
set -u
cli="$1"
data="$(cd "$(dirname "$0")/../data/analysis" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_line() { # text what
    grep -qxF -- "$1" "$work/out.txt" || fail "$2: no line '$1'"
}

"$cli" analyse "$data/known.pbn" > "$work/out.txt" 2> "$work/err.txt" || fail "analyse failed: $(cat "$work/err.txt")"

# Board 1: every hand holds one whole suit (N spades, E hearts, S diamonds, W clubs). The side holding
# the trumps takes all 13 tricks; in notrump the opening leader runs a whole suit.
expect_line "Board 1  Dealer: N  Vul: None" "board 1 heading"
expect_line "      C  D  H  S NT" "column heads"
expect_line "  N   0 13  0 13  0" "board 1 North"
expect_line "  E  13  0 13  0  0" "board 1 East"
expect_line "  S   0 13  0 13  0" "board 1 South"
expect_line "  W  13  0 13  0  0" "board 1 West"
# Both sides make a grand slam; 7S outranks 7H and 7NT by East-West goes down 13: 210 + 300 + 1000.
expect_line "  Par: 7S NS, NS +1510" "board 1 par"

# Board 2: all hands 4-3-3-3, North holds the top cards of every suit: 7NT by North-South, vulnerable
# 220 + 500 + 1500.
expect_line "Board 2  Dealer: E  Vul: NS" "board 2 heading"
expect_line "  Par: 7NT NS, NS +2220" "board 2 par"
awk '/^Board 2 /{f=1} f && /^  [NS] /{print $5, $6, $3}' "$work/out.txt" > "$work/b2.txt"
[ "$(sort -u "$work/b2.txt")" = "13 13 13" ] || fail "board 2: N and S should make 13 in S, NT and D: $(cat "$work/b2.txt")"

# Board 3 is not complete.
expect_line "Board 3: not complete, no analysis" "incomplete board"
expect_line "2 of 3 boards analysed" "summary"

# Refusals.
"$cli" analyse > /dev/null 2>&1; [ $? -eq 2 ] || fail "no input should exit with status 2"
"$cli" analyse "$work/none.pbn" > /dev/null 2> "$work/err.txt"; [ $? -eq 1 ] || fail "missing file should exit with status 1"
[ -s "$work/err.txt" ] || fail "missing file gives no message"

# Hand records with the analysis (when the tool was built with PDF output).
if "$cli" --help 2>&1 | grep -q "print INPUT"; then
    "$cli" print "$data/known.pbn" "$work/dd.pdf" --dd > /dev/null 2> "$work/err.txt" || fail "print --dd failed: $(cat "$work/err.txt")"
    pdftotext -layout "$work/dd.pdf" - | tr -s ' ' > "$work/dd.txt"
    grep -qF "Par: 7S NS" "$work/dd.txt" || fail "print --dd: board 1 par contract missing"
    grep -qF "NS +1510" "$work/dd.txt" || fail "print --dd: board 1 par score missing"
    grep -qF "Par: 7NT NS" "$work/dd.txt" || fail "print --dd: board 2 par contract missing"
    [ "$(grep -cF "Par:" "$work/dd.txt")" = 2 ] || fail "print --dd: the incomplete board 3 should have no par"
    "$cli" print "$data/known.pbn" "$work/dd12.pdf" --dd --per-page 12 > /dev/null 2> "$work/err.txt" || fail "print --dd at 12 per page failed"
    grep -qF "no room for the double-dummy analysis at 12 boards per page" "$work/err.txt" || fail "no-room warning: $(cat "$work/err.txt")"
    pdftotext "$work/dd12.pdf" - | grep -qF "Par:" && fail "12 per page should print without the analysis"
    "$cli" print "$data/known.pbn" "$work/sc.pdf" --dd --score-cards > /dev/null 2> "$work/err.txt"
    [ $? -eq 1 ] || fail "--dd with --score-cards should be refused"
    grep -qF -- "--dd applies to hand records only" "$work/err.txt" || fail "refusal text: $(cat "$work/err.txt")"
fi

[ $failures -eq 0 ] && echo "analyse: all checks passed"
exit $failures
