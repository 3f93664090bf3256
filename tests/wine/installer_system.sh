#!/usr/bin/env bash
# The installer's finishing step and uninstall against Wine's real registry,
# shell links and delayed deletions, checked from outside (reg query,
# lnkinfo); and the DirectX probe never loading a library planted beside the
# program. Runs inside the prefix and display that scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
tools="$BUILD_WIN/tests/wine"
fail() { echo "FAILED: $*"; exit 1; }

disc="$WINEPREFIX/drive_c/itool"
mkdir -p "$disc/Programs"
cp "$tools/inst_tool.exe" "$disc/"
printf 'icon bytes' >"$disc/Programs/gamespy.ico"
dir='C:\Program Files\Ashgrove MP demo'
host_dir="$WINEPREFIX/drive_c/Program Files/Ashgrove MP demo"
mkdir -p "$host_dir/data"
printf 'game' >"$host_dir/ashgrove.exe"
printf 'map' >"$host_dir/data/map1.dat"
wine_reg add 'HKLM\SOFTWARE\Halvorin\Ashgrove\Old' /v Stale /d 1 /f >/dev/null 2>&1

echo "== finishing step"
wine_run 'C:\itool\inst_tool.exe' finish "$dir" || fail "finish ended with $?"
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ashgrove Multiplayer demo'
[ "$(wine_reg_value 'HKLM\SOFTWARE\Halvorin\Ashgrove Demo' InstallDir)" = "$dir" ] || fail "InstallDir"
[ "$(wine_reg_value "$uninst" DisplayName)" = "Ashgrove Multiplayer demo" ] || fail "DisplayName"
[ "$(wine_reg_value "$uninst" UninstallString)" = "\"$dir\\Uninstall.exe\"" ] || fail "UninstallString"
[ "$(wine_reg_value "$uninst" DisplayIcon)" = "\"$dir\\Uninstall.exe\",0" ] || fail "DisplayIcon"
wine_reg query "$uninst" /v NoModify | grep -q 'REG_DWORD *0x1' || fail "NoModify"
# Another product's key of the same maker stays as it was.
[ "$(wine_reg_value 'HKLM\SOFTWARE\Halvorin\Ashgrove\Old' Stale)" = 1 ] || fail "the maker's other key was touched"
echo "registry: ok"

wine_user_folders
desktop=$DESKTOP programs=$PROGRAMS
group="$programs/Ashgrove MP demo"
check_link() { wine_check_link lnkinfo "$@"; }
game="$dir\\ashgrove.exe"
check_link "$desktop/Ashgrove Multiplayer demo.lnk" "$game" "$dir" "$game" "Ashgrove Multiplayer demo"
check_link "$group/Ashgrove Multiplayer demo.lnk" "$game" "$dir" "$game" "Ashgrove Multiplayer demo"
check_link "$group/Uninstall Ashgrove Multiplayer demo.lnk" "$dir\\Uninstall.exe" "$dir" \
  "$dir\\Uninstall.exe" ""
check_link "$group/Play Ashgrove Multiplayer demo Online With GameSpy Arcade.lnk" \
  "/features/launch.asp?svcname=ashgroved&distID=744" "$dir" "$dir\\gamespy.ico" ""
[ -f "$host_dir/gamespy.ico" ] || fail "gamespy.ico not copied"
echo "shortcuts: ok"

echo "== uninstall from the install folder"
cp "$tools/inst_tool.exe" "$host_dir/Uninstall.exe"
printf 'archive' >"$host_dir/setup.cbf"
# No wineserver restart until the checks are done: a fresh server boots the
# prefix, which carries out the delayed deletions. Only this run's should be
# recorded (the Windows test program, run first, leaves its own).
wine_reg delete 'HKLM\System\CurrentControlSet\Control\Session Manager' \
  /v PendingFileRenameOperations /f >/dev/null 2>&1
wine_run "$dir\\Uninstall.exe" uninstall || fail "uninstall ended with $?"
[ -f "$desktop/Ashgrove Multiplayer demo.lnk" ] && fail "desktop shortcut left"
[ -d "$group" ] && fail "group folder left"
wine_reg query "$uninst" >/dev/null 2>&1 && fail "uninstall entry left"
wine_reg query 'HKLM\SOFTWARE\Halvorin\Ashgrove Demo' >/dev/null 2>&1 && fail "application key left"
[ -f "$host_dir/ashgrove.exe" ] && fail "game file left"
[ -d "$host_dir/data" ] && fail "data folder left"
pending=$(wine_reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
  /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
echo "$pending" >"$ARTIFACTS/pending_renames.txt"
# The folder is named without a trailing separator ("demo\0", not "demo\\0").
for name in 'Ashgrove MP demo\Uninstall.exe' 'Ashgrove MP demo\setup.cbf' 'Ashgrove MP demo\0'; do
  echo "$pending" | grep -qiF "$name" || fail "no delayed delete of $name: $pending"
done
count=$(echo "$pending" | grep -o 'Ashgrove MP demo' | wc -l)
[ "$count" = 3 ] || fail "expected exactly three delayed deletes, saw $count: $pending"
echo "uninstall: ok"

echo "== planted library"
# A library of the other bitness is never loaded, so the marker must match.
[ "$(file -b "$tools/dpnhpast.dll" | cut -d' ' -f1)" = "$(file -b "$tools/inst_tool.exe" | cut -d' ' -f1)" ] ||
  fail "the planted library and inst_tool.exe differ in bitness"
cp "$tools/dpnhpast.dll" "$disc/"
rm -f "$WINEPREFIX/drive_c/planted-marker.txt"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dpnhpast=n,b" wine_run 'C:\itool\inst_tool.exe' probe
[ -f "$WINEPREFIX/drive_c/planted-marker.txt" ] && fail "the probe loaded the planted library"
# The same planted library is loaded by a bare-name load, so the check above can fail.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dpnhpast=n,b" wine_run 'C:\itool\inst_tool.exe' bareload
[ -f "$WINEPREFIX/drive_c/planted-marker.txt" ] || fail "a bare-name load did not load the planted library"
rm -f "$WINEPREFIX/drive_c/planted-marker.txt"
echo "planted library: ok"
