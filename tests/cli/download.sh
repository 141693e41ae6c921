#!/bin/bash
# zolvane download and emulate, end to end over a pseudo-terminal: the tool
# sends a listing to the tool's own virtual robot. Run from tests/fixtures
# with the tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"
robot=
cleanup() {
    [ -n "$robot" ] && kill "$robot" 2>/dev/null && wait "$robot" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

if "$tool" ports 2>&1 | grep -q "made without the Qt parts"; then
    echo "the tool was built without the serial port: skipped"
    exit 0
fi

# Starts `zolvane emulate ARGS` and sets $device to its pseudo-terminal.
start_robot() {
    "$tool" emulate "$@" >"$tmp/robot.out" 2>"$tmp/robot.err" &
    robot=$!
    device=
    for _ in $(seq 100); do
        device=$(head -1 "$tmp/robot.out" 2>/dev/null)
        [ -n "$device" ] && return 0
        sleep 0.05
    done
    fail "emulate printed no device: $(cat "$tmp/robot.err")"
    return 1
}

# The worked example arrives whole.
if start_robot --once --save "$tmp/received.bin"; then
    "$tool" download --port "$device" download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 0 ] || fail "download: exit $rc: $(cat "$tmp/err")"
    [ "$(cat "$tmp/out")" = "84 bytes data send success" ] || fail "download: printed '$(cat "$tmp/out")'"
    wait "$robot"
    robot=
    cmp -s "$tmp/received.bin" download/example/image.bin || fail "the robot got other bytes"
    grep -q "^received 84 bytes$" "$tmp/robot.out" || fail "emulate: $(cat "$tmp/robot.out")"
fi

# A robot that never answers: the fail message and its reason, in bounded time.
if start_robot --silent; then
    "$tool" download --port "$device" --timeout-ms 20 download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 1 ] || fail "silent robot: exit $rc"
    [ "$(cat "$tmp/out")" = "84 bytes data send fail" ] || fail "silent robot: printed '$(cat "$tmp/out")'"
    grep -q "no answer within 20 ms" "$tmp/err" || fail "silent robot: stderr '$(cat "$tmp/err")'"
    kill "$robot"
    wait "$robot"
    robot=
fi

# Ctrl+C while the robot keeps silent: the download is wound down between two
# packets at once, not after the minute's wait; the completion message, the
# robot keeps its previous program, exit 130.
if start_robot --silent; then
    "$tool" download --port "$device" --timeout-ms 60000 download/example/listing.txt >"$tmp/out" 2>"$tmp/err" &
    interrupt_download $! "$device"
    [ "$rc" = 130 ] || fail "Ctrl+C: exit $rc: $(cat "$tmp/err")"
    [ "$(cat "$tmp/out")" = "84 bytes data send fail" ] || fail "Ctrl+C: printed '$(cat "$tmp/out")'"
    [ "$(tail -1 "$tmp/err")" = "zolvane: Cancelled: the robot keeps its previous program" ] ||
        fail "Ctrl+C: stderr '$(cat "$tmp/err")'"
    kill "$robot"
    wait "$robot"
    robot=
fi

# Lines that fail the check are named on stderr, one a line, before the rest
# is sent; stdout is the completion message alone.
if start_robot --once --save "$tmp/received.bin"; then
    "$tool" download --port "$device" hostile/lines-left-out.txt >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 0 ] || fail "lines left out: exit $rc: $(cat "$tmp/err")"
    [ "$(cat "$tmp/out")" = "34 bytes data send success" ] || fail "lines left out: printed '$(cat "$tmp/out")'"
    printf '%s\n' "zolvane: left out line 2 (code 5: the third word is not a quoted text)" \
        "zolvane: left out line 4 (code 1: 8 characters or fewer)" \
        "zolvane: left out line 5 (code 3: no line number from 0 to 65535)" >"$tmp/expected.err"
    cmp -s "$tmp/err" "$tmp/expected.err" || fail "lines left out: stderr '$(cat "$tmp/err")'"
    wait "$robot"
    robot=
    "$tool" pack hostile/lines-left-out.txt "$tmp/expected.bin"
    cmp -s "$tmp/received.bin" "$tmp/expected.bin" || fail "lines left out: the robot got other bytes"
fi

# A listing the robot could not take is refused before the port is opened:
# one line, exit 1, nothing printed, nothing sent.
if start_robot --once; then
    "$tool" download --port "$device" hostile/no-valid-line.txt >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 1 ] || fail "no valid line: exit $rc"
    [ "$(cat "$tmp/err")" = "zolvane: No line of the program passes the line check, so nothing was sent: line 1 (code 2: fewer than three words)." ] ||
        fail "no valid line: stderr '$(cat "$tmp/err")'"
    [ -s "$tmp/out" ] && fail "no valid line: printed '$(cat "$tmp/out")'"
    grep -q "^received" "$tmp/robot.out" && fail "no valid line: the robot received $(cat "$tmp/robot.out")"
    kill "$robot"
    wait "$robot"
    robot=
fi
awk 'BEGIN { s = sprintf("%248s", ""); gsub(/ /, "A", s); for (i = 1; i <= 240; i++) printf "%d REM \"%s\"\r\n", i * 10, s }' >"$tmp/large.txt"
"$tool" download --port /dev/zolvane-no-such-port "$tmp/large.txt" >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "too large: exit $rc"
[ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "too large: stderr '$(cat "$tmp/err")'"
grep -q "^zolvane: The program is too large for the robot: .* Only the lines up to line 233 fit (233 lines, a program image of 59651 bytes).$" "$tmp/err" ||
    fail "too large: stderr '$(cat "$tmp/err")'"
[ -s "$tmp/out" ] && fail "too large: printed '$(cat "$tmp/out")'"

# A port that does not exist: one line, exit 1, nothing printed.
"$tool" download --port /dev/zolvane-no-such-port download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "missing port: exit $rc"
[ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "missing port: stderr '$(cat "$tmp/err")'"
[ -s "$tmp/out" ] && fail "missing port: printed '$(cat "$tmp/out")'"

# A time limit out of range, not a whole number, or missing: the option and
# its range are named before the usage.
for value in 0 3600001 abc -5 1.5 "" 99999999999999999999; do
    "$tool" download --port X --timeout-ms "$value" download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 2 ] || fail "--timeout-ms '$value': exit $rc, expected 2"
    [ "$(head -1 "$tmp/err")" = "zolvane: download: --timeout-ms takes a whole number of milliseconds from 1 to 3600000" ] ||
        fail "--timeout-ms '$value': stderr '$(head -1 "$tmp/err")'"
    grep -q "^usage: zolvane" "$tmp/err" || fail "--timeout-ms '$value': no usage"
done
"$tool" download --port X download/example/listing.txt --timeout-ms >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 2 ] || fail "--timeout-ms without a value: exit $rc, expected 2"
grep -q "^zolvane: download: --timeout-ms takes a whole number of milliseconds from 1 to 3600000$" "$tmp/err" ||
    fail "--timeout-ms without a value: stderr '$(cat "$tmp/err")'"
# The limits themselves are taken.
for value in 1 3600000; do
    "$tool" download --port /dev/zolvane-no-such-port --timeout-ms "$value" download/example/listing.txt >/dev/null 2>"$tmp/err"
    rc=$?
    [ $rc -eq 1 ] || fail "--timeout-ms $value: exit $rc, expected 1 (the missing port)"
done

# Wrong usage.
for args in "download/example/listing.txt" "--port" "--port X --timeout-ms 0 download/example/listing.txt" \
    "--port X --timeout-ms abc download/example/listing.txt" "--port X a.txt b.txt"; do
    # shellcheck disable=SC2086
    "$tool" download $args >/dev/null 2>&1
    rc=$?
    [ $rc -eq 2 ] || fail "usage '$args': exit $rc, expected 2"
done

exit $((failures > 0))
