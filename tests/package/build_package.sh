#!/usr/bin/env bash
# Builds the Debian package of a build tree into a folder of its own, for the tests that read it.
set -euo pipefail
build=$1
out=$2
rm -rf "$out"
cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >/dev/null
ls "$out"/quorvane_*_*.deb
