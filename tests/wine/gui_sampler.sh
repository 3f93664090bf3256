#!/usr/bin/env bash
# guidemo.exe under Wine in the virtual display: click "Ask..." and then the
# message box's "Cancel" with xdotool, keep screenshots, check from the log
# that both clicks arrived as notifications, measure the processor time the
# idle sampler uses over 10 seconds (under 3 % of one core) while its
# progress bar keeps moving, and close it with Alt+F4. Runs inside the
# prefix and display that scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
out="${ARTIFACTS:-/tmp}"
dir="$WINEPREFIX/drive_c/gui"
mkdir -p "$dir"
cp "$BUILD_WIN/tools/guidemo/guidemo.exe" "$BUILD_WIN/tools/guidemo/back.jpg" "$dir/"
log="$dir/log.txt"
rm -f "$log"

fail() { echo "FAILED: $*"; [ -f "$log" ] && cat "$log"; exit 1; }

wine_exec 'C:\gui\guidemo.exe' 'C:\gui\log.txt' 2>"$out/gui_sampler.stderr" &
wine_pid=$!
trap 'kill $wine_pid 2>/dev/null' EXIT

wine_find_window "GUI sampler" 640 284 || fail "no window of at least 640x284"
echo "window $WIDTH x $HEIGHT at $X,$Y; client offset $CLIENT_X,$CLIENT_Y"

wine_click 60 247  # "Ask..."
for _ in $(seq 1 50); do grep -q 'msgbox cancel at' "$log" 2>/dev/null && break; sleep 0.1; done
read -r cx cy < <(sed -n 's/^msgbox cancel at //p' "$log" | head -n 1)
[ -n "${cx:-}" ] || fail "the message box did not open"
sleep 0.3
import -window root "$out/gui_sampler_box.png"
wine_click "$cx" "$cy"  # "Cancel"
for _ in $(seq 1 50); do grep -q 'msgbox result' "$log" && break; sleep 0.1; done
sleep 0.3
import -window root "$out/gui_sampler.png"

grep -qx 'Ask clicked' "$log" || fail "no notification of the click on Ask..."
grep -qx 'msgbox result 8' "$log" || fail "no Cancel answer from the message box"

# Idle: processor time of the program's process over 10 s of wall time.
pid=$(pgrep -f 'C:\\gui\\guidemo.exe' | head -n 1)
[ -n "$pid" ] || fail "no process"
cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
xdotool mousemove 0 0  # the pointer leaves the window
sleep 1
import -window root -crop 400x18+$(( X + CLIENT_X + 16 ))+$(( Y + CLIENT_Y + 194 )) "$out/gui_bar_1.png"
c0=$(cpu); t0=$(date +%s.%N)
# The bar runs through 101 steps of 100 ms: the second picture is taken half
# a cycle later, never a whole cycle, which would look unchanged.
sleep 5
import -window root -crop 400x18+$(( X + CLIENT_X + 16 ))+$(( Y + CLIENT_Y + 194 )) "$out/gui_bar_2.png"
sleep 5
c1=$(cpu); t1=$(date +%s.%N)
percent=$(awk -v a="$c0" -v b="$c1" -v s="$t0" -v e="$t1" -v hz="$hz" \
  'BEGIN { printf "%.2f", (b - a) / hz / (e - s) * 100 }')
echo "idle: $(( c1 - c0 )) ticks of $hz/s over $(awk -v s="$t0" -v e="$t1" 'BEGIN{printf "%.2f", e-s}') s = $percent % of one core"
awk -v p="$percent" 'BEGIN { exit !(p < 3) }' || fail "idle processor use $percent % is not under 3 %"
if compare -metric AE "$out/gui_bar_1.png" "$out/gui_bar_2.png" null: 2>/dev/null; then
  fail "the progress bar did not move"
fi

wine_close $wine_pid
rc=$WINE_RC
trap - EXIT
cat "$out/gui_sampler.stderr"
[ "$rc" = 0 ] || fail "exit code $rc"
echo "log:"; cat "$log"
