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

# Waits (up to five seconds) until some program holds the serial port $1: its
# lock file is there.
wait_for_port_lock() {
    local lock
    lock=LCK..$(echo "${1#/dev/}" | tr / _)
    for _ in $(seq 100); do
        [ -e "/var/lock/$lock" ] || [ -e "/run/lock/$lock" ] && return 0
        sleep 0.05
    done
    return 1
}

# Interrupts the download $1 as Ctrl+C would, once it holds the port $2, and
# waits for it to end (up to five seconds); sets $rc to its exit status, or to
# "hung" when it did not end.
interrupt_download() {
    local pid=$1 port=$2
    wait_for_port_lock "$port"
    sleep 0.3 # past the port's opening, into the exchange
    kill -INT "$pid"
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        wait "$pid" 2>/dev/null
        rc=hung
    else
        wait "$pid"
        rc=$?
    fi
}
