#!/bin/bash
# zolvane listing CHART.lcs: the program text of each chart under listing/, byte for byte,
# and the errors a user can meet. Run from tests/fixtures with the tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"

for dir in listing/*/; do
    "$tool" listing "${dir}chart.lcs" >"$tmp/out" 2>"$tmp/err"
    rc=$?
    if [ -f "${dir}listing.txt" ]; then
        [ $rc -eq 0 ] || fail "$dir: exit $rc: $(cat "$tmp/err")"
        cmp -s "$tmp/out" "${dir}listing.txt" || fail "$dir: listing differs: $(od -c "$tmp/out" | head -5)"
        [ -s "$tmp/err" ] && fail "$dir: unexpected stderr: $(cat "$tmp/err")"
    else
        [ $rc -eq 1 ] || fail "$dir: exit $rc, expected 1"
        [ -s "$tmp/out" ] && fail "$dir: printed a listing although it failed"
        expected=$(cat "${dir}error.txt")
        [ "$(cat "$tmp/err")" = "zolvane: $expected" ] || fail "$dir: stderr '$(cat "$tmp/err")', expected 'zolvane: $expected'"
    fi
done

# A file that is not there: one line on stderr, exit 1.
"$tool" listing listing/no-such-chart.lcs >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "missing file: exit $rc, expected 1"
[ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "missing file: stderr '$(cat "$tmp/err")'"
[ -s "$tmp/out" ] && fail "missing file: printed something"

# Wrong usage: no file, or two.
"$tool" listing >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] || fail "no argument: exit $rc, expected 2"
"$tool" listing listing/empty/chart.lcs listing/example/chart.lcs >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] || fail "two arguments: exit $rc, expected 2"

exit $((failures > 0))
