#!/bin/bash
# Hostile files handed to the tool: a folder, a pipe with nobody writing, a link to an endless
# device and a file far beyond any chart each end in one line on stderr naming the file, with
# exit 1 and in bounded time (no abort, no hang, no memory exhaustion); a save never writes
# through to a pipe or device, never replaces a read-only file. Run from tests/fixtures with the
# tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"

mkdir "$tmp/folder.lcs"
mkfifo "$tmp/pipe.lcs"
ln -s /dev/zero "$tmp/zero.lcs"
# Sparse: 65 MiB of size, next to nothing on the disk.
truncate -s 65M "$tmp/huge.lcs"

# expect_refusal NAME FILE ARGS...: exit 1 within the time limit, one stderr line naming FILE.
expect_refusal() {
    local name=$1 file=$2
    shift 2
    timeout 20 "$tool" "$@" >"$tmp/out" 2>"$tmp/err"
    local rc=$?
    [ $rc -eq 1 ] || fail "$name: exit $rc, expected 1: $(head -c 300 "$tmp/err")"
    [ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "$name: stderr is not one line: $(head -c 300 "$tmp/err")"
    grep -qF "\"$file\"" "$tmp/err" || fail "$name: the message does not name $file: $(cat "$tmp/err")"
}

for kind in folder pipe zero huge; do
    file="$tmp/$kind.lcs"
    expect_refusal "check $kind" "$file" check "$file"
    expect_refusal "pack $kind" "$file" pack "$file" "$tmp/out.bin"
    expect_refusal "listing $kind" "$file" listing "$file"
    expect_refusal "chart $kind" "$file" chart "$file"
    expect_refusal "lint $kind" "$file" lint "$file"
    expect_refusal "resave $kind" "$file" resave "$file" "$tmp/copy.lcs"
    if ! "$tool" ports 2>&1 | grep -q "made without the Qt parts"; then
        expect_refusal "download $kind" "$file" download --port /dev/null "$file"
    fi
done
[ -e "$tmp/out.bin" ] && fail "pack wrote an image from a file it refused"
grep -q "larger than 64 MiB" "$tmp/err" || fail "the size limit is not in the message: $(cat "$tmp/err")"

# Saving: a read-only chart stays as it is; a link to a pipe or a device is not written through
# nor replaced by a file.
cp listing/example/chart.lcs "$tmp/readonly.lcs"
chmod a-w "$tmp/readonly.lcs"
expect_refusal "resave over read-only" "$tmp/readonly.lcs" resave listing/example/chart.lcs "$tmp/readonly.lcs"
cmp -s "$tmp/readonly.lcs" listing/example/chart.lcs || fail "the read-only chart changed"
ln -s "$tmp/pipe.lcs" "$tmp/to-pipe.lcs"
ln -s /dev/null "$tmp/to-null.lcs"
for link in to-pipe to-null; do
    expect_refusal "resave through $link" "$tmp/$link.lcs" resave listing/example/chart.lcs "$tmp/$link.lcs"
    [ -L "$tmp/$link.lcs" ] || fail "$link: the link was replaced"
done
[ -p "$tmp/pipe.lcs" ] || fail "the pipe was replaced"
[ -c /dev/null ] || fail "/dev/null is no longer a device"
expect_refusal "pack through a link to a device" "$tmp/to-null.lcs" pack download/example/listing.txt "$tmp/to-null.lcs"

exit $((failures > 0))
