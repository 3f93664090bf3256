#!/usr/bin/env bash
# A disc for another game, made by make-disc from a settings file: the
# shipped 32-bit setup.exe built with "Frostfall Tactics", frostfall.exe,
# "Northwind Interactive", no online add-on and no DirectX check. Its
# program holds none of the sample's names; it installs under Wine by clicks
# (no online-play or DirectX page on the way) into the game's folder, key,
# program-list entry and shortcuts, and its Uninstall.exe removes them. Also
# prints how long make-disc takes for a new configuration and a reused one.
# Runs inside the prefix and display that scripts/test set up.
set -u
here="$(cd "$(dirname "$0")/../.." && pwd)"
. "$here/scripts/lib/wine.sh"
wine_script setup_frostfall
WINE_CAPTION="Frostfall Tactics - Installer"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

game=$tmp/game disc="$WINEPREFIX/drive_c/frostfall_disc"
mkdir -p "$game/Maps"
printf 'stand-in game\r\n' >"$game/frostfall.exe"
head -c 3000 /dev/urandom >"$game/Maps/glacier.map"
printf '%s\n' 'product = Frostfall Tactics' 'short = Frostfall Tactics' 'exe = frostfall.exe' \
  'publisher = Northwind Interactive' 'no-online-addon = yes' 'no-directx-check = yes' \
  'web-host = www.frostfall.example' >"$tmp/frostfall.conf"
# HOME is the prefix's: the Windows libraries are where the tested build found them.
deps=$(sed -n 's/^DEPS_PREFIX:PATH=//p' "$BUILD_WIN/CMakeCache.txt")
export SETUP_CACHE=${deps%/*}
for run in first again; do
  rm -rf "$disc"
  t0=$(date +%s.%N)
  BUILD_ROOT=${BUILD_NATIVE%/*} "$here/scripts/make-disc" "$game" "$disc" --config "$tmp/frostfall.conf" \
    --tools "$BUILD_NATIVE" >"$tmp/make-disc.log" 2>&1 || { cat "$tmp/make-disc.log"; fail "make-disc"; }
  echo "make-disc ($run): $(echo "$(date +%s.%N) - $t0" | bc) s; $(grep -o 'configuring setup.exe\|reusing' "$tmp/make-disc.log")"
done
for enc in s l; do
  strings -e "$enc" "$disc/setup.exe" | grep -E 'Ashgrove|Halvorin' && fail "the sample's names in setup.exe"
done
strings "$disc/setup.exe" | grep -qx 'Frostfall Tactics - Installer' || fail "no caption in setup.exe"
echo "strings: neither Ashgrove nor Halvorin (8-bit and UTF-16)"
# Where this Wine runs no 32-bit code, the same configuration built as win64.
if ! wine_runs_32bit; then
  rm -rf "$disc"
  BUILD_ROOT=${BUILD_NATIVE%/*} "$here/scripts/make-disc" "$game" "$disc" --config "$tmp/frostfall.conf" \
    --tools "$BUILD_NATIVE" --preset win64 >"$tmp/make-disc.log" 2>&1 || { cat "$tmp/make-disc.log"; fail "make-disc win64"; }
fi
echo "running $(basename "$(wine_loader "$disc/setup.exe")")"
ln -sfn "$disc" "$WINEPREFIX/dosdevices/d:"

dir='C:\Program Files\Frostfall Tactics'
target="$WINEPREFIX/drive_c/Program Files/Frostfall Tactics"
app_key='HKLM\SOFTWARE\Northwind Interactive\Frostfall Tactics'
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Frostfall Tactics'
rm -rf "$target"
for k in "$uninst" "$app_key"; do wine_reg delete "$k" /f >/dev/null 2>&1; done
ended() { wine_wait 50 wine_gone "$1"; }
trap 'kill $wine_pid 2>/dev/null; rm -rf "$tmp"' EXIT
wine_menu_font "$disc/setup.cbf"

wine_start 'D:\setup.exe'
xdotool mousemove 0 0; sleep 0.5
shot menu
d=$(compare -metric AE "$out/setup_frostfall_01_menu.png" "$here/docs/pages/frostfall-page00-menu.png" null: 2>&1)
[ "$d" = 0 ] || fail "the menu differs from docs/pages/frostfall-page00-menu.png in $d pixels"
wine_click 45 "$(menu_y 1)" # Install
for page in intro licence folder shortcuts ready; do
  sleep 0.4
  shot "$page"
  wine_click 585 258
done
for _ in $(seq 1 100); do [ -f "$target/Uninstall.exe" ] && break; sleep 0.2; done
sleep 1
shot finished
wine_click 585 258
sleep 0.4
[ -f "$target/frostfall.exe" ] && [ -f "$target/maps/glacier.map" ] || fail "installed: $(ls -R "$target")"
[ -e "$target/gamespy.ico" ] && fail "the online-play icon was copied"
[ "$(wine_reg_value "$app_key" InstallDir)" = "$dir" ] || fail "InstallDir: $(wine_reg_value "$app_key" InstallDir)"
[ "$(wine_reg_value "$uninst" DisplayName)" = "Frostfall Tactics" ] || fail "DisplayName"
wine_user_folders
group="$PROGRAMS/Frostfall Tactics"
links=$(cd "$group" && ls | tr '\n' '|')
[ "$links" = "Frostfall Tactics.lnk|Uninstall Frostfall Tactics.lnk|" ] || fail "Start-menu group: $links"
[ -f "$DESKTOP/Frostfall Tactics.lnk" ] || fail "no desktop shortcut"
echo "installed: files, InstallDir, DisplayName, shortcuts"
wine_click 45 "$quit_y"
ended "$wine_pid" || fail "still running after Quit"

WINE_CWD=$target wine_start "$dir\\Uninstall.exe"
wine_click 45 "$(menu_y 1)" # Uninstall, in Install's place
sleep 0.4
wine_click 283 195 # "Yes, remove..."
sleep 0.2
wine_click 585 258
for _ in $(seq 1 50); do [ -d "$target/maps" ] || break; sleep 0.2; done
shot uninstalled
wine_click 45 "$quit_y"
ended "$wine_pid" || fail "still running after Quit"
[ -d "$target/maps" ] && fail "game files left"
[ -e "$group" ] || [ -e "$DESKTOP/Frostfall Tactics.lnk" ] && fail "shortcuts left"
wine_reg query "$uninst" >/dev/null 2>&1 && fail "uninstall entry left"
wine_reg query "$app_key" >/dev/null 2>&1 && fail "application key left"
echo "uninstalled: files, shortcuts and keys gone"
# What the next restart would finish (the uninstaller and its folder), done
# now, so that the scripts after this one find the prefix as it was.
rm -rf "$target"
wine_reg delete 'HKLM\System\CurrentControlSet\Control\Session Manager' \
  /v PendingFileRenameOperations /f >/dev/null 2>&1
echo "passed"
