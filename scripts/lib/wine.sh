# Helpers for running the Windows build under Wine, headless. Sourced by
# scripts/test, scripts/demo and the end-to-end tests.
#
# wine_setup DIR   makes a throw-away prefix and HOME under DIR, starts a
#                  virtual X display and a persistent wineserver.
# wine_run PROGRAM ARGS  runs a Windows program with that environment, with
#                  the loader that fits it (wine_loader); wine_exec replaces
#                  the shell with it, for programs started in the background.
# wine_teardown    stops the wineserver and the X display.
# Wine's own tools (reg, wineboot, uninstaller) run as "$WINE64" TOOL.

WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64

wine_setup() {
  local dir=$1
  # A prefix made before wine32 was installed has no 32-bit system files
  # and runs no 32-bit program: make it anew.
  if [ -d "$dir/prefix/drive_c/windows" ] && wine_runs_32bit &&
    [ ! -e "$dir/prefix/drive_c/windows/syswow64/kernel32.dll" ]; then
    rm -rf "$dir/prefix"
  fi
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

# The loader for PROGRAM (a Linux path, or a Windows path inside the prefix):
# the 32-bit loader for a PE32 program, wine64 for PE32+ and for Wine's own
# tools. The 32-bit loader needs wine32 and a prefix made after it was
# installed (its syswow64 is empty otherwise).
wine_loader() { # program
  local f=$1
  case $f in
    [A-Za-z]:\\*)
      local d
      d=$(printf '%s' "${f%%:*}" | tr 'A-Z' 'a-z')
      f="$WINEPREFIX/dosdevices/$d:$(printf '%s' "${f#?:}" | tr '\\' /)" ;;
  esac
  case $(file -b "$f" 2>/dev/null) in
    'PE32 '*) echo "$WINE32" ;;
    *) echo "$WINE64" ;;
  esac
}

# True when this machine runs Wine's 32-bit loader (a kernel may have its
# 32-bit emulation switched off).
wine_runs_32bit() {
  "$WINE32" --version >/dev/null 2>&1
}

wine_run() { # program args...
  "$(wine_loader "$1")" "$@"
}

wine_exec() { # program args...
  exec "$(wine_loader "$1")" "$@"
}

# Ends every program of ours still running in the prefix (the installer and
# its copies, the stand-ins, the test tools), so that one failed script
# leaves no window or hand-over behind for the next. Wine's own services
# stay.
wine_kill_ours() {
  local pid
  # Windows programs (their command line starts with a drive) in this
  # prefix only: not a tool whose arguments name setup.exe, nor another
  # prefix's programs.
  for pid in $(pgrep -f -i '^"?[a-z]:\\.*(setup|uninstall|ashgrove|frostfall|gamespy|dxsetup|guidemo|limited|inst_tool)\.exe'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      kill -9 "$pid" 2>/dev/null
  done
  sleep 0.2
}

# Makes the sample disc in the prefix's folder DIR (C:\DIR) with the build
# under test (BUILD_WIN) and the native tools (BUILD_NATIVE), as drive D:.
wine_sample_disc() { # dir
  local disc="$WINEPREFIX/drive_c/$1" here
  here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
  mkdir -p "$disc"
  cp "$BUILD_WIN/setup.exe" "$disc/setup.exe"
  "$here/sample/make_disc.sh" --tools "$BUILD_NATIVE" --programs "$BUILD_WIN/sample/programs" \
    "$disc" >/dev/null || { echo "FAILED: make_disc.sh"; exit 1; }
  ln -sfn "$disc" "$WINEPREFIX/dosdevices/d:"
}

wine_teardown() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WINE_XVFB_PID:-}" ]; then
    kill "$WINE_XVFB_PID" >/dev/null 2>&1 || true
    wait "$WINE_XVFB_PID" 2>/dev/null || true
    WINE_XVFB_PID=
  fi
}

# Prints the id of the top-level window titled exactly TITLE (a regular
# expression's text) once there is one; returns 1 after 30 s without (a
# loaded machine may take that long to start a program).
wine_window_id() { # TITLE
  local id
  for _ in $(seq 1 300); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits for the top-level window titled exactly TITLE, focuses it, and sets
# WID plus the client area's offset inside the X window (CLIENT_X, CLIENT_Y)
# and the window's geometry (X, Y, WIDTH, HEIGHT). Wine draws the frame
# itself here, so the client area sits inside the X window. Returns 1 when
# no such window appears or it is smaller than W x H.
wine_find_window() { # TITLE W H
  local title=$1 w=$2 h=$3
  WID=$(wine_window_id "$title") || return 1
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

# After Install or Uninstall on a menu without administrator rights: WID
# becomes the elevated copy's window (another visible window of the same
# title), the menu's is kept in MENU_WID.
wine_to_copy() { # title
  MENU_WID=$WID
  for _ in $(seq 1 200); do
    WID=$(xdotool search --onlyvisible --name "^$1\$" | grep -vx "$MENU_WID" | head -n 1)
    [ -n "$WID" ] && return 0
    sleep 0.1
  done
  return 1
}

# Wine's reg in the registry view the program under test sees (WINE_PROGRAM,
# by default the setup.exe of BUILD_WIN): a 32-bit program's HKLM\Software
# is the 32-bit view (Wow6432Node) on a 64-bit system, as on 64-bit Windows.
wine_reg() { # reg arguments...
  if [ "$(wine_loader "${WINE_PROGRAM:-${BUILD_WIN:-}/setup.exe}")" = "$WINE32" ]; then
    "$WINE64" reg "$@" /reg:32
  else
    "$WINE64" reg "$@"
  fi
}

# The demo's keys and the caption of its installer's window.
WINE_APP_KEY='HKLM\SOFTWARE\Halvorin\Ashgrove Demo'
WINE_UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ashgrove Multiplayer demo'
WINE_CAPTION='Ashgrove Multiplayer demo - Installer'

# Begins an end-to-end script NAME: sets out (ARTIFACTS) and cbf (the
# native archive tool), and defines fail MESSAGE (report and exit) and shot
# WHAT (the 640 x 284 client area as out/NAME_NN_WHAT.png, NN counting).
wine_script() { # name
  WINE_SCRIPT=$1 WINE_SHOTS=0
  out=${ARTIFACTS:-/tmp} cbf=$BUILD_NATIVE/tools/cbf/cbf
  fail() { echo "FAILED: $*"; exit 1; }
  shot() {
    WINE_SHOTS=$((WINE_SHOTS + 1))
    import -window root -crop 640x284+$((X + CLIENT_X))+$((Y + CLIENT_Y)) \
      "$out/${WINE_SCRIPT}_$(printf %02d $WINE_SHOTS)_$1.png"
  }
}

# The menu's line height h: the large font's of the archive SETUP_CBF
# (wizard.cpp lays the menu out with it): items at 4h, 4h + 7(h/6)...
# (menu_y I), Quit at 284 - 2h (quit_y).
wine_menu_font() { # setup_cbf
  local t
  t=$(mktemp -d)
  "$BUILD_NATIVE/tools/cbf/cbf" extract "$1" "$t" tahoma15.fnt >/dev/null || fail "no large font in $1"
  h=$("$BUILD_NATIVE/tools/fntmake/fntmake" --info "$t/tahoma15.fnt" | head -n 1 | cut -d' ' -f2)
  rm -rf "$t"
  quit_y=$((284 - 2 * h + h / 2))
}
menu_y() { echo $((4 * h + $1 * 7 * (h / 6) + h / 2)); }

# Starts PROGRAM (in the folder WINE_CWD, when set) in the background as
# wine_pid and waits for the window titled WINE_CAPTION.
wine_start() { # program args...
  (cd "${WINE_CWD:-.}" && wine_exec "$@") &
  wine_pid=$!
  wine_find_window "$WINE_CAPTION" 640 284 || fail "no window for $1"
}

# A fresh machine as far as the demo goes (another script may have used
# the prefix): no install folder TARGET, keys or shortcuts of the demo.
wine_fresh_demo() { # target
  rm -rf "$1"
  wine_reg delete "$WINE_UNINSTALL_KEY" /f >/dev/null 2>&1
  wine_reg delete "$WINE_APP_KEY" /f >/dev/null 2>&1
  wine_user_folders
  rm -rf "$DESKTOP/Ashgrove Multiplayer demo.lnk" "$PROGRAMS/Ashgrove MP demo"
}

# Checks from outside what the installer leaves in the prefix. The calling
# script defines fail MESSAGE (report and exit).

# The data of a REG_SZ value, or nothing.
wine_reg_value() { # key value
  wine_reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
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

# "Disk error" boxes: the store asks through one for every file it cannot
# read (a disc without a skin brings one per missing font, icon or slide).
# The box is modal, so a click on the window while one is open is lost.

# Answers Cancel (Escape) to every box open now; counts them in WINE_BOXES.
wine_answer_boxes() {
  local b
  for b in $(xdotool search --name '^Disk error$' 2>/dev/null); do
    xdotool windowfocus --sync "$b" key Escape 2>/dev/null
    WINE_BOXES=$((${WINE_BOXES:-0} + 1))
  done
}

# Waits until the window takes clicks again: no box open for a second,
# answering those that come meanwhile. Returns 1 after 30 s.
wine_settle() {
  local quiet=0
  for _ in $(seq 1 300); do
    if [ -n "$(xdotool search --name '^Disk error$' 2>/dev/null)" ]; then
      wine_answer_boxes
      quiet=0
    else
      quiet=$((quiet + 1))
      [ "$quiet" -ge 10 ] && return 0
    fi
    sleep 0.1
  done
  return 1
}

# Runs COMMAND every 0.1 s until it succeeds, answering boxes meanwhile.
# Returns 1 when it never did within TENTHS tries.
wine_wait() { # tenths command...
  local n=$1
  shift
  for _ in $(seq 1 "$n"); do
    wine_answer_boxes
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# A click once the window takes clicks.
wine_click_settled() { # x y
  wine_settle || fail "a Disk error box stayed open"
  wine_click "$1" "$2"
}

# Quit from the menu column (line height H) and waits for the process PID to
# end, clicking again when a box came in between and took the click. Sets
# WINE_RC to the exit code.
wine_quit() { # pid h
  local pid=$1 h=$2 before
  wine_click_settled 45 $(( 284 - 2 * h + h / 2 ))
  for _ in $(seq 1 3); do
    before=${WINE_BOXES:-0}
    wine_wait 50 wine_gone "$pid" && break
    [ "${WINE_BOXES:-0}" != "$before" ] || break
    wine_click_settled 45 $(( 284 - 2 * h + h / 2 ))
  done
  kill -0 "$pid" 2>/dev/null && fail "still running after Quit"
  wait "$pid"
  WINE_RC=$?
}
wine_gone() { ! kill -0 "$1" 2>/dev/null; }

# Closes the window WID with Alt+F4 and waits up to 5 s for the process PID
# to end. Sets WINE_RC to the exit code.
wine_close() { # pid
  xdotool windowfocus --sync "$WID" key alt+F4
  wine_wait 50 wine_gone "$1"
  kill -0 "$1" 2>/dev/null && fail "still running after Alt+F4"
  wait "$1"
  WINE_RC=$?
}

# Drive C: as paths and sizes, but for SKIP (a folder as Linux sees it), the
# temporary folders and Wine's own windows folder (its logs and caches).
wine_drive_c() { # skip
  local c="$WINEPREFIX/drive_c"
  (cd "$c" && find . \( -path './users/*/Temp' -o -path './users/*/AppData/Local/Temp' \
    -o -path './windows' -o -path "./${1#"$c/"}" \) -prune -o -printf '%p %s\n' | sort)
}

# An install into TARGET (as Linux sees it; DIR as Windows does): every
# file below REF (the volume's folder as `cbf extract` gives it) installed
# under its name in lower case (WINE_FILES counts them), Uninstall.exe a
# copy of the installer SETUP, and the four shortcuts (WINE_LINKS) as
# lnkinfo reads them.
wine_check_install() { # ref target dir setup
  local f lower l=$WINE_SCRIPT-lnkinfo game="$3\\ashgrove.exe" group
  WINE_FILES=0
  while IFS= read -r -d '' f; do
    lower=$(printf '%s' "${f#"$1/"}" | tr 'A-Z' 'a-z')
    cmp -s "$f" "$2/$lower" || fail "installed $lower differs from the archive"
    WINE_FILES=$((WINE_FILES + 1))
  done < <(find "$1" -type f -print0)
  cmp -s "$4" "$2/Uninstall.exe" || fail "Uninstall.exe is not the installer"
  wine_user_folders
  group="$PROGRAMS/Ashgrove MP demo"
  WINE_LINKS=("$DESKTOP/Ashgrove Multiplayer demo.lnk" "$group/Ashgrove Multiplayer demo.lnk"
    "$group/Uninstall Ashgrove Multiplayer demo.lnk"
    "$group/Play Ashgrove Multiplayer demo Online With GameSpy Arcade.lnk")
  wine_check_link "$l" "${WINE_LINKS[0]}" "$game" "$3" "$game" "Ashgrove Multiplayer demo"
  wine_check_link "$l" "${WINE_LINKS[1]}" "$game" "$3" "$game" "Ashgrove Multiplayer demo"
  # The uninstall shortcut shows the installed uninstaller's icon.
  wine_check_link "$l" "${WINE_LINKS[2]}" "$3\\Uninstall.exe" "$3" "$3\\Uninstall.exe"
  wine_check_link "$l" "${WINE_LINKS[3]}" "/features/launch.asp?svcname=ashgroved&distID=744" "$3" \
    "$3\\gamespy.ico"
}

# Runs the uninstaller as a user would: Uninstall.exe started from the
# install folder (or, with WINE_FROM_LIST set, from the system's program
# list), Uninstall in the menu (at menu line height H), the check box "Yes,
# remove..." ticked, Next, Quit; then checks that only the uninstaller (and
# the archive copy) wait in the folder for the restart, that the delayed
# deletes of both and of the folder are recorded and nothing else, and that
# the uninstall and application keys, the Start-menu group and the
# SHORTCUTS are gone.
# TARGET is the folder as Linux sees it, DIR as Windows does. "Disk error"
# boxes fail the check unless WINE_ANSWER_BOXES is set (a disc without a
# skin); then they are answered. Sets wine_pid while the uninstaller runs
# (the callers' exit traps kill it) and takes screenshots with the
# caller's shot. Clears the delayed deletes first; call with no wineserver
# restart pending.
wine_uninstall_check() { # h dir target shortcut...
  local h=$1 dir=$2 target=$3 pid left l pending
  shift 3
  local session='HKLM\System\CurrentControlSet\Control\Session Manager'
  wine_reg delete "$session" /v PendingFileRenameOperations /f >/dev/null 2>&1
  WINE_BOXES=0
  if [ -n "${WINE_FROM_LIST:-}" ]; then
    "$WINE64" uninstaller --remove "Ashgrove Multiplayer demo" &
  else
    (cd "$target" && wine_exec "$dir\\Uninstall.exe") &
  fi
  pid=$!
  wine_pid=$pid
  wine_find_window "$WINE_CAPTION" 640 284 || fail "no uninstaller window"
  wine_click_settled 45 $(( 4 * h + 7 * (h / 6) + h / 2 ))  # Uninstall, in Install's place
  wine_click_settled 283 195  # the check box "Yes, remove..."
  wine_settle || fail "a Disk error box stayed open"
  shot uninstall_ticked
  wine_click 585 258  # Next
  wine_wait 100 test ! -e "$target/ashgrove.exe" || fail "ashgrove.exe not removed"
  wine_settle || fail "a Disk error box stayed open"
  shot uninstalled
  wine_quit "$pid" "$h"
  wine_pid=
  [ "$WINE_RC" = 0 ] || fail "uninstaller exit code $WINE_RC"
  [ -z "${WINE_ANSWER_BOXES:-}" ] && [ "$WINE_BOXES" != 0 ] && fail "$WINE_BOXES Disk error boxes"
  left=$(cd "$target" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | sort | tr '\n' ' ')
  case "$left" in
    "Uninstall.exe " | "Uninstall.exe setup.cbf ") ;;
    *) fail "left in the folder after the uninstall: $left" ;;
  esac
  wine_user_folders
  for l in "$@" "$PROGRAMS/Ashgrove MP demo"; do [ -e "$l" ] && fail "shortcut left: $l"; done
  wine_reg query "$WINE_UNINSTALL_KEY" >/dev/null 2>&1 && fail "uninstall entry left"
  wine_reg query "$WINE_APP_KEY" >/dev/null 2>&1 && fail "application key left"
  pending=$(wine_reg query "$session" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
  echo "$pending" >"${ARTIFACTS:-/tmp}/${WINE_SCRIPT:-uninstall}-pending_renames.txt"
  # The uninstaller and the archive copy (whether still there or not) and
  # the folder, and nothing else.
  for l in Uninstall.exe setup.cbf ''; do
    echo "$pending" | grep -qiF "${dir##*\\}\\$l" || fail "no delayed delete of $dir\\$l: $pending"
  done
  l=$(echo "$pending" | grep -oF '\??\' | wc -l)
  [ "$l" = 3 ] || fail "$l delayed operations, not three: $pending"
  echo "uninstall: left until the restart: $left($WINE_BOXES boxes answered)"
}
