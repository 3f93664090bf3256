#!/usr/bin/env bash
# setup.exe under Wine on hostile ground, by clicks, from a small disc (the
# sample's skin; ashgrove.exe, README.TXT, the config and one packed map):
#  - a disk01.cbf spoiled halfway inside the packed map (same size): the
#    "Disk error" box comes during the copy, OK brings it back, Cancel leads
#    to the error page; nothing installed;
#  - install folders picked in the tree near the limits (folders under 248
#    characters, files under 260): one whose deepest folder would need 248
#    ends on the error page with nothing written; one whose deepest folder
#    needs 247 installs with files, registry values and shortcuts right;
#  - C:\Spiele\Démo picked in the tree: files, registry (reg export) and
#    shortcuts (lnkinfo) hold the name, the uninstaller from there removes
#    it all.
# Each run ends checked from outside: the disc and drive C: beyond the
# install folder and the temporary folders are as they were (but for the
# shortcuts of a finished install). Screenshots go to $ARTIFACTS. Runs
# inside the prefix and display that scripts/test set up.
set -u
here="$(cd "$(dirname "$0")/../.." && pwd)"
. "$here/scripts/lib/wine.sh"
wine_script setup_hostile
c="$WINEPREFIX/drive_c"
disc="$c/disc_hostile"
long="$c/0$(printf 'a%.0s' $(seq 1 99))"  # C:\ and 100 characters
spiele="$c/Spiele"
work=$(mktemp -d)
wine_pid=
trap '[ -n "$wine_pid" ] && kill -9 $wine_pid 2>/dev/null; rm -rf "$work" "$long" "$spiele"' EXIT
t0=$(date +%s)

rm -rf "$disc" "$long" "$spiele"
wine_fresh_demo "$c/Program Files/Ashgrove MP demo"
"$here/sample/make_disc.sh" --tools "$BUILD_NATIVE" --programs "$BUILD_WIN/sample/programs" \
  --assets "$work/assets" >/dev/null || fail "make_disc.sh --assets"
a="$work/assets/game" game="$work/game"
mkdir -p "$disc" "$game/CONFIG" "$game/DATA/MAPS"
cp "$a/ashgrove.exe" "$a/README.TXT" "$game/"
cp "$a/CONFIG/DEFAULT.CFG" "$game/CONFIG/"
cp "$a/DATA/MAPS/MAP1.DAT" "$game/DATA/MAPS/"
"$cbf" create "$disc/setup.cbf" "$work/assets/skin" >/dev/null || fail "cbf create setup.cbf"
"$cbf" create "$work/good.cbf" "$game" --prefix DISK01 >/dev/null || fail "cbf create disk01.cbf"
"$cbf" extract "$work/good.cbf" "$work/ref" >/dev/null || fail "cbf extract"
cp "$BUILD_WIN/setup.exe" "$disc/setup.exe"
wine_menu_font "$disc/setup.cbf"

start() { wine_start 'C:\disc_hostile\setup.exe'; }
next() { wine_click 585 258; sleep 0.3; }
to_folder_page() { wine_click 45 "$(menu_y 1)"; sleep 0.3; next; next; }
quit() { # from the menu column: Quit, and the exit code must be 0
  wine_quit "$wine_pid" "$h"
  wine_pid=
  [ "$WINE_RC" = 0 ] || fail "exit code $WINE_RC after Quit"
}
box() { xdotool search --name '^Disk error$' 2>/dev/null | head -n 1; }
same_outside() { # before-file install-folder [expected new entries]
  diff <(cat "$1") <(wine_drive_c "$2" | grep -vxF -f <(printf '%s\n' "${3:-}" | sed '/^$/d')) \
    >"$work/diff" || fail "changed outside the install folder: $(cat "$work/diff")"
}

echo "== damaged volume: spoiled inside the packed map"
cp "$work/good.cbf" "$disc/disk01.cbf"
size=$(stat -c %s "$disc/disk01.cbf")
# The map fills most of the archive: its packed bytes span the middle.
head -c 64 /dev/zero | tr '\0' '\377' | dd of="$disc/disk01.cbf" bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
[ "$(stat -c %s "$disc/disk01.cbf")" = "$size" ] || fail "the spoiled archive changed size"
"$cbf" verify "$disc/disk01.cbf" >/dev/null 2>&1 && fail "the spoiled archive verifies"
target="$c/Program Files/Ashgrove MP demo"
disc_before=$(cd "$disc" && find . -printf '%p %s\n' | sort)
wine_drive_c "$target" >"$work/before"
start
to_folder_page; next; next; next; next  # shortcuts, online, ready, Install
first=
for _ in $(seq 1 300); do first=$(box); [ -n "$first" ] && break; sleep 0.1; done
[ -n "$first" ] || fail "no Disk error box during the copy"
import -window root "$out/setup_hostile_disk_error.png"
xdotool windowfocus --sync "$first" key Return  # OK: read again
again=
for _ in $(seq 1 100); do
  again=$(box); [ -n "$again" ] && [ "$again" != "$first" ] && break; again=; sleep 0.1
done
[ -n "$again" ] || fail "OK did not bring the box back while the damage stays"
xdotool windowfocus --sync "$again" key Escape  # Cancel
for _ in $(seq 1 50); do [ -z "$(box)" ] && break; sleep 0.1; done
sleep 0.5
[ -z "$(box)" ] || fail "a box came after Cancel"
shot damaged_error_page
[ -e "$target/Uninstall.exe" ] && fail "the uninstaller was written"
wine_reg query "$WINE_UNINSTALL_KEY" >/dev/null 2>&1 && fail "an uninstall entry was written"
cmp -s "$target/data/maps/map1.dat" "$work/ref/DISK01/DATA/MAPS/MAP1.DAT" && fail "the map was copied whole"
quit
[ "$(cd "$disc" && find . -printf '%p %s\n' | sort)" = "$disc_before" ] || fail "the disc changed"
same_outside "$work/before" "$target"
echo "damaged: box, OK brought it back, Cancel led to the error page; no uninstaller, no entry"
rm -rf "$target"
cp "$work/good.cbf" "$disc/disk01.cbf"

echo "== install folders near the path limits"
# Tree rows are 17 pixels apart below the path and space lines. Under
# C:\0aaa...: the product's folder needs 17 more characters than the
# picked folder, its deepest folder (data\maps) 27, its longest file 36.
fits="$long/$(printf 'b%.0s' $(seq 1 116))"     # 220: deepest folder 247
over="$long/$(printf 'c%.0s' $(seq 1 117))"     # 221: deepest folder 248
mkdir -p "$fits" "$over"
winpath() { printf 'C:\\%s' "${1#"$c/"}" | tr / '\\'; }
for p in "$fits:220" "$over:221"; do
  [ "$(winpath "${p%:*}" | wc -c)" = "${p##*:}" ] || fail "test folder length"
done
wine_drive_c "$over/Ashgrove MP demo" >"$work/before"
start
to_folder_page
wine_click 266 158; sleep 0.3  # expand C:
wine_click 290 175; sleep 0.3  # expand 0aaa...
wine_click 340 209; sleep 0.3; shot long_over     # ccc...
next; next; next; next  # Install
sleep 1
shot long_over_error
quit
[ -e "$over/Ashgrove MP demo" ] && fail "files written for a path over the limit"
wine_reg query "$WINE_UNINSTALL_KEY" >/dev/null 2>&1 && fail "an uninstall entry was written"
same_outside "$work/before" "$over/Ashgrove MP demo"
echo "over the limit: refused by the engine (deepest folder 248); nothing written"

check_install() { # folder as Linux sees it
  local target=$1 dir
  dir=$(winpath "$target")
  for _ in $(seq 1 150); do
    [ -f "$target/Uninstall.exe" ] && [ -n "$(wine_reg_value "$WINE_UNINSTALL_KEY" UninstallString)" ] && break
    sleep 0.2
  done
  wine_check_install "$work/ref/DISK01" "$target" "$dir" "$disc/setup.exe"  # not the hash list
  # The registry as reg export writes it (UTF-16), so the name's encoding counts.
  wine_reg export "$WINE_APP_KEY" 'C:\hostile_app.reg' /y >/dev/null 2>&1
  wine_reg export "$WINE_UNINSTALL_KEY" 'C:\hostile_uninst.reg' /y >/dev/null 2>&1
  local esc=${dir//\\/\\\\}
  iconv -f UTF-16 -t UTF-8 "$c/hostile_app.reg" | tr -d '\r' | grep -qxF "\"InstallDir\"=\"$esc\"" ||
    fail "InstallDir: $(iconv -f UTF-16 -t UTF-8 "$c/hostile_app.reg")"
  iconv -f UTF-16 -t UTF-8 "$c/hostile_uninst.reg" | tr -d '\r' |
    grep -qxF "\"UninstallString\"=\"\\\"$esc\\\\Uninstall.exe\\\"\"" ||
    fail "UninstallString: $(iconv -f UTF-16 -t UTF-8 "$c/hostile_uninst.reg")"
  rm -f "$c/hostile_app.reg" "$c/hostile_uninst.reg"
}
# What a finished install adds outside its folder: the shortcuts.
new_links() {
  wine_user_folders
  local d=${DESKTOP#"$c/"} p=${PROGRAMS#"$c/"}
  printf './%s %s\n' "$d/Ashgrove Multiplayer demo.lnk" \
    "$(stat -c %s "$DESKTOP/Ashgrove Multiplayer demo.lnk" 2>/dev/null)" "$p/Ashgrove MP demo" \
    "$(stat -c %s "$PROGRAMS/Ashgrove MP demo" 2>/dev/null)"
  for f in "$PROGRAMS/Ashgrove MP demo"/*.lnk; do printf './%s %s\n' "${f#"$c/"}" "$(stat -c %s "$f")"; done
}

wine_drive_c "$fits/Ashgrove MP demo" >"$work/before"
start
to_folder_page
wine_click 266 158; sleep 0.3
wine_click 290 175; sleep 0.3
wine_click 340 192; sleep 0.3; shot long_fits  # bbb...
next; next; next; next
check_install "$fits/Ashgrove MP demo"
shot long_fits_finished
quit
same_outside "$work/before" "$fits/Ashgrove MP demo" "$(new_links)"
echo "near the limit (deepest folder 247): files, InstallDir, UninstallString, four shortcuts right"
wine_uninstall_check "$h" "$(winpath "$fits/Ashgrove MP demo")" "$fits/Ashgrove MP demo" "${WINE_LINKS[@]}"

echo "== C:\\Spiele\\Démo"
demo="$spiele/Démo"
mkdir -p "$demo"
wine_drive_c "$demo/Ashgrove MP demo" >"$work/before"
# The tree scrolled to its end shows, from the bottom: the drives after C:,
# then windows, users, Spiele.
drives=$(ls -d "$WINEPREFIX"/dosdevices/[d-z]: 2>/dev/null | wc -l)
last=$( (cd "$c" && find . -mindepth 1 -maxdepth 1 -type d -printf '%f\n') | sort -f | tail -n 3 | tr '\n' ' ')
[ "$last" = "Spiele users windows " ] || fail "C:'s last folders are $last"
start
to_folder_page
wine_click 266 158; sleep 0.3
for _ in $(seq 1 40); do wine_click 533 232; done  # the scroll bar's down arrow
sleep 0.3
y=$(( 226 - 17 * (drives + 2) ))
wine_click 290 "$y"; sleep 0.3          # expand Spiele
wine_click 335 $((y + 17)); sleep 0.3   # select Démo
shot demo_folder
next; next; next; next
check_install "$demo/Ashgrove MP demo"
shot demo_finished
quit
same_outside "$work/before" "$demo/Ashgrove MP demo" "$(new_links)"
echo "C:\\Spiele\\Démo: files, InstallDir, UninstallString, four shortcuts right"
wine_uninstall_check "$h" "$(winpath "$demo/Ashgrove MP demo")" "$demo/Ashgrove MP demo" "${WINE_LINKS[@]}"
echo "passed in $(( $(date +%s) - t0 )) s"
