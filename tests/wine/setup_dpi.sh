#!/usr/bin/env bash
# setup.exe on a 192 DPI screen: with HKCU\Control Panel\Desktop LogPixels
# at 192 its client area is 1280 x 568 and shows exactly the 96 DPI frames
# with every pixel doubled (menu, and the pages that clicks on Install and
# Next lead to, clicked at doubled positions). The 96 DPI frames are taken
# first, in the same prefix; LogPixels is put back afterwards. Keeps the
# screenshots (setup_dpi_*.png). Runs inside the prefix and display that
# scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
wine_script setup_dpi
key='HKCU\Control Panel\Desktop'
wine_sample_disc disc

# The prefix is shared with the scripts that follow: LogPixels goes back to
# what it was (or away) however this one ends.
old_dpi=$(wine_reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' |
  sed -n 's/.*REG_DWORD[[:space:]]*//p')
wine_pid=
restore() {
  [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null
  if [ -n "$old_dpi" ]; then
    wine_reg add "$key" /v LogPixels /t REG_DWORD /d "$((old_dpi))" /f >/dev/null 2>&1
  else
    wine_reg delete "$key" /v LogPixels /f >/dev/null 2>&1
  fi
}
trap restore EXIT

wine_menu_font "$WINEPREFIX/drive_c/disc/setup.cbf"

# One run at scale S: the menu, Install, Next, each shot as the client area
# (640 S x 284 S); the pointer starts outside the window.
run() { # scale
  local s=$1 w=$((640 * $1)) hh=$((284 * $1))
  xdotool mousemove 0 0
  wine_exec 'C:\disc\setup.exe' &
  wine_pid=$!
  wine_find_window "$WINE_CAPTION" "$w" "$hh" || fail "no window with a client area of $w x $hh at scale $s"
  echo "scale $s: window $WIDTH x $HEIGHT at $X,$Y; client offset $CLIENT_X,$CLIENT_Y"
  local crop="${w}x${hh}+$((X + CLIENT_X))+$((Y + CLIENT_Y))"
  import -window root -crop "$crop" "$out/setup_dpi_${s}x_menu.png"
  wine_click $((45 * s)) $(($(menu_y 1) * s))  # Install
  sleep 1
  import -window root -crop "$crop" "$out/setup_dpi_${s}x_intro.png"
  wine_click $((585 * s)) $((258 * s))  # Next
  sleep 1
  import -window root -crop "$crop" "$out/setup_dpi_${s}x_licence.png"
  xdotool windowfocus --sync "$WID" key alt+F4
  wait "$wine_pid"
  local rc=$?
  wine_pid=
  [ "$rc" = 0 ] || fail "exit code $rc at scale $s"
}

wine_reg delete "$key" /v LogPixels /f >/dev/null 2>&1
run 1
wine_reg add "$key" /v LogPixels /t REG_DWORD /d 192 /f >/dev/null || fail "reg add LogPixels"
run 2

for page in menu intro licence; do
  convert "$out/setup_dpi_1x_$page.png" -scale 200% "$out/setup_dpi_1x_${page}_doubled.png"
  size=$(identify -format '%wx%h' "$out/setup_dpi_2x_$page.png")
  [ "$size" = 1280x568 ] || fail "$page: screenshot $size"
  diff=$(compare -metric AE "$out/setup_dpi_1x_${page}_doubled.png" "$out/setup_dpi_2x_$page.png" \
    null: 2>&1)
  echo "$page: $diff pixels differ from the 1x frame doubled"
  [ "$diff" = 0 ] || fail "$page at 192 DPI is not the 96 DPI frame doubled"
done
# The pages differ from one another: the clicks went somewhere.
compare -metric AE "$out/setup_dpi_2x_menu.png" "$out/setup_dpi_2x_intro.png" null: 2>/dev/null &&
  fail "Install changed nothing"
compare -metric AE "$out/setup_dpi_2x_intro.png" "$out/setup_dpi_2x_licence.png" null: 2>/dev/null &&
  fail "Next changed nothing"
echo "192 DPI: every page is the 96 DPI page doubled"
