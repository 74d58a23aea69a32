#!/usr/bin/env bash
# Reads the Debian package in the given folder (dpkg-deb -c, -I, -x) and checks what a user
# gets: both programs, stripped, desktop entry, icon, valid AppStream metadata, man pages, bash
# completion that offers the frequencies, the copyright file and changelog Debian asks for,
# relative links to the tools, the run-time dependencies and what is recommended.
set -euo pipefail
deb=$(ls "$1"/quorvane_*_*.deb)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
root=$scratch/root

contents=$(dpkg-deb -c "$deb")
for file in ./usr/share/doc/quorvane/copyright ./usr/share/doc/quorvane/changelog.Debian.gz; do
    grep -q " $file\$" <<<"$contents" || fail "$file missing"
done
info=$(dpkg-deb -I "$deb")
grep -q '^ Recommends: bash-completion$' <<<"$info" || fail "bash-completion not recommended"
# The long description's lines fit Debian's 80 columns.
description=$(dpkg-deb -f "$deb" Description)
while IFS= read -r line; do
    [ ${#line} -le 80 ] || fail "description line of ${#line} characters: $line"
done <<<"$description"

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
# The copyright file is machine-readable; the changelog's latest entry is this version.
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$root/usr/share/doc/quorvane/copyright" || fail "copyright file not machine-readable"
version=$(dpkg-deb -f "$deb" Version)
[ "$(zcat "$root/usr/share/doc/quorvane/changelog.Debian.gz" | head -1)" = \
    "quorvane ($version) unstable; urgency=medium" ] || fail "changelog does not start with $version"

# No debugging data in the programs.
for program in quorvane quorvane-batch; do
    sections=$(readelf -S --wide "$root/usr/lib/quorvane/$program")
    ! grep -qE '\.(symtab|debug_info)' <<<"$sections" || fail "$program is not stripped"
done
# The tools are relative links that lead to the system's tools once installed.
for tool in lame ffmpeg soundstretch; do
    link=$(readlink "$root/usr/lib/quorvane/$tool.exe") || fail "$tool.exe is no link"
    [[ "$link" != /* ]] || fail "$tool.exe is an absolute link: $link"
    [ "$(realpath -m "/usr/lib/quorvane/$link")" = "$(command -v "$tool")" ] ||
        fail "$tool.exe leads to $link"
done

appstreamcli validate --no-net "$root"/usr/share/metainfo/com.dornevik.Quorvane.metainfo.xml \
    >/dev/null || fail "AppStream metadata not valid"
zcat "$root/usr/share/man/man1/quorvane-batch.1.gz" | grep -q -- 'frequency' ||
    fail "man page of quorvane-batch lacks --frequency"

depends=$(dpkg-deb -f "$deb" Depends)
for package in lame ffmpeg soundstretch xdg-utils qt6-translations-l10n libqt6widgets6 libavformat59 libavcodec59 \
    libavutil57 libtag1v5 libcdio19 libcdio-paranoia2 libudev1 libjpeg62-turbo; do
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
