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
wine_script setup_install
disc="$WINEPREFIX/drive_c/sample_disc"
wine_sample_disc sample_disc

dir='C:\Program Files\Ashgrove MP demo'
target="$WINEPREFIX/drive_c/Program Files/Ashgrove MP demo"
session='HKLM\System\CurrentControlSet\Control\Session Manager'
log="$WINEPREFIX/drive_c/standins.log"
# Another product's key of the same maker, which must stay.
wine_fresh_demo "$target"
rm -f "$log"
other='HKLM\SOFTWARE\Halvorin\Ashgrove\Old'
wine_reg add "$other" /v Stale /d 1 /f >/dev/null 2>&1

next() { wine_click 585 258; sleep 0.4; shot "$1"; }
ended() { # pid: waits up to 5 s for the process to end; its exit code in RC
  wine_wait 50 wine_gone "$1" || return 1
  wait "$1"; RC=$?
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
installer_window() { xdotool search --onlyvisible --name "^$WINE_CAPTION\$"; }
to_menu() { for _ in $(seq 1 200); do installer_window | grep -qx "$MENU_WID" && break; sleep 0.1; done
  WID=$MENU_WID; installer_window | grep -qx "$WID" || fail "the menu did not come back: $(cat "$log" 2>&1)"; sleep 0.3; }
wine_menu_font "$disc/setup.cbf"

# What the temporary folders hold; each run's own files must go with it.
temps() { find "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/windows/temp" -ipath '*temp/*' | sort; }
temps_before=$(temps)
# The host may lack the German locale: made in a private folder.
localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8" || fail "cannot make the de_DE.UTF-8 locale"
LOCPATH=$locales LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 wine_start 'D:\setup.exe'
xdotool mousemove 0 0; sleep 0.5
shot menu_de
d=$(compare -metric AE "$out/setup_install_01_menu_de.png" "$here/docs/pages/de/page00-menu.png" null: 2>&1)
[ "$d" = 0 ] || fail "the German menu differs from docs/pages/de/page00-menu.png in $d pixels"
wine_click 45 "$quit_y"  # Quit
ended "$wine_pid" || fail "still running after Quit"

install() { # from the menu to the installed menu, with the defaults
  # As a user without administrator rights.
  wine_start "$BUILD_WIN/tests/wine/limited.exe" 'D:\setup.exe' >"$out/menu.pid"
  shot menu
  wine_click 45 "$(menu_y 1)"  # Install
  wine_to_copy "$WINE_CAPTION" || fail "no elevated copy took over"
  sleep 0.4
  shot intro
  for page in licence folder shortcuts online; do next "$page"; done
  # Wine brings its own dpnhpast.dll, so no DirectX page here
  # (setup_install_nodx.sh covers it).
  next ready
  wine_click 585 258; sleep 0.1; shot copying  # the sample copies in about a second
  for _ in $(seq 1 150); do
    [ -f "$target/setup.cbf" ] && [ -f "$target/Uninstall.exe" ] &&
      [ -n "$(wine_reg_value "$WINE_UNINSTALL_KEY" UninstallString)" ] && break
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
# The hash list beside DISK01 is not installed.
wine_check_install "$ref/DISK01" "$target" "$dir" "$disc/setup.exe"
[ "$WINE_FILES" -gt 10 ] || fail "the volume had only $WINE_FILES files"
cmp -s "$disc/setup.cbf" "$target/setup.cbf" || fail "setup.cbf differs"
extra=$( (cd "$target" && find . -type f | sed 's|^\./||') | sort >"$ref.have"
  (cd "$ref/DISK01" && find . -type f | sed 's|^\./||' | tr 'A-Z' 'a-z'
   printf 'Uninstall.exe\nsetup.cbf\ngamespy.ico\n') | sort | comm -23 "$ref.have" -)
rm -f "$ref.have"
[ -z "$extra" ] || fail "files nobody asked for: $extra"
echo "files: $WINE_FILES of the volume as cbf extract gives them, Uninstall.exe, setup.cbf, gamespy.ico;"\
  "four shortcuts as lnkinfo reads them"
[ "$(wine_reg_value "$WINE_APP_KEY" InstallDir)" = "$dir" ] || fail "InstallDir: $(wine_reg_value "$WINE_APP_KEY" InstallDir)"
[ "$(wine_reg_value "$WINE_UNINSTALL_KEY" DisplayName)" = "Ashgrove Multiplayer demo" ] || fail "DisplayName"
[ "$(wine_reg_value "$WINE_UNINSTALL_KEY" UninstallString)" = "\"$dir\\Uninstall.exe\"" ] || fail "UninstallString"
[ "$(wine_reg_value "$WINE_UNINSTALL_KEY" DisplayIcon)" = "\"$dir\\Uninstall.exe\",0" ] || fail "DisplayIcon"
wine_reg query "$WINE_UNINSTALL_KEY" /v NoModify | grep -q 'REG_DWORD *0x1' || fail "NoModify"
[ "$(wine_reg_value "$other" Stale)" = 1 ] || fail "the maker's other key was touched"
echo "registry: InstallDir, DisplayName, UninstallString, DisplayIcon, NoModify; the maker's other key kept"

grep -q '^GameSpy\.exe started in ' "$log" || fail "the online add-on did not run: $(cat "$log" 2>&1)"
# The elevated copy ran the add-on; Play is the menu's (ended by now), with the user's rights.
grep -qE '^GameSpy\.exe parent [0-9]+ "?D:\\setup\.exe"? /handover:1,' "$log" || fail "add-on's parent: $(cat "$log")"
echo "add-on: $(grep '^GameSpy' "$log" | tr -d '\r')"

echo "== play"
wine_click 45 "$(menu_y 0)"  # Play: starts the game and ends the program
ended "$wine_pid" || fail "still running after Play"
[ "$RC" = 0 ] || fail "exit code $RC after Play"
game_wid=$(wine_window_id 'Ashgrove stand-in') || fail "no game window"
import -window root "$out/setup_install_game.png"
grep -qxF "ashgrove.exe started in $dir"$'\r' "$log" || fail "no game start in the install folder: $(cat "$log")"
grep -qE "^ashgrove\.exe parent $(tr -d '\r' <"$out/menu.pid") " "$log" || fail "game's parent: $(cat "$log")"
# Both started with the quoted program path as the first token.
grep -qF "ashgrove.exe command \"$dir\\ashgrove.exe\"" "$log" || fail "game's command line: $(cat "$log")"
grep -qE '^GameSpy\.exe command "[^"]+\\GameSpy\.exe"' "$log" || fail "add-on's command line: $(cat "$log")"
echo "play: $(grep -E '^(ashgrove|GameSpy)\.exe parent' "$log" | tr -d '\r' | tr '\n' ';')"
xdotool windowfocus --sync "$game_wid" key alt+F4
for _ in $(seq 1 50); do xdotool search --name '^Ashgrove stand-in$' >/dev/null 2>&1 || break; sleep 0.1; done

echo "== uninstall"
# Started as the system's program list does, from the uninstall entry.
WINE_FROM_LIST=1 wine_uninstall_check "$h" "$dir" "$target" "${WINE_LINKS[@]}"
trap 'rm -rf "$ref"' EXIT
new_temps=$(comm -13 <(echo "$temps_before") <(temps))
[ -z "$new_temps" ] || fail "left in the temporary folders: $new_temps"
echo "temporary folders after quit, install, uninstall: $(echo -n "$new_temps" | grep -c .) new entries"

echo "== install again before the restart, by keys"
wine_start 'D:\setup.exe'
keys Return Return Return Return  # Install, Next, I Agree, Next (the default folder)
shot keys_shortcuts
keys Return Return Return  # Next, Next (online; Wine has DirectX), Install
for _ in $(seq 1 150); do
  [ -f "$target/Uninstall.exe" ] && [ -n "$(wine_reg_value "$WINE_UNINSTALL_KEY" UninstallString)" ] && break
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
WINE_CWD=$target wine_start "$target/Uninstall.exe"
keys Down Return Tab space
shot keys_uninstall_ticked
keys Return
sleep 2
keys Escape
ended "$wine_pid" || fail "Esc on the menu did not quit"
[ -f "$target/ashgrove.exe" ] && fail "the game is still there"
[ -z "$(wine_reg_value "$WINE_UNINSTALL_KEY" UninstallString)" ] || fail "the uninstall entry is still there"
wine_reg delete 'HKLM\SOFTWARE\Halvorin\Ashgrove' /f >/dev/null 2>&1
echo "uninstalled by keys: the game and the uninstall entry are gone"
echo "passed in $(( $(date +%s) - t0 )) s"
