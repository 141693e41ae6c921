#!/bin/bash
# zolvane chart [--phrases FILE] CHART.lcs and zolvane resave IN.lcs OUT.lcs: the item lines of
# the fixtures under chart/, charts saved again byte for byte, and the errors a user can meet.
# Run from tests/fixtures with the tool's path as $1.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash" "$1"

# expect_ok NAME EXPECTED-FILE COMMAND...: exit 0, stdout equal to the file, nothing on stderr.
expect_ok() {
    local name=$1 expected=$2
    shift 2
    "$tool" "$@" >"$tmp/out" 2>"$tmp/err"
    local rc=$?
    [ $rc -eq 0 ] || fail "$name: exit $rc: $(cat "$tmp/err")"
    cmp -s "$tmp/out" "$expected" || fail "$name: output differs: $(diff "$tmp/out" "$expected" | head -5)"
    [ -s "$tmp/err" ] && fail "$name: unexpected stderr: $(cat "$tmp/err")"
}

# expect_error NAME RC MESSAGE COMMAND...: that exit code, nothing on stdout, and (for exit 1)
# exactly "zolvane: MESSAGE" on stderr.
expect_error() {
    local name=$1 want=$2 message=$3
    shift 3
    "$tool" "$@" >"$tmp/out" 2>"$tmp/err"
    local rc=$?
    [ $rc -eq "$want" ] || fail "$name: exit $rc, expected $want"
    [ -s "$tmp/out" ] && fail "$name: printed something on stdout"
    if [ "$want" -eq 1 ]; then
        [ "$(cat "$tmp/err")" = "zolvane: $message" ] ||
            fail "$name: stderr '$(cat "$tmp/err")', expected 'zolvane: $message'"
    fi
}

# ---- chart ----
expect_ok "example" chart/example.chart.txt chart chart/example.lcs
expect_ok "voicex with phrases" chart/voicex.chart.txt chart --phrases chart/phrases.txt chart/voicex.lcs
expect_ok "phrases after the chart" chart/voicex.chart.txt chart chart/voicex.lcs --phrases chart/phrases.txt
# Without --phrases the list is the file beside the program, numbered phrases without it. A copy
# of the tool in a folder of its own shows both.
mkdir "$tmp/bin"
cp "$tool" "$tmp/bin/zolvane"
tool_in_build=$tool
tool=$tmp/bin/zolvane
expect_ok "voicex numbered" chart/voicex.numbered.chart.txt chart chart/voicex.lcs
cp chart/phrases.txt "$tmp/bin/qexvo.txt"
expect_ok "voicex beside the program" chart/voicex.chart.txt chart chart/voicex.lcs
tool=$tool_in_build

printf '<KELMORAX><record><CtrlNode type="1"/></KELMORAX>' >"$tmp/damaged.lcs"
expect_error "damaged" 1 "Invalid XML Element: Erroneous end of tag, expecting </record> but </KELMORAX> found" \
    chart "$tmp/damaged.lcs"
expect_error "missing" 1 "Cannot open file \"chart/no-such.lcs\". No such file or directory" chart chart/no-such.lcs
expect_error "not a chart file" 1 "chart: \"chart/phrases.txt\" is not a chart file (.lcs)" chart chart/phrases.txt
expect_error "missing phrase list" 1 "chart: phrase list \"chart/none.txt\" does not exist" \
    chart --phrases chart/none.txt chart/example.lcs
expect_error "no argument" 2 "" chart
expect_error "two charts" 2 "" chart chart/example.lcs chart/voicex.lcs
expect_error "phrases without file" 2 "" chart chart/example.lcs --phrases

# ---- resave ----
"$tool" resave chart/example.lcs "$tmp/out.lcs" 2>"$tmp/err" || fail "resave example: $(cat "$tmp/err")"
cmp -s "$tmp/out.lcs" chart/example.lcs || fail "resave example: bytes differ"

# The prolog read (a comment, no header) is written back as read; the root and record names
# are written as the format has them.
printf '<!-- by hand -->\n<chart><x><CtrlNode type="14"></CtrlNode></x></chart>' >"$tmp/hand.lcs"
"$tool" resave "$tmp/hand.lcs" "$tmp/hand-out.lcs" 2>"$tmp/err" || fail "resave prolog: $(cat "$tmp/err")"
printf '<!-- by hand -->\r\n<KELMORAX>\r\n  <record>\r\n    <CtrlNode type="14"/>\r\n  </record>\r\n</KELMORAX>\r\n' >"$tmp/hand-want.lcs"
cmp -s "$tmp/hand-out.lcs" "$tmp/hand-want.lcs" || fail "resave prolog: $(od -c "$tmp/hand-out.lcs" | head -3)"

# Over an existing file: replaced whole.
printf 'old contents that are longer than nothing' >"$tmp/old.lcs"
"$tool" resave chart/example.lcs "$tmp/old.lcs" 2>"$tmp/err" || fail "resave over: $(cat "$tmp/err")"
cmp -s "$tmp/old.lcs" chart/example.lcs || fail "resave over: bytes differ"

# A damaged input writes nothing.
expect_error "resave damaged" 1 "Invalid XML Element: Erroneous end of tag, expecting </record> but </KELMORAX> found" \
    resave "$tmp/damaged.lcs" "$tmp/never.lcs"
[ -e "$tmp/never.lcs" ] && fail "resave damaged: wrote the output"
expect_error "resave no folder" 1 "Cannot create file \"$tmp/no/such/out.lcs\". No such file or directory" \
    resave chart/example.lcs "$tmp/no/such/out.lcs"
expect_error "resave other extension" 1 "resave: \"$tmp/out.txt\" is not a chart file (.lcs)" \
    resave chart/example.lcs "$tmp/out.txt"
[ -e "$tmp/out.txt" ] && fail "resave other extension: wrote the output"
expect_error "resave one argument" 2 "" resave chart/example.lcs

[ $failures -eq 0 ] && echo "chart.sh: all passed"
exit $((failures > 0))
