#!/usr/bin/env bash
# zolvane record TYPE: the default record's exact bytes; wrong types are wrong usage (exit 2).
set -u
tool="$1"
failures=0
check() { # description, condition result
  if [[ $2 -ne 0 ]]; then
    echo "FAIL: $1"
    failures=$((failures + 1))
  fi
}

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

"$tool" record 1 >"$out" 2>"$err"
check "record 1 exits 0" $?
printf '<?xml version="1.0" encoding="iso-8859-1"?>\r\n<CtrlNode type="1">\r\n  <mode>0</mode>\r\n  <wait>0</wait>\r\n</CtrlNode>\r\n' |
  cmp -s - "$out"
check "record 1 prints the exact record" $?
[[ ! -s "$err" ]]
check "record 1 writes nothing on stderr" $?

"$tool" record 14 >"$out"
printf '<?xml version="1.0" encoding="iso-8859-1"?>\r\n<CtrlNode type="14"/>\r\n' | cmp -s - "$out"
check "record 14 is the header and the self-closing root, no extra newline" $?

"$tool" record 6 >"$out"
printf '<?xml version="1.0" encoding="iso-8859-1"?>\r\n<CtrlNode type="6">\r\n  <key>0</key>\r\n  <keycmd>0</keycmd>\r\n  <content/>\r\n</CtrlNode>\r\n' |
  cmp -s - "$out"
check "record 6 prints the exact record" $?

for bad in 7 8 0 27 -1 x 1x "" " 1"; do
  "$tool" record "$bad" >"$out" 2>"$err"
  rc=$?
  [[ $rc -eq 2 ]]
  check "record '$bad' exits 2 (got $rc)" $?
  [[ ! -s "$out" ]]
  check "record '$bad' prints nothing on stdout" $?
  head -n 1 "$err" | grep -q '^zolvane: record: '
  check "record '$bad' explains itself on the first stderr line" $?
done

"$tool" record >"$out" 2>"$err"
[[ $? -eq 2 ]]
check "record without a type exits 2" $?
"$tool" record 1 2 >"$out" 2>"$err"
[[ $? -eq 2 ]]
check "record with two types exits 2" $?

exit $((failures > 0))
