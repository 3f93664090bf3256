#!/usr/bin/env bash
# setup.exe starts under Wine from a sample disc, copies setup.cbf into the
# temporary folder, and ends in an orderly way (exit code 0). Runs inside the
# prefix and display that scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
exe="$BUILD_WIN64/setup.exe"
dir="$WINEPREFIX/drive_c/disc"
mkdir -p "$dir"
cp "$exe" "$dir/setup.exe"
"$(dirname "$0")/../../sample/make_disc.sh" --tools "$BUILD_NATIVE" --programs "$BUILD_WIN64/sample/programs" "$dir"

timeout 60 "$WINE64" 'C:\disc\setup.exe'
rc=$?
echo "exit code: $rc"
[ "$rc" = 0 ] || { echo "expected 0"; exit 1; }


temp=$(find "$WINEPREFIX/drive_c/users" -iname setup.cbf -path '*Temp*' | head -n 1)
[ -n "$temp" ] || { echo "no copy of setup.cbf in the temporary folder"; exit 1; }
cmp "$temp" "$dir/setup.cbf" || { echo "the temporary copy differs"; exit 1; }
echo "temporary copy: $temp"
