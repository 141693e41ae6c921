#!/bin/sh
# Start-up of the whole editor process, measured from outside: launch to the first painted
# window (the program quits right after it), on the offscreen platform unless QT_QPA_PLATFORM
# says otherwise. Compare with bench_app's in-process BM_StartupToFirstPaint: the difference is
# library loading, font scanning and the like.
#   bench/startup.sh BUILD_DIR [RUNS]
set -eu
build=${1:?usage: bench/startup.sh BUILD_DIR [RUNS]}
runs=${2:-20}
editor="$build/bin/zolvane-flowchart"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# The runs' settings and autosaves stay out of the user's folders.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
if command -v farm-bench >/dev/null 2>&1; then
    exec farm-bench -n "$runs" -- "$editor" --quit-after-first-paint
fi
i=0
while [ "$i" -lt "$runs" ]; do
    start=$(date +%s%N)
    "$editor" --quit-after-first-paint >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000000 )) ms"
    i=$((i + 1))
done | sort -n | awk '{ t[NR] = $1 } END { print "median " t[int((NR + 1) / 2)] " ms of " NR " runs" }'
