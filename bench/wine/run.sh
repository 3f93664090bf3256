#!/usr/bin/env bash
# Figures of setup.exe under Wine, in a throw-away prefix and virtual display:
#   - start to first frame (launch until the window is viewable) against
#     minimal_window.exe, best of five each, taken in turns, with a running
#     wineserver;
#   - processor use idle on the menu over 10 s (the process's user + system
#     time from /proc over wall time);
#   - an install of the sample disc (or of DATA_MB of extra random data, e.g.
#     DATA_MB=1500): processor time from the Install click to the finish
#     page, of the whole process, its GUI thread and the copy's threads.
# Needs build/win64 (setup, standin_*, minimal_window) and build/native (cbf,
# fntmake). Prints the figures; it never fails on them.
set -eu
here="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${BUILD_ROOT:-$here/build}"
. "$here/scripts/lib/wine.sh"
work=$(mktemp -d /tmp/demodisc-bench.XXXXXX)
trap 'wine_teardown; rm -rf "$work"' EXIT
unset DISPLAY
wine_setup "$work"
disc="$WINEPREFIX/drive_c/disc"
mkdir -p "$disc"
cp "$BUILD/win64/setup.exe" "$disc/"
cp "$BUILD/win64/bench/wine/minimal_window.exe" "$WINEPREFIX/drive_c/"
"$here/sample/make_disc.sh" --tools "$BUILD/native" --programs "$BUILD/win64/sample/programs" \
  "$disc" >/dev/null
cbf="$BUILD/native/tools/cbf/cbf"
if [ -n "${DATA_MB:-}" ]; then
  # A bigger volume: the sample's files plus DATA_MB of data that does not pack.
  "$cbf" extract "$disc/disk01.cbf" "$work/vol" >/dev/null
  mkdir -p "$work/vol/DISK01/DATA/BIG"
  for i in $(seq 1 $(( DATA_MB / 50 ))); do
    head -c 50M /dev/urandom >"$work/vol/DISK01/DATA/BIG/PART$i.DAT"
  done
  rm "$disc/disk01.cbf"
  "$cbf" create "$disc/disk01.cbf" "$work/vol/DISK01" --prefix DISK01 >/dev/null
  rm -rf "$work/vol"
fi
echo "volume: $(du -m "$disc/disk01.cbf" | cut -f1) MB packed"

visible() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
first_frame() { # program title: seconds from launch until its window is viewable
  local t0 t1 wid
  t0=$(date +%s.%N)
  "$WINE64" "$1" &
  local pid=$!
  for _ in $(seq 1 2000); do
    wid=$(visible "$2")
    [ -n "$wid" ] && break
    sleep 0.005
  done
  t1=$(date +%s.%N)
  xdotool windowfocus --sync "$wid" key alt+F4 2>/dev/null || kill "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}
# Warm-up: the first start of each loads Wine's libraries from disk.
first_frame 'C:\minimal_window.exe' 'Minimal window' >/dev/null
first_frame 'C:\disc\setup.exe' 'Ashgrove Multiplayer demo - Installer' >/dev/null
best_min=99 best_setup=99
for i in 1 2 3 4 5; do
  m=$(first_frame 'C:\minimal_window.exe' 'Minimal window')
  s=$(first_frame 'C:\disc\setup.exe' 'Ashgrove Multiplayer demo - Installer')
  echo "start to first frame, run $i: minimal window $m s, setup.exe $s s"
  best_min=$(awk -v a="$best_min" -v b="$m" 'BEGIN { print (b < a ? b : a) }')
  best_setup=$(awk -v a="$best_setup" -v b="$s" 'BEGIN { print (b < a ? b : a) }')
done
echo "start to first frame, best of five: minimal window $best_min s, setup.exe $best_setup s," \
  "ratio $(awk -v a="$best_min" -v b="$best_setup" 'BEGIN { printf "%.2f", b / a }')"

hz=$(getconf CLK_TCK)
ticks() { awk '{ print $14 + $15 }' "$1"; }
"$WINE64" 'C:\disc\setup.exe' &
wine_pid=$!
wine_find_window "Ashgrove Multiplayer demo - Installer" 640 284
pid=$(pgrep -f 'C:\\disc\\setup.exe' | head -n 1)
xdotool mousemove 1000 700
sleep 1
c0=$(ticks "/proc/$pid/stat"); t0=$(date +%s.%N)
sleep 10
c1=$(ticks "/proc/$pid/stat"); t1=$(date +%s.%N)
awk -v a="$c0" -v b="$c1" -v s="$t0" -v e="$t1" -v hz="$hz" 'BEGIN {
  printf "idle on the menu: %.2f s of processor in %.1f s = %.2f %% of one core\n",
    (b - a) / hz, e - s, (b - a) / hz / (e - s) * 100 }'

# The install with the defaults, from the Install click to the finish page
# (the uninstall entry is written as the copy ends).
tmp=$(mktemp -d)
"$cbf" extract "$disc/setup.cbf" "$tmp" tahoma15.fnt >/dev/null
h=$("$BUILD/native/tools/fntmake/fntmake" --info "$tmp/tahoma15.fnt" | head -n 1 | cut -d' ' -f2)
rm -rf "$tmp"
wine_click 45 $(( 4 * h + 7 * (h / 6) + h / 2 ))
for _ in 1 2 3 4 5; do sleep 0.4; wine_click 585 258; done
sleep 0.4
# The copy's threads (reader and writer) start with the copy and end with it,
# and an ended thread leaves /proc/PID/task, but the process's own total keeps
# its time: their share is the total's growth less that of the threads that
# were there before the click (which all outlive the copy).
main0=$(ticks "/proc/$pid/task/$pid/stat")
all0=$(ticks "/proc/$pid/stat")
declare -A first
for t in /proc/$pid/task/*; do first[${t##*/}]=$(ticks "$t/stat"); done
t0=$(date +%s.%N)
wine_click 585 258  # Install
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ashgrove Multiplayer demo'
target="$WINEPREFIX/drive_c/Program Files/Ashgrove MP demo"
until [ -f "$target/Uninstall.exe" ] && "$WINE64" reg query "$uninst" >/dev/null 2>&1; do
  sleep 0.05
done
t1=$(date +%s.%N)
main1=$(ticks "/proc/$pid/task/$pid/stat")
all1=$(ticks "/proc/$pid/stat")
old=0
for tid in "${!first[@]}"; do
  v=$(ticks "/proc/$pid/task/$tid/stat" 2>/dev/null) && old=$((old + v - ${first[$tid]}))
done
copy=$(( all1 - all0 - old ))
echo "install: $(du -sm "$target" | cut -f1) MB in $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", b - a }') s"
awk -v hz="$hz" -v m=$(( main1 - main0 )) -v a=$(( all1 - all0 )) -v w="$copy" \
  -v wall="$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')" 'BEGIN {
  printf "  processor: whole process %.2f s, GUI (main) thread %.2f s, the copy'"'"'s reader and writer threads %.2f s, in %.2f s wall\n",
    a / hz, m / hz, w / hz, wall
  printf "  beyond the copying: %.2f s = %.2f %% of one core; GUI thread alone %.2f %%\n",
    (a - w) / hz, (a - w) / hz / wall * 100, m / hz / wall * 100 }'
xdotool windowfocus --sync "$WID" key alt+F4 2>/dev/null || true
sleep 1
kill "$wine_pid" 2>/dev/null || true
