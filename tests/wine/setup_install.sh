#!/usr/bin/env bash
# The whole life of the demo under Wine from the sample disc as drive D:
# (the stand-in programs of the same build). First a start in a German
# locale, whose menu must be the native German render (Wine takes the
# interface language from the locale), and Quit. Then by clicks: menu
# Install, Next through the pages with their defaults into C:\Program
# Files\Ashgrove MP demo, the finish page's Next running the online add-on's
# set-up program, Play starting the game; the uninstall started from the
# system's program list, its box ticked, Next, Quit. Last, with the keyboard
# alone: an install before the restart (Enter through every page, Esc on the
# menu), the restart, and Uninstall.exe (Down, Enter, Tab, Space, Enter,
# Esc). Checked from outside after the install: the files against `cbf
# extract` (names in lower case), the registry (reg query), the four
# shortcuts (lnkinfo), the stand-ins' log; after the uninstall: only the
# uninstaller and the archive copy left, their delayed deletes and the
# folder's recorded, keys and shortcuts gone. A screenshot of every step goes
# to $ARTIFACTS. Runs inside the prefix and display that scripts/test set up.
set -u
here="$(cd "$(dirname "$0")/../.." && pwd)"
. "$here/scripts/lib/wine.sh"
out="${ARTIFACTS:-/tmp}"
cbf="$BUILD_NATIVE/tools/cbf/cbf"
disc="$WINEPREFIX/drive_c/sample_disc"
wine_sample_disc sample_disc

dir='C:\Program Files\Ashgrove MP demo'
target="$WINEPREFIX/drive_c/Program Files/Ashgrove MP demo"
app_key='HKLM\SOFTWARE\Halvorin\Ashgrove Demo'
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ashgrove Multiplayer demo'
session='HKLM\System\CurrentControlSet\Control\Session Manager'
log="$WINEPREFIX/drive_c/standins.log"
# A fresh machine as far as the demo goes (another script may have used it),
# with another product's key of the same maker, which must stay.
rm -rf "$target" "$log"
for k in "$uninst" "$app_key"; do wine_reg delete "$k" /f >/dev/null 2>&1; done
other='HKLM\SOFTWARE\Halvorin\Ashgrove\Old'
wine_reg add "$other" /v Stale /d 1 /f >/dev/null 2>&1

fail() { echo "FAILED: $*"; exit 1; }
n=0
shot() { n=$((n + 1)); import -window root -crop 640x284+$(( X + CLIENT_X ))+$(( Y + CLIENT_Y )) \
  "$out/setup_install_$(printf %02d $n)_$1.png"; }
next() { wine_click 585 258; sleep 0.4; shot "$1"; }
ended() { # pid: waits up to 5 s for the process to end; its exit code in RC
  for _ in $(seq 1 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && return 1
  wait "$1"; RC=$?
}
start() { # program [folder]: starts it as a user without administrator rights, finds its window
  (cd "${2:-.}" && wine_exec "$BUILD_WIN/tests/wine/limited.exe" "$1" >"$out/menu.pid") &
  wine_pid=$!
  wine_find_window "Ashgrove Multiplayer demo - Installer" 640 284 || fail "no window for $1"
}
start_admin() { # program [folder]: the same with the rights of the one who starts it
  (cd "${2:-.}" && wine_exec "$1") &
  wine_pid=$!
  wine_find_window "Ashgrove Multiplayer demo - Installer" 640 284 || fail "no window for $1"
}
# Each key goes to our window, focused again first: the add-on set-up the
# finish page runs may have taken the focus.
keys() { for k in "$@"; do xdotool windowfocus --sync "$WID" key "$k"; sleep 0.4; done; }
locales=$(mktemp -d)
trap 'kill $wine_pid 2>/dev/null; rm -rf "$locales"' EXIT
# Install hands the pages over to an elevated copy of the program: the
# menu's window hides until the copy ends. These make WID the copy's
# window, then the menu's again (within 20 s: the watchdog of a hand-over
# or an add-on that never ends).
installer_window() { xdotool search --onlyvisible --name '^Ashgrove Multiplayer demo - Installer$'; }
to_copy() { wine_to_copy "Ashgrove Multiplayer demo - Installer" || fail "no elevated copy took over"
  menu_wid=$MENU_WID; }
to_menu() { for _ in $(seq 1 200); do installer_window | grep -qx "$menu_wid" && break; sleep 0.1; done
  WID=$menu_wid; installer_window | grep -qx "$WID" || fail "the menu did not come back: $(cat "$log" 2>&1)"; sleep 0.3; }

# The menu's line height is the large font's (wizard.cpp lays the menu out
# with it): items at 4h, 4h + 7(h/6)..., Quit at 284 - 2h.
tmp=$(mktemp -d)
"$cbf" extract "$disc/setup.cbf" "$tmp" tahoma15.fnt >/dev/null || fail "no large font on the disc"
h=$("$BUILD_NATIVE/tools/fntmake/fntmake" --info "$tmp/tahoma15.fnt" | head -n 1 | cut -d' ' -f2)
rm -rf "$tmp"
menu_y() { echo $(( 4 * h + $1 * 7 * (h / 6) + h / 2 )); }
quit_y=$(( 284 - 2 * h + h / 2 ))

# What the temporary folders hold; each run's own files must go with it.
temps() { find "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/windows/temp" -ipath '*temp/*' | sort; }
temps_before=$(temps)
# The host may lack the German locale: made in a private folder.
localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8" || fail "cannot make the de_DE.UTF-8 locale"
LOCPATH=$locales LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 start_admin 'D:\setup.exe'
xdotool mousemove 0 0; sleep 0.5
shot menu_de
d=$(compare -metric AE "$out/setup_install_01_menu_de.png" "$here/docs/pages/de/page00-menu.png" null: 2>&1)
[ "$d" = 0 ] || fail "the German menu differs from docs/pages/de/page00-menu.png in $d pixels"
wine_click 45 "$quit_y"  # Quit
ended "$wine_pid" || fail "still running after Quit"

install() { # from the menu to the installed menu, with the defaults
  start 'D:\setup.exe'
  shot menu
  wine_click 45 "$(menu_y 1)"  # Install
  to_copy; sleep 0.4
  shot intro
  for page in licence folder shortcuts online; do next "$page"; done
  # Wine brings its own dpnhpast.dll, so no DirectX page here
  # (setup_install_nodx.sh covers it).
  next ready
  wine_click 585 258; sleep 0.1; shot copying  # the sample copies in about a second
  for _ in $(seq 1 150); do
    [ -f "$target/setup.cbf" ] && [ -f "$target/Uninstall.exe" ] &&
      [ -n "$(wine_reg_value "$uninst" UninstallString)" ] && break
    sleep 0.2
  done
  sleep 1
  shot finished
  wine_click 585 258; to_menu; shot menu_installed  # Next: the online add-on's set-up program runs first
}

echo "== install"
t0=$(date +%s)
install
echo "install took $(( $(date +%s) - t0 )) s"

ref=$(mktemp -d)
trap 'kill $wine_pid 2>/dev/null; rm -rf "$ref"' EXIT
"$cbf" extract "$disc/disk01.cbf" "$ref" >/dev/null || fail "cbf extract"
count=0
while IFS= read -r -d '' f; do
  lower=$(printf '%s' "${f#"$ref/DISK01/"}" | tr 'A-Z' 'a-z')
  cmp -s "$f" "$target/$lower" || fail "installed $lower differs from the archive"
  count=$((count + 1))
done < <(find "$ref/DISK01" -type f -print0)  # the hash list beside DISK01 is not installed
[ "$count" -gt 10 ] || fail "the volume had only $count files"
cmp -s "$disc/setup.exe" "$target/Uninstall.exe" || fail "Uninstall.exe is not the installer"
cmp -s "$disc/setup.cbf" "$target/setup.cbf" || fail "setup.cbf differs"
extra=$( (cd "$target" && find . -type f | sed 's|^\./||') | sort >"$ref.have"
  (cd "$ref/DISK01" && find . -type f | sed 's|^\./||' | tr 'A-Z' 'a-z'
   printf 'Uninstall.exe\nsetup.cbf\ngamespy.ico\n') | sort | comm -23 "$ref.have" -)
rm -f "$ref.have"
[ -z "$extra" ] || fail "files nobody asked for: $extra"
echo "files: $count of the volume as cbf extract gives them, Uninstall.exe, setup.cbf, gamespy.ico"

[ "$(wine_reg_value "$app_key" InstallDir)" = "$dir" ] || fail "InstallDir: $(wine_reg_value "$app_key" InstallDir)"
[ "$(wine_reg_value "$uninst" DisplayName)" = "Ashgrove Multiplayer demo" ] || fail "DisplayName"
[ "$(wine_reg_value "$uninst" UninstallString)" = "\"$dir\\Uninstall.exe\"" ] || fail "UninstallString"
[ "$(wine_reg_value "$uninst" DisplayIcon)" = "\"$dir\\Uninstall.exe\",0" ] || fail "DisplayIcon"
wine_reg query "$uninst" /v NoModify | grep -q 'REG_DWORD *0x1' || fail "NoModify"
[ "$(wine_reg_value "$other" Stale)" = 1 ] || fail "the maker's other key was touched"
echo "registry: InstallDir, DisplayName, UninstallString, DisplayIcon, NoModify; the maker's other key kept"

wine_user_folders
desktop=$DESKTOP programs=$PROGRAMS
group="$programs/Ashgrove MP demo"
check_link() { wine_check_link setup_install-lnkinfo "$@"; }
game="$dir\\ashgrove.exe"
links=("$desktop/Ashgrove Multiplayer demo.lnk" "$group/Ashgrove Multiplayer demo.lnk"
  "$group/Uninstall Ashgrove Multiplayer demo.lnk"
  "$group/Play Ashgrove Multiplayer demo Online With GameSpy Arcade.lnk")
check_link "${links[0]}" "$game" "$dir" "$game" "Ashgrove Multiplayer demo"
check_link "${links[1]}" "$game" "$dir" "$game" "Ashgrove Multiplayer demo"
# The uninstall shortcut shows the installed uninstaller's icon.
check_link "${links[2]}" "$dir\\Uninstall.exe" "$dir" "$dir\\Uninstall.exe"
check_link "${links[3]}" "/features/launch.asp?svcname=ashgroved&distID=744" "$dir" "$dir\\gamespy.ico"
echo "shortcuts: four, as lnkinfo reads them"

grep -q '^GameSpy\.exe started in ' "$log" || fail "the online add-on did not run: $(cat "$log" 2>&1)"
# The elevated copy ran the add-on; Play is the menu's (ended by now), with the user's rights.
grep -qE '^GameSpy\.exe parent [0-9]+ "?D:\\setup\.exe"? /handover:1,' "$log" || fail "add-on's parent: $(cat "$log")"
echo "add-on: $(grep '^GameSpy' "$log" | tr -d '\r')"

echo "== play"
wine_click 45 "$(menu_y 0)"  # Play: starts the game and ends the program
ended "$wine_pid" || fail "still running after Play"
[ "$RC" = 0 ] || fail "exit code $RC after Play"
game_wid=$(wine_window_id 'Ashgrove stand-in') || fail "no game window"
import -window root "$out/setup_install_$(printf %02d $((n + 1)))_game.png"; n=$((n + 1))
grep -qxF "ashgrove.exe started in $dir"$'\r' "$log" || fail "no game start in the install folder: $(cat "$log")"
grep -qE "^ashgrove\.exe parent $(tr -d '\r' <"$out/menu.pid") " "$log" || fail "game's parent: $(cat "$log")"
# Both started with the quoted program path as the first token.
grep -qF "ashgrove.exe command \"$dir\\ashgrove.exe\"" "$log" || fail "game's command line: $(cat "$log")"
grep -qE '^GameSpy\.exe command "[^"]+\\GameSpy\.exe"' "$log" || fail "add-on's command line: $(cat "$log")"
echo "play: $(grep -E '^(ashgrove|GameSpy)\.exe parent' "$log" | tr -d '\r' | tr '\n' ';')"
xdotool windowfocus --sync "$game_wid" key alt+F4
for _ in $(seq 1 50); do xdotool search --name '^Ashgrove stand-in$' >/dev/null 2>&1 || break; sleep 0.1; done

echo "== uninstall"
# Only this run's delayed deletes should be recorded (another script may
# have left some). No wineserver restart until they are checked: a fresh
# server boots the prefix, which carries them out.
wine_reg delete "$session" /v PendingFileRenameOperations /f >/dev/null 2>&1
# Started as the system's program list does, from the uninstall entry.
"$WINE64" uninstaller --remove "Ashgrove Multiplayer demo" &
wine_pid=$!
wine_find_window "Ashgrove Multiplayer demo - Installer" 640 284 || fail "no uninstall window"
shot uninstall_menu
wine_click 45 "$(menu_y 1)"  # Uninstall, in Install's place
sleep 0.4
shot uninstall_ask
wine_click 283 195  # the box "Yes, remove..."
sleep 0.2
shot uninstall_ticked
next uninstalled
for _ in $(seq 1 50); do [ -d "$target/data" ] || break; sleep 0.2; done
wine_click 45 "$quit_y"  # Quit
ended "$wine_pid" || fail "still running after Quit"
[ "$RC" = 0 ] || fail "exit code $RC after Quit"
trap 'rm -rf "$ref"' EXIT

# The running uninstaller cannot remove itself; the archive copy goes at once
# when nothing holds it open (the program reads a copy in the temporary folder).
left=$(cd "$target" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | sort | tr '\n' ' ')
case "$left" in
  "Uninstall.exe " | "Uninstall.exe setup.cbf ") echo "left until the restart: $left" ;;
  *) fail "left in the folder: $left" ;;
esac
for l in "${links[@]}"; do [ -e "$l" ] && fail "shortcut left: $l"; done
[ -d "$group" ] && fail "group folder left"
wine_reg query "$uninst" >/dev/null 2>&1 && fail "uninstall entry left"
wine_reg query "$app_key" >/dev/null 2>&1 && fail "application key left"
pending=$(wine_reg query "$session" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
echo "$pending" >"$out/setup_install-pending_renames.txt"
for name in 'Ashgrove MP demo\Uninstall.exe' 'Ashgrove MP demo\setup.cbf' 'Ashgrove MP demo\'; do
  echo "$pending" | grep -qiF "$name" || fail "no delayed delete of $name: $pending"
done
count=$(echo "$pending" | grep -oF '\??\' | wc -l)
[ "$count" = 3 ] || fail "expected exactly three delayed operations, saw $count: $pending"
echo "uninstall: files, keys and shortcuts gone; delayed deletes of Uninstall.exe, setup.cbf, the folder"
new_temps=$(comm -13 <(echo "$temps_before") <(temps))
[ -z "$new_temps" ] || fail "left in the temporary folders: $new_temps"
echo "temporary folders after quit, install, uninstall: $(echo -n "$new_temps" | grep -c .) new entries"

echo "== install again before the restart, by keys"
start_admin 'D:\setup.exe'
keys Return Return Return Return  # Install, Next, I Agree, Next (the default folder)
shot keys_shortcuts
keys Return Return Return  # Next, Next (online; Wine has DirectX), Install
for _ in $(seq 1 150); do
  [ -f "$target/Uninstall.exe" ] && [ -n "$(wine_reg_value "$uninst" UninstallString)" ] && break
  sleep 0.2
done
sleep 1
shot keys_finished
keys Return  # the online add-on's set-up runs, then the menu
sleep 1
keys Escape  # the window has the keys again after the add-on's set-up
ended "$wine_pid" || fail "Esc on the menu did not quit after the add-on's set-up"
wine_reg query "$session" /v PendingFileRenameOperations 2>/dev/null | grep -qiF 'Ashgrove MP demo' &&
  fail "the install left the delayed deletes of its folder"
"$WINE64" wineboot -r >/dev/null 2>&1
[ -f "$target/Uninstall.exe" ] || fail "the restart deleted the new install's Uninstall.exe"
echo "restart (wineboot -r) after uninstall and install: Uninstall.exe still there"

echo "== uninstall by keys"
start_admin "$target/Uninstall.exe" "$target"
keys Down Return Tab space
shot keys_uninstall_ticked
keys Return
sleep 2
keys Escape
ended "$wine_pid" || fail "Esc on the menu did not quit"
[ -f "$target/ashgrove.exe" ] && fail "the game is still there"
[ -z "$(wine_reg_value "$uninst" UninstallString)" ] || fail "the uninstall entry is still there"
wine_reg delete 'HKLM\SOFTWARE\Halvorin\Ashgrove' /f >/dev/null 2>&1
echo "uninstalled by keys: the game and the uninstall entry are gone"
echo "passed in $(( $(date +%s) - t0 )) s"
