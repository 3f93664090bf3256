#!/usr/bin/env bash
# setup.exe against NSIS installers of the same files, both under Wine in
# one throw-away prefix and virtual display.
#
#   bench/wine/vs_nsis.sh [WORK_DIR]
#
# The payload (about PAYLOAD_MB, default 150, of mixed files: shared
# libraries from /usr/lib, fonts, random data from SEED) is made once in
# WORK_DIR (default /tmp/vs-nsis-bench, kept for the next run), with the
# NSIS installers of it (makensis, SetCompressor zlib; Target x86-unicode,
# the same bitness as the shipped program, and amd64-unicode; and a solid
# LZMA one, for its size only). Our discs are made from it with
# scripts/make-disc: the shipped win32 setup.exe (the main line), the win64
# one (the second line), and, when make-disc offers it, the win32 one with
# the zstd method.
#
# Measured from outside, caches warm (one untimed install of each first),
# best of three each, taken in turns:
#   - setup.exe: from the click on Install (page 8) until the finish page
#     shows, seen by polling the picture frame's pixels (page_watch.py; its
#     mean poll time is the resolution, printed);
#   - setup.exe from its start: launched, driven through the menu and the
#     pages as fast as they show (each click as soon as the page changed),
#     until the finish page shows;
#   - NSIS: from the start of `setup.exe /S /D=...` to its exit.
# Each install goes into a fresh folder and is compared with the payload.
# Also: the sizes (our disc's files against the NSIS .exe files) and
# setup.exe's peak working set (VmHWM of its Wine process from /proc, read
# on the finish page; the process starts anew for each run).
#
# Needs build/win32 (setup) and build/native (cbf, fntmake); build/win64
# (setup) for the second line. Installs the Debian package nsis when makensis
# is missing. Prints figures; it never fails on them.
set -eu
here="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${BUILD_ROOT:-$here/build}"
WORK=${1:-/tmp/vs-nsis-bench}
PAYLOAD_MB=${PAYLOAD_MB:-150}
SEED=${SEED:-1}
watch="python3 $here/bench/wine/page_watch.py"
for f in "$BUILD/native/tools/cbf/cbf" "$BUILD/native/tools/fntmake/fntmake"; do
  [ -f "$f" ] || { echo "missing $f: build native cbf fntmake" >&2; exit 1; }
done
win64=$BUILD/win64/setup.exe
[ -f "$win64" ] || { echo "no $win64: the amd64 line is left out" >&2; win64=; }
zstd=
# ZSTD_DISC=0 leaves the zstd disc out (a setup.exe that cannot read it).
[ "${ZSTD_DISC:-1}" = 0 ] || ! grep -q -- '--method' "$here/scripts/make-disc" || zstd=1
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
  rm -rf "$payload" "$WORK"/nsis-*.exe
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

# One installer per target and compressor, made once: nsis-TARGET-NAME.exe.
make_nsis() { # target compressor name
  local out="$WORK/nsis-$1-$3.exe"
  [ -f "$out" ] && return 0
  echo "== makensis ($1, $2)"
  cat >"$WORK/bench.nsi" <<NSI
Unicode true
Target $1-unicode
SetCompressor $2
Name "Payload"
OutFile "$out"
InstallDir "C:\\nsis-out"
RequestExecutionLevel user
Section
  SetOutPath "\$INSTDIR"
  File /r "$payload/*"
SectionEnd
NSI
  makensis -V2 "$WORK/bench.nsi" >/dev/null
}
make_nsis x86 zlib zlib
make_nsis amd64 zlib zlib
make_nsis x86 '/SOLID lzma' lzma

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
loader() { wine_loader "$1"; }
# A kernel without 32-bit emulation runs neither the shipped program nor
# NSIS x86: then the amd64 pair is all there is to measure.
bits32=1
if [ ! -f "$BUILD/win32/setup.exe" ]; then
  bits32=
  echo "no $BUILD/win32/setup.exe: the win32 and NSIS x86 lines are left out"
elif ! wine_runs_32bit; then
  bits32=
  echo "this machine runs no 32-bit code ($WINE32 does not start): the win32 and NSIS x86" \
    "lines are left out"
  [ -n "$win64" ] || { echo "and there is no win64 build to measure instead" >&2; exit 1; }
fi
# Our discs, each C:\NAME in the prefix, of the payload and the game's
# program, which make-disc wants at the top (a stand-in of a few bytes).
game=$WORK/game
rm -rf "$game"
cp -al "$payload" "$game"
echo "stand-in" >"$game/ashgrove.exe"
discs=()
make_disc() { # name setup.exe [make-disc options]
  local name=$1 setup=$2
  shift 2
  echo "== make-disc $name $*"
  "$here/scripts/make-disc" "$game" "$WINEPREFIX/drive_c/$name" --setup "$setup" \
    --tools "$BUILD/native" "$@" >"$wine/make-disc.out" 2>"$wine/make-disc.log" ||
    { cat "$wine/make-disc.log" >&2; exit 1; }
  sed -n '2,4p' "$wine/make-disc.out"
  cat "$WINEPREFIX/drive_c/$name"/* >/dev/null
  discs+=("$name")
}
[ -z "$bits32" ] || make_disc disc "$BUILD/win32/setup.exe"
[ -z "$win64" ] || make_disc disc64 "$win64"
# The main line's disc again without the hash list (as older discs are),
# which the program installs unchecked: the difference is the check's cost.
# HASHLESS=0 leaves it out.
hashless=
if [ "${HASHLESS:-1}" != 0 ]; then
  hashless=discnohash
  h_src=${discs[0]}
  echo "== $hashless: $h_src without the hash list"
  rm -rf "${WINEPREFIX:?}/drive_c/$hashless"
  cp -r "$WINEPREFIX/drive_c/$h_src" "$WINEPREFIX/drive_c/$hashless"
  rm "$WINEPREFIX/drive_c/$hashless/disk01.cbf"
  "$BUILD/native/tools/cbf/cbf" create "$WINEPREFIX/drive_c/$hashless/disk01.cbf" "$game" \
    --prefix DISK01 --no-hash-list >/dev/null
  cat "$WINEPREFIX/drive_c/$hashless"/* >/dev/null
  discs+=("$hashless")
fi
if [ -n "$zstd" ]; then
  if [ -n "$bits32" ]; then make_disc disczstd "$BUILD/win32/setup.exe" --method zstd
  else make_disc disczstd "$win64" --method zstd; fi
fi
nsis=()
[ -z "$bits32" ] || nsis+=(x86-zlib)
[ -z "$win64" ] || nsis+=(amd64-zlib)
for n in "${nsis[@]}"; do cp "$WORK/nsis-$n.exe" "$WINEPREFIX/drive_c/"; done
cat "$WINEPREFIX"/drive_c/nsis-*.exe >/dev/null

title="Ashgrove Multiplayer demo - Installer"
nsis_out="$WINEPREFIX/drive_c/nsis-out"
tmp=$(mktemp -d)
"$BUILD/native/tools/cbf/cbf" extract "$WINEPREFIX/drive_c/${discs[0]}/setup.cbf" "$tmp" tahoma15.fnt >/dev/null
h=$("$BUILD/native/tools/fntmake/fntmake" --info "$tmp/tahoma15.fnt" | head -n 1 | cut -d' ' -f2)
rm -rf "$tmp"
menu_install_y=$((4 * h + 7 * (h / 6) + h / 2))
wine_user_folders

# Where a disc's program installs and keeps its keys: the program names
# C:\Program Files itself, so both builds install there; a 32-bit program
# sees the 32-bit view of the registry. Sets TARGET, REG.
for_disc() { # name
  TARGET="$WINEPREFIX/drive_c/Program Files/Ashgrove MP demo" REG=/reg:64
  if file -b "$WINEPREFIX/drive_c/$1/setup.exe" | grep -q '^PE32 '; then REG=/reg:32; fi
}
app_key='HKLM\SOFTWARE\Halvorin\Ashgrove Demo'
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ashgrove Multiplayer demo'

# The machine as before any install of ours: no folder, keys or shortcuts.
reset_ours() { # disc
  for_disc "$1"
  rm -rf "$TARGET" "$DESKTOP"/*.lnk "$PROGRAMS/Ashgrove MP demo"
  for k in "$uninst" "$app_key"; do "$WINE64" reg delete "$k" /f "$REG" >/dev/null 2>&1 || true; done
}

# Starts a disc's setup.exe with the pointer out of the way; sets wine_pid.
start_ours() { # disc
  xdotool mousemove 0 0
  "$(loader "$WINEPREFIX/drive_c/$1/setup.exe")" "C:\\$1\\setup.exe" &
  wine_pid=$!
}

# After start_ours: finds the window; sets PID, RX, RY (the client area's
# origin on the screen).
find_ours() { # disc
  wine_find_window "$title" 640 284 || { echo "no window" >&2; exit 1; }
  PID=$(pgrep -f "C:\\\\$1\\\\setup.exe" | grep -v "^$wine_pid\$" | head -n 1 || true)
  [ -n "$PID" ] || PID=$wine_pid
  RX=$((X + CLIENT_X)) RY=$((Y + CLIENT_Y))
}

# Starts setup.exe and clicks through to the ready page.
to_ready_page() { # disc
  start_ours "$1"
  find_ours "$1"
  wine_click 45 $menu_install_y
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
check_ours() { for_disc "$1"; check_install "$TARGET" Uninstall.exe setup.cbf gamespy.ico ashgrove.exe; }

# Warm-up of each disc, which also records how the menu looks at first and
# how the finish page's picture frame looks: the install is complete once
# the uninstall entry is there.
echo "== warm-up (one untimed install each)"
for d in "${discs[@]}"; do
  reset_ours "$d"
  start_ours "$d"
  find_ours "$d"
  sleep 1
  menu=$($watch hash "$RX" "$RY" 640 284)
  wine_click 45 $menu_install_y
  for _ in 1 2 3 4 5; do sleep 0.4; wine_click 585 258; done
  sleep 0.6
  ready=$($watch hash $((RX + 250)) $((RY + 12)) 292 86)
  wine_click 585 258
  for _ in $(seq 1 600); do
    [ -f "$TARGET/Uninstall.exe" ] && "$WINE64" reg query "$uninst" "$REG" >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 2
  finish=$($watch hash $((RX + 250)) $((RY + 12)) 292 86)
  close_ours
  [ "$finish" != "$ready" ] || { echo "the finish page looks like the ready page" >&2; exit 1; }
  check_ours "$d"
done
for n in "${nsis[@]}"; do
  rm -rf "$nsis_out"
  "$(loader "$WINEPREFIX/drive_c/nsis-$n.exe")" "C:\\nsis-$n.exe" /S '/D=C:\nsis-out'
  check_install "$nsis_out"
done

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
declare -A best
keep() { best[$1]=$(awk -v a="${best[$1]:-99}" -v b="$2" 'BEGIN { print (b < a ? b : a) }'); }

# One timed install of a disc, from the click on Install; sets T (seconds)
# and HWM (KiB).
time_ours() { # disc
  reset_ours "$1"
  to_ready_page "$1"
  find_server
  local c0 m0 s0 c1 m1 s1 r polls poll_ms ok
  c0=$(cpu "/proc/$PID/stat") m0=$(cpu "/proc/$PID/task/$PID/stat") s0=$(cpu "/proc/$server/stat")
  r=$($watch click-until $((RX + 250)) $((RY + 12)) 292 86 "$finish" $((RX + 585)) $((RY + 258)) 120)
  c1=$(cpu "/proc/$PID/stat") m1=$(cpu "/proc/$PID/task/$PID/stat") s1=$(cpu "/proc/$server/stat")
  HWM=$(awk '/^VmHWM:/ { print $2 }' "/proc/$PID/status")
  close_ours
  read -r T polls poll_ms <<<"$r"
  check_ours "$1" && ok=same || ok=DIFFERENT
  echo "  $1: $T s from the Install click (files $ok; $polls polls, one per $poll_ms ms;" \
    "VmHWM $((HWM / 1024)) MiB); processor $(sub "$c0" "$c1") s (GUI thread $(sub "$m0" "$m1") s)" \
    "+ wineserver $(sub "$s0" "$s1") s"
}

# The same from the program's start, driven through the pages; sets T.
time_ours_from_start() { # disc
  reset_ours "$1"
  local t0 t1 ok page="$RX,$RY,640,284" frame="$((RX + 250)),$((RY + 12)),292,86"
  local next="$page,$((RX + 585)),$((RY + 258)),+"
  t0=$(date +%s.%N)
  start_ours "$1"
  t1=$($watch drive 120 "$page,-,-,$menu" "$page,$((RX + 45)),$((RY + menu_install_y)),+" \
    "$next" "$next" "$next" "$next" "$next" "$frame,$((RX + 585)),$((RY + 258)),$finish") || t1=
  WID=$(wine_window_id "$title" || true)
  close_ours
  check_ours "$1" && ok=same || ok=DIFFERENT
  if [ -z "$t1" ]; then
    T=99
    echo "  $1: the drive from the start did not reach the finish page"
  else
    T=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
    echo "  $1: $T s from its start, through the pages, to the finish page (files $ok)"
  fi
}

# One timed NSIS install, from its start to its exit; sets T.
time_nsis() { # x86-zlib | amd64-zlib
  rm -rf "$nsis_out"
  sync
  find_server
  local n0 n1 t0 t1 ok nsis_cpu
  n0=$(cpu "/proc/$server/stat")
  t0=$(date +%s.%N)
  /usr/bin/time -o "$wine/nsis.time" -f '%U %S' "$(loader "$WINEPREFIX/drive_c/nsis-$1.exe")" \
    "C:\\nsis-$1.exe" /S '/D=C:\nsis-out'
  t1=$(date +%s.%N)
  nsis_cpu=$(awk '{ printf "%.2f", $1 + $2 }' "$wine/nsis.time")
  n1=$(cpu "/proc/$server/stat")
  T=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
  check_install "$nsis_out" && ok=same || ok=DIFFERENT
  echo "  NSIS $1: $T s (files $ok); processor $nsis_cpu s (with Wine's start)" \
    "+ wineserver $(sub "$n0" "$n1") s"
}

echo "== three runs each, in turns (load: $(uptime | sed 's/.*load/load/'))"
peak=0
for run in 1 2 3; do
  echo "run $run"
  if [ -n "$bits32" ]; then
    time_ours disc
    keep ours32 "$T"
    [ "$HWM" -gt "$peak" ] && peak=$HWM
    time_ours_from_start disc
    keep start32 "$T"
    time_nsis x86-zlib
    keep nsis32 "$T"
  fi
  if [ -n "$win64" ]; then
    time_ours disc64
    keep ours64 "$T"
    [ -n "$bits32" ] || [ "$HWM" -le "$peak" ] || peak=$HWM
    [ -n "$bits32" ] || { time_ours_from_start disc64; keep start64 "$T"; }
    time_nsis amd64-zlib
    keep nsis64 "$T"
  fi
  if [ -n "$zstd" ]; then
    time_ours disczstd
    keep zstd "$T"
    [ "$HWM" -gt "$peak" ] && peak=$HWM
  fi
  if [ -n "$hashless" ]; then
    time_ours "$hashless"
    keep nohash "$T"
  fi
done
echo "load after the runs: $(uptime | sed 's/.*load/load/')"
disc_size() { cat "$WINEPREFIX/drive_c/$1"/setup.exe "$WINEPREFIX/drive_c/$1"/*.cbf | wc -c; }
nsis_size() { stat -c %s "$WORK/nsis-$1.exe"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "payload $(du -sb "$payload" | cut -f1) bytes"
for d in "${discs[@]}"; do
  echo "sizes: $d: disk01.cbf $(stat -c %s "$WINEPREFIX/drive_c/$d/disk01.cbf"), setup.cbf" \
    "$(stat -c %s "$WINEPREFIX/drive_c/$d/setup.cbf"), setup.exe" \
    "$(stat -c %s "$WINEPREFIX/drive_c/$d/setup.exe"): $(disc_size "$d") bytes"
done
for n in x86-zlib amd64-zlib x86-lzma; do echo "sizes: NSIS $n .exe $(nsis_size "$n") bytes"; done
if [ -n "$bits32" ]; then
  echo "best of three: setup.exe (win32) ${best[ours32]} s from the Install click, NSIS x86 zlib" \
    "${best[nsis32]} s; ratio ours / NSIS $(ratio "${best[ours32]}" "${best[nsis32]}") (goal <= 0.5)"
  echo "best of three, each from its start: setup.exe (win32) ${best[start32]} s to the finish" \
    "page, driven through the pages; NSIS x86 zlib ${best[nsis32]} s to its exit;" \
    "ratio $(ratio "${best[start32]}" "${best[nsis32]}")"
fi
if [ -n "$win64" ]; then
  echo "best of three, amd64: setup.exe (win64) ${best[ours64]} s from the Install click," \
    "NSIS amd64 zlib ${best[nsis64]} s; ratio $(ratio "${best[ours64]}" "${best[nsis64]}")" \
    "$([ -n "$bits32" ] || echo "(goal <= 0.5)")"
  [ -n "$bits32" ] || echo "best of three, amd64, each from its start: setup.exe (win64)" \
    "${best[start64]} s to the finish page, driven through the pages; NSIS amd64 zlib" \
    "${best[nsis64]} s to its exit; ratio $(ratio "${best[start64]}" "${best[nsis64]}")"
fi
if [ -n "$zstd" ]; then
  z=$(disc_size disczstd) ref=nsis32 refname="x86 zlib"
  [ -n "$bits32" ] || ref=nsis64 refname="amd64 zlib"
  echo "zstd disc: ${best[zstd]} s from the Install click, ratio to NSIS $refname" \
    "$(ratio "${best[zstd]}" "${best[$ref]}"); size $z bytes, $(ratio "$z" "$(nsis_size x86-zlib)")x" \
    "NSIS zlib's, $(ratio "$z" "$(nsis_size x86-lzma)")x NSIS solid LZMA's"
fi
if [ -n "$hashless" ]; then
  h_ref=ours32
  [ -n "$bits32" ] || h_ref=ours64
  echo "hash check: ${best[$h_ref]} s from the Install click with the hash list, ${best[nohash]} s" \
    "without; the check costs $(awk -v a="${best[$h_ref]}" -v b="${best[nohash]}" \
      'BEGIN { printf "%+.1f", (a - b) / b * 100 }') % (goal <= 10)"
fi
echo "setup.exe peak working set (VmHWM, $([ -n "$bits32" ] && echo win32 || echo win64)):" \
  "$((peak / 1024)) MiB (goal < 48)"
