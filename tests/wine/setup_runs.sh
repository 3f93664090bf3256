#!/usr/bin/env bash
# setup.exe starts under Wine from a sample disc, copies setup.cbf into a
# folder of its own in the temporary folder (gone again when it ends) and
# shows its window on the menu page; idle there it uses under 3 % of one
# core over 10 s. One installer at a time: a second setup.exe, and an
# Uninstall.exe, started meanwhile end at once with exit code 0, leave one
# window with the installer's caption and do not touch the temporary copy.
# Alt+F4 ends the first in an orderly way (exit code 0); after that, and
# after one is killed, a new start shows its window. Runs inside the prefix
# and display that scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
wine_script setup_runs
exe="$BUILD_WIN/setup.exe"
dir="$WINEPREFIX/drive_c/disc"
mkdir -p "$dir"
cp "$exe" "$dir/setup.exe"
cp "$exe" "$dir/Uninstall.exe"
"$(dirname "$0")/../../sample/make_disc.sh" --tools "$BUILD_NATIVE" --programs "$BUILD_WIN/sample/programs" "$dir"
windows() { xdotool search --name "^$WINE_CAPTION\$" 2>/dev/null | wc -l; }

wine_exec 'C:\disc\setup.exe' &
wine_pid=$!
trap 'kill $wine_pid 2>/dev/null' EXIT

# A disc without the icons, fonts or pictures makes the store ask for each
# missing file ("Disk error"): answer Cancel until the window is up.
up() { [ "$(windows)" != 0 ]; }
wine_wait 600 up || fail "no installer window"
wine_settle || fail "a Disk error box stayed open"
echo "disk error boxes answered: ${WINE_BOXES:-0}"

wine_find_window "$WINE_CAPTION" 640 284 || fail "no installer window"
echo "window $WIDTH x $HEIGHT at $X,$Y; client offset $CLIENT_X,$CLIENT_Y"
shot menu

# Idle on the menu: processor time of the program's process over 10 s.
pid=$(pgrep -f 'C:\\disc\\setup.exe' | head -n 1)
[ -n "$pid" ] || fail "no process"
cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
xdotool mousemove 0 0
sleep 1
c0=$(cpu); t0=$(date +%s.%N)
sleep 10
c1=$(cpu); t1=$(date +%s.%N)
percent=$(awk -v a="$c0" -v b="$c1" -v s="$t0" -v e="$t1" -v hz="$hz" \
  'BEGIN { printf "%.2f", (b - a) / hz / (e - s) * 100 }')
echo "idle on the menu: $percent % of one core"
awk -v p="$percent" 'BEGIN { exit !(p < 3) }' || fail "idle processor use $percent % is not under 3 %"

temp=$(find "$WINEPREFIX/drive_c/users" -iname setup.cbf -path '*Temp/*/setup.cbf' | head -n 1)
[ -n "$temp" ] || fail "no copy of setup.cbf in a folder of the temporary folder"
cmp "$temp" "$dir/setup.cbf" || fail "the temporary copy differs"
echo "temporary copy: $temp"

stamp=$(stat -c %Y.%s "$temp")
sleep 1.1  # a copy made now would show in the time stamp
for program in 'C:\disc\setup.exe' 'C:\disc\Uninstall.exe'; do
  wine_exec "$program" &
  p=$!
  wine_wait 50 wine_gone "$p" || { kill "$p"; fail "$program still runs beside the first"; }
  wait "$p"
  rc=$?
  [ "$rc" = 0 ] || fail "$program: exit code $rc"
  [ "$(windows)" = 1 ] || fail "$(windows) installer windows after starting $program again"
done
[ "$(stat -c %Y.%s "$temp")" = "$stamp" ] || fail "the second start wrote the temporary folder"
echo "a second setup.exe and an Uninstall.exe ended at once, leaving the first alone"

wine_close $wine_pid
rc=$WINE_RC
trap - EXIT
echo "exit code: $rc"
[ "$rc" = 0 ] || fail "expected 0"
[ -e "$(dirname "$temp")" ] && fail "the run's temporary folder is left: $(dirname "$temp")"
echo "the run's temporary folder is gone"

# The next start works, also after one was killed.
trap 'kill $wine_pid 2>/dev/null' EXIT
wine_start 'C:\disc\setup.exe'
pid=$(pgrep -f 'C:\\disc\\setup.exe' | head -n 1)
[ -n "$pid" ] || fail "no process"
kill -9 "$pid"
for _ in $(seq 1 50); do [ "$(windows)" = 0 ] && break; sleep 0.1; done
wine_start 'C:\disc\setup.exe'  # after one was killed
wine_close $wine_pid
[ "$WINE_RC" = 0 ] || fail "exit code $WINE_RC"
trap - EXIT
echo "a start after an orderly end and after a kill shows the window"
