#!/usr/bin/env bash
# setup.exe starts under Wine and ends in an orderly way (exit code 0).
# Runs inside the prefix and display that scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
exe="$BUILD_WIN64/setup.exe"
dir="$WINEPREFIX/drive_c/disc"
mkdir -p "$dir"
cp "$exe" "$dir/setup.exe"

timeout 60 "$WINE64" 'C:\disc\setup.exe'
rc=$?
echo "exit code: $rc"
[ "$rc" = 0 ] || { echo "expected 0"; exit 1; }

