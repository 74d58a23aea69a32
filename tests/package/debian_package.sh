#!/usr/bin/env bash
# Builds the Debian package into a scratch folder, unpacks it with dpkg -x and checks what a
# user gets: both programs, desktop entry, icon, valid AppStream metadata, man pages, bash
# completion that offers the frequencies, and the run-time dependencies.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake" >/dev/null
deb=$(ls "$scratch"/out/quorvane_*_*.deb)
root=$scratch/root
dpkg -x "$deb" "$root"

for file in usr/bin/quorvane usr/bin/quorvane-batch; do
    [ -x "$root/$file" ] || fail "$file is not an executable"
done
for file in usr/share/applications/quorvane.desktop \
    usr/share/icons/hicolor/scalable/apps/quorvane.svg \
    usr/share/man/man1/quorvane.1.gz usr/share/man/man1/quorvane-batch.1.gz \
    usr/share/bash-completion/completions/quorvane-batch \
    usr/lib/quorvane/quorvane usr/lib/quorvane/quorvane-batch; do
    [ -f "$root/$file" ] || fail "$file missing"
done
appstreamcli validate --no-net "$root"/usr/share/metainfo/com.dornevik.Quorvane.metainfo.xml \
    >/dev/null || fail "AppStream metadata not valid"
zcat "$root/usr/share/man/man1/quorvane-batch.1.gz" | grep -q -- 'frequency' ||
    fail "man page of quorvane-batch lacks --frequency"

depends=$(dpkg-deb -f "$deb" Depends)
for package in lame ffmpeg soundstretch xdg-utils qt6-translations-l10n libqt6widgets6 libavformat59 libavcodec59 \
    libavutil57 libtag1v5 libcdio19 libcdio-paranoia2 libmp3lame0 libudev1 libjpeg62-turbo; do
    [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

# The completion, as bash would call it while typing.
complete_words() {
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
             _quorvane_batch; echo "${COMPREPLY[*]}"' _ \
        "$root/usr/share/bash-completion/completions/quorvane-batch" "$@"
}
[ "$(complete_words quorvane-batch --frequency '')" = "174 285 396 417 432 528 639 741 852 963" ] ||
    fail "no frequencies after --frequency"
[ "$(complete_words quorvane-batch --frequency 4)" = "417 432" ] || fail "frequencies not filtered"
[ "$(complete_words quorvane-batch --sub)" = "--subfolders" ] || fail "options not completed"
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes"
