#!/usr/bin/env bash
# Quorvane's one entry point for a fresh machine:
#   scripts/dev.sh start [ARGS...]  install what is missing, build, start the program
#   scripts/dev.sh test             install what is missing, build, run every test
#   scripts/dev.sh package          install what is missing, build, make build/quorvane_*.deb
# Both can be run again at any time; packages are installed as root or through sudo.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVANE_BUILD_DIR:-$root/build}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=() package
    while read -r package; do
        [ -z "$package" ] && continue
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            missing+=("$package")
    done < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$root/debian-packages.txt")
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    fi
}

build_program() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --parallel "$(nproc)"
}

command=${1:-}
[ $# -gt 0 ] && shift
case "$command" in
    start)
        install_packages
        build_program
        exec "$build/quorvane" "$@"
        ;;
    test)
        install_packages
        build_program
        cd "$build"
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" "$@"
        ;;
    package)
        # Only what the package holds is built: the programs, pictures, man pages and docs.
        install_packages
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
        cmake --build "$build" --target qvr_package_parts --parallel "$(nproc)"
        cd "$build"
        cpack -G DEB
        ;;
    *)
        echo "usage: scripts/dev.sh start|test|package" >&2
        exit 2
        ;;
esac
