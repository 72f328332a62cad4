#!/usr/bin/env bash
# orvenix-cli deal and read, on the in-process emulated machine and end to end against
# orvenix-machine-emulator on a pseudo-terminal, with this script as the operator: it answers every
# "Put in board N" prompt by sending the emulator the lines prepared for board N, then the foot pedal.
set -u
cli="$1"
bin="$2"
data="$(cd "$(dirname "$0")/../data" && pwd)"
set32="$data/pbn/dealer_rotating.pbn"
# shellcheck source=lib/machine_harness.bash
source "$(dirname "$0")/lib/machine_harness.bash"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" # the history and settings of this run only

# ---- The in-process emulated machine (virtual time; the emulated operator presses the pedal) ----------
out=$("$cli" deal "$set32" --machine emulated </dev/null 2>"$work/err"); rc=$?
check "emulated deal: exit status 0" $rc
[ "$(echo "$out" | grep -c '^Board [0-9]*: N 13 E 13 S 13 W 13  [0-9]*\.[0-9] s$')" -eq 32 ]
check "emulated deal: a line with full pockets for each of the 32 boards" $?
[ "$(echo "$out" | grep -c '^Put in board [0-9]* and press the foot pedal$')" -eq 32 ]
check "emulated deal: every board waits for the operator" $?
echo "$out" | grep -qx "Boards dealt: 32" && [ ! -s "$work/err" ]; check "emulated deal: summary, nothing on stderr" $?
out=$("$cli" deal "$set32" --machine emulated --from 5 --to 7 --no-wait-first --check-board </dev/null 2>/dev/null); rc=$?
[ $rc -eq 0 ] && [ "$(echo "$out" | grep -c '^Board ')" -eq 3 ] && [ "$(echo "$out" | grep -c '^Put in')" -eq 2 ]
check "emulated deal of boards 5 to 7: the first without waiting, the labels checked" $?
"$cli" deal "$set32" --machine emulated --from 30 --to 33 >/dev/null 2>&1; rc=$?
[ "$rc" -eq 1 ]; check "range beyond the set: status 1" $?
"$cli" deal --machine emulated >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ]; check "deal without INPUT: usage error" $?

"$cli" generate --first 1 --last 8 --empty "$work/blank8.pbn" >/dev/null 2>&1
"$cli" read "$work/blank8.pbn" "$work/read1.pbn" --machine emulated --mode 1 --seed 9 </dev/null >"$work/out" 2>"$work/err"; rc=$?
[ $rc -eq 0 ] && grep -qx "Boards read: 8" "$work/out" && grep -qx "Saved: $work/read1.pbn" "$work/out"
check "emulated read: 8 boards read and saved" $?
"$cli" read "$work/blank8.pbn" "$work/read2.pbn" --machine emulated --mode 2 --seed 9 </dev/null >/dev/null 2>&1
cmp -s "$work/read1.pbn" "$work/read2.pbn"; check "both reading modes record the same deals" $?
"$cli" deal "$work/read1.pbn" --machine emulated </dev/null >/dev/null 2>&1; check "a set read can be dealt" $?
"$cli" read "$set32" "$work/r.pbn" --machine emulated --from 1 --to 4 </dev/null >/dev/null 2>"$work/err"; rc=$?
[ $rc -eq 1 ] && grep -q "boards 1 to 4 hold cards" "$work/err" && [ ! -e "$work/r.pbn" ]
check "read refuses boards that hold cards, saves nothing" $?
"$cli" read "$set32" "$work/r.pbn" --machine emulated --from 1 --to 4 --replace --seed 3 </dev/null >/dev/null 2>&1; rc=$?
[ $rc -eq 0 ] && ! cmp -s "$work/r.pbn" "$set32"; check "read --replace reads into them" $?

# ---- orvenix-machine-emulator on a pseudo-terminal ---------------------------------------------------
start_emulator() { # arguments for the emulator
    mkfifo "$work/in.$$"
    "$bin/orvenix-machine-emulator" --exit-on-eof "$@" <"$work/in.$$" >"$work/emu.out" &
    emulator_pid=$!
    exec 3>"$work/in.$$"
    rm -f "$work/in.$$"
    for _ in $(seq 1 100); do [ -s "$work/emu.out" ] && break; sleep 0.05; done
    pty=$(head -n 1 "$work/emu.out")
}
stop_emulator() {
    exec 3>&-
    for _ in $(seq 1 100); do kill -0 "$emulator_pid" 2>/dev/null || break; sleep 0.05; done
    emulator_pid=""
}
# Sends a command and waits until the emulator has taken it in (its answer to "state").
emulator_do() {
    local before
    before=$(grep -c "^status" "$work/emu.out")
    echo "$1" >&3
    echo "state" >&3
    for _ in $(seq 1 100); do
        [ "$(grep -c "^status" "$work/emu.out")" -gt "$before" ] && break
        sleep 0.05
    done
}
# Runs orvenix-cli against the emulator (output in $work/out and $work/err) and plays the operator: at
# each prompt for board N it sends the lines of $work/board.N, if there is one, then presses the pedal.
operate() {
    : >"$work/out" # emptied before the loop below first looks at it
    "$cli" "$@" </dev/null >"$work/out" 2>"$work/err" &
    local pid=$! served=0 prompts n
    while kill -0 "$pid" 2>/dev/null; do
        prompts=$(grep -c '^Put in board' "$work/out")
        while [ "$served" -lt "$prompts" ]; do
            served=$((served + 1))
            n=$(grep '^Put in board' "$work/out" | sed -n "${served}p" | cut -d' ' -f4)
            [ -f "$work/board.$n" ] && cat "$work/board.$n" >&3
            echo "pedal" >&3
        done
        sleep 0.05
    done
    wait "$pid"
}

start_emulator --firmware 2.40 --options 12 --card-ms 0
[ -c "$pty" ]; check "emulator prints a terminal device ($pty)" $?
operate deal "$set32" --machine "serial:$pty" --to 4; rc=$?
[ $rc -eq 0 ] && [ "$(grep -c '^Board [1-4]: N 13 E 13 S 13 W 13 ' "$work/out")" -eq 4 ] && [ ! -s "$work/err" ]
check "serial deal, pedal after each prompt: 4 boards with full pockets" $?
emulator_do ""
grep "^status" "$work/emu.out" | tail -n 1 | grep -q "boards 4 latch off"
check "serial deal: the machine dealt 4 boards and the latch is off again" $?

# Nothing is sent before the operator: with no pedal, board 1 is not dealt within two seconds of the
# prompt. The pedal is pressed only once the prompt is out (a press from before it is forgotten).
"$cli" deal "$set32" --machine "serial:$pty" --to 1 </dev/null >"$work/out" 2>&1 &
cli_pid=$!
for _ in $(seq 1 600); do grep -q "^Put in board 1" "$work/out" && break; sleep 0.1; done
grep -qx "Put in board 1 and press the foot pedal" "$work/out"; check "no pedal: the prompt" $?
sleep 2
emulator_do ""
grep "^status" "$work/emu.out" | tail -n 1 | grep -q "boards 4 "; check "no pedal: nothing dealt" $?
echo "pedal" >&3
wait "$cli_pid"; check "the pedal then deals it" $?

# A jam: the run stops with the dialog's text, the board is named and not counted.
echo "error 12 5" >"$work/board.2"
operate deal "$set32" --machine "serial:$pty" --to 3; rc=$?
[ "$rc" -eq 1 ]; check "machine error: exit status 1" $?
grep -q "board 2: Card Jam Error (Error Code: 12)" "$work/err" && grep -q "board 2 was NOT dealt (the pockets hold .*)" "$work/err"
check "machine error: text, code and the board not dealt" $?
grep -qx "Boards dealt: 1" "$work/out" && ! grep -q "^Put in board 3" "$work/out"; check "machine error: board 3 never started" $?
# A card that goes to the wrong pocket without an error code.
echo "misroute 3 1" >"$work/board.2"
operate deal "$set32" --machine "serial:$pty" --to 2; rc=$?
[ "$rc" -eq 1 ] && grep -q "^Board 2: .*NOT dealt$" "$work/out" && grep -qx "Boards dealt: 1" "$work/out"
check "a pocket with 14 cards: board 2 NOT dealt, status 1" $?
rm -f "$work"/board.*

# The board-number check after the pedal.
echo "board 5" >"$work/board.3"
operate deal "$set32" --machine "serial:$pty" --from 3 --to 4 --check-board; rc=$?
[ "$rc" -eq 1 ] && grep -q "Expected board no: 3  -  Inserted board no: 5 (Error Code: 65)" "$work/err"
check "board check, wrong board: both numbers, code 65, status 1" $?
rm -f "$work"/board.*

# Reading, saved byte for byte: the stack 1..52 read as a played board gives South the spades, West the
# hearts, East the diamonds and North the clubs. Board 3 goes idle without reading anything: it is left
# empty, the run stops with status 1, and boards 1 and 2 are saved.
"$cli" generate --first 1 --last 3 --empty "$work/blank.bre" >/dev/null 2>&1
printf '[Board "1"]\r\n[Deal "N:...AKQJT98765432 ..AKQJT98765432. AKQJT98765432... .AKQJT98765432.."]\r\n' >"$work/suits.pbn"
"$cli" convert "$work/suits.pbn" "$work/suits.bre" >/dev/null 2>&1
{ head -n 3 "$work/blank.bre"; sed -n 4p "$work/suits.bre"; sed -n 4p "$work/suits.bre"; sed -n 6p "$work/blank.bre"; } >"$work/expected.bre"
for n in 1 2; do echo "stack $(seq -s ' ' 1 52)" >"$work/board.$n"; done
echo "skip" >"$work/board.3"
operate read "$work/blank.bre" "$work/read.bre" --machine "serial:$pty" --mode 2; rc=$?
[ "$rc" -eq 1 ]; check "serial read, board 3 not read: exit status 1" $?
grep -qx "Boards read: 2" "$work/out" && grep -q "board 3 was NOT read: the cards read give N 0 E 0 S 0 W 0 and 52 cards none; the board is left as it was" "$work/err"
check "serial read: two boards read, board 3 named" $?
cmp -s "$work/read.bre" "$work/expected.bre"; check "serial read: the saved file, byte for byte" $?
rm -f "$work"/board.*

# A link lost in the middle of a board: the board is named, the boards before it count.
stop_emulator
start_emulator --firmware 2.40 --options 12 --card-ms 40
echo "lost on" >"$work/board.2" # the pedal still reaches the machine's panel, but nothing answers
operate deal "$set32" --machine "serial:$pty" --to 3; rc=$?
[ "$rc" -eq 2 ] && grep -q "Lost Communication with Dealer  -  Dealing Aborted!" "$work/err"
check "lost link: status 2 with the message" $?
grep -q "the link was lost while waiting for board 2; no board was interrupted" "$work/err" && grep -qx "Boards dealt: 1" "$work/out"
check "lost link: which board, and the boards dealt" $?
rm -f "$work"/board.*
# A machine that does not answer at all.
"$cli" deal "$set32" --machine "serial:$pty" </dev/null >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 2 ] && grep -q "Please check if power is connected" "$work/err"; check "silent machine: status 2 and the power message" $?
stop_emulator

# Firmware gates: reading needs 2.24, and nothing is saved.
start_emulator --firmware 2.23 --options 0 --card-ms 0
"$cli" read "$work/blank.bre" "$work/old.pbn" --machine "serial:$pty" </dev/null >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ] && grep -q "2.24" "$work/err" && grep -q "2.23" "$work/err" && [ ! -e "$work/old.pbn" ]
check "old firmware: read refused with status 1, nothing saved" $?
stop_emulator

# The emulator in a script: input from /dev/null does not end it; SIGTERM does.
"$bin/orvenix-machine-emulator" </dev/null >"$work/emu2.out" 2>&1 &
emulator_pid=$!
sleep 1
kill -0 "$emulator_pid" 2>/dev/null; check "emulator with input from /dev/null keeps running" $?
kill -TERM "$emulator_pid"; wait "$emulator_pid"; rc=$?
[ "$rc" -eq 0 ]; check "emulator ends on SIGTERM with status 0" $?
emulator_pid=""

exit $fail
