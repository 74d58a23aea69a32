#!/usr/bin/env bash
# Time from process start to the shown main window, five starts in a fresh home.
# The speed probe measures on a thread after the window is shown; the goal is at most 0.3 s.
#   bench/app/startup.sh [BUILD_DIR]
set -euo pipefail

build=$(cd "${1:-$(dirname "$0")/../../build}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/.local/share" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen

times=()
for run in 1 2 3 4 5; do
    line=$(QUORVANE_STARTUP_REPORT=1 QUORVANE_MESSAGES=stderr "$build/quorvane" 2>&1 |
           sed -n 's/^window shown after \([0-9.]*\) s$/\1/p')
    echo "start $run: ${line} s"
    times+=("$line")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
printf 'median %.3f s (goal <= 0.3)\n' "$median"
