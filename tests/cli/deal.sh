#!/usr/bin/env bash
# orvenix-cli deal and read on the emulated machine and on orvenix-machine-emulator over a pseudo-terminal:
# whole sets, machine errors, refused boards, a silent machine and a link lost in the middle of a set.
set -u
cli="$1"
bin="$2"
data="$(cd "$(dirname "$0")/../data" && pwd)"
set32="$data/pbn/dealer_rotating.pbn"
# shellcheck source=lib/machine_harness.bash
source "$(dirname "$0")/lib/machine_harness.bash"

# ---- The in-process emulated machine (virtual time) ------------------------------------------------
out=$("$cli" deal "$set32" --machine emulated 2>"$work/err"); rc=$?
check "emulated deal: exit status 0" $rc
[ "$(echo "$out" | grep -c '^Board [0-9]*: N 13 E 13 S 13 W 13  [0-9]*\.[0-9] s$')" -eq 32 ]
check "emulated deal: a progress line with full pockets for each of the 32 boards" $?
echo "$out" | head -n 1 | grep -q '^Board 1: '; check "emulated deal: starts at board 1" $?
echo "$out" | grep -qx "Boards dealt: 32"; check "emulated deal: summary" $?
[ ! -s "$work/err" ]; check "emulated deal: nothing on stderr" $?

out=$("$cli" deal "$set32" --machine emulated --from 5 --to 7 2>/dev/null); rc=$?
check "emulated deal of a range: exit status 0" $rc
[ "$(echo "$out" | grep -c '^Board ')" -eq 3 ] && echo "$out" | head -n 1 | grep -q '^Board 5: '
check "emulated deal of a range: boards 5 to 7" $?

out=$("$cli" deal "$set32" --machine emulated --check-board --national 6 2>"$work/err"); rc=$?
check "emulated deal with the board check and Danish cards: exit status 0" $rc
[ "$(echo "$out" | grep -c '^Board ')" -eq 32 ] && [ ! -s "$work/err" ]
check "emulated deal with the board check: every board's label matched" $?
"$cli" deal "$set32" --machine emulated --from 30 --to 33 >/dev/null 2>&1; rc=$?
[ "$rc" -ne 0 ]; check "range beyond the set is refused" $?
"$cli" deal "$work/missing.pbn" --machine emulated >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ] && [ -s "$work/err" ]; check "missing input: status 1 with a message" $?
"$cli" deal --machine emulated >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ]; check "deal without INPUT: usage error" $?

# Reading: the same seed gives the same deals in both reading modes, and every board read is complete.
"$cli" read "$set32" "$work/read1.pbn" --machine emulated --mode 1 --seed 9 >"$work/out1" 2>"$work/err"; rc=$?
check "emulated read, mode 1: exit status 0" $rc
grep -qx "Boards read: 32" "$work/out1"; check "emulated read: 32 boards read" $?
[ -s "$work/read1.pbn" ]; check "emulated read: output saved" $?
"$cli" read "$set32" "$work/read2.pbn" --machine emulated --mode 2 --seed 9 >/dev/null 2>&1; rc=$?
check "emulated read, mode 2: exit status 0" $rc
cmp -s "$work/read1.pbn" "$work/read2.pbn"; check "both reading modes record the same deals" $?
! cmp -s "$work/read1.pbn" "$set32"; check "the deals read replace the input's" $?
"$cli" read "$set32" "$work/read3.pbn" --machine emulated --seed 10 >/dev/null 2>&1
! cmp -s "$work/read1.pbn" "$work/read3.pbn"; check "another seed reads other deals" $?
# What was read can be dealt again.
"$cli" deal "$work/read1.pbn" --machine emulated >/dev/null 2>&1; rc=$?
check "a set read can be dealt" $rc
"$cli" read "$set32" "$work/r.pbn" --machine emulated --mode 3 >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ]; check "read --mode 3: usage error" $?

# ---- orvenix-machine-emulator on a pseudo-terminal ---------------------------------------------------
start_emulator() { # arguments for the emulator
    mkfifo "$work/in.$$"
    "$bin/orvenix-machine-emulator" "$@" <"$work/in.$$" >"$work/emu.out" &
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

start_emulator --firmware 2.40 --options 12 --card-ms 0
[ -c "$pty" ]; check "emulator prints a terminal device ($pty)" $?
out=$("$cli" deal "$set32" --machine "serial:$pty" 2>"$work/err"); rc=$?
check "serial deal: exit status 0" $rc
[ "$(echo "$out" | grep -c '^Board [0-9]*: N 13 E 13 S 13 W 13 ')" -eq 32 ]
check "serial deal: 32 boards with full pockets" $?
[ ! -s "$work/err" ]; check "serial deal: nothing on stderr" $?
emulator_do ""
grep "^status" "$work/emu.out" | tail -n 1 | grep -q "boards 32 latch off"
check "serial deal: the machine dealt 32 boards and the latch is off again" $?

# A machine error ends the run with the dialog's text and code.
emulator_do "error 12 5"
out=$("$cli" deal "$set32" --machine "serial:$pty" --from 3 2>"$work/err"); rc=$?
[ "$rc" -eq 1 ]; check "machine error: exit status 1" $?
grep -q "board 3: Card Jam Error (Error Code: 12)" "$work/err"; check "machine error: text and code on stderr" $?
! echo "$out" | grep -q "^Board 3:"; check "machine error: no progress line for the failed board" $?

# The board-number check: a wrong board ends the run with the expected and inserted numbers.
emulator_do "board 5"
"$cli" deal "$set32" --machine "serial:$pty" --from 5 --to 5 --check-board >/dev/null 2>"$work/err"; rc=$?
check "board check, right board: exit status 0" $rc
"$cli" deal "$set32" --machine "serial:$pty" --from 3 --to 4 --check-board >"$work/out" 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ]; check "board check, wrong board: exit status 1" $?
grep -q "Expected board no: 3  -  Inserted board no: 5 (Error Code: 65)" "$work/err"
check "board check, wrong board: both numbers and code 65" $?
! grep -q "^Board 3:" "$work/out"; check "board check, wrong board: nothing dealt" $?
emulator_do "label 0"
"$cli" deal "$set32" --machine "serial:$pty" --from 3 --to 3 --check-board >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ] && grep -q "Cannot read board number" "$work/err" && grep -q "(Error Code: 64)" "$work/err"
check "board check, unreadable label: code 64" $?

# Reading on the serial machine: the stack put in is read back.
emulator_do "stack"
"$cli" read "$set32" "$work/serial_read.pbn" --machine "serial:$pty" --from 1 --to 1 >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -ne 0 ]; check "serial read of an empty stack: refused with a machine error" $?
grep -q "Card Feeding Error" "$work/err"; check "serial read of an empty stack: feeding error" $?

# A link lost in the middle of a set ends the run with the lost-link message and status 2.
stop_emulator
start_emulator --firmware 2.40 --options 12 --card-ms 30
"$cli" deal "$set32" --machine "serial:$pty" >"$work/out" 2>"$work/err" &
cli_pid=$!
for _ in $(seq 1 200); do grep -q "^Board 1:" "$work/out" && break; sleep 0.05; done
echo "lost on" >&3
wait "$cli_pid"; rc=$?
[ "$rc" -eq 2 ]; check "lost link: exit status 2" $?
grep -q "Lost Communication with Dealer  -  Dealing Aborted!" "$work/err"; check "lost link: the message" $?
grep -q "^Board 1:" "$work/out" && ! grep -q "^Board 32:" "$work/out"; check "lost link: the run stopped early" $?

# A machine that does not answer at all.
out=$("$cli" deal "$set32" --machine "serial:$pty" 2>"$work/err"); rc=$?
[ "$rc" -eq 2 ]; check "silent machine: exit status 2" $?
grep -q "Please check if power is connected" "$work/err"; check "silent machine: power message" $?
stop_emulator

# A machine without a board-number reader deals without the check and says so.
start_emulator --firmware 2.40 --options 8 --card-ms 0
"$cli" deal "$set32" --machine "serial:$pty" --from 1 --to 2 --check-board >/dev/null 2>"$work/err"; rc=$?
check "no reader: the boards are dealt" $rc
grep -q "no board-number reader" "$work/err"; check "no reader: a warning" $?
# National sets other than the standard need firmware 2.27.
stop_emulator
start_emulator --firmware 2.26 --options 0 --card-ms 0
"$cli" deal "$set32" --machine "serial:$pty" --national 2 >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ] && grep -q "2.27" "$work/err"; check "French cards on firmware 2.26: refused" $?
"$cli" deal "$set32" --machine "serial:$pty" --national 1 --to 1 >/dev/null 2>&1; rc=$?
check "standard cards on firmware 2.26: dealt" $rc
stop_emulator

# Reading needs firmware 2.24.
start_emulator --firmware 2.23 --options 0 --card-ms 0
"$cli" read "$set32" "$work/old.pbn" --machine "serial:$pty" >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ]; check "old firmware: read refused with status 1" $?
grep -q "2.24" "$work/err" && grep -q "2.23" "$work/err"; check "old firmware: message names both versions" $?
[ ! -e "$work/old.pbn" ]; check "old firmware: nothing saved" $?
stop_emulator

exit $fail
