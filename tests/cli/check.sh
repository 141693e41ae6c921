#!/bin/bash
# zolvane check LISTING.txt: the line-check code of every line, and the errors
# a user can meet. Run from tests/fixtures with the tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"

# One code per line, blank lines included, the last line without a line break too.
"$tool" check download/check/listing.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 0 ] || fail "check: exit $rc: $(cat "$tmp/err")"
cmp -s "$tmp/out" download/check/codes.txt || fail "check: codes differ: $(tr '\n' ' ' <"$tmp/out")"
[ -s "$tmp/err" ] && fail "check: unexpected stderr: $(cat "$tmp/err")"

"$tool" check download/example/listing.txt >"$tmp/out" 2>&1
[ "$(tr '\n' ' ' <"$tmp/out")" = "0 0 0 0 0 0 " ] || fail "example: $(cat "$tmp/out")"

# LF and CR line breaks count like CR LF.
printf '10 REM "A"\n\n20 REM ""\r30 REM "B"' >"$tmp/mixed.txt"
"$tool" check "$tmp/mixed.txt" >"$tmp/out" 2>&1
[ "$(tr '\n' ' ' <"$tmp/out")" = "0 1 5 0 " ] || fail "mixed breaks: $(tr '\n' ' ' <"$tmp/out")"

# Hostile listings: a NUL byte inside a statement (code 6), a line number that
# does not fit in 16 bits (code 3), no line the check accepts.
for case in "nul-statement.txt:6 " "line-70000.txt:0 3 " "no-valid-line.txt:2 "; do
    name=${case%%:*}
    expected=${case#*:}
    "$tool" check "hostile/$name" >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 0 ] || fail "$name: exit $rc: $(cat "$tmp/err")"
    [ "$(tr '\n' ' ' <"$tmp/out")" = "$expected" ] || fail "$name: codes $(tr '\n' ' ' <"$tmp/out")"
done

# An empty file has no line.
: >"$tmp/empty.txt"
"$tool" check "$tmp/empty.txt" >"$tmp/out" 2>&1
rc=$?
[ $rc -eq 0 ] || fail "empty: exit $rc"
[ -s "$tmp/out" ] && fail "empty: printed $(cat "$tmp/out")"

# A missing file: one line on stderr, exit 1.
"$tool" check download/no-such-listing.txt >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "missing file: exit $rc, expected 1"
[ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "missing file: stderr '$(cat "$tmp/err")'"
grep -q "no-such-listing.txt" "$tmp/err" || fail "missing file: the message does not name the file"

# Wrong usage.
"$tool" check >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] || fail "no argument: exit $rc, expected 2"
"$tool" check a b >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] || fail "two arguments: exit $rc, expected 2"

exit $((failures > 0))
