#!/usr/bin/env bash
# One installer at a time under Wine: a second setup.exe, and an
# Uninstall.exe, started while one runs end at once with exit code 0, leave
# one window with the installer's caption and do not touch the temporary
# copy of setup.cbf; after the first ends (Alt+F4), and after one is killed,
# a new start shows its window. Runs inside the prefix and display that
# scripts/test set up.
set -u
. "$(dirname "$0")/../../scripts/lib/wine.sh"
dir="$WINEPREFIX/drive_c/disc"
caption="Ashgrove Multiplayer demo - Installer"
mkdir -p "$dir"
cp "$BUILD_WIN/setup.exe" "$dir/setup.exe"
cp "$BUILD_WIN/setup.exe" "$dir/Uninstall.exe"
"$(dirname "$0")/../../sample/make_disc.sh" --tools "$BUILD_NATIVE" \
  --programs "$BUILD_WIN/sample/programs" "$dir"

fail() { echo "FAILED: $*"; exit 1; }
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done' EXIT

windows() { xdotool search --name "^$caption\$" 2>/dev/null | wc -l; }

# Starts PROGRAM and gives it 5 s to end: sets RC, or fails.
second() { # program
  local t0=$SECONDS
  wine_exec "$1" &
  local p=$!
  for _ in $(seq 1 50); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$p" 2>/dev/null && { kill "$p"; fail "$1 still runs beside the first"; }
  wait "$p"
  RC=$?
  echo "$1 ended with $RC after $((SECONDS - t0)) s"
}

wine_exec 'C:\disc\setup.exe' &
first=$!
pids+=("$first")
wine_find_window "$caption" 640 284 || fail "no installer window"
temp=$(find "$WINEPREFIX/drive_c/users" -iname setup.cbf -path '*Temp*' | head -n 1)
[ -n "$temp" ] || fail "no temporary copy of setup.cbf"
stamp=$(stat -c %Y.%s "$temp")
sleep 1.1  # a copy made now would show in the time stamp

for program in 'C:\disc\setup.exe' 'C:\disc\Uninstall.exe'; do
  second "$program"
  [ "$RC" = 0 ] || fail "$program: exit code $RC"
  [ "$(windows)" = 1 ] || fail "$(windows) installer windows after starting $program again"
done
[ "$(stat -c %Y.%s "$temp")" = "$stamp" ] || fail "the second start wrote the temporary folder"
kill -0 "$first" 2>/dev/null || fail "the first one ended"

xdotool windowfocus --sync "$WID" key alt+F4
wait "$first"
echo "first ended with $?"

# The next start works, also after one was killed.
wine_exec 'C:\disc\setup.exe' &
pids+=($!)
wine_find_window "$caption" 640 284 || fail "no window after the first ended"
pid=$(pgrep -f 'C:\\disc\\setup.exe' | head -n 1)
[ -n "$pid" ] || fail "no process"
kill -9 "$pid"
for _ in $(seq 1 50); do [ "$(windows)" = 0 ] && break; sleep 0.1; done
wine_exec 'C:\disc\setup.exe' &
last=$!
pids+=("$last")
wine_find_window "$caption" 640 284 || fail "no window after one was killed"
xdotool windowfocus --sync "$WID" key alt+F4
wait "$last"
rc=$?
[ "$rc" = 0 ] || fail "exit code $rc"
echo "a start after an orderly end and after a kill shows the window"
