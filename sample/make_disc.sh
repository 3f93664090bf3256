#!/usr/bin/env bash
# Makes the sample disc: setup.cbf (the installer's own files) and
# disk01.cbf (the demo's files under DISK01), from assets made here.
#   sample/make_disc.sh CBF_TOOL OUTDIR
# CBF_TOOL is the native archive tool (build/native/tools/cbf/cbf).
set -euo pipefail
cbf=$1
out=$2
here="$(cd "$(dirname "$0")" && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The installer's archive.
mkdir -p "$work/setup"
cp "$here/setup/la.txt" "$work/setup/"

# The demo: a stand-in game tree.
mkdir -p "$work/disk01/Data/Maps"
printf 'Ashgrove Multiplayer Demo\r\n' >"$work/disk01/readme.txt"
for i in 1 2 3; do
  head -c $((20000 * i)) /dev/zero | tr '\0' "$i" >"$work/disk01/Data/Maps/map$i.dat"
done

mkdir -p "$out"
"$cbf" create "$out/setup.cbf" "$work/setup" >/dev/null
"$cbf" create "$out/disk01.cbf" "$work/disk01" --prefix DISK01 >/dev/null
