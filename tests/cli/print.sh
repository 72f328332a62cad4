#!/usr/bin/env bash
# orvenix-cli print: page counts and texts of the PDF files (pdfinfo, pdftotext), and the refusals.
set -u
cli="$1"
data="$(cd "$(dirname "$0")/../data/print" && pwd)"
set20="$data/club20.pbn"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ {print $2}'; }
# Text of one page with runs of blanks squeezed to one.
page_text() { pdftotext -f "$2" -l "$2" -layout "$1" - 2>/dev/null | tr -s ' '; }
expect_pages() { # file expected what
    local n; n="$(pages "$1")"
    [ "$n" = "$2" ] || fail "$3: $n pages, expected $2"
}
expect_text() { # file page text what
    page_text "$1" "$2" | grep -qF -- "$3" || fail "$4: page $2 lacks '$3'"
}
expect_no_text() {
    if page_text "$1" "$2" | grep -qF -- "$3"; then fail "$4: page $2 has '$3'"; fi
}
count_text() { # file page text -> number of lines holding it
    page_text "$1" "$2" | grep -cF -- "$3"
}

# ---- Hand records --------------------------------------------------------------------------------
"$cli" print "$set20" "$work/all.pdf" > "$work/out.txt" || fail "default print failed"
expect_pages "$work/all.pdf" 3 "20 boards, 8 per page"
grep -qF "3 pages written" "$work/out.txt" || fail "summary line: $(cat "$work/out.txt")"
for p in 1 2 3; do expect_text "$work/all.pdf" $p "Tuesday Evening Pairs" "heading of page $p"; done
expect_text "$work/all.pdf" 1 "Board: 1" "first board"
expect_text "$work/all.pdf" 1 "Dealer: N" "dealer of board 1"
expect_text "$work/all.pdf" 1 "None Vul" "vulnerability of board 1"
expect_text "$work/all.pdf" 1 "Board: 8" "last board of page 1"
expect_no_text "$work/all.pdf" 1 "Board: 9" "page 1"
expect_text "$work/all.pdf" 3 "Board: 20" "last board"
[ "$(count_text "$work/all.pdf" 1 "Board:")" = 4 ] || fail "page 1 should have 4 rows of two boards"
# Board 1's North hand is KT5.AJ8543.KJ.K5: its spade line reads "♠ KT 5" (letters in pitch slots).
page_text "$work/all.pdf" 1 | grep -q "♠ *K *T *5" || fail "North's spades of board 1"
page_text "$work/all.pdf" 1 | grep -q "♥A *J *8 *5 *4 *3" || fail "North's hearts of board 1"

for option in "10 2" "12 2" "16 2" "18 2"; do
    set -- $option
    "$cli" print "$set20" "$work/p$1.pdf" --per-page "$1" > /dev/null || fail "--per-page $1"
    expect_pages "$work/p$1.pdf" "$2" "--per-page $1"
done
[ "$(count_text "$work/p16.pdf" 1 "Board:")" = 4 ] || fail "16 per page: four rows"
expect_text "$work/p16.pdf" 1 "Board: 16" "16 per page, page 1"
expect_no_text "$work/p16.pdf" 1 "Board: 17" "16 per page, page 1"

"$cli" print "$set20" "$work/r.pdf" --per-page 16 --from 1 --to 17 > /dev/null || fail "1 to 17"
expect_pages "$work/r.pdf" 2 "1 to 17 with 16 per page"
expect_text "$work/r.pdf" 2 "Board: 17" "second page"
expect_no_text "$work/r.pdf" 2 "Board: 16" "second page"

"$cli" print "$set20" "$work/one.pdf" --from 3 --to 3 > /dev/null || fail "3 to 3"
expect_pages "$work/one.pdf" 1 "3 to 3"
[ "$(count_text "$work/one.pdf" 1 "Board:")" = 1 ] || fail "3 to 3 holds one board"
expect_text "$work/one.pdf" 1 "Board: 3" "3 to 3"

"$cli" print "$set20" "$work/copies.pdf" --from 1 --to 8 --copies 2 > /dev/null || fail "two copies"
expect_pages "$work/copies.pdf" 2 "two copies of 1 to 8"
[ "$(page_text "$work/copies.pdf" 1)" = "$(page_text "$work/copies.pdf" 2)" ] || fail "copies differ"

"$cli" print "$set20" "$work/event.pdf" --to 1 --event "Club Championship Final" > /dev/null || fail "--event"
expect_text "$work/event.pdf" 1 "Club Championship Final" "--event heading"
long="$(printf 'Very Long Event Name %.0s' 1 2 3 4 5 6 7 8)"
"$cli" print "$set20" "$work/long.pdf" --to 1 --event "$long" > /dev/null || fail "long --event"
heading="$(page_text "$work/long.pdf" 1 | head -1 | sed 's/^ *//; s/ *$//')"
[ ${#heading} -lt ${#long} ] && [ ${#heading} -gt 40 ] || fail "long event name not cut to the page: '$heading'"
case "$long" in "$heading"*) ;; *) fail "cut event name is not the start of the name: '$heading'" ;; esac

# ---- Score cards ---------------------------------------------------------------------------------
"$cli" print "$set20" "$work/sc.pdf" --score-cards --from 2 --to 3 > /dev/null || fail "score cards"
expect_pages "$work/sc.pdf" 2 "score cards 2 to 3"
expect_text "$work/sc.pdf" 1 "Board 2" "score card 2"
expect_text "$work/sc.pdf" 1 "Dealer: East" "dealer of card 2"
expect_text "$work/sc.pdf" 1 "Vul: NS" "vulnerability of card 2"
expect_text "$work/sc.pdf" 1 "Contract" "table heading"
expect_text "$work/sc.pdf" 1 "club20.pbn" "file name at the foot"
expect_text "$work/sc.pdf" 2 "Board 3" "score card 3"
expect_no_text "$work/sc.pdf" 1 "Board 3" "page 1"
# Board 2 on the right half and board 3 on the left half: text of each half of the A4 page (72 dpi).
half() { pdftotext -f "$2" -l "$2" -x "$3" -y 0 -W 297 -H 842 "$1" - 2>/dev/null; }
half "$work/sc.pdf" 1 300 | grep -qF "Board" || fail "board 2 not on the right half"
half "$work/sc.pdf" 1 0 | grep -q "[A-Za-z0-9]" && fail "left half of page 1 not empty"
half "$work/sc.pdf" 2 0 | grep -qF "Board" || fail "board 3 not on the left half"
half "$work/sc.pdf" 2 300 | grep -q "[A-Za-z0-9]" && fail "right half of page 2 not empty"

"$cli" print "$set20" "$work/ns.pdf" --score-cards --from 1 --to 1 --ns-first 9 > /dev/null || fail "--ns-first"
for n in 9 10 15 22; do
    pdftotext "$work/ns.pdf" - | grep -qx " *$n *" || fail "pair number $n"
done
pdftotext "$work/ns.pdf" - | grep -qx " *23 *" && fail "pair number 23 printed"

"$cli" print "$set20" "$work/nodeal.pdf" --score-cards --from 1 --to 4 --no-deal --copies 3 > /dev/null || fail "--no-deal"
expect_pages "$work/nodeal.pdf" 6 "three copies of cards 1 to 4"
expect_text "$work/nodeal.pdf" 1 "Dealer: North" "card without deal"
pdftotext "$work/nodeal.pdf" - | grep -q "♠" && fail "--no-deal printed suit symbols"
pdftotext "$work/sc.pdf" - | grep -q "♠" || fail "score card deal lacks suit symbols"

# ---- Refusals: the window's messages on stderr, status 1, no file --------------------------------
refuse() { # expected-text args...
    local expected="$1"; shift
    rm -f "$work/bad.pdf"
    "$cli" print "$set20" "$work/bad.pdf" "$@" > /dev/null 2> "$work/err.txt"
    local rc=$?
    [ $rc -eq 1 ] || fail "$*: status $rc, expected 1"
    grep -qF -- "$expected" "$work/err.txt" || fail "$*: stderr lacks '$expected': $(cat "$work/err.txt")"
    [ ! -e "$work/bad.pdf" ] || fail "$*: wrote a file"
}
refuse '"From Board" value is incorrect' --from 0
refuse '"From Board" value is incorrect' --from 21
refuse '"To Board" value is incorrect' --to 21
refuse 'This value must be in range of <First Board - Last Board>' --to 21
refuse '"To Board" value must be equal or higher than the "From Board" value' --from 5 --to 4
refuse 'copies' --copies 0
refuse 'copies' --copies 100
refuse 'per-page' --per-page 9
refuse 'whole number' --from x
"$cli" print "$set20" "$work/ok99.pdf" --to 1 --copies 99 > /dev/null || fail "--copies 99 refused"
expect_pages "$work/ok99.pdf" 99 "99 copies"

"$cli" print "$work/missing.pbn" "$work/bad.pdf" > /dev/null 2> "$work/err.txt"
[ $? -eq 1 ] || fail "missing input: status"
grep -q "No such file" "$work/err.txt" || fail "missing input: message $(cat "$work/err.txt")"
"$cli" print "$set20" "$work/no/such/dir/x.pdf" > /dev/null 2> "$work/err.txt"
[ $? -eq 1 ] || fail "unwritable output: status"
grep -q "cannot write" "$work/err.txt" || fail "unwritable output: message"
"$cli" print "$set20" > /dev/null 2>&1
[ $? -eq 2 ] || fail "missing output argument: usage status"

# Every word at least 5 mm (14.17 points) from the sides of the paper: hand records on A4 and Letter, and
# the two score cards side by side, which are drawn smaller where the page is narrower than they are.
inside_margins() { # pdf
    pdftotext -bbox "$1" - | awk '
        /<page / { match($0, /width="[0-9.]+"/); w = substr($0, RSTART + 7, RLENGTH - 8) + 0 }
        /<word / { match($0, /xMin="[0-9.]+"/); x1 = substr($0, RSTART + 6, RLENGTH - 7) + 0
                   match($0, /xMax="[0-9.]+"/); x2 = substr($0, RSTART + 6, RLENGTH - 7) + 0
                   if (x1 < 14.17 || x2 > w - 14.17) bad = 1 }
        END { exit bad }'
}
inside_margins "$work/all.pdf" || fail "hand records reach into the 5 mm margin"
"$cli" print "$set20" "$work/letter.pdf" --paper letter > /dev/null || fail "letter print failed"
inside_margins "$work/letter.pdf" || fail "letter hand records reach into the 5 mm margin"
"$cli" print "$set20" "$work/cards.pdf" --score-cards > /dev/null || fail "score cards failed"
inside_margins "$work/cards.pdf" || fail "score cards reach into the 5 mm margin"
# The red suits, and black ones on request: the hearts in colour only without --black-suits.
pdftoppm -r 30 -f 1 -l 1 "$work/all.pdf" "$work/red" && pdftoppm -r 30 -f 1 -l 1 "$work/letter.pdf" "$work/lt"
"$cli" print "$set20" "$work/black.pdf" --black-suits > /dev/null || fail "--black-suits failed"
pdftoppm -r 30 -f 1 -l 1 "$work/black.pdf" "$work/black"
# A PPM's pixels with red well above green: the red suits.
red_pixels() { # the header is three lines: P6, the size, the depth
    tail -c +$(($(head -n 3 "$1" | wc -c) + 1)) "$1" | od -An -v -tu1 -w3 |
        awk '$1 > 150 && $2 < 90 { n++ } END { print n + 0 }'
}
[ "$(red_pixels "$work"/red-1.ppm)" -gt 0 ] || fail "no red suit symbols in the PDF"
[ "$(red_pixels "$work"/black-1.ppm)" -eq 0 ] || fail "--black-suits still printed red"

[ $failures -eq 0 ] && echo "print: all checks passed"
exit $failures
