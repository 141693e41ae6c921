#!/bin/bash
# zolvane download with several --port options: the same program to a class
# of robots at once, each `zolvane emulate` on its own pseudo-terminal; one
# line per robot as it finishes, exit 0 only when every robot got it. Then
# each cause of failure as a robot's line: silence, garbage, refusals, a
# hang-up, a port another program holds, a port the user may not use. Run
# from tests/fixtures with the tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"
robots=()
cleanup() {
    for pid in "${robots[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rm -rf "$tmp"
}
trap cleanup EXIT

if "$tool" ports 2>&1 | grep -q "made without the Qt parts"; then
    echo "the tool was built without the serial port: skipped"
    exit 0
fi

# Starts `zolvane emulate ARGS` with its output in $tmp/robot-NAME.out and
# sets $device to its pseudo-terminal.
start_robot() {
    local name=$1
    shift
    "$tool" emulate "$@" >"$tmp/robot-$name.out" 2>"$tmp/robot-$name.err" &
    robots+=($!)
    device=
    for _ in $(seq 100); do
        device=$(head -1 "$tmp/robot-$name.out" 2>/dev/null)
        [ -n "$device" ] && return 0
        sleep 0.05
    done
    fail "emulate $name printed no device: $(cat "$tmp/robot-$name.err")"
    return 1
}
stop_robots() {
    for pid in "${robots[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    robots=()
}
# The line of the port $1 in $tmp/out.
line_of() {
    grep -F "$1: " "$tmp/out"
}

# Three robots: every one gets the worked example, one line each, exit 0.
start_robot a --once --save "$tmp/a.bin" && a=$device
start_robot b --once --save "$tmp/b.bin" && b=$device
start_robot c --once --save "$tmp/c.bin" && c=$device
"$tool" download --port "$a" --port "$b" --port "$c" download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 0 ] || fail "three robots: exit $rc: $(cat "$tmp/out" "$tmp/err")"
[ "$(wc -l <"$tmp/out")" -eq 3 ] || fail "three robots: printed '$(cat "$tmp/out")'"
for d in "$a" "$b" "$c"; do
    [ "$(line_of "$d")" = "$d: 84 bytes data send success" ] || fail "three robots: no line for $d in '$(cat "$tmp/out")'"
done
[ -s "$tmp/err" ] && fail "three robots: stderr '$(cat "$tmp/err")'"
for name in a b c; do
    wait "${robots[0]}"
    robots=("${robots[@]:1}")
    cmp -s "$tmp/$name.bin" download/example/image.bin || fail "robot $name got other bytes"
done
stop_robots

# One silent robot among three: the others get the program, the silent one's
# line says nobody answered and what to check, and the exit status is 1.
start_robot a --once --save "$tmp/a.bin" && a=$device
start_robot quiet --silent && quiet=$device
start_robot b --once --save "$tmp/b.bin" && b=$device
"$tool" download --port "$a" --port "$quiet" --port "$b" --timeout-ms 20 download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "one silent robot: exit $rc"
[ "$(wc -l <"$tmp/out")" -eq 3 ] || fail "one silent robot: printed '$(cat "$tmp/out")'"
[ "$(line_of "$a")" = "$a: 84 bytes data send success" ] || fail "one silent robot: '$(cat "$tmp/out")'"
[ "$(line_of "$b")" = "$b: 84 bytes data send success" ] || fail "one silent robot: '$(cat "$tmp/out")'"
short=${quiet#/dev/}
[ "$(line_of "$quiet")" = "$quiet: 84 bytes data send fail: No robot answered on $short. Is the robot switched on and waiting for a program? Is $short its port? (Unplug the robot's cable: the port that leaves the list is the robot's.)" ] ||
    fail "one silent robot: '$(line_of "$quiet")'"
# The silent robot's line comes last: the others did not wait for it.
[ "$(tail -1 "$tmp/out")" = "$(line_of "$quiet")" ] || fail "one silent robot: order '$(cat "$tmp/out")'"
cmp -s "$tmp/a.bin" download/example/image.bin || fail "one silent robot: robot a got other bytes"
cmp -s "$tmp/b.bin" download/example/image.bin || fail "one silent robot: robot b got other bytes"
stop_robots

# Ctrl+C during a download to two silent robots: each is told between two
# packets, each line says the robot keeps its previous program, exit 130.
start_robot quiet1 --silent && quiet1=$device
start_robot quiet2 --silent && quiet2=$device
"$tool" download --port "$quiet1" --port "$quiet2" --timeout-ms 60000 download/example/listing.txt >"$tmp/out" 2>"$tmp/err" &
interrupt_download $! "$quiet2"
[ "$rc" = 130 ] || fail "Ctrl+C, two robots: exit $rc: $(cat "$tmp/err")"
for d in "$quiet1" "$quiet2"; do
    [ "$(line_of "$d")" = "$d: 84 bytes data send fail: Cancelled: the robot keeps its previous program." ] ||
        fail "Ctrl+C, two robots: '$(cat "$tmp/out")'"
done
stop_robots

# Each cause of failure as a robot's line, beside a robot that gets the program.
check_cause() {
    local what=$1 expected=$2
    shift 2
    start_robot good --once && good=$device
    start_robot bad "$@" && bad=$device
    "$tool" download --port "$good" --port "$bad" --timeout-ms 50 download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 1 ] || fail "$what: exit $rc"
    [ "$(line_of "$good")" = "$good: 84 bytes data send success" ] || fail "$what: '$(cat "$tmp/out")'"
    short=${bad#/dev/}
    line_of "$bad" | grep -qF "$bad: 84 bytes data send fail: ${expected//PORT/$short}" ||
        fail "$what: '$(line_of "$bad")'"
    stop_robots
}
check_cause garbage "The answers on PORT are not a robot's. This is probably the wrong port" --garbage
check_cause refusals "The robot refused the hello packet 11 times. A loose or damaged cable" --reject 11
# The robot hangs up after the first part: the line names a part of the two,
# and the partial program.
check_cause hang-up "The connection to the robot on PORT was lost during chunk " --hang-up 1
line_of "$bad" | grep -qF "The robot may now hold only part of the new program" ||
    fail "hang-up: no word of the partial program in '$(line_of "$bad")'"

# A port another program holds: here another zolvane, waiting on a silent robot.
start_robot good --once && good=$device
start_robot held --silent && held=$device
"$tool" download --port "$held" --timeout-ms 60000 download/example/listing.txt >/dev/null 2>&1 &
holder=$!
wait_for_port_lock "$held"
"$tool" download --port "$good" --port "$held" download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
kill "$holder" 2>/dev/null
wait "$holder" 2>/dev/null
[ $rc -eq 1 ] || fail "busy port: exit $rc"
[ "$(line_of "$good")" = "$good: 84 bytes data send success" ] || fail "busy port: '$(cat "$tmp/out")'"
[ "$(line_of "$held")" = "$held: 84 bytes data send fail: ${held#/dev/} is in use by another program (zolvane, process $holder). Close that program (a terminal program, another editor, a second copy of this one) or choose another port." ] ||
    fail "busy port: '$(line_of "$held")'"
stop_robots
held_lock=LCK..$(echo "${held#/dev/}" | tr / _)
rm -f "/var/lock/$held_lock" "/run/lock/$held_lock" 2>/dev/null # the killed holder's lock stays behind

# A port the user may not use: as root, the tool runs as nobody; otherwise the
# pseudo-terminal is made unreadable to its owner.
start_robot good --once && good=$device
start_robot locked --silent && locked=$device
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    if command -v setpriv >/dev/null; then
        chmod 666 "$good"
        chmod 600 "$locked"
        cp "$tool" "$tmp/zolvane" && chmod 755 "$tmp" "$tmp/zolvane"
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups "$tmp/zolvane")
    fi
else
    chmod 000 "$locked"
    as_user=("$tool")
fi
if [ ${#as_user[@]} -gt 0 ]; then
    (cd "$tmp" && cp "$OLDPWD/download/example/listing.txt" listing.txt && chmod 644 listing.txt &&
        "${as_user[@]}" download --port "$good" --port "$locked" listing.txt) >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 1 ] || fail "no permission: exit $rc: $(cat "$tmp/out" "$tmp/err")"
    [ "$(line_of "$good")" = "$good: 84 bytes data send success" ] || fail "no permission: '$(cat "$tmp/out" "$tmp/err")'"
    line_of "$locked" | grep -qE "^$locked: 84 bytes data send fail: You may not use ${locked#/dev/}\. Ask the administrator to let [^ ]+ use ${locked#/dev/}: on Linux, by adding [^ ]+ to the group [^ ]+ \(sudo adduser [^ ]+ [^ ]+\); then log out and in again\.$" ||
        fail "no permission: '$(line_of "$locked")'"
else
    echo "no way to drop root here: the permission case is skipped"
fi
stop_robots

# A port named twice is wrong usage; so is an empty one.
"$tool" download --port /dev/x --port /dev/x download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 2 ] || fail "twice: exit $rc"
[ "$(head -1 "$tmp/err")" = "zolvane: download: the port /dev/x is named twice: one robot a port" ] ||
    fail "twice: stderr '$(cat "$tmp/err")'"
"$tool" download --port "" download/example/listing.txt >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] || fail "empty port: exit $rc"

# Ports that are not there fail each with its line, and the others are not held up.
"$tool" download --port /dev/zolvane-none-1 --port /dev/zolvane-none-2 download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "missing ports: exit $rc"
[ "$(wc -l <"$tmp/out")" -eq 2 ] || fail "missing ports: printed '$(cat "$tmp/out")'"
grep -qxF "/dev/zolvane-none-1: 84 bytes data send fail: There is no port zolvane-none-1 (any more). Plug the robot's cable in again and choose its port from the list." "$tmp/out" ||
    fail "missing ports: '$(cat "$tmp/out")'"

exit $((failures > 0))
