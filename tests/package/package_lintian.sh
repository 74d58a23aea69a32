#!/usr/bin/env bash
# Debian's own check of the package: no error may be reported. Skipped (77) without lintian.
set -euo pipefail
deb=$(ls "$1"/quorvane_*_*.deb)
if ! command -v lintian >/dev/null; then
    echo "SKIPPED: lintian is not installed (apt install lintian)"
    exit 77
fi
report=$(lintian --allow-root --tag-display-limit 0 "$deb" 2>&1 || true)
echo "$report"
if grep -q '^E: ' <<<"$report"; then
    echo "FAIL: lintian reports errors" >&2
    exit 1
fi
