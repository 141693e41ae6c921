#!/bin/bash
# zolvane export: a chart as PNG, SVG and PDF with no display, each read back by a reader of
# its format; the format follows the extension; errors are one line. Run from tests/fixtures
# with the tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"

if "$tool" export lint/clean/chart.lcs "$tmp/probe.png" 2>&1 | grep -q "made without the Qt parts"; then
    echo "the tool was built without Qt's drawing: skipped"
    exit 0
fi
unset DISPLAY WAYLAND_DISPLAY

# The PNG's width and height from its header: big-endian words at bytes 16 and 20.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

for ext in png svg pdf PNG; do
    "$tool" export lint/clean/chart.lcs "$tmp/chart.$ext" >"$tmp/out" 2>"$tmp/err"
    rc=$?
    [ $rc -eq 0 ] || fail "$ext: exit $rc: $(cat "$tmp/err")"
    [ -s "$tmp/out" ] && fail "$ext: printed '$(cat "$tmp/out")'"
    [ -s "$tmp/err" ] && fail "$ext: stderr '$(cat "$tmp/err")'"
done
# The chart's blocks are 90 wide; a margin of 12 on each side.
size=$(png_size "$tmp/chart.png")
[ "${size%x*}" = 114 ] || fail "png: $size"
[ "${size#*x}" -gt 200 ] || fail "png: $size"
[ "$(png_size "$tmp/chart.PNG")" = "$size" ] || fail "PNG: another size than png"
xmllint --noout "$tmp/chart.svg" || fail "svg: not well-formed"
grep -q "<svg" "$tmp/chart.svg" || fail "svg: no svg element"
if command -v pdfinfo >/dev/null; then
    pdfinfo "$tmp/chart.pdf" >"$tmp/info" 2>&1 || fail "pdf: $(cat "$tmp/info")"
    grep -q "^Pages: *1$" "$tmp/info" || fail "pdf: $(cat "$tmp/info")"
    grep -q "^Title: *chart.lcs$" "$tmp/info" || fail "pdf: $(cat "$tmp/info")"
else
    fail "pdfinfo is missing (poppler-utils)"
fi

# A format the extension does not name: wrong usage, nothing written.
"$tool" export lint/clean/chart.lcs "$tmp/chart.jpg" >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 2 ] || fail "jpg: exit $rc"
[ "$(head -1 "$tmp/err")" = "zolvane: export: \"$tmp/chart.jpg\" must end in .png, .svg or .pdf, which says what to write" ] ||
    fail "jpg: stderr '$(cat "$tmp/err")'"
[ -e "$tmp/chart.jpg" ] && fail "jpg: a file was written"

# A chart that cannot be read, or a place that cannot be written: one line, exit 1.
"$tool" export no-such-chart.lcs "$tmp/x.png" >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "missing chart: exit $rc"
[ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "missing chart: stderr '$(cat "$tmp/err")'"
"$tool" export lint/clean/chart.lcs "$tmp/no/such/folder/x.pdf" >"$tmp/out" 2>"$tmp/err"
rc=$?
[ $rc -eq 1 ] || fail "unwritable: exit $rc"
grep -q "^zolvane: Cannot create file \"$tmp/no/such/folder/x.pdf\"" "$tmp/err" || fail "unwritable: stderr '$(cat "$tmp/err")'"

# Wrong usage.
for args in "" "lint/clean/chart.lcs" "a.lcs b.png c.png"; do
    # shellcheck disable=SC2086
    "$tool" export $args >/dev/null 2>&1
    rc=$?
    [ $rc -eq 2 ] || fail "usage '$args': exit $rc, expected 2"
done

exit $((failures > 0))
