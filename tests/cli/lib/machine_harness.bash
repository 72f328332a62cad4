# Shared by the command-line tests that talk to a machine: a check that records failures, a work folder,
# and the clean-up of orvenix-machine-emulator (its pid in emulator_pid, its input on descriptor 3).
fail=0
check() { # description, condition result
    if [ "$2" -ne 0 ]; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi
}
work=$(mktemp -d)
emulator_pid=""
cleanup() {
    exec 3>&- 2>/dev/null
    [ -n "$emulator_pid" ] && kill "$emulator_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
