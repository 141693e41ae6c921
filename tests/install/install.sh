#!/bin/bash
# cmake --install of the build into a scratch prefix, then what a Linux desktop makes of it: the
# two programs in bin/, the desktop entry, its icon and the chart files' type, each well-formed
# and found under the names the others use; with GLib's gio, a .lcs file is of the chart type
# and opens with the editor. Tools that are not installed (desktop-file-validate, xmllint,
# update-mime-database, update-desktop-database, gio) skip their checks with a note.
# Run from tests/fixtures with cmake's path, the build folder and the source folder.
set -u
cmake=$1
build=$2
source_dir=$3
failures=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
have() {
    command -v "$1" >/dev/null && return 0
    echo "note: $1 is not installed; its checks are skipped" >&2
    return 1
}

id=org.zolvane.FlowChart
type=application/x-zolvane-flowchart
prefix=$tmp/prefix
desktop=$prefix/share/applications/$id.desktop
icon=$prefix/share/icons/hicolor/scalable/apps/$id.svg
mime=$prefix/share/mime/packages/$id.xml

"$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
    { echo "FAIL: cmake --install: $(tail -5 "$tmp/install.log")" >&2; exit 1; }

# ---- the programs ----
for program in zolvane zolvane-flowchart; do
    [ -f "$prefix/bin/$program" ] && [ -x "$prefix/bin/$program" ] ||
        fail "bin/$program is not an executable file"
done
# The installed tool runs, and finds the phrase list where it looks: beside itself in bin/.
"$prefix/bin/zolvane" chart chart/voicex.lcs >"$tmp/out" 2>"$tmp/err" ||
    fail "installed zolvane chart: $(cat "$tmp/err")"
cmp -s "$tmp/out" chart/voicex.numbered.chart.txt || fail "installed zolvane: numbered phrases differ"
cp chart/phrases.txt "$prefix/bin/qexvo.txt"
"$prefix/bin/zolvane" chart chart/voicex.lcs >"$tmp/out" 2>"$tmp/err" ||
    fail "installed zolvane chart with bin/qexvo.txt: $(cat "$tmp/err")"
cmp -s "$tmp/out" chart/voicex.chart.txt || fail "installed zolvane: bin/qexvo.txt not used"
rm "$prefix/bin/qexvo.txt"

# ---- the desktop entry ----
if [ -f "$desktop" ]; then
    [ "$(head -n 1 "$desktop")" = "[Desktop Entry]" ] || fail "$id.desktop: no [Desktop Entry] first"
    for line in "Type=Application" "Name=ZOLVANE FlowChart" "GenericName=Flowchart Editor" \
                "Exec=zolvane-flowchart %f" "Icon=$id" "Terminal=false" \
                "Categories=Education;Development;" "MimeType=$type;"; do
        grep -qxF -- "$line" "$desktop" || fail "$id.desktop: no line '$line'"
    done
    grep -q '^Comment=.' "$desktop" || fail "$id.desktop: no Comment"
    # Every key once: a second Exec or Icon would leave the desktop to pick one.
    dup=$(grep -o '^[A-Za-z0-9-]*=' "$desktop" | sort | uniq -d)
    [ -z "$dup" ] || fail "$id.desktop: keys given twice: $dup"
    if have desktop-file-validate; then
        # Errors and warnings fail; hints (two main categories, chosen) do not.
        if ! desktop-file-validate "$desktop" >"$tmp/validate" 2>&1 ||
            grep -qE ': (error|warning):' "$tmp/validate"; then
            fail "desktop-file-validate: $(cat "$tmp/validate")"
        fi
    fi
else
    fail "share/applications/$id.desktop not installed"
fi

# ---- the icon: the window's own, an SVG ----
if [ -f "$icon" ]; then
    cmp -s "$icon" "$source_dir/assets/icon.svg" || fail "$id.svg is not assets/icon.svg"
    if have xmllint; then
        xmllint --noout "$icon" 2>"$tmp/err" || fail "$id.svg: $(cat "$tmp/err")"
        [ "$(xmllint --xpath 'local-name(/*)' "$icon")" = svg ] || fail "$id.svg: root is not svg"
    fi
else
    fail "share/icons/hicolor/scalable/apps/$id.svg not installed"
fi

# ---- the chart files' type ----
if [ -f "$mime" ]; then
    if have xmllint; then
        xmllint --noout "$mime" 2>"$tmp/err" || fail "$id.xml: $(cat "$tmp/err")"
        t='/*[local-name()="mime-info" and namespace-uri()="http://www.freedesktop.org/standards/shared-mime-info"]/*[local-name()="mime-type"]'
        # check NAME XPATH EXPECTED: the string value of the path in the type's file.
        check() {
            local got
            got=$(xmllint --xpath "string($2)" "$mime" 2>/dev/null)
            [ "$got" = "$3" ] || fail "$id.xml: $1 is '$got', expected '$3'"
        }
        check "types" "count($t)" 1
        check "type" "$t/@type" "$type"
        check "comment" "$t/*[local-name()='comment' and not(@*)]" "ZOLVANE FlowChart chart"
        check "glob" "$t/*[local-name()='glob']/@pattern" "*.lcs"
        check "parent" "$t/*[local-name()='sub-class-of']/@type" "application/xml"
        check "root element" "$t/*[local-name()='root-XML']/@localName" "KELMORAX"
        check "root namespace" "$t/*[local-name()='root-XML']/@namespaceURI" ""
        check "icon" "$t/*[local-name()='icon']/@name" "$id"
    fi
    if have update-mime-database; then
        # The database built from the file alone: no complaint, and the type's glob, parent and
        # root element in it. (With the prefix among the data folders it has no note to make.)
        XDG_DATA_DIRS="$prefix/share:/usr/share" update-mime-database "$prefix/share/mime" >"$tmp/mime.log" 2>&1 || fail "update-mime-database: $(cat "$tmp/mime.log")"
        [ -s "$tmp/mime.log" ] && fail "update-mime-database complained: $(cat "$tmp/mime.log")"
        grep -qE "^[0-9]+:$type:\*\.lcs(:|$)" "$prefix/share/mime/globs2" || fail "mime database: no *.lcs glob"
        grep -qxF "$type application/xml" "$prefix/share/mime/subclasses" || fail "mime database: no parent"
        grep -qxF " KELMORAX $type" "$prefix/share/mime/XMLnamespaces" || fail "mime database: no root element"
    fi
else
    fail "share/mime/packages/$id.xml not installed"
fi

# ---- a double click, as GLib's file managers see it ----
# Only this prefix's data and the system's; the user's own settings stay out.
if have gio && have update-mime-database && have update-desktop-database; then
    update-desktop-database "$prefix/share/applications" 2>"$tmp/err" || fail "update-desktop-database: $(cat "$tmp/err")"
    grep -qxF "$type=$id.desktop;" "$prefix/share/applications/mimeinfo.cache" ||
        fail "mimeinfo.cache: $type not handled by $id.desktop"
    mkdir -p "$tmp/home" "$tmp/config" "$tmp/files"
    desk() {
        env LC_ALL=C PATH="$prefix/bin:$PATH" XDG_DATA_HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" \
            XDG_CONFIG_DIRS="$tmp/config" XDG_DATA_DIRS="$prefix/share:/usr/share" "$@" 2>/dev/null
    }
    content_type() {
        desk gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
    }
    cp "$source_dir/docs/sample.lcs" "$tmp/files/sample.lcs"
    cp "$source_dir/docs/sample.lcs" "$tmp/files/no-extension"
    printf '<?xml version="1.0"?>\r\n<other><record/></other>\r\n' >"$tmp/files/other"
    got=$(content_type "$tmp/files/sample.lcs")
    [ "$got" = "$type" ] || fail "gio: sample.lcs is '$got'"
    got=$(content_type "$tmp/files/no-extension")
    [ "$got" = "$type" ] || fail "gio: a chart without .lcs is '$got'"
    got=$(content_type "$tmp/files/other")
    [ "$got" = application/xml ] || fail "gio: XML with another root is '$got', expected application/xml"
    desk gio mime "$type" >"$tmp/default"
    grep -q "^Default application for .*$type.*: $id\.desktop\$" "$tmp/default" ||
        fail "gio: default application: $(head -1 "$tmp/default")"
fi

exit $((failures > 0))
