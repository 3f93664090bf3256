#!/usr/bin/env bash
# The installer's DirectX probe under Wine: it finds Wine's own dpnhpast.dll,
# finds none when that is disabled (the DirectX page then comes), and never
# loads a library of that name planted beside the program. Runs inside the
# prefix and display that scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
wine_script installer_system
tools="$BUILD_WIN/tests/wine"
disc="$WINEPREFIX/drive_c/itool"
marker="$WINEPREFIX/drive_c/planted-marker.txt"
mkdir -p "$disc"
cp "$tools/inst_tool.exe" "$disc/"
probe() { wine_run 'C:\itool\inst_tool.exe' probe | tr -d '\r'; }

[ "$(probe)" = "DirectX present: 1" ] || fail "Wine's dpnhpast.dll not found: $(probe)"
[ "$(WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dpnhpast=d" probe)" = "DirectX present: 0" ] ||
  fail "a disabled dpnhpast.dll counted as present"
echo "probe: present with Wine's library, missing without it"

# A library of the other bitness is never loaded, so the marker must match.
[ "$(file -b "$tools/dpnhpast.dll" | cut -d' ' -f1)" = "$(file -b "$tools/inst_tool.exe" | cut -d' ' -f1)" ] ||
  fail "the planted library and inst_tool.exe differ in bitness"
cp "$tools/dpnhpast.dll" "$disc/"
rm -f "$marker"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dpnhpast=n,b" probe
[ -f "$marker" ] && fail "the probe loaded the planted library"
# The same planted library is loaded by a bare-name load, so the check above can fail.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dpnhpast=n,b" wine_run 'C:\itool\inst_tool.exe' bareload
[ -f "$marker" ] || fail "a bare-name load did not load the planted library"
rm -f "$marker"
echo "planted library: ok"
