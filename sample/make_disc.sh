#!/usr/bin/env bash
# Makes the sample disc in OUTDIR from assets made here: the sample's game
# folder and skin, made into a disc by scripts/make-disc (setup.cbf,
# disk01.cbf, AUTORUN.INF and setup.exe). With --assets it only writes the
# game folder and the skin, as ASSETS_DIR/game and ASSETS_DIR/skin.
#
#   sample/make_disc.sh --tools NATIVE_BUILD_DIR [--programs WIN_PROGRAMS_DIR]
#                       [--setup SETUP_EXE] OUTDIR
#   sample/make_disc.sh --tools NATIVE_BUILD_DIR [--programs WIN_PROGRAMS_DIR] --assets ASSETS_DIR
#
# SETUP_EXE is the program put on the disc; without it the setup.exe already
# in OUTDIR stays, or a placeholder file takes its name.
# NATIVE_BUILD_DIR is a native build with the tools cbf and fntmake built
# (build/native). WIN_PROGRAMS_DIR holds the Windows stand-in programs
# ashgrove.exe, GameSpy.exe and DXSetup.exe (build/win32/sample/programs);
# without it small placeholder files take their names, so the disc is
# complete for the native tests, which never run them.
#
# Generated pictures, icons and data files are kept in
# NATIVE_BUILD_DIR/sample/cache under a hash of what made them, so a second
# run with the same inputs only packs the archives.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

usage() {
  echo "usage: $0 --tools NATIVE_BUILD_DIR [--programs WIN_PROGRAMS_DIR] [--setup SETUP_EXE] OUTDIR" >&2
  echo "       $0 --tools NATIVE_BUILD_DIR [--programs WIN_PROGRAMS_DIR] --assets ASSETS_DIR" >&2
  exit 2
}
tools='' programs='' out='' assets='' setup_exe=''
while [ $# -gt 0 ]; do
  case $1 in
    --tools) [ $# -ge 2 ] || usage; tools=$2; shift 2 ;;
    --programs) [ $# -ge 2 ] || usage; programs=$2; shift 2 ;;
    --setup) [ $# -ge 2 ] || usage; setup_exe=$2; shift 2 ;;
    --assets) [ $# -ge 2 ] || usage; assets=$2; shift 2 ;;
    -*) usage ;;
    *) [ -z "$out" ] || usage; out=$1; shift ;;
  esac
done
if [ -z "$tools" ] || { [ -z "$out" ] && [ -z "$assets" ]; }; then usage; fi

cbf=$tools/tools/cbf/cbf
fntmake=$tools/tools/fntmake/fntmake
for t in "$cbf" "$fntmake"; do
  [ -x "$t" ] || { echo "$0: $t is missing: build the native tools first" >&2; exit 1; }
done
game_programs="ashgrove.exe GameSpy.exe DXSetup.exe"
if [ -n "$programs" ]; then
  for p in $game_programs; do
    [ -f "$programs/$p" ] || { echo "$0: $programs/$p is missing" >&2; exit 1; }
  done
fi

cache=$tools/sample/cache
mkdir -p "$cache"
work=$(mktemp -d "$cache/work.XXXXXX")
trap 'rm -rf "$work"' EXIT

# cached NAME KEY COMMAND...: runs COMMAND DIR once per KEY and keeps DIR as
# $cache/NAME-KEY (older keys of NAME are removed); prints that folder.
cached() {
  local name=$1 key=$2
  shift 2
  local dir=$cache/$name-$key
  if [ ! -d "$dir" ]; then
    rm -rf "${work:?}/$name"
    "$@" "$work/$name" >&2
    rm -rf "$cache/$name"-*
    # Another run may have made the same folder meanwhile: keep either.
    mv -T "$work/$name" "$dir" 2>/dev/null || [ -d "$dir" ]
  fi
  echo "$dir"
}
key_of() { # FILE...: a short hash of the files' contents
  cat "$@" | sha256sum | cut -c1-16
}

# The three generators run side by side: pictures and icons, then the data.
# The pictures also depend on ImageMagick's version and the face it writes with.
picture_tools="$(convert -version | head -n 1) $(fc-match -f '%{file}' 'DejaVu Sans:bold' || true)"
cached pictures "$( (cat "$here/make_pictures.sh"; echo "$picture_tools") | sha256sum | cut -c1-16)" \
  "$here/make_pictures.sh" >"$work/pictures.dir" &
pictures_job=$!
icons=$(cached icons "$(key_of "$here/make_icons.py")" python3 "$here/make_icons.py")
data=$(cached data "$(key_of "$here/make_data.py")" python3 "$here/make_data.py")
wait "$pictures_job"
pictures=$(cat "$work/pictures.dir")

# Copies a cached tree into the work folder, by hard links where it can.
link_tree() { # FROM TO
  mkdir -p "$2"
  cp -al "$1/." "$2" 2>/dev/null || cp -a "$1/." "$2"
}

# The skin: licence, fonts, icons, pictures, add-on programs and their icon.
setup=$work/skin
mkdir -p "$setup/Programs"
cp "$here/setup/la.txt" "$setup/"
"$fntmake" Tahoma -11 "$setup/tahoma08.fnt" >/dev/null
"$fntmake" Tahoma -15 "$setup/tahoma15.fnt" --weight 700 >/dev/null
link_tree "$icons" "$setup"
link_tree "$pictures" "$setup"

# The game folder: the game and its data.
disk=$work/game
link_tree "$data" "$disk"

placeholder() { # NAME PATH
  printf 'Placeholder for %s: this sample disc was made without the Windows stand-in programs.\r\n' \
    "$1" >"$2"
}
for p in $game_programs; do
  case $p in ashgrove.exe) dest=$disk/$p ;; *) dest=$setup/Programs/$p ;; esac
  if [ -n "$programs" ]; then
    cp "$programs/$p" "$dest"
  else
    placeholder "$p" "$dest"
  fi
done

if [ -n "$assets" ]; then
  mkdir -p "$assets"
  rm -rf "$assets/game" "$assets/skin"
  mv "$disk" "$assets/game"
  mv "$setup" "$assets/skin"
  exit 0
fi

if [ -z "$setup_exe" ]; then
  setup_exe=$work/setup.exe
  if [ -f "$out/setup.exe" ]; then
    cp "$out/setup.exe" "$setup_exe"
  else
    placeholder setup.exe "$setup_exe"
  fi
fi
"$here/../scripts/make-disc" "$disk" "$out" --skin "$setup" --tools "$tools" --setup "$setup_exe" --force
