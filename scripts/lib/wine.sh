# Helpers for running the Windows build under Wine, headless. Sourced by
# scripts/test, scripts/demo and the end-to-end tests.
#
# wine_setup DIR   makes a throw-away prefix and HOME under DIR, starts a
#                  virtual X display and a persistent wineserver.
# wine_run ARGS    runs /usr/lib/wine/wine64 with that environment.
# wine_teardown    stops the wineserver and the X display.

WINE64=/usr/lib/wine/wine64

wine_setup() {
  local dir=$1
  mkdir -p "$dir/home" "$dir/prefix"
  export WINEPREFIX="$dir/prefix" HOME="$dir/home" WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
  export WINEARCH=win64
  if [ -z "${DISPLAY_KEEP:-}" ]; then
    local n
    for n in $(seq 90 140); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  "$WINE64" wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  # No window manager here: let Wine draw the frames itself.
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 || true
}

wine_run() {
  "$WINE64" "$@"
}

wine_teardown() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WINE_XVFB_PID:-}" ]; then
    kill "$WINE_XVFB_PID" >/dev/null 2>&1 || true
    wait "$WINE_XVFB_PID" 2>/dev/null || true
    WINE_XVFB_PID=
  fi
}

# Waits for the top-level window titled exactly TITLE, focuses it, and sets
# WID plus the client area's offset inside the X window (CLIENT_X, CLIENT_Y)
# and the window's geometry (X, Y, WIDTH, HEIGHT). Wine draws the frame
# itself here, so the client area sits inside the X window. Returns 1 when
# no such window appears or it is smaller than W x H.
wine_find_window() { # TITLE W H
  local title=$1 w=$2 h=$3
  WID=
  for _ in $(seq 1 100); do
    WID=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1)
    [ -n "$WID" ] && break
    sleep 0.1
  done
  [ -n "$WID" ] || return 1
  # The window may not be viewable at once: focusing fails until it is.
  for _ in $(seq 1 20); do xdotool windowfocus --sync "$WID" 2>/dev/null && break; sleep 0.2; done
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  CLIENT_X=$(( (WIDTH - w) / 2 ))
  CLIENT_Y=$(( HEIGHT - h - CLIENT_X ))
  [ "$CLIENT_X" -ge 0 ] && [ "$CLIENT_Y" -ge 0 ]
}

# Clicks at client coordinates of the window wine_find_window found.
wine_click() { # x y
  xdotool mousemove --window "$WID" $(( CLIENT_X + $1 )) $(( CLIENT_Y + $2 )) click 1
}

# Checks from outside what the installer leaves in the prefix. The calling
# script defines fail MESSAGE (report and exit).

# The data of a REG_SZ value, or nothing.
wine_reg_value() { # key value
  "$WINE64" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v v="$2" '$1 == v { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }'
}

# Sets DESKTOP (the user's, which the prefix links to $HOME; not the public
# one) and PROGRAMS (the user's Start-menu programs folder).
wine_user_folders() {
  DESKTOP=$(ls -d "$WINEPREFIX"/drive_c/users/*/Desktop | grep -v /Public/ | head -n 1)
  PROGRAMS=$(find "$WINEPREFIX/drive_c/users" -type d -path '*Start Menu/Programs' | head -n 1)
}

# A shortcut as lnkinfo reads it: target, working folder, icon and, when
# given, description. lnkinfo's output is kept as ARTIFACTS/PREFIX-NAME.txt.
wine_check_link() { # prefix file target workdir icon [description]
  [ -f "$2" ] || fail "no shortcut $2"
  local info name
  name=$(basename "$2" .lnk)
  info=$(lnkinfo "$2" 2>&1)
  echo "$info" >"${ARTIFACTS:-/tmp}/$1-$name.txt"
  echo "$info" | grep -qF "$3" || fail "$name: target $3 not in: $info"
  echo "$info" | grep -i 'working directory' | grep -qF "$4" || fail "$name: working folder"
  echo "$info" | grep -i 'icon location' | grep -qF "$5" || fail "$name: icon $5"
  if [ -n "${6:-}" ]; then
    echo "$info" | grep -i 'description' | grep -qF "$6" || fail "$name: description"
  fi
}

# Runs the uninstaller as a user would: Uninstall.exe started from the
# install folder, Uninstall in the menu (at menu line height H), the box
# ticked, Next, Quit; then checks that only the uninstaller (and the archive
# copy) wait in the folder for the restart, with their delayed deletes
# recorded, and that the uninstall and application keys and the shortcuts
# are gone. TITLE is the window's; TARGET the folder as Linux sees it,
# DIR as Windows does. Clears the delayed deletes first; call with no
# wineserver restart pending.
wine_uninstall_check() { # h dir target shortcut...
  local h=$1 dir=$2 target=$3 pid rc left l pending
  shift 3
  local session='HKLM\System\CurrentControlSet\Control\Session Manager'
  "$WINE64" reg delete "$session" /v PendingFileRenameOperations /f >/dev/null 2>&1
  (cd "$target" && exec "$WINE64" "$dir\\Uninstall.exe") &
  pid=$!
  wine_find_window "Ashgrove Multiplayer demo - Installer" 640 284 || fail "no uninstaller window"
  wine_click 45 $(( 4 * h + 7 * (h / 6) + h / 2 ))  # Uninstall, in Install's place
  sleep 0.4
  wine_click 283 195  # the box "Yes, remove..."
  sleep 0.2
  wine_click 585 258  # Next
  for _ in $(seq 1 50); do [ -e "$target/ashgrove.exe" ] || break; sleep 0.2; done
  wine_click 45 $(( 284 - 2 * h + h / 2 ))  # Quit
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "uninstaller still running after Quit"
  wait "$pid"; rc=$?
  [ "$rc" = 0 ] || fail "uninstaller exit code $rc"
  left=$(cd "$target" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | sort | tr '\n' ' ')
  case "$left" in
    "Uninstall.exe " | "Uninstall.exe setup.cbf ") ;;
    *) fail "left in the folder after the uninstall: $left" ;;
  esac
  for l in "$@"; do [ -e "$l" ] && fail "shortcut left: $l"; done
  "$WINE64" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ashgrove Multiplayer demo' \
    >/dev/null 2>&1 && fail "uninstall entry left"
  "$WINE64" reg query 'HKLM\SOFTWARE\Halvorin\Ashgrove Demo' >/dev/null 2>&1 && fail "application key left"
  pending=$("$WINE64" reg query "$session" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
  echo "$pending" | grep -qiF 'Uninstall.exe' || fail "no delayed delete of Uninstall.exe: $pending"
  echo "uninstall: left until the restart: $left"
}
