#!/bin/bash
# zolvane run [--trace] [--max-steps N] [--set NAME=VALUE]... [--floor FILE] [--model FILE]
# [--log FILE.csv] LISTING.txt: the trace, the end, the variables and the pose, the inputs set
# by hand, floors, models and the sensor log, and the exit codes. Run from tests/fixtures with
# the tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"
assets=../../assets/sim

# Loops, a subroutine reached through a dropped label line, a condition: the whole output.
for name in loops drive; do
    "$tool" run --trace "sim/$name.txt" >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 0 ] || fail "$name: exit $rc: $(cat "$tmp/err")"
    cmp -s "$tmp/out" "sim/$name.expected" || fail "$name: output differs: $(diff "$tmp/out" "sim/$name.expected" | head -5)"
    [ -s "$tmp/err" ] && fail "$name: stderr $(cat "$tmp/err")"
done

# The worked example turns for ever: the step limit ends it, exit 0.
"$tool" run --trace --max-steps 9 download/example/listing.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 0 ] || fail "example: exit $rc: $(cat "$tmp/err")"
expected=$(printf '0\t10\tZOLVANE\n1\t20\tFDX\n2\t30\tWAIT 100\n1003\t50\tLT 50\n1281\t60\tGOTO 40\n1282\t50\tLT 50\n1561\t60\tGOTO 40\n1562\t50\tLT 50\n1841\t60\tGOTO 40\nstep limit\n\nx=0 y=200 heading=240')
[ "$(cat "$tmp/out")" = "$expected" ] || fail "example: '$(cat "$tmp/out")'"
# Without --trace only the three last lines; the default limit is 100000 statements.
"$tool" run download/example/listing.txt >"$tmp/out" 2>"$tmp/err" || fail "example untraced: exit $?"
[ "$(head -1 "$tmp/out")" = "step limit" ] || fail "example untraced: '$(cat "$tmp/out")'"
[ "$(wc -l <"$tmp/out")" -eq 3 ] || fail "example untraced: $(wc -l <"$tmp/out") lines"

# Inputs: the world's by default, fixed by --set; a line the download leaves out is a warning
# on stderr and not run; a runtime error prints the three lines and exits 1.
"$tool" run sim/inputs.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "inputs: exit $rc"
[ "$(cat "$tmp/out")" = "$(printf 'error 70: division by zero\nA=0 B=0 C=0 D=0\nx=0 y=0 heading=90')" ] ||
    fail "inputs: '$(cat "$tmp/out")'"
[ "$(cat "$tmp/err")" = "zolvane: run: warning: line 6 of the text: the download leaves this line out: the second word does not begin with REM" ] ||
    fail "inputs: stderr '$(cat "$tmp/err")'"
"$tool" run --set PC0=1 --set ADC3=100 --set PINA=255 --set PC4=1 sim/inputs.txt >"$tmp/out" 2>/dev/null
rc=$?
[ $rc -eq 0 ] || fail "inputs set: exit $rc"
[ "$(sed -n 1,2p "$tmp/out")" = "$(printf 'end\nA=1 B=100 C=255 D=17 F=10')" ] || fail "inputs set: '$(cat "$tmp/out")'"

# A floor: on the line track the middle line sensor starts over the line.
printf '10 REM "ZOLVANE"\r\n20 REM "A=PCX"\r\n30 REM "B=ADC0"\r\n' >"$tmp/look.txt"
"$tool" run --floor "$assets/line-track.floor" "$tmp/look.txt" >"$tmp/out" 2>"$tmp/err" || fail "track: exit $?: $(cat "$tmp/err")"
[ "$(sed -n 2,3p "$tmp/out")" = "$(printf 'A=2 B=0\nx=-270 y=-400 heading=0')" ] || fail "track: '$(cat "$tmp/out")'"
# In the room, 100 mm before a wall: 255 * (1 - 100 / 500) = 204.
printf 'zolvane-floor 1\nstart 0 0 0\nwall 175 -100 175 100\n' >"$tmp/wall.floor"
"$tool" run --floor "$tmp/wall.floor" "$tmp/look.txt" >"$tmp/out" 2>"$tmp/err" || fail "wall: exit $?: $(cat "$tmp/err")"
[ "$(sed -n 2p "$tmp/out")" = "A=0 B=204" ] || fail "wall: '$(cat "$tmp/out")'"

# A model: waits of 1 ms, statements of no time.
printf 'wait_unit_ms = 1\nstatement_ms = 0\n' >"$tmp/model.txt"
"$tool" run --trace --model "$tmp/model.txt" sim/loops.txt >"$tmp/out" 2>"$tmp/err" || fail "model: exit $?: $(cat "$tmp/err")"
[ "$(cut -f1 "$tmp/out" | head -14 | tr '\n' ' ')" = "0 0 0 0 0 5 5 5 5 5 10 10 10 10 " ] || fail "model: '$(cat "$tmp/out")'"

# The sensor log: a header, then a row every 10 ms from 0 to 1350 and one at the end (1357 ms).
"$tool" run --log "$tmp/log.csv" sim/drive.txt >"$tmp/out" 2>"$tmp/err" || fail "log: exit $?: $(cat "$tmp/err")"
[ "$(head -1 "$tmp/log.csv")" = "time_ms,PC0,PC1,PC2,PC3,PC4,MIC,ADC0,ADC1,ADC2,ADC3,ADC4,ADC5,ADC6,ADC7,left_mm_s,right_mm_s,x_mm,y_mm,heading_deg" ] ||
    fail "log: header '$(head -1 "$tmp/log.csv")'"
[ "$(wc -l <"$tmp/log.csv")" -eq 138 ] || fail "log: $(wc -l <"$tmp/log.csv") lines"
[ "$(sed -n 2p "$tmp/log.csv")" = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,90" ] || fail "log: first row '$(sed -n 2p "$tmp/log.csv")'"
# FD 100 drives both wheels at 200 mm/s from 1 ms; LT 90 and FD 50 take the robot to
# (-50, 100) facing 180; MOTOR 100,100 from 1254 ms to the STX at 1356 ms.
[ "$(grep '^250,' "$tmp/log.csv")" = "250,0,0,0,0,0,0,0,0,0,0,0,0,0,0,200,200,0,50,90" ] || fail "log: row 250 '$(grep '^250,' "$tmp/log.csv")'"
[ "$(grep '^1300,' "$tmp/log.csv")" = "1300,0,0,0,0,0,0,0,0,0,0,0,0,0,0,100,100,-55,100,180" ] || fail "log: row 1300 '$(grep '^1300,' "$tmp/log.csv")'"
[ "$(tail -2 "$tmp/log.csv" | cut -d, -f1 | tr '\n' ' ')" = "1350 1357 " ] || fail "log: last rows '$(tail -2 "$tmp/log.csv")'"
[ "$(tail -1 "$tmp/log.csv")" = "1357,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,-60,100,180" ] || fail "log: end row '$(tail -1 "$tmp/log.csv")'"
cmp -s "$tmp/out" <(tail -3 sim/drive.expected) || fail "log: stdout '$(cat "$tmp/out")'"
# Inputs set by hand in every row; with --trace the output is the trace's, the log the same.
"$tool" run --trace --set ADC3=123 --set PC2=1 --log "$tmp/set.csv" sim/drive.txt >"$tmp/out" 2>"$tmp/err" ||
    fail "log set: exit $?: $(cat "$tmp/err")"
cmp -s "$tmp/out" sim/drive.expected || fail "log set: stdout '$(cat "$tmp/out")'"
[ "$(cut -d, -f4,11 "$tmp/set.csv" | sort -u | tr '\n' ' ')" = "1,123 PC2,ADC3 " ] || fail "log set: columns '$(cut -d, -f4,11 "$tmp/set.csv" | sort -u)'"
[ "$(wc -l <"$tmp/set.csv")" -eq 138 ] || fail "log set: $(wc -l <"$tmp/set.csv") lines"
# A long run is logged at a coarser step rather than without end: 20 waits of 327.67 s end at
# 6553443 ms; past 500,000 rows the log thins to every 20 ms: 327673 rows, the end, the header.
printf '10 REM "ZOLVANE"\r\n20 REM "MOTOR 10,20"\r\n30 REM "FOR I=1 TO 20"\r\n40 REM "WAIT 32767"\r\n50 REM "NEXT I"\r\n' >"$tmp/long.txt"
"$tool" run --log "$tmp/long.csv" "$tmp/long.txt" >"$tmp/out" 2>"$tmp/err" || fail "long log: exit $?: $(cat "$tmp/err")"
[ "$(wc -l <"$tmp/long.csv")" -eq 327675 ] || fail "long log: $(wc -l <"$tmp/long.csv") lines"
[ "$(sed -n 2,4p "$tmp/long.csv" | cut -d, -f1,16,17 | tr '\n' ' ')" = "0,0,0 20,10,20 40,10,20 " ] || fail "long log: first rows '$(sed -n 2,4p "$tmp/long.csv")'"
[ "$(tail -2 "$tmp/long.csv" | cut -d, -f1 | tr '\n' ' ')" = "6553440 6553443 " ] || fail "long log: last rows '$(tail -2 "$tmp/long.csv")'"
rm -f "$tmp/long.csv"
# A file that cannot be written: one line naming it, exit 1; a file already there is kept whole.
"$tool" run --log "$tmp/no-such-dir/log.csv" sim/drive.txt >/dev/null 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "unwritable log: exit $rc"
grep -q "no-such-dir/log.csv" "$tmp/err" || fail "unwritable log: stderr '$(cat "$tmp/err")'"
[ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "unwritable log: stderr '$(cat "$tmp/err")'"
mkdir "$tmp/locked" && printf 'old log\n' >"$tmp/locked/log.csv" && chmod a-w "$tmp/locked" "$tmp/locked/log.csv"
if [ ! -w "$tmp/locked" ]; then # root writes anywhere
    "$tool" run --log "$tmp/locked/log.csv" sim/drive.txt >/dev/null 2>"$tmp/err"
    rc=$?
    [ $rc -eq 1 ] || fail "read-only log: exit $rc"
    grep -q "^zolvane: .*locked/log.csv" "$tmp/err" || fail "read-only log: stderr '$(cat "$tmp/err")'"
    [ "$(cat "$tmp/locked/log.csv")" = "old log" ] || fail "read-only log: the old file changed"
fi
chmod u+w "$tmp/locked"
# A folder in the file's place (root too is refused): exit 1, the folder untouched.
mkdir "$tmp/folder.csv" && touch "$tmp/folder.csv/inside"
"$tool" run --log "$tmp/folder.csv" sim/drive.txt >/dev/null 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "folder log: exit $rc"
grep -q "^zolvane: .*folder.csv" "$tmp/err" || fail "folder log: stderr '$(cat "$tmp/err")'"
[ -f "$tmp/folder.csv/inside" ] || fail "folder log: the folder changed"

# Files that cannot be read: one line on stderr naming the file, exit 1.
printf 'zolvane-floor 1\nwall 1 2 3\n' >"$tmp/bad.floor"
printf 'speed = 3\n' >"$tmp/bad-model.txt"
for args in "sim/no-such-listing.txt" "--floor $tmp/bad.floor sim/drive.txt" \
    "--floor $tmp/none.floor sim/drive.txt" "--model $tmp/bad-model.txt sim/drive.txt"; do
    # shellcheck disable=SC2086
    "$tool" run $args >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 1 ] || fail "$args: exit $rc"
    [ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "$args: stderr '$(cat "$tmp/err")'"
    [ -s "$tmp/out" ] && fail "$args: printed '$(cat "$tmp/out")'"
done
"$tool" run --floor "$tmp/bad.floor" sim/drive.txt 2>&1 | grep -q "bad.floor\", line 2: expected wall X1 Y1 X2 Y2" ||
    fail "bad floor: message '$("$tool" run --floor "$tmp/bad.floor" sim/drive.txt 2>&1)'"

# Wrong usage: exit 2.
for args in "" "--trace" "--max-steps 0 sim/drive.txt" "--max-steps x sim/drive.txt" \
    "--max-steps sim/drive.txt" "--set FOO=1 sim/drive.txt" "--set PC0=2 sim/drive.txt" \
    "--set ADC0=256 sim/drive.txt" "--set PC0 sim/drive.txt" "--set PCX=1 sim/drive.txt" \
    "--bogus sim/drive.txt" "sim/drive.txt sim/loops.txt" "--floor" \
    "--log a.csv --log b.csv sim/drive.txt" "--log sim/drive.txt"; do
    # shellcheck disable=SC2086
    "$tool" run $args >"$tmp/out" 2>/dev/null
    rc=$?
    [ $rc -eq 2 ] || fail "'$args': exit $rc, expected 2"
    [ -s "$tmp/out" ] && fail "'$args': printed '$(cat "$tmp/out")'"
done

exit $((failures > 0))
