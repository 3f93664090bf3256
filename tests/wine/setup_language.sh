#!/usr/bin/env bash
# setup.exe under Wine with LANG=de_DE.UTF-8 shows its pages in German: Wine
# takes the user's interface language (GetUserDefaultUILanguage) from the
# locale. The menu, licence and folder pages are kept as screenshots; the
# menu is compared with the native German render in docs/pages/de (same
# fonts, pictures and drawing code), and the English run's menu differs.
# Runs inside the prefix and display that scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
here="$(cd "$(dirname "$0")/../.." && pwd)"
out="${ARTIFACTS:-/tmp}"
dir="$WINEPREFIX/drive_c/disc_lang"
mkdir -p "$dir"
cp "$BUILD_WIN/setup.exe" "$dir/setup.exe"
"$here/sample/make_disc.sh" --tools "$BUILD_NATIVE" --programs "$BUILD_WIN/sample/programs" "$dir" >/dev/null

fail() { echo "FAILED: $*"; exit 1; }

# The host may lack the German locale: make it in a private folder.
locales=$(mktemp -d)
trap 'rm -rf "$locales"' EXIT
localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8" || fail "cannot make the de_DE.UTF-8 locale"

title="Ashgrove Multiplayer demo - Installer"
"$BUILD_NATIVE/tools/cbf/cbf" extract "$dir/setup.cbf" "$locales/fonts" tahoma15.fnt >/dev/null
h=$("$BUILD_NATIVE/tools/fntmake/fntmake" --info "$locales/fonts/tahoma15.fnt" | head -n 1 | cut -d' ' -f2)
[ -n "$h" ] || fail "no menu font height"
shot() { import -window root -crop 640x284+$(( X + CLIENT_X ))+$(( Y + CLIENT_Y )) "$out/$1.png"; }

# run LANG NAME...: starts the program in that locale and takes the menu,
# licence and folder pages as NAME-menu.png, ... ; quits.
run() {
  local lang=$1 name=$2
  LOCPATH=$locales LANG=$lang LC_ALL=$lang wine_exec 'C:\disc_lang\setup.exe' &
  local pid=$!
  wine_find_window "$title" 640 284 || fail "$lang: no installer window"
  wine_settle || fail "$lang: a Disk error box stayed open"
  xdotool mousemove 0 0
  sleep 0.5
  shot "$name-menu"
  wine_click_settled 45 $(( 4 * h + 7 * (h / 6) + h / 2 ))  # Install
  sleep 0.5
  wine_click_settled 585 258  # Next: the licence
  xdotool mousemove 0 0
  sleep 0.5
  shot "$name-licence"
  wine_click_settled 585 258  # I agree: the folder
  xdotool mousemove 0 0
  sleep 0.5
  shot "$name-folder"
  wine_close "$pid"
}

run de_DE.UTF-8 setup_language_de
run C.UTF-8 setup_language_en

differ() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
d=$(differ "$out/setup_language_de-menu.png" "$here/docs/pages/de/page00-menu.png")
echo "German menu against the native German render: $d pixels differ"
[ "$d" = 0 ] || fail "the German menu differs from docs/pages/de/page00-menu.png"
for page in menu licence folder; do
  d=$(differ "$out/setup_language_de-$page.png" "$out/setup_language_en-$page.png")
  echo "$page: German against English: $d pixels differ"
  [ "$d" != 0 ] || fail "the $page page is the same in German and English"
done
