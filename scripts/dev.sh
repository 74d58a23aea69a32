#!/usr/bin/env bash
# Quorvane's one entry point for a fresh machine:
#   scripts/dev.sh start [ARGS...]  install what is missing, build, start the program
#   scripts/dev.sh test             install what is missing, check the format and clang-tidy on
#                                   the changed .cpp files, build, run every test, then the tests
#                                   below the windows once more built with ASan and UBSan
#   scripts/dev.sh sanitize         build every test with ASan and UBSan in build-sanitize, run them
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
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
    cmake --build "$build" --parallel "$(nproc)"
}

# Every tracked .cpp/.h file as the repository's .clang-format lays it out (never the
# .translation files: they are data).
check_format() {
    cd "$root"
    git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
    echo "Format: clean"
}

# The commit the changes under test start from: the merge base with main (origin's or the local
# one) when HEAD is ahead of it, else the last commit's parent.
change_base() {
    local main base head
    head=$(git rev-parse HEAD)
    for main in origin/main main; do
        base=$(git merge-base HEAD "$main" 2>/dev/null) || continue
        [ "$base" != "$head" ] && { echo "$base"; return; }
    done
    git rev-parse --verify -q HEAD~1 || true
}

# The .cpp files changed since change_base, checked with the repository's .clang-tidy against
# the build's compile_commands.json.
check_tidy() {
    cd "$root"
    local base files=()
    base=$(change_base)
    [ -z "$base" ] && return 0
    while IFS= read -r -d '' file; do
        [ -f "$file" ] && files+=("$file")
    done < <(git diff -z --name-only --diff-filter=d "$base" -- '*.cpp')
    if [ ${#files[@]} -eq 0 ]; then
        echo "clang-tidy: no changed .cpp files"
        return 0
    fi
    echo "clang-tidy: ${#files[@]} changed .cpp file(s)"
    clang-tidy -p "$build" --quiet "${files[@]}"
}

# Builds in a folder of its own with AddressSanitizer and UndefinedBehaviorSanitizer; any report
# fails the run. With target names, only those.
sanitize_dir=${QUORVANE_SANITIZE_DIR:-$root/build-sanitize}
sanitize_build() {
    local flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    cmake -S "$root" -B "$sanitize_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
    cmake --build "$sanitize_dir" --parallel "$(nproc)" ${1:+--target "$@"}
}

# The tests of everything below the windows (file headers, sheets, tags, the engine, the CD
# code) under the sanitizers; the windows' tests run so with `sanitize`.
sanitize_logic_tests() {
    local tests=(platform_tests lang_tests convert_tests cdrip_tests) test
    sanitize_build "${tests[@]}"
    for test in "${tests[@]}"; do
        echo "Sanitized: $test"
        ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
            "$sanitize_dir/tests/$test" --gtest_brief=1
    done
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
        check_format
        build_program
        check_tidy
        cd "$build"
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" "$@"
        sanitize_logic_tests
        ;;
    sanitize)
        install_packages
        sanitize_build
        cd "$sanitize_dir"
        ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
            ctest --output-on-failure --parallel "$(nproc)" "$@"
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
        echo "usage: scripts/dev.sh start|test|sanitize|package" >&2
        exit 2
        ;;
esac
