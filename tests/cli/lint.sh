#!/bin/bash
# zolvane lint CHART.lcs: the findings for each chart under lint/, byte for byte, the exit
# status they call for (1 with any error, 0 with warnings or nothing), and the errors a user can
# meet. Run from tests/fixtures with the tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"

for dir in lint/*/; do
    "$tool" lint "${dir}chart.lcs" >"$tmp/out" 2>"$tmp/err"
    rc=$?
    expected_rc=0
    grep -q $'^[0-9]*\terror\t' "${dir}findings.txt" && expected_rc=1
    [ $rc -eq $expected_rc ] || fail "$dir: exit $rc, expected $expected_rc: $(cat "$tmp/err")"
    cmp -s "$tmp/out" "${dir}findings.txt" || fail "$dir: findings differ: $(diff "$tmp/out" "${dir}findings.txt" | head -5)"
    [ -s "$tmp/err" ] && fail "$dir: unexpected stderr: $(cat "$tmp/err")"
done

# The worked examples have nothing to report.
for chart in listing/example/chart.lcs chart/example.lcs ../../docs/sample.lcs; do
    "$tool" lint "$chart" >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 0 ] || fail "$chart: exit $rc"
    [ -s "$tmp/out" ] && fail "$chart: findings: $(cat "$tmp/out")"
    [ -s "$tmp/err" ] && fail "$chart: unexpected stderr: $(cat "$tmp/err")"
done

# A file that is not there, and one that is no chart file: one line on stderr, exit 1.
for path in lint/no-such-chart.lcs lint/clean/findings.txt; do
    "$tool" lint "$path" >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 1 ] || fail "$path: exit $rc, expected 1"
    [ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "$path: stderr '$(cat "$tmp/err")'"
    grep -q '^zolvane: ' "$tmp/err" || fail "$path: stderr '$(cat "$tmp/err")'"
    [ -s "$tmp/out" ] && fail "$path: printed something"
done

# Wrong usage: no file, or two.
"$tool" lint >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] || fail "no argument: exit $rc, expected 2"
"$tool" lint lint/clean/chart.lcs lint/errors/chart.lcs >/dev/null 2>&1
rc=$?
[ $rc -eq 2 ] || fail "two arguments: exit $rc, expected 2"

exit $((failures > 0))
