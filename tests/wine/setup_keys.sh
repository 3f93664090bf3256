#!/usr/bin/env bash
# The demo installed and uninstalled under Wine with the keyboard alone
# (xdotool keys to the focused window), from the sample disc as drive D:.
# Install: Enter on the menu's focused Install, Enter through every page
# (I Agree, the default folder, the shortcuts, the online add-on, Install),
# Enter on the finish page, Alt+F4. Uninstall.exe: Down to Uninstall,
# Enter, Tab to the check box, Space, Enter, Esc. Checked from outside: the
# game and the uninstall entry are there after the install and gone after
# the uninstall. Screenshots (the focus mark on the menu and the pages) go
# to $ARTIFACTS. Runs inside the prefix and display that scripts/test set up.
set -u
here="$(cd "$(dirname "$0")/../.." && pwd)"
. "$here/scripts/lib/wine.sh"
out="${ARTIFACTS:-/tmp}"
disc="$WINEPREFIX/drive_c/sample_disc_keys"
wine_sample_disc sample_disc_keys

target="$WINEPREFIX/drive_c/Program Files/Ashgrove MP demo"
app_key='HKLM\SOFTWARE\Halvorin\Ashgrove Demo'
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ashgrove Multiplayer demo'
rm -rf "$target"
for k in "$uninst" "$app_key"; do wine_reg delete "$k" /f >/dev/null 2>&1; done

fail() { echo "FAILED: $*"; exit 1; }
n=0
shot() { n=$((n + 1)); import -window root -crop 640x284+$(( X + CLIENT_X ))+$(( Y + CLIENT_Y )) \
  "$out/setup_keys_$(printf %02d $n)_$1.png"; }
# Each key goes to our window, focused again first: the add-on set-up the
# finish page runs may have taken the focus.
keys() { for k in "$@"; do xdotool windowfocus --sync "$WID" key "$k"; sleep 0.4; done; }
start() { # program [folder]
  (cd "${2:-.}" && wine_exec "$1") &
  wine_pid=$!
  wine_find_window "Ashgrove Multiplayer demo - Installer" 640 284 || fail "no window for $1"
}
ended() { # waits up to 5 s for the program to end
  for _ in $(seq 1 50); do kill -0 "$wine_pid" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}
trap 'kill $wine_pid 2>/dev/null' EXIT

echo "== install by keys"
start 'D:\setup.exe'
shot menu
keys Return Return Return Return  # Install, Next, I Agree, Next (the default folder)
shot shortcuts
keys Return Return Return  # Next, Next (online; Wine has DirectX), Install
for _ in $(seq 1 150); do
  [ -f "$target/Uninstall.exe" ] && [ -n "$(wine_reg_value "$uninst" UninstallString)" ] && break
  sleep 0.2
done
sleep 1
shot finished
keys Return  # the online add-on's set-up runs, then the menu
sleep 1
shot menu_installed
keys Escape  # the window has the keys again after the add-on's set-up
ended || fail "Esc on the menu did not quit after the add-on's set-up"
[ -f "$target/ashgrove.exe" ] || fail "the game was not installed"
[ -n "$(wine_reg_value "$uninst" UninstallString)" ] || fail "no uninstall entry"
echo "installed: ashgrove.exe and the uninstall entry"

echo "== uninstall by keys"
start "$target/Uninstall.exe" "$target"
keys Down Return Tab space
shot uninstall_ticked
keys Return
sleep 2
shot uninstalled
keys Escape
ended || fail "Esc on the menu did not quit"
[ -f "$target/ashgrove.exe" ] && fail "the game is still there"
[ -z "$(wine_reg_value "$uninst" UninstallString)" ] || fail "the uninstall entry is still there"
echo "uninstalled: the game and the uninstall entry are gone"
echo "PASSED"
