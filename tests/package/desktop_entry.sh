#!/usr/bin/env bash
# The desktop entry lets a file manager open the seven kinds with Quorvane ("Open with"): the
# files are handed on the command line (%F) and the MIME types name every kind. The entry is
# also checked by desktop-file-validate; without it the test is skipped (77) after its own checks.
set -euo pipefail
entry=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

exec_line=$(grep '^Exec=' "$entry")
[ "$exec_line" = "Exec=quorvane %F" ] || fail "Exec takes no files: $exec_line"
types=";$(grep '^MimeType=' "$entry" | cut -d= -f2)"
# One type a kind at least: MP3, WAV, FLAC, AIFF and AIF, AAC, M4A; the common aliases too.
for type in audio/mpeg audio/x-wav audio/wav audio/flac audio/x-aiff audio/aiff audio/aac \
    audio/mp4 audio/x-m4a; do
    [[ "$types" == *";$type;"* ]] || fail "MimeType lacks $type: $types"
done
if ! command -v desktop-file-validate >/dev/null; then
    echo "SKIPPED: desktop-file-validate is not installed (apt install desktop-file-utils)"
    exit 77
fi
desktop-file-validate "$entry"
