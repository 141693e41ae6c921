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
