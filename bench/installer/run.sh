#!/usr/bin/env bash
# Install engine against its peers on the store benchmark's corpus:
#   packed disc (LZW)  install_bench vs `cbf extract` of the same archive
#   stored disc        install_bench vs `cp -r` of the raw files
# Best of three each, taken in turns; peak memory of the installs.
#
#   bench/installer/run.sh BUILD_DIR [WORK_DIR]
#
# BUILD_DIR is a native build; WORK_DIR holds the corpus (made by
# bench/store/run.sh when missing) and is kept.
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
BUILD=$(cd "$1" && pwd)
WORK=${2:-/tmp/store-bench}
CBF=$BUILD/tools/cbf/cbf
BENCH=$BUILD/bench/installer/install_bench
[ -d "$WORK/corpus" ] || "$HERE/../store/run.sh" "$BUILD" "$WORK" corpus
cd "$WORK"
[ -f lzw.cbf ] || "$CBF" create lzw.cbf corpus --prefix DISK01 >/dev/null
[ -f stored.cbf ] || "$CBF" create stored.cbf corpus --prefix DISK01 --method store >/dev/null

OUT=$WORK
[ -d /dev/shm ] && [ -w /dev/shm ] && OUT=$(mktemp -d /dev/shm/install-bench-XXXXXX)
trap '[ "$OUT" != "$WORK" ] && rm -rf "$OUT"' EXIT

# Prints "seconds peak_kib" of one run into an empty $OUT/out.
timed() { # command...
  rm -rf "$OUT/out"
  local t0 t1 kib
  t0=$(date +%s.%N)
  kib=$( { /usr/bin/time -f '%M' "$@" >/dev/null; } 2>&1 | tail -n1)
  t1=$(date +%s.%N)
  echo "$(echo "$t0 $t1" | awk '{print $2 - $1}') $kib"
}

declare -A best peak
for round in 1 2 3; do
  for what in install_lzw extract install_stored copy; do
    case $what in
      install_lzw) r=$(timed "$BENCH" "$OUT/out" lzw.cbf) ;;
      extract) r=$(timed "$CBF" extract lzw.cbf "$OUT/out") ;;
      install_stored) r=$(timed "$BENCH" "$OUT/out" stored.cbf) ;;
      copy) r=$(timed cp -r corpus "$OUT/out") ;;
    esac
    t=${r% *}; k=${r#* }
    if [ -z "${best[$what]:-}" ] || awk "BEGIN{exit !($t < ${best[$what]})}"; then best[$what]=$t; fi
    if [ -z "${peak[$what]:-}" ] || [ "$k" -gt "${peak[$what]}" ]; then peak[$what]=$k; fi
  done
done
rm -rf "$OUT/out"
for what in install_lzw extract install_stored copy; do
  echo "$what: best ${best[$what]} s, peak $((${peak[$what]} / 1024)) MiB"
done
awk -v a="${best[extract]}" -v b="${best[install_lzw]}" 'BEGIN{printf "packed disc: install speed = %.2fx cbf extract (goal >= 0.9x)\n", a / b}'
awk -v a="${best[copy]}" -v b="${best[install_stored]}" 'BEGIN{printf "stored disc: install speed = %.2fx cp -r (goal >= 0.7x)\n", a / b}'
