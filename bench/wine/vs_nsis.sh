#!/usr/bin/env bash
# setup.exe against an NSIS installer of the same files, both under Wine in
# one throw-away prefix and virtual display.
#
#   bench/wine/vs_nsis.sh [WORK_DIR]
#
# The payload (about PAYLOAD_MB, default 150, of mixed files: shared
# libraries from /usr/lib, fonts, random data from SEED) is made once in
# WORK_DIR (default /tmp/vs-nsis-bench, kept for the next run), with the
# NSIS installer of it (makensis, Target amd64-unicode, SetCompressor zlib).
# Our disc is made from it with scripts/make-disc and the win64 setup.exe.
#
# Measured from outside, caches warm (one untimed install of each first),
# best of three each, taken in turns:
#   - setup.exe: from the click on Install (page 8) until the finish page
#     shows, seen by polling the picture frame's pixels (page_watch.py; its
#     mean poll time is the resolution, printed);
#   - NSIS: from the start of `wine64 setup.exe /S /D=...` to its exit.
# Each install goes into a fresh folder and is compared with the payload.
# Also: the sizes (our disc's files against the NSIS .exe) and setup.exe's
# peak working set (VmHWM of its Wine process from /proc, read on the finish
# page; the process starts anew for each run).
#
# Needs build/win64 (setup) and build/native (cbf, fntmake); installs the
# Debian package nsis when makensis is missing. Prints figures; it never
# fails on them.
set -eu
here="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${BUILD_ROOT:-$here/build}"
WORK=${1:-/tmp/vs-nsis-bench}
PAYLOAD_MB=${PAYLOAD_MB:-150}
SEED=${SEED:-1}
watch="python3 $here/bench/wine/page_watch.py"
for f in "$BUILD/win64/setup.exe" "$BUILD/native/tools/cbf/cbf" "$BUILD/native/tools/fntmake/fntmake"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "missing $f: build win64 setup and native cbf fntmake" >&2; exit 1; }
done
if ! command -v makensis >/dev/null; then
  apt-get install -y nsis >/dev/null || { echo "cannot install nsis" >&2; exit 1; }
fi
mkdir -p "$WORK"

# ------------------------------------------------------------------ payload

# Copies files found by find (sorted, so the payload is the same each time)
# into DEST/NN/ under lower-case names until about MIB mebibytes are there.
fill() { # dest mib find-arguments...
  local dest=$1 limit=$(($2 << 20)) total=0 n=0 size name base
  shift 2
  while IFS= read -r -d '' f; do
    size=$(stat -c %s "$f")
    [ $((total + size)) -gt $limit ] && continue
    name=$(basename "$f" | tr 'A-Z' 'a-z' | tr -c 'a-z0-9._+\n-' '_')
    # The installer lists a volume with *.*, which takes file names with
    # exactly one dot: keep the last one (or add one), the others become _.
    case $name in
      *.*) base=${name%.*} name=${base//./_}.${name##*.} ;;
      *) name=$name.bin ;;
    esac
    mkdir -p "$dest/$((n / 64))"
    cp "$f" "$dest/$((n / 64))/$n-$name"
    total=$((total + size))
    n=$((n + 1))
    [ $total -ge $((limit - (limit >> 6))) ] && break
  done < <(find "$@" -type f -size +0 -size -8M -print0 2>/dev/null | sort -z)
  return 0
}

payload=$WORK/payload
if [ ! -f "$WORK/payload.done" ]; then
  echo "== making the payload in $payload"
  rm -rf "$payload" "$WORK/nsis-setup.exe"
  fill "$payload/fonts" 24 /usr/share/fonts /usr/share/wine/fonts
  fill "$payload/bin" $((PAYLOAD_MB / 2)) /usr/lib/x86_64-linux-gnu -maxdepth 1 ! -name '*.a'
  # Random data up to the payload's size, in files of 4 KiB to 16 MiB
  # whose sizes and bytes both come from SEED.
  left=$(( (PAYLOAD_MB << 20) - $(du -sb "$payload" | cut -f1) ))
  mkdir -p "$payload/data"
  i=0
  while [ "$left" -gt 0 ]; do
    size=$(awk -v s="$SEED" -v i="$i" 'BEGIN { srand(s * 1000 + i); print int(4096 * 2 ^ (rand() * 12)) }')
    [ "$size" -gt "$left" ] && size=$left
    head -c "$size" /dev/zero | openssl enc -aes-128-ctr -nosalt -K "$(printf '%032x' "$SEED")" \
      -iv "$(printf '%032x' "$i")" -out "$payload/data/part$i.dat"
    left=$((left - size)) i=$((i + 1))
  done
  touch "$WORK/payload.done"
fi
echo "payload: $(( $(du -sb "$payload" | cut -f1) >> 20 )) MiB in $(find "$payload" -type f | wc -l) files"

if [ ! -f "$WORK/nsis-setup.exe" ]; then
  echo "== makensis (zlib)"
  cat >"$WORK/bench.nsi" <<EOF
Unicode true
Target amd64-unicode
SetCompressor zlib
Name "Payload"
OutFile "$WORK/nsis-setup.exe"
InstallDir "C:\\nsis-out"
RequestExecutionLevel user
Section
  SetOutPath "\$INSTDIR"
  File /r "$payload/*"
SectionEnd
EOF
  makensis -V2 "$WORK/bench.nsi" >/dev/null
fi

# ------------------------------------------------------------------ Wine

. "$here/scripts/lib/wine.sh"
wine=$(mktemp -d /tmp/vs-nsis-wine.XXXXXX)
trap 'wine_teardown; rm -rf "$wine"' EXIT
unset DISPLAY
wine_setup "$wine"
# A server that stays between the runs: wine_setup's `wineserver -p` finds
# the one its `reg add` started still there and leaves it to exit.
wineserver -w
wineserver -p
disc="$WINEPREFIX/drive_c/disc"
echo "== make-disc"
"$here/scripts/make-disc" "$payload" "$disc" --setup "$BUILD/win64/setup.exe" \
  --tools "$BUILD/native" 2>/dev/null | sed -n '2,4p'
cp "$WORK/nsis-setup.exe" "$WINEPREFIX/drive_c/"
cat "$disc"/* "$WORK/nsis-setup.exe" >/dev/null

title="Ashgrove Multiplayer demo - Installer"
target="$WINEPREFIX/drive_c/Program Files/Ashgrove MP demo"
nsis_out="$WINEPREFIX/drive_c/nsis-out"
app_key='HKLM\SOFTWARE\Halvorin\Ashgrove Demo'
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ashgrove Multiplayer demo'
tmp=$(mktemp -d)
"$BUILD/native/tools/cbf/cbf" extract "$disc/setup.cbf" "$tmp" tahoma15.fnt >/dev/null
h=$("$BUILD/native/tools/fntmake/fntmake" --info "$tmp/tahoma15.fnt" | head -n 1 | cut -d' ' -f2)
rm -rf "$tmp"
wine_user_folders

# The machine as before any install of ours: no folder, keys or shortcuts.
reset_ours() {
  rm -rf "$target" "$DESKTOP"/*.lnk "$PROGRAMS/Ashgrove MP demo"
  for k in "$uninst" "$app_key"; do "$WINE64" reg delete "$k" /f >/dev/null 2>&1 || true; done
}

# Starts setup.exe and clicks through to the ready page; sets PID, RX, RY
# (the client area's origin on the screen).
to_ready_page() {
  "$WINE64" 'C:\disc\setup.exe' &
  wine_pid=$!
  wine_find_window "$title" 640 284 || { echo "no window" >&2; exit 1; }
  PID=$(pgrep -f 'C:\\disc\\setup.exe' | grep -v "^$wine_pid\$" | head -n 1 || true)
  [ -n "$PID" ] || PID=$wine_pid
  RX=$((X + CLIENT_X)) RY=$((Y + CLIENT_Y))
  wine_click 45 $((4 * h + 7 * (h / 6) + h / 2))  # Install in the menu
  for _ in 1 2 3 4 5; do sleep 0.4; wine_click 585 258; done  # intro .. ready
  sleep 0.6
}

close_ours() {
  xdotool windowfocus --sync "$WID" key alt+F4 2>/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$wine_pid" 2>/dev/null || true
  wait "$wine_pid" 2>/dev/null || true
}

# Every payload file installed unchanged (names in lower case, which the
# payload's are), and nothing else but the uninstaller's files.
check_install() { # folder extra-files...
  local dir=$1 diffs
  shift
  diffs=$(diff -rq "$payload" "$dir" 2>&1 | grep -v "^Only in $dir: " || true)
  for extra in "$@"; do [ -f "$dir/$extra" ] || diffs+="missing $extra"; done
  local others expected=(-e bin -e fonts -e data)
  for extra in "$@"; do expected+=(-e "$extra"); done
  others=$( (cd "$dir" && ls -A) | grep -vxF "${expected[@]}" || true)
  [ -z "$diffs$others" ] && return 0
  echo "INSTALL DIFFERS in $dir: $diffs $others" | head -c 2000 >&2
  return 1
}

# Warm-up of ours, which also records how the finish page's picture frame
# looks: the install is complete once the uninstall entry is there.
echo "== warm-up (one untimed install each)"
reset_ours
to_ready_page
ready=$($watch hash $((RX + 250)) $((RY + 12)) 292 86)
wine_click 585 258
for _ in $(seq 1 600); do
  [ -f "$target/Uninstall.exe" ] && "$WINE64" reg query "$uninst" >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 2
finish=$($watch hash $((RX + 250)) $((RY + 12)) 292 86)
close_ours
[ "$finish" != "$ready" ] || { echo "the finish page looks like the ready page" >&2; exit 1; }
check_install "$target" Uninstall.exe setup.cbf gamespy.ico
rm -rf "$nsis_out"
"$WINE64" 'C:\nsis-setup.exe' /S '/D=C:\nsis-out'
check_install "$nsis_out"

# Processor time in seconds (user + system) of a process or thread, and
# the wineserver of this prefix, which both installers' file calls go
# through.
hz=$(getconf CLK_TCK)
cpu() { awk -v hz="$hz" '{ printf "%.2f", ($14 + $15) / hz }' "$1"; }
find_server() {
  server=
  for p in $(pgrep -x wineserver64; pgrep -x wineserver); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && server=$p
  done
  [ -n "$server" ] || { echo "no wineserver for $WINEPREFIX" >&2; server=self; }
}
sub() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

echo "== three runs each, in turns (load: $(uptime | sed 's/.*load/load/'))"
best_ours=99 best_nsis=99 peak=0
for run in 1 2 3; do
  reset_ours
  to_ready_page
  find_server
  c0=$(cpu "/proc/$PID/stat") m0=$(cpu "/proc/$PID/task/$PID/stat") s0=$(cpu "/proc/$server/stat")
  r=$($watch click-until $((RX + 250)) $((RY + 12)) 292 86 "$finish" $((RX + 585)) $((RY + 258)) 120)
  c1=$(cpu "/proc/$PID/stat") m1=$(cpu "/proc/$PID/task/$PID/stat") s1=$(cpu "/proc/$server/stat")
  hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$PID/status")
  close_ours
  read -r t_ours polls poll_ms <<<"$r"
  check_install "$target" Uninstall.exe setup.cbf gamespy.ico && ok_ours=same || ok_ours=DIFFERENT

  rm -rf "$nsis_out"
  sync
  find_server
  n0=$(cpu "/proc/$server/stat")
  t0=$(date +%s.%N)
  /usr/bin/time -o "$wine/nsis.time" -f '%U %S' "$WINE64" 'C:\nsis-setup.exe' /S '/D=C:\nsis-out'
  t1=$(date +%s.%N)
  nsis_cpu=$(awk '{ printf "%.2f", $1 + $2 }' "$wine/nsis.time")
  n1=$(cpu "/proc/$server/stat")
  t_nsis=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
  check_install "$nsis_out" && ok_nsis=same || ok_nsis=DIFFERENT

  echo "run $run: setup.exe $t_ours s (files $ok_ours; $polls polls, one per $poll_ms ms;" \
    "VmHWM $((hwm / 1024)) MiB), NSIS $t_nsis s (files $ok_nsis)"
  echo "  processor: setup.exe $(sub "$c0" "$c1") s (GUI thread $(sub "$m0" "$m1") s) + wineserver" \
    "$(sub "$s0" "$s1") s; NSIS $nsis_cpu s (with Wine's start) + wineserver $(sub "$n0" "$n1") s"
  best_ours=$(awk -v a="$best_ours" -v b="$t_ours" 'BEGIN { print (b < a ? b : a) }')
  best_nsis=$(awk -v a="$best_nsis" -v b="$t_nsis" 'BEGIN { print (b < a ? b : a) }')
  [ "$hwm" -gt "$peak" ] && peak=$hwm
done
echo "load after the runs: $(uptime | sed 's/.*load/load/')"
ours_size=$(cat "$disc/setup.exe" "$disc/setup.cbf" "$disc/disk01.cbf" | wc -c)
echo "sizes: disk01.cbf $(stat -c %s "$disc/disk01.cbf"), setup.cbf $(stat -c %s "$disc/setup.cbf")," \
  "setup.exe $(stat -c %s "$disc/setup.exe"): $ours_size bytes;" \
  "NSIS .exe $(stat -c %s "$WORK/nsis-setup.exe") bytes; payload $(du -sb "$payload" | cut -f1) bytes"
awk -v a="$best_ours" -v b="$best_nsis" 'BEGIN {
  printf "best of three: setup.exe %.3f s, NSIS %.3f s; ratio ours / NSIS %.2f (goal <= 1.0)\n", a, b, a / b }'
echo "setup.exe peak working set (VmHWM): $((peak / 1024)) MiB (goal < 48)"
