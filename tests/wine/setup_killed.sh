#!/usr/bin/env bash
# The installer killed during the copy under Wine: a disc whose volume holds
# a big file, so the copy lasts; the process is killed once that file is
# partly written. Then, from outside: no uninstall entry and no uninstaller
# (the finishing step never ran), nothing new beside the disc; the next
# start offers Install (its place in the menu starts the install again),
# and a full install over the remains gives the volume's files as `cbf
# extract` does, the uninstaller, the entry and the shortcuts; Quit ends it
# with 0. Last, the uninstaller started from the install folder removes it
# all but what waits for the restart, and the disc and drive C: are as they
# were before the first run. This disc has no skin: the "Disk error" box of
# each missing font, icon or slide is answered Cancel whenever one comes.
# Runs inside the prefix and display that scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
wine_script setup_killed
dir="$WINEPREFIX/drive_c/disc_killed"
target="$WINEPREFIX/drive_c/Program Files/Ashgrove MP demo"
key=$WINE_UNINSTALL_KEY

# The disc: a licence, and a volume of a small program and 160 MB of
# random bytes, stored unpacked so that making it is quick.
work=$(mktemp -d)
wine_pid=
trap 'rm -rf "$work"; [ -n "$wine_pid" ] && kill -9 $wine_pid 2>/dev/null' EXIT
rm -rf "$dir"
wine_fresh_demo "$target"
desktop_link="$DESKTOP/Ashgrove Multiplayer demo.lnk" group="$PROGRAMS/Ashgrove MP demo"
mkdir -p "$dir" "$work/setup" "$work/disk/DATA"
cp "$BUILD_WIN/setup.exe" "$dir/setup.exe"
printf 'Licence of the test disc.\n' >"$work/setup/la.txt"
printf 'stand-in game' >"$work/disk/ASHGROVE.EXE"
head -c $((160 << 20)) /dev/urandom >"$work/disk/DATA/BIG.DAT"
"$cbf" create "$dir/setup.cbf" "$work/setup" >/dev/null || fail "cbf create setup.cbf"
"$cbf" create "$dir/disk01.cbf" "$work/disk" --prefix DISK01 --method store >/dev/null \
  || fail "cbf create disk01.cbf"
disc_before=$(cd "$dir" && find . -printf '%p %s\n' | sort)
wine_drive_c "$target" >"$work/drive_c"

settle() { wine_settle || fail "a Disk error box stayed open"; }
h=13  # the menu's line height in the system's default font
start() { wine_start 'C:\disc_killed\setup.exe'; settle; }
# Menu Install, then Next through the pages with their defaults up to and
# with Install (the DirectX page only when the library is missing).
install_clicks() {
  wine_click 45 "$(menu_y 1)"  # Install
  settle
  shot "$1_intro"
  local pages=5
  case "${WINEDLLOVERRIDES:-}" in *dpnhpast=d*) pages=6 ;; esac
  for i in $(seq 1 $pages); do wine_click 585 258; settle; shot "$1_page$i"; done
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
  wine_answer_boxes
  sleep 0.02
done
# Killed at once: the copy runs at disk speed, and a screenshot first would
# let it finish.
kill -9 $wine_pid
wait $wine_pid 2>/dev/null
wine_pid=
size=$(stat -c %s "$big" 2>/dev/null || echo 0)
echo "killed with $size of $full bytes of big.dat written"
[ "$size" -gt 0 ] && [ "$size" -lt "$full" ] || fail "not killed during the copy of big.dat"
[ -e "$target/Uninstall.exe" ] && fail "the uninstaller was written before the copy ended"
wine_reg query "$key" >/dev/null 2>&1 && fail "an uninstall entry was written"
[ "$(cd "$dir" && find . -printf '%p %s\n' | sort)" = "$disc_before" ] || fail "the disc changed"

# Second run: the menu offers Install again; a full install over the remains.
start
shot menu_again
install_clicks second
installed() { [ -f "$target/Uninstall.exe" ] && wine_reg query "$key" >/dev/null 2>&1; }
wine_wait 300 installed || fail "no uninstaller and entry after the second install"
settle  # the finish page's missing slide
shot finished
ref="$work/ref"
"$cbf" extract "$dir/disk01.cbf" "$ref" >/dev/null || fail "cbf extract"
cmp -s "$ref/DISK01/DATA/BIG.DAT" "$target/data/big.dat" || fail "big.dat differs"
cmp -s "$ref/DISK01/ASHGROVE.EXE" "$target/ashgrove.exe" || fail "ashgrove.exe differs"
cmp -s "$dir/setup.exe" "$target/Uninstall.exe" || fail "Uninstall.exe is not the installer"
wine_reg query "$key" /v UninstallString | tr -d '\r' | grep -q 'Ashgrove MP demo\\Uninstall.exe' \
  || fail "no uninstall entry after the second install"
echo "installed over the remains: big.dat and ashgrove.exe as cbf extract gives them"
wine_quit "$wine_pid" "$h"  # from the finish page
wine_pid=
[ "$WINE_RC" = 0 ] || fail "exit code $WINE_RC after Quit"
[ "$(cd "$dir" && find . -printf '%p %s\n' | sort)" = "$disc_before" ] || fail "the disc changed"
echo "the disc is unchanged"
[ -f "$desktop_link" ] && [ -d "$group" ] || fail "no shortcuts after the second install"

# The uninstall, as a user would start it; then drive C: and the disc are as
# they were before the first run.
WINE_ANSWER_BOXES=1 wine_uninstall_check "$h" 'C:\Program Files\Ashgrove MP demo' "$target" "$desktop_link" "$group"
diff "$work/drive_c" <(wine_drive_c "$target") >"$work/diff" \
  || fail "drive C: changed beyond the install folder: $(cat "$work/diff")"
echo "drive C: and the disc are as before the first run"
