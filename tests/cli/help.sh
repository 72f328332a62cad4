#!/usr/bin/env bash
# orvenix-cli's help and option checking: `help COMMAND` and `COMMAND --help` print the usage with one line
# per option, an unknown option is named and refused with status 2, and the manual pages and the bash
# completion know every command and option the tool's help lists.
set -u
cli="$1"
bin="$2"
packaging="$(cd "$(dirname "$0")/../../packaging" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ends_in_newline() { [ -s "$1" ] && [ "$(tail -c 1 "$1" | od -An -c | tr -d ' ')" = '\n' ]; }
# The options of a command as its help lists them, one "--name" per line.
options_of() { "$cli" help "$1" | sed -n 's/^  \(--[a-z0-9-]*\).*/\1/p' | grep -vx -- '--help'; }
# A manual page's text with roff's escaped hyphens made plain.
man_text() { sed 's/\\-/-/g' "$1"; }

"$cli" --help > "$work/help.txt" 2> "$work/err.txt"
[ $? -eq 0 ] || fail "--help: status"
ends_in_newline "$work/help.txt" || fail "--help: output does not end in a newline"
commands=$(sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p' "$work/help.txt")
for expected in analyse convert deal firmware generate history machine-info read stats; do
    echo "$commands" | grep -qx "$expected" || fail "--help does not list $expected"
done
"$cli" help > "$work/help2.txt"; [ $? -eq 0 ] || fail "help: status"
cmp -s "$work/help.txt" "$work/help2.txt" || fail "help and --help differ"
"$cli" > /dev/null 2> "$work/err.txt"; [ $? -eq 2 ] || fail "no command: status"
"$cli" help no-such-command > /dev/null 2> "$work/err.txt"; [ $? -eq 2 ] || fail "help of an unknown command: status"
grep -qF "unknown command 'no-such-command'" "$work/err.txt" || fail "help of an unknown command: message"

man_cli="$work/orvenix-cli.1"
man_text "$packaging/man/orvenix-cli.1.in" > "$man_cli"
man_section() { awk -v c="$1" '/^\.S[SH] /{on = index($0, "\"" c " ") || index($0, "\"" c "\"")} on' "$man_cli"; }
for c in $commands; do
    "$cli" help "$c" > "$work/$c.help" 2> "$work/err.txt"
    [ $? -eq 0 ] || fail "help $c: status"
    ends_in_newline "$work/$c.help" || fail "help $c: output does not end in a newline"
    head -n 1 "$work/$c.help" | grep -q "^usage: orvenix-cli $c\b" || fail "help $c: first line $(head -n 1 "$work/$c.help")"
    grep -qx '  -h, --help  *show this help and exit' "$work/$c.help" || fail "help $c: no line for --help"
    for form in --help -h; do
        "$cli" "$c" $form > "$work/$c.own" 2>&1
        [ $? -eq 0 ] || fail "$c $form: status"
        cmp -s "$work/$c.help" "$work/$c.own" || fail "$c $form differs from help $c"
    done
    "$cli" "$c" --no-such-option > "$work/out.txt" 2> "$work/err.txt"
    [ $? -eq 2 ] || fail "$c --no-such-option: status"
    [ "$(head -n 1 "$work/err.txt")" = "orvenix-cli $c: unknown option --no-such-option" ] ||
        fail "$c --no-such-option: message $(head -n 1 "$work/err.txt")"
    [ -s "$work/out.txt" ] && fail "$c --no-such-option: printed on the standard output"

    # Every option has its line, is in the usage, and is described in the manual page.
    grep -q "^\.SS \"$c\b" "$man_cli" || fail "orvenix-cli(1) has no section for $c"
    for o in $(options_of "$c"); do
        [ "$(grep -c -- "^  $o\b" "$work/$c.help")" -eq 1 ] || fail "help $c: not one line for $o"
        grep -q -- "\[$o\b\|^ *$o\b\| $o [A-Z]" "$work/$c.help" || fail "help $c: $o missing from the usage"
        if ! man_section "$c" | grep -q -- "$o\b"; then
            # read takes deal's options, which the page describes once, under deal.
            [ "$c" = read ] && man_section deal | grep -q -- "$o\b" || fail "orvenix-cli(1): $c does not describe $o"
        fi
    done
done

# A value is never taken for an option, and "--name=VALUE" is an option with its value.
"$cli" convert "$work/missing.pbn" "$work/out.pbn" --first-board=3 > /dev/null 2> "$work/err.txt"
[ $? -eq 1 ] || fail "convert --first-board=3: should get as far as loading"
grep -q "unknown option" "$work/err.txt" && fail "convert --first-board=3: taken for an unknown option"
if echo "$commands" | grep -qx print; then
    "$cli" print "$work/missing.pbn" "$work/out.pdf" --event --not-an-option > /dev/null 2> "$work/err.txt"
    [ $? -eq 1 ] || fail "print --event --not-an-option: the event text should be taken as the value"
fi
"$cli" generate --first 1 --last 2 --empty=yes "$work/x.pbn" > /dev/null 2> "$work/err.txt"
[ $? -eq 2 ] || fail "a flag with a value: status"
grep -qF "orvenix-cli generate: option --empty takes no value" "$work/err.txt" || fail "a flag with a value: message"
[ -e "$work/x.pbn" ] && fail "a refused command line wrote a file"

# The other programs' manual pages describe the options their help lists.
if [ -x "$bin/orvenix" ]; then
    QT_QPA_PLATFORM=offscreen "$bin/orvenix" --help > "$work/orvenix.help" || fail "orvenix --help: status"
    for o in $(grep -o -- '--[a-z-]*' "$work/orvenix.help" | sort -u); do
        man_text "$packaging/man/orvenix.1.in" | grep -q -- "$o\b" || fail "orvenix(1) does not describe $o"
    done
fi
"$bin/orvenix-machine-emulator" --help > "$work/emulator.help" || fail "orvenix-machine-emulator --help: status"
for o in $(grep -o -- '--[a-z-]*' "$work/emulator.help" | sort -u) --help; do
    man_text "$packaging/man/orvenix-machine-emulator.1.in" | grep -q -- "$o\b" ||
        fail "orvenix-machine-emulator(1) does not describe $o"
done

# Bash completion: the commands, a command's options and the values of an option come from the help.
# shellcheck source=/dev/null
source "$packaging/bash-completion/orvenix-cli"
complete_line() { # words...; the last word is the one being completed
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _orvenix_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort
}
completions=$(complete_line "")
for c in $commands help; do
    echo "$completions" | grep -qx "$c" || fail "completion: command $c not offered"
done
[ "$(complete_line "help" "ma")" = "machine-info" ] || fail "completion: help ma"
for c in $commands; do
    completions=$(complete_line "$c" "--")
    for o in $(options_of "$c") --help; do
        echo "$completions" | grep -qx -- "$o" || fail "completion: $c $o not offered"
    done
done
[ "$(complete_line read in.pbn out.pbn --national "" | tr '\n' ' ')" = "1 2 3 4 5 6 " ] || fail "completion: read --national"
[ "$(complete_line deal in.pbn --machine "e")" = "emulated" ] || fail "completion: deal --machine e"
[ "$(complete_line read in.pbn --mode "" | tr '\n' ' ')" = "1 2 " ] || fail "completion: read --mode"
touch "$work/club.pbn"
[ "$(complete_line stats "$work/cl")" = "$work/club.pbn" ] || fail "completion: stats FILE"
[ -z "$(complete_line deal in.pbn --from "")" ] || fail "completion: a number is not a file name"
if echo "$commands" | grep -qx print; then
    [ "$(complete_line print in.pbn out.pdf --paper "" | tr '\n' ' ')" = "a4 letter " ] || fail "completion: print --paper"
fi

[ $failures -eq 0 ] && echo "help: all checks passed"
exit $failures
