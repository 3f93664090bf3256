#!/usr/bin/env bash
# scripts/make-disc end to end: a small game folder made into a disc and an
# ISO image, installed from the disc folder by the native program driven
# headless, and the installed files compared with the game folder; bad
# inputs, which must leave no output. Prints "ok NAME" or "not ok NAME" per
# case (scripts/test counts them). BUILD_NATIVE names a native build with cbf, fntmake and setup.
set -uo pipefail
HERE="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD_NATIVE=${BUILD_NATIVE:-$HERE/build/native}
T=$(mktemp -d /tmp/make-disc-test.XXXXXX)
trap 'rm -rf "$T"' EXIT
# A stand-in for the shipped program: the native driver never runs it.
printf 'the installer' >"$T/setup.exe"

make_disc() { "$HERE/scripts/make-disc" "$@" --setup "$T/setup.exe" --tools "$BUILD_NATIVE"; }
result() { # NAME STATUS
  if [ "$2" = 0 ]; then echo "ok $1"; else echo "not ok $1"; fi
}
fail() { echo "  $*"; return 1; }
# DISC_DIR ROOT: the disc as drive D: of an emulated machine at ROOT; sets H,
# the large font's line height, by which the menu is laid out.
as_drive_d() {
  mkdir -p "$2"
  ln -s "$1" "$2/drive_d"
  echo "D 5 0" >"$2/drives"
  H=$("$BUILD_NATIVE/tools/cbf/cbf" extract "$1/setup.cbf" "$2.fonts" tahoma15.fnt >/dev/null &&
    "$BUILD_NATIVE/tools/fntmake/fntmake" --info "$2.fonts/tahoma15.fnt" | head -n 1 | cut -d' ' -f2)
}

# A small game: nested folders, mixed case, an empty file, a file of exactly
# one packing block (1 MiB), text that packs and random bytes that do not.
game=$T/game
mkdir -p "$game/Data/Maps/Deep" "$game/CONFIG"
printf 'stand-in game\r\n' >"$game/Ashgrove.EXE"
: >"$game/CONFIG/empty.cfg"
head -c 1048576 /dev/urandom >"$game/Data/one_block.bin"
for i in $(seq 1 2000); do echo "line $i of the readme"; done >"$game/README.TXT"
head -c 70000 /dev/urandom >"$game/Data/Maps/Deep/Map01.Dat"

install_case() { # packing method
  local out=$T/disc-$1 iso=$T/demo-$1.iso log=$T/install-$1.log
  make_disc "$game" "$out" --iso "$iso" --label TEST_DISC --language de --method "$1" >"$log" 2>&1 || { cat "$log"; fail "make-disc failed"; return 1; }
  grep -q 'packed to' "$log" || fail "no summary" || return 1
  local listed
  listed=$(xorriso -indev "$iso" -find / -type f 2>/dev/null | tr -d "'" | sort | tr '\n' ' ')
  [ "$listed" = "/AUTORUN.INF /disk01.cbf /setup.cbf /setup.exe " ] || fail "image holds: $listed" || return 1
  xorriso -indev "$iso" -pvd_info 2>/dev/null | grep -q 'Volume Id    : TEST_DISC' || fail "no volume label" || return 1
  grep -q '^label=TEST_DISC' "$out/AUTORUN.INF" || fail "AUTORUN.INF lacks the label" || return 1

  # The disc folder as drive D: of an emulated machine; the program clicks
  # through the wizard with its defaults and installs.
  local root=$T/root-$1
  as_drive_d "$out" "$root"
  local h=$H
  "$BUILD_NATIVE/tools/cbf/cbf" extract "$out/setup.cbf" "$T/fonts-$1" setup.lng >/dev/null &&
    [ "$(cat "$T/fonts-$1/setup.lng")" = de ] || fail "setup.cbf does not fix the language" || return 1
  {
    echo "click 45 $((4 * h + 7 * (h / 6) + h / 2))"
    echo "page 1 5000"
    for page in 2 3 4 6 7 8; do printf 'click 585 258\npage %s 5000\n' "$page"; done
    printf 'click 585 258\npage 10 30000\n'
  } >"$T/script.txt"
  SETUP_MACHINE_ROOT=$root "$BUILD_NATIVE/setup" '"D:\setup.exe"' --script "$T/script.txt" \
    2>"$T/driver.log" || { cat "$T/driver.log"; fail "the install did not reach page 10"; return 1; }
  local target="$root/drive_c/Program Files/Ashgrove MP demo" count=0 rel
  while IFS= read -r -d '' f; do
    rel=${f#"$game/"}
    cmp -s "$f" "$target/${rel,,}" || fail "installed ${rel,,} differs from the game folder" || return 1
    count=$((count + 1))
  done < <(find "$game" -type f -print0)
  [ "$count" = 5 ] || fail "$count files compared"
}
install_case lzw
result game_folder_to_iso_and_install $?
install_case zstd
result zstd_packed_disc_installs $?

# Bad inputs: each is refused with its message and leaves no output (no
# OUT_DIR, no image, no staging folder; a non-empty OUT_DIR untouched).
bad_inputs_case() {
  local ok=0 dir
  mkdir -p "$T/bad/case/Data" "$T/bad/name" "$T/bad/long" "$T/bad/big" "$T/bad/used" \
    "$T/bad/nodot" "$T/bad/dots"
  echo a >"$T/bad/case/Data/Readme.txt"
  echo b >"$T/bad/case/Data/README.TXT"
  echo c >"$T/bad/name/what?.txt"
  echo e >"$T/bad/nodot/README"
  echo f >"$T/bad/dots/libgame.so.1"
  mkdir -p "$T/bad/noexe/Data" && echo g >"$T/bad/noexe/Data/ashgrove.exe"
  dir=$T/bad/long
  for _ in 1 2 3; do dir=$dir/$(printf 'f%.0s' $(seq 1 90)); done
  mkdir -p "$dir"
  echo d >"$dir/x.txt"
  truncate -s 4294967296 "$T/bad/big/huge.dat"
  echo keep >"$T/bad/used/mine.txt"
  local cases=(
    "$T/bad/missing|$T/bad/out|no such folder"
    "$T/bad/case|$T/bad/out|differs only in case from"
    "$T/bad/name|$T/bad/out|the archive cannot hold this name"
    "$T/bad/long|$T/bad/out|longer than 255 characters"
    "$T/bad/big|$T/bad/out|over the largest file a disc can hold"
    "$T/bad/nodot|$T/bad/out|exactly one dot"
    "$T/bad/dots|$T/bad/out|exactly one dot"
    "$T/bad/noexe|$T/bad/out|no ashgrove.exe at its top"
    "$game|$T/bad/used|the output folder is not empty"
  )
  for c in "${cases[@]}"; do
    IFS='|' read -r in out want <<<"$c"
    local log
    log=$(make_disc "$in" "$out" --iso "$T/bad/out.iso" 2>&1)
    local rc=$?
    if [ "$rc" = 0 ] || ! grep -q "$want" <<<"$log"; then
      echo "  $in: exit $rc, expected \"$want\": $log"
      ok=1
    fi
    if [ -e "$T/bad/out" ] || [ -e "$T/bad/out.iso" ] || ls -A "$T/bad" | grep -q '^\.make-disc'; then
      echo "  $in: left output behind"
      ok=1
    fi
  done
  [ "$(ls -A "$T/bad/used")" = mine.txt ] || { echo "  the non-empty output folder was changed"; ok=1; }
  local log
  if log=$(make_disc "$game" "$T/bad/out" --language xx 2>&1) || ! grep -q 'use en, de' <<<"$log" ||
    [ -e "$T/bad/out" ]; then
    echo "  --language xx: $log"
    ok=1
  fi
  return $ok
}
bad_inputs_case
result bad_inputs_leave_no_output $?

