#!/usr/bin/env bash
# orvenix-cli firmware: a download into the emulated machine and into orvenix-machine-emulator over a
# pseudo-terminal, programming errors, bad files and a machine that stops answering.
set -u
cli="$1"
bin="$2"
# shellcheck source=lib/machine_harness.bash
source "$(dirname "$0")/lib/machine_harness.bash"

le32() { # a number as four little-endian bytes
    local n=$1
    printf "\\x$(printf %02x $((n & 255)))\\x$(printf %02x $(((n >> 8) & 255)))"
    printf "\\x$(printf %02x $(((n >> 16) & 255)))\\x$(printf %02x $(((n >> 24) & 255)))"
}
# firmware_file PATH LENGTH1 LENGTH2 [HEADER_LENGTH1]: section 1 starts with the version 2.51 (the
# emulator's convention), the rest is filler.
firmware_file() {
    local path=$1 n1=$2 n2=$3 h1=${4:-$2}
    {
        le32 "$h1"; le32 "$n2"; printf '\x00\x00\x00\x00\x00\x00\x00\x00'
        printf '\x02\x51'; head -c $((n1 - 2)) /dev/zero | tr '\000' 'A'
        head -c "$n2" /dev/zero | tr '\000' 'B'
    } >"$path"
}
firmware_file "$work/good.adc" 3000 1500
firmware_file "$work/bad.adc" 3000 1500 3001
firmware_file "$work/huge.adc" 65520 100
head -c 8 /dev/zero >"$work/tiny.adc"

# In-process emulated machine: 2.40 before, 2.51 after; L1 = 3016 gives 23 blocks, L2 = 1516 gives 11,
# and the two header blocks.
out=$("$cli" firmware "$work/good.adc" --machine emulated 2>"$work/err"); rc=$?
check "emulated: exit status 0" $rc
echo "$out" | grep -qx "Firmware: 2.40"; check "emulated: old version" $?
echo "$out" | grep -qx "Frames: 36  Sum: 0  Comm: 0  Prog: 0"; check "emulated: counters" $?
echo "$out" | grep -qx "New firmware: 2.51"; check "emulated: new version after reconnecting" $?
grep -qx "Firmware download: New Firmware downloaded OK" "$work/err"; check "emulated: success message" $?

# Bad files: refused before anything is sent, status 1, the corrupted-file message.
for f in bad huge tiny; do
    out=$("$cli" firmware "$work/$f.adc" --machine emulated 2>"$work/err"); rc=$?
    [ "$rc" -eq 1 ]; check "$f file: exit status 1" $?
    grep -q "Download Error: Incorrect or corrupted firmware file" "$work/err"; check "$f file: message" $?
    ! echo "$out" | grep -q "Frames"; check "$f file: nothing sent" $?
done
"$cli" firmware "$work/missing.adc" --machine emulated >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ]; check "missing file: exit status 1" $?
grep -q "Download Error: Cannot read" "$work/err"; check "missing file: message" $?
"$cli" firmware --machine emulated >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ]; check "no file argument: usage error" $?

# The emulator program on a pseudo-terminal; its input stays open through fd 3 until the end.
mkfifo "$work/in"
"$bin/orvenix-machine-emulator" --exit-on-eof --firmware 2.40 <"$work/in" >"$work/emu.out" &
emulator_pid=$!
exec 3>"$work/in"
for _ in $(seq 1 100); do [ -s "$work/emu.out" ] && break; sleep 0.05; done
pty=$(head -n 1 "$work/emu.out")
[ -c "$pty" ]; check "emulator prints a terminal device ($pty)" $?

# A programming error at section 2's block 3 stops the transfer with its code and position.
echo "download 2 515" >&3
echo "firmware" >&3
for _ in $(seq 1 100); do grep -q "^firmware" "$work/emu.out" && break; sleep 0.05; done
out=$("$cli" firmware "$work/good.adc" --machine "serial:$pty" 2>"$work/err"); rc=$?
[ "$rc" -eq 1 ]; check "serial programming error: exit status 1" $?
grep -qx "Download Error: Error: 2 during programming at 515" "$work/err"; check "serial: code and position" $?
echo "$out" | grep -qx "Frames: 26  Sum: 0  Comm: 0  Prog: 0"; check "serial: counters up to the error" $?

# Then a good download over the same terminal; the emulator reports the new version.
out=$("$cli" firmware "$work/good.adc" --machine "serial:$pty" 2>"$work/err"); rc=$?
check "serial: exit status 0" $rc
echo "$out" | grep -qx "New firmware: 2.51"; check "serial: new version" $?
echo "firmware" >&3
for _ in $(seq 1 100); do grep -q "installed 1" "$work/emu.out" && break; sleep 0.05; done
grep -qx "firmware 2.51 installed 1" "$work/emu.out"; check "emulator installed the image once" $?

# A machine that stops answering: the lost-link message, status 1.
echo "lost on" >&3
echo "state" >&3
for _ in $(seq 1 100); do grep -q "^status" "$work/emu.out" && break; sleep 0.05; done
"$cli" firmware "$work/good.adc" --machine "serial:$pty" >/dev/null 2>"$work/err"; rc=$?
[ "$rc" -eq 1 ]; check "silent machine: exit status 1" $?
grep -q "Lost Communication with Dealer  -  Maintenance Aborted!" "$work/err"; check "silent machine: message" $?

exec 3>&-
exit $fail
