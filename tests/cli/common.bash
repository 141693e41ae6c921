# Shared by the tool's test scripts (sourced, never run on its own): the tool's
# path from $1, a scratch folder removed at exit, and a failure count.
set -u
tool=$1
failures=0
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
