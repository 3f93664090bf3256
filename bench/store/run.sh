#!/usr/bin/env bash
# Store benchmarks against ncompress, on a corpus of about 256 MiB of mixed
# data made at run time outside the source tree (text, executables and
# libraries, already-compressed files, game-like binary data).
#
#   bench/store/run.sh BUILD_DIR [WORK_DIR]          the three ratios
#   bench/store/run.sh BUILD_DIR WORK_DIR blocks     packed size and extract
#                                                    time per block size
#   bench/store/run.sh BUILD_DIR WORK_DIR corpus     only make the corpus
#
# BUILD_DIR is a native build (cbf and store_bench). WORK_DIR (default: a new
# folder under /tmp) holds the corpus and everything made from it; it is kept
# so that runs can be repeated.
set -euo pipefail

BUILD=$(cd "$1" && pwd)
WORK=${2:-$(mktemp -d /tmp/store-bench-XXXXXX)}
MODE=${3:-ratios}
CBF=$BUILD/tools/cbf/cbf
BENCH=$BUILD/bench/store/store_bench
command -v compress >/dev/null || { echo "needs ncompress (compress, uncompress)"; exit 1; }
mkdir -p "$WORK"
cd "$WORK"

# Copies files found by find (sorted, so the corpus is the same each time)
# into DEST until about MIB mebibytes are there.
fill() { # dest mib find-arguments...
  local dest=$1 limit=$(($2 << 20)) total=0 n=0 size
  shift 2
  mkdir -p "$dest"
  while IFS= read -r -d '' f; do
    size=$(stat -c %s "$f")
    [ $((total + size)) -gt $limit ] && continue
    cp "$f" "$dest/$n-$(basename "$f")"
    total=$((total + size))
    n=$((n + 1))
    [ $total -ge $((limit - (limit >> 6))) ] && break
  done < <(find "$@" -type f -size -8M -print0 2>/dev/null | sort -z)
  echo "  $dest: $n files, $((total >> 20)) MiB"
}

if [ ! -d corpus ]; then
  echo "== making the corpus in $WORK/corpus"
  fill corpus/text 64 /usr/include /usr/share/doc ! -name '*.gz' ! -name '*.png'
  fill corpus/bin 64 /usr/bin /usr/lib/x86_64-linux-gnu -name '*' ! -name '*.a'
  fill corpus/packed 48 /usr/share \( -name '*.gz' -o -name '*.png' -o -name '*.jpg' -o -name '*.xz' -o -name '*.bz2' -o -name '*.zip' -o -name '*.ttf' \)
  mkdir -p corpus/game
  "$BENCH" gen corpus/game 80
fi
CORPUS_BYTES=$(du -sb corpus | cut -f1)
echo "corpus: $((CORPUS_BYTES >> 20)) MiB in $(find corpus -type f | wc -l) files"
[ "$MODE" = corpus ] && exit 0

# Output of the decoders goes to memory when /dev/shm is there, so that the
# file system's own costs (which vary from run to run) do not drown the
# decoders' differences.
OUT=$WORK
[ -d /dev/shm ] && [ -w /dev/shm ] && OUT=$(mktemp -d /dev/shm/store-bench-XXXXXX)
trap 'rm -rf "$OUT/out" 2>/dev/null; [ "$OUT" != "$WORK" ] && rm -rf "$OUT"' EXIT

# Runs a command twice into an empty $OUT/out and prints the better time in
# seconds; emptying the folder is not timed.
best_of_two() { # command...
  local best=""
  for _ in 1 2; do
    rm -rf "$OUT/out" && mkdir -p "$OUT/out"
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null
    t1=$(date +%s.%N)
    best=$(echo "$t0 $t1 $best" | awk '{t = $2 - $1; if ($3 == "" || t < $3) print t; else print $3}')
  done
  rm -rf "$OUT/out"
  echo "$best"
}

if [ "$MODE" = blocks ]; then
  echo "== block size: packed size and extract time"
  for bs in 65536 262144 1048576 4194304 16777216; do
    "$CBF" create "b$bs.cbf" corpus --block-size $bs
    t=$(best_of_two "$CBF" extract "b$bs.cbf" "$OUT/out")
    echo "block size $bs: $(stat -c %s "b$bs.cbf") bytes, extract ${t}s"
    rm -f "b$bs.cbf"
  done
  exit 0
fi

echo "== packing"
t=$(best_of_two "$CBF" create corpus.cbf corpus)
echo "cbf create: ${t}s"
if [ ! -f corpus.tar.Z ]; then
  rm -rf Z && mkdir -p Z
  (cd corpus && find . -type f | sort | while read -r f; do
    mkdir -p "../Z/$(dirname "$f")"
    compress -b16 -c "$f" >"../Z/$f.Z" || true
  done)
  tar -cf - corpus | compress -b16 -c >corpus.tar.Z || true
fi
CBF_SIZE=$(stat -c %s corpus.cbf)
Z_FILES=$(du -sb Z | cut -f1)
Z_TAR=$(stat -c %s corpus.tar.Z)
echo "packed sizes: cbf $CBF_SIZE, compress -b16 per file $Z_FILES, as one tar $Z_TAR"

echo "== decoding (best of two)"
"$CBF" verify corpus.cbf
"$CBF" extract corpus.cbf "$OUT/check"
if diff -r corpus "$OUT/check" >/dev/null; then
  echo "cbf extract output matches the corpus"
else
  echo "cbf extract output DIFFERS from the corpus"
fi
rm -rf "$OUT/check"
T_CBF=$(best_of_two "$CBF" extract corpus.cbf "$OUT/out")
T_UNZ=$(best_of_two bash -c "uncompress -c corpus.tar.Z | tar -xf - -C '$OUT/out'")
T_VERIFY=$(best_of_two "$CBF" verify corpus.cbf)
T_UNZ_NULL=$(best_of_two bash -c "uncompress -c corpus.tar.Z >/dev/null")
echo "files written: cbf extract ${T_CBF}s, uncompress | tar x ${T_UNZ}s"
echo "decoding only: cbf verify ${T_VERIFY}s, uncompress >/dev/null ${T_UNZ_NULL}s"

echo "== one 512 MiB packed entry"
if [ ! -f big.cbf ]; then
  mkdir -p big
  : >big/huge.bin
  while [ "$(stat -c %s big/huge.bin)" -lt $((512 << 20)) ]; do
    find corpus -type f -print0 | sort -z | xargs -0 cat >>big/huge.bin
  done
  truncate -s $((512 << 20)) big/huge.bin
  "$CBF" create big.cbf big
  rm -rf big
fi
# Best of three each, taken in turns, since other work on the machine makes
# single runs vary by a third.
T_WHOLE="" T_STORE=""
for _ in 1 2 3; do
  read -r t _ RSS_WHOLE < <("$BENCH" decode big.cbf huge.bin)
  T_WHOLE=$(awk -v a="$t" -v b="$T_WHOLE" 'BEGIN { print (b == "" || a < b) ? a : b }')
  read -r t BYTES RSS_STORE < <("$BENCH" read big.cbf huge.bin)
  T_STORE=$(awk -v a="$t" -v b="$T_STORE" 'BEGIN { print (b == "" || a < b) ? a : b }')
done
echo "decode whole ${T_WHOLE}s (peak ${RSS_WHOLE} KiB); store in 64 KiB pieces ${T_STORE}s for $BYTES bytes (peak ${RSS_STORE} KiB)"

echo "== ratios"
awk -v a="$T_UNZ" -v b="$T_CBF" -v c="$T_UNZ_NULL" -v d="$T_VERIFY" 'BEGIN { printf "decode throughput, cbf extract against uncompress | tar x: %.2fx (goal >= 1.5); decoding only: %.2fx\n", a / b, c / d }'
awk -v a="$CBF_SIZE" -v b="$Z_FILES" -v c="$Z_TAR" 'BEGIN { printf "packed size, cbf / compress -b16 per file: %.3fx (goal <= 1.05); against one tar.Z: %.3fx\n", a / b, a / c }'
awk -v a="$T_STORE" -v b="$T_WHOLE" -v r="$RSS_STORE" 'BEGIN { printf "512 MiB entry, store in 64 KiB pieces / whole decode: %.2fx (goal <= 1.2), peak %.1f MiB (goal < 32)\n", a / b, r / 1024 }'
