#!/bin/bash
# zolvane pack LISTING.txt OUT.bin: the program image byte for byte, and the
# errors a user can meet. Run from tests/fixtures with the tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"

for dir in download/example download/check; do
    "$tool" pack "$dir/listing.txt" "$tmp/out.bin" >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 0 ] || fail "$dir: exit $rc: $(cat "$tmp/err")"
    cmp -s "$tmp/out.bin" "$dir/image.bin" || fail "$dir: image differs: $(od -An -tx1 "$tmp/out.bin" | head -3)"
    [ -s "$tmp/out" ] && fail "$dir: printed $(cat "$tmp/out")"
done

# The output file is replaced, not appended to.
head -c 500 /dev/zero >"$tmp/old.bin"
"$tool" pack download/example/listing.txt "$tmp/old.bin" || fail "replace: exit $?"
cmp -s "$tmp/old.bin" download/example/image.bin || fail "replace: old content kept"

# No accepted line: the three-byte end mark.
printf 'hello\r\n\r\n' >"$tmp/junk.txt"
"$tool" pack "$tmp/junk.txt" "$tmp/junk.bin" || fail "junk: exit $?"
[ "$(od -An -tx1 "$tmp/junk.bin" | tr -d ' \n')" = "000000" ] || fail "junk: $(od -An -tx1 "$tmp/junk.bin")"

# Lines the check refuses leave no trace: a line number past 65535 is not
# stored as another line's number, a statement with a NUL byte is not cut short.
printf '10 REM "ZOLVANE"\r\n' >"$tmp/first.txt"
"$tool" pack "$tmp/first.txt" "$tmp/first.bin" || fail "first line: exit $?"
"$tool" pack hostile/line-70000.txt "$tmp/hostile.bin" 2>"$tmp/err" || fail "line 70000: exit $?: $(cat "$tmp/err")"
cmp -s "$tmp/hostile.bin" "$tmp/first.bin" || fail "line 70000: $(od -An -tx1 "$tmp/hostile.bin" | head -3)"
"$tool" pack hostile/nul-statement.txt "$tmp/hostile.bin" 2>"$tmp/err" || fail "NUL statement: exit $?: $(cat "$tmp/err")"
[ "$(od -An -tx1 "$tmp/hostile.bin" | tr -d ' \n')" = "000000" ] || fail "NUL statement: $(od -An -tx1 "$tmp/hostile.bin")"

# A program whose link words would pass 65535 does not fit in the robot: 240
# statements of 250 bytes need 240 * 252 bytes of its 58942. One line, exit 1,
# no image.
awk 'BEGIN { s = sprintf("%248s", ""); gsub(/ /, "A", s); for (i = 1; i <= 240; i++) printf "%d REM \"%s\"\r\n", i * 10, s }' >"$tmp/large.txt"
"$tool" pack "$tmp/large.txt" "$tmp/large.bin" >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "too large: exit $rc"
[ "$(cat "$tmp/err")" = "zolvane: The program is too large for the robot: its 240 lines need 60480 bytes of program memory (a line takes its statement's length + 2) and the robot has 58942. Only the lines up to line 233 fit (233 lines, a program image of 59651 bytes)." ] ||
    fail "too large: stderr '$(cat "$tmp/err")'"
[ -e "$tmp/large.bin" ] && fail "too large: wrote an image"
# The lines that fit pack.
head -n 233 "$tmp/large.txt" >"$tmp/fits.txt"
"$tool" pack "$tmp/fits.txt" "$tmp/fits.bin" || fail "fits: exit $?"
[ "$(wc -c <"$tmp/fits.bin")" -eq 59651 ] || fail "fits: $(wc -c <"$tmp/fits.bin") bytes"

# A missing listing, or a folder that cannot be written: one line, exit 1.
"$tool" pack download/no-such-listing.txt "$tmp/x.bin" >/dev/null 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "missing listing: exit $rc"
[ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "missing listing: stderr '$(cat "$tmp/err")'"
[ -e "$tmp/x.bin" ] && fail "missing listing: wrote an image"
"$tool" pack download/example/listing.txt "$tmp/no-such-dir/x.bin" >/dev/null 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "unwritable: exit $rc"
grep -q "no-such-dir/x.bin" "$tmp/err" || fail "unwritable: stderr '$(cat "$tmp/err")'"

"$tool" pack download/example/listing.txt >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] || fail "one argument: exit $rc, expected 2"

exit $((failures > 0))
