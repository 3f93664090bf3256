#!/usr/bin/env bash
# The installer killed during the copy under Wine: a disc whose volume holds
# a big file, so the copy lasts; the process is killed once that file is
# partly written. Then, from outside: no uninstall entry and no uninstaller
# (the finishing step never ran), nothing new beside the disc; the next
# start offers Install (its place in the menu starts the install again),
# and a full install over the remains gives the volume's files as `cbf
# extract` does, the uninstaller and the entry; Quit ends it with 0. Runs
# inside the prefix and display that scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
out="${ARTIFACTS:-/tmp}"
cbf="$BUILD_NATIVE/tools/cbf/cbf"
dir="$WINEPREFIX/drive_c/disc_killed"
target="$WINEPREFIX/drive_c/Program Files/Ashgrove MP demo"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ashgrove Multiplayer demo'
fail() { echo "FAILED: $*"; exit 1; }

# The disc: a licence, and a volume of a small program and 160 MB of
# random bytes, stored unpacked so that making it is quick.
work=$(mktemp -d)
wine_pid=
trap 'rm -rf "$work"; [ -n "$wine_pid" ] && kill -9 $wine_pid 2>/dev/null' EXIT
rm -rf "$dir" "$target"
"$WINE64" reg delete "$key" /f >/dev/null 2>&1 || true
mkdir -p "$dir" "$work/setup" "$work/disk/DATA"
cp "$BUILD_WIN64/setup.exe" "$dir/setup.exe"
printf 'Licence of the test disc.\n' >"$work/setup/la.txt"
printf 'stand-in game' >"$work/disk/ASHGROVE.EXE"
head -c $((160 << 20)) /dev/urandom >"$work/disk/DATA/BIG.DAT"
"$cbf" create "$dir/setup.cbf" "$work/setup" >/dev/null || fail "cbf create setup.cbf"
"$cbf" create "$dir/disk01.cbf" "$work/disk" --prefix DISK01 --method store >/dev/null \
  || fail "cbf create disk01.cbf"
disc_before=$(cd "$dir" && find . -printf '%p %s\n' | sort)

# Answers Cancel to every "Disk error" box (this disc has no fonts, icons
# or slides) until none came for a second.
answer_boxes() {
  local quiet=0 box
  for _ in $(seq 1 600); do
    box=$(xdotool search --name '^Disk error$' 2>/dev/null | head -n 1)
    if [ -n "$box" ]; then
      xdotool windowfocus --sync "$box" key Escape 2>/dev/null
      quiet=0
    else
      quiet=$((quiet + 1))
      [ "$quiet" -ge 10 ] && return 0
    fi
    sleep 0.1
  done
}
# Answers Cancel to a "Disk error" box if one is there.
dismiss_box() {
  local box
  box=$(xdotool search --name '^Disk error$' 2>/dev/null | head -n 1)
  [ -n "$box" ] && xdotool windowfocus --sync "$box" key Escape 2>/dev/null
}
n=0
shot() { n=$((n + 1)); import -window root -crop 640x284+$(( X + CLIENT_X ))+$(( Y + CLIENT_Y )) \
  "$out/setup_killed_$(printf %02d $n)_$1.png"; }
h=13  # the menu's line height in the system's default font
start() {
  "$WINE64" 'C:\disc_killed\setup.exe' &
  wine_pid=$!
  wine_find_window "Ashgrove Multiplayer demo - Installer" 640 284 || fail "no installer window"
  answer_boxes
}
# Menu Install, then Next through the pages with their defaults up to and
# with Install (the DirectX page only when the library is missing).
install_clicks() {
  wine_click 45 $(( 4 * h + 7 * (h / 6) + h / 2 ))  # Install
  answer_boxes
  shot "$1_intro"
  local pages=5
  case "${WINEDLLOVERRIDES:-}" in *dpnhpast=d*) pages=6 ;; esac
  for i in $(seq 1 $pages); do wine_click 585 258; answer_boxes; shot "$1_page$i"; done
  wine_click 585 258  # Install
}

# First run: killed while BIG.DAT is being written.
start
shot menu
install_clicks first
big="$target/data/big.dat"
full=$(stat -c %s "$work/disk/DATA/BIG.DAT")
# The copying page's missing slide brings one more box: answer it while
# watching for the first bytes of big.dat.
for _ in $(seq 1 1000); do
  size=$(stat -c %s "$big" 2>/dev/null || echo 0)
  [ "$size" -gt 0 ] && break
  dismiss_box
  sleep 0.02
done
shot first_copying
kill -9 $wine_pid
wait $wine_pid 2>/dev/null
wine_pid=
size=$(stat -c %s "$big" 2>/dev/null || echo 0)
echo "killed with $size of $full bytes of big.dat written"
[ "$size" -gt 0 ] && [ "$size" -lt "$full" ] || fail "not killed during the copy of big.dat"
[ -e "$target/Uninstall.exe" ] && fail "the uninstaller was written before the copy ended"
"$WINE64" reg query "$key" >/dev/null 2>&1 && fail "an uninstall entry was written"
[ "$(cd "$dir" && find . -printf '%p %s\n' | sort)" = "$disc_before" ] || fail "the disc changed"

# Second run: the menu offers Install again; a full install over the remains.
start
shot menu_again
install_clicks second
for _ in $(seq 1 150); do
  [ -f "$target/Uninstall.exe" ] && "$WINE64" reg query "$key" >/dev/null 2>&1 && break
  dismiss_box
  sleep 0.2
done
answer_boxes  # the finish page's missing slide
shot finished
ref="$work/ref"
"$cbf" extract "$dir/disk01.cbf" "$ref" >/dev/null || fail "cbf extract"
cmp -s "$ref/DISK01/DATA/BIG.DAT" "$target/data/big.dat" || fail "big.dat differs"
cmp -s "$ref/DISK01/ASHGROVE.EXE" "$target/ashgrove.exe" || fail "ashgrove.exe differs"
cmp -s "$dir/setup.exe" "$target/Uninstall.exe" || fail "Uninstall.exe is not the installer"
"$WINE64" reg query "$key" /v UninstallString | tr -d '\r' | grep -q 'Ashgrove MP demo\\Uninstall.exe' \
  || fail "no uninstall entry after the second install"
echo "installed over the remains: big.dat and ashgrove.exe as cbf extract gives them"
wine_click 45 $(( 284 - 2 * h + h / 2 ))  # Quit, from the finish page
for _ in $(seq 1 50); do kill -0 $wine_pid 2>/dev/null || break; sleep 0.1; done
kill -0 $wine_pid 2>/dev/null && fail "still running after Quit"
wait $wine_pid
rc=$?
wine_pid=
[ "$rc" = 0 ] || fail "exit code $rc after Quit"
[ "$(cd "$dir" && find . -printf '%p %s\n' | sort)" = "$disc_before" ] || fail "the disc changed"
echo "the disc is unchanged"
