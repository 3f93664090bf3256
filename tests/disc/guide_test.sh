#!/usr/bin/env bash
# The README's "Making a disc for your game": every ```sh block of that
# section is run as written, from the top of the tree, with its example
# names standing for folders made here (my-game, my-skin, disc, ...), and
# what each block promises is checked. Prints "ok NAME" or "not ok NAME"
# per block (scripts/test counts them). Needs the native and win32 builds
# under BUILD_ROOT (default build/).
set -uo pipefail
HERE="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${BUILD_ROOT:-$HERE/build}"
T=$(mktemp -d /tmp/disc-guide-test.XXXXXX)
trap 'rm -rf "$T"' EXIT
cd "$HERE"

# The section's blocks, continuation lines joined, one file each.
awk -v dir="$T" '
  /^## / { inside = ($0 == "## Making a disc for your game") }
  inside && /^```sh$/ { n++; block = 1; next }
  block && /^```$/ { block = 0; next }
  block { print > (dir "/block" n ".sh") }
' README.md
blocks=$(ls "$T"/block*.sh 2>/dev/null | wc -l)
[ "$blocks" = 5 ] || { echo "not ok guide_has_five_blocks ($blocks found)"; exit 1; }

# The example names stand for the test's folders; build/ for BUILD.
substitute() {
  sed -E -e "s#my-game#$T/my-game#g; s#my-skin#$T/my-skin#g; s#wine-disc#$T/wine-disc#g" \
    -e "s#lantern-(game|disc)#$T/lantern-\1#g; s#lantern\.conf#$T/lantern.conf#g" \
    -e "s# disc # $T/disc #g; s#ashgrove\.iso#$T/ashgrove.iso#g" \
    -e "s#signed-setup\.exe#$T/signed-setup.exe#g; s#/path/#$T/#g" \
    -e "s#(^| )build/#\1$BUILD/#g; s#cmake --preset ([a-z0-9-]+)#cmake --preset \1 -B $BUILD/\1#g" "$1"
}
run_block() { # N
  substitute "$T/block$1.sh" >"$T/run$1.sh"
  env -u DISPLAY bash -euo pipefail "$T/run$1.sh" >"$T/out$1.log" 2>&1 ||
    { cat "$T/run$1.sh" "$T/out$1.log"; return 1; }
}
result() { if [ "$2" = 0 ]; then echo "ok $1"; else echo "not ok $1"; fi; }

mkdir -p "$T/my-game/Data"
printf 'stand-in game\r\n' >"$T/my-game/ashgrove.exe"
head -c 5000 /dev/urandom >"$T/my-game/Data/Level1.dat"
mkdir -p "$T/lantern-game"
printf 'stand-in game\r\n' >"$T/lantern-game/lantern.exe"
"$HERE/sample/make_disc.sh" --tools "$BUILD/native" --assets "$T/sample" >/dev/null &&
  mv "$T/sample/skin" "$T/my-skin" || { echo "not ok guide_sample_skin"; exit 1; }
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Throwaway test signer" \
  -keyout "$T/key.pem" -out "$T/cert.pem" >/dev/null 2>&1

run_block 1 &&
  [ "$(ls "$T/disc" | tr '\n' ' ')" = "AUTORUN.INF disk01.cbf setup.cbf setup.exe " ] &&
  grep -q "^'/disk01.cbf'" "$T/out1.log" && cmp -s "$T/disc/setup.exe" "$BUILD/win32/setup.exe"
result guide_make_disc_and_list_image $?

# Another game's disc: its own label and names, none of the sample's.
run_block 2 && grep -q '^label=MARSH_LANTERN' "$T/lantern-disc/AUTORUN.INF" &&
  grep -aq 'Marsh Lantern - Installer' "$T/lantern-disc/setup.exe" &&
  ! grep -aq 'Ashgrove' "$T/lantern-disc/setup.exe"
result guide_another_game $?

run_block 3 && grep -aq 'www.ashgrove-demo.example' "$T/disc/setup.exe"
result guide_host_names $?

run_block 4 && osslsigncode verify -CAfile "$T/cert.pem" -in "$T/disc/setup.exe" >/dev/null 2>&1
result guide_signed_setup $?

rm -rf "$BUILD/demo/shots"
run_block 5 && cmp -s "$T/wine-disc/setup.exe" "$BUILD/win32/setup.exe" &&
  [ -s "$BUILD/demo/shots/01-menu.png" ]
result guide_try_under_wine $?
