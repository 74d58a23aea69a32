#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that the programs are stripped and both
# launchers run the programs of that prefix: quorvane-batch answers --help, and quorvane starts
# the program folder's quorvane (a stand-in that reports its path, so no window opens).
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

for program in quorvane quorvane-batch; do
    if readelf -S --wide "$prefix/lib/quorvane/$program" | grep -qE '\.(symtab|debug_info)'; then
        echo "cmake --install left $program unstripped" >&2
        exit 1
    fi
done

HOME=$scratch/home "$prefix/bin/quorvane-batch" --help >/dev/null

program=$(dirname "$(readlink -f "$prefix/bin/quorvane")")/../lib/quorvane/quorvane
printf '#!/bin/sh\necho "$0 $*"\n' >"$program"
started=$("$prefix/bin/quorvane" one two)
expected="$(readlink -f "$program") one two"
[ "$(readlink -f "${started%% *}") ${started#* }" = "$expected" ] ||
    { echo "quorvane launcher started '$started', expected '$expected'" >&2; exit 1; }
