#!/usr/bin/env bash
# orvenix-cli machine-info on the emulated machine, on orvenix-machine-emulator over a pseudo-terminal,
# and its failures.
set -u
cli="$1"
bin="$2"
# shellcheck source=lib/machine_harness.bash
source "$(dirname "$0")/lib/machine_harness.bash"

# In-process emulated machine.
out=$("$cli" machine-info --machine emulated 2>"$work/err"); rc=$?
check "emulated: exit status 0" $rc
echo "$out" | grep -qx "Firmware: 2.40"; check "emulated: firmware 2.40" $?
echo "$out" | grep -qx "Options: 0x000C (board-number reader, large-index cards)"; check "emulated: option word" $?
echo "$out" | grep -qx "Serial number: 1234"; check "emulated: serial number" $?
[ ! -s "$work/err" ]; check "emulated: nothing on stderr" $?

# The emulator program on a pseudo-terminal; its input stays open through fd 3 until the end.
mkfifo "$work/in"
"$bin/orvenix-machine-emulator" --exit-on-eof --firmware 2.40 --options 4 <"$work/in" >"$work/emu.out" &
emulator_pid=$!
exec 3>"$work/in"
for _ in $(seq 1 100); do [ -s "$work/emu.out" ] && break; sleep 0.05; done
pty=$(head -n 1 "$work/emu.out")
[ -c "$pty" ]; check "emulator prints a terminal device ($pty)" $?
out=$("$cli" machine-info --machine "serial:$pty" 2>"$work/err"); rc=$?
check "serial: exit status 0" $rc
echo "$out" | grep -qx "Firmware: 2.40"; check "serial: firmware 2.40" $?
echo "$out" | grep -qx "Options: 0x0004 (board-number reader)"; check "serial: option word" $?
# A second run on the same terminal works too (the emulator keeps running between programs).
out=$("$cli" machine-info --machine "serial:$pty" 2>/dev/null)
echo "$out" | grep -qx "Firmware: 2.40"; check "serial: second run" $?

# A machine that does not answer: the power message on stderr, exit status 1.
echo "lost on" >&3
echo "state" >&3 # its answer shows that "lost on" has been taken in
for _ in $(seq 1 100); do grep -q "^status" "$work/emu.out" && break; sleep 0.05; done
out=$("$cli" machine-info --machine "serial:$pty" 2>"$work/err"); rc=$?
[ "$rc" -eq 1 ]; check "silent machine: exit status 1" $?
grep -q "Please check if power is connected" "$work/err"; check "silent machine: power message" $?
[ -z "$out" ]; check "silent machine: nothing on stdout" $?

# Closing the emulator's input ends it.
exec 3>&-
for _ in $(seq 1 100); do kill -0 "$emulator_pid" 2>/dev/null || break; sleep 0.05; done
! kill -0 "$emulator_pid" 2>/dev/null; check "emulator started with --exit-on-eof ends when its input closes" $?
emulator_pid=""

# Failures of the link.
"$cli" machine-info --machine serial:/dev/orvenix-no-such-device >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ]; check "missing device: exit status 1" $?
grep -q "Error: 255.6" "$work/err"; check "missing device: code 255.6" $?
! grep -q "answered" "$work/err"; check "missing device: a plain message is not answered like a question" $?
"$cli" machine-info --machine library:/nonexistent/lib.so >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ]; check "missing library: exit status 1" $?
grep -q "12.2" "$work/err" && grep -q "USB drivers are not installed" "$work/err"; check "missing library: drivers message" $?
"$cli" machine-info --machine nonsense >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ]; check "unknown machine kind: usage error" $?

exit $fail
