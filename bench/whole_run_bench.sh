#!/usr/bin/env bash
# The whole run as its users run it, measured side by side in one run, with
# medians over repeated runs (Release build):
#  1. Tornel unattended over N pairs with a build script that exits at once,
#     against as many bare starts of that script: Tornel's per-build overhead;
#  2. a Paquel mass run over N programs with its switches at their defaults,
#     for N = 10, 100 and 500: the time per program as N grows;
#  3. the compile run's project search against find -iname over 100,000 files.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-/tmp/whole-bench-release}"
WORK="${WORK_DIR:-/tmp/whole-bench}"
PAIRS="${PAIRS:-200}"
RUNS="${RUNS:-5}"
YEAR="$(date +%y)"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" --target Tornel Paquel mkpe file_search_bench >/dev/null
rm -rf "$WORK"
mkdir -p "$WORK"
now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(uname -r)"

# 1. Per-build overhead of Tornel.
mkdir -p "$WORK/t/bin"
cp "$BUILD/bin/Tornel" "$WORK/t/bin/"
printf '#!/bin/sh\nexit 0\n' > "$WORK/t/bin/rsvars.bat"
chmod +x "$WORK/t/bin/rsvars.bat"
/usr/bin/python3 "$ROOT/bench/make_product_tree.py" "$ROOT/examples/fuentes" "$WORK/t/fuentes" "$PAIRS"
builds=$((PAIRS * 2))
tornel_times=(); bare_times=()
for _ in $(seq "$RUNS"); do
  t0=$(now)
  "$WORK/t/bin/Tornel" "$WORK/t/fuentes" "$YEAR" 2>/dev/null
  t1=$(now)
  for _ in $(seq "$builds"); do "$WORK/t/bin/rsvars.bat" Release x.dproj; done
  t2=$(now)
  tornel_times+=("$(echo "$t1 - $t0" | bc)"); bare_times+=("$(echo "$t2 - $t1" | bc)")
done
mt=$(median "${tornel_times[@]}"); mb=$(median "${bare_times[@]}")
echo "1. Tornel over $PAIRS pairs ($builds builds): median $mt s; $builds bare starts of the script: median $mb s"
echo "   per-build overhead: $(echo "scale=2; ($mt - $mb) * 1000 / $builds" | bc) ms"

# 2. Paquel mass runs for N = 10, 100, 500.
for n in 10 100 500; do
  base="$WORK/p$n"
  mkdir -p "$base/bin"
  cp "$BUILD/bin/Paquel" "$base/bin/"
  /usr/bin/python3 "$ROOT/bench/make_product_tree.py" "$ROOT/examples/fuentes" "$base/fuentes" "$n" \
    "$BUILD/bin/mkpe" "$YEAR.0.1.1"
  times=()
  for _ in $(seq 3); do
    rm -rf "$base/destino"
    printf '[CONFIG]\r\nRUTAPROG=%s\r\nRUTADEST=%s\r\nEMPMASIVO=1\r\n' "$base/fuentes" "$base/destino" > "$base/bin/Paquel.ini"
    t0=$(now)
    "$base/bin/Paquel" S 2>/dev/null || true
    t1=$(now)
    times+=("$(echo "$t1 - $t0" | bc)")
  done
  m=$(median "${times[@]}")
  ok=$(grep -c 'con exito' "$base/bin/Paquel.txt" || true)
  echo "2. Paquel mass run over $n programs ($ok packaged): median $m s, $(echo "scale=2; $m * 1000 / $n" | bc) ms per program"
done

# 3. The project search against find over 100,000 files.
/usr/bin/python3 - "$WORK/arbol" <<'PY'
import os, sys
root = sys.argv[1]
for d in range(1000):
    folder = os.path.join(root, f"M{d // 100:02d}", f"CARP{d:04d}")
    os.makedirs(folder, exist_ok=True)
    for f in range(100):
        kind = ("C", "M", "U", "X")[f % 4]
        ext = ".dproj" if f % 8 < 2 else ".pas"
        open(os.path.join(folder, f"{kind}GN{d:04d}{f:03d}{ext}"), "w").close()
PY
find "$WORK/arbol" -type f > /dev/null
search_times=(); find_times=()
for _ in $(seq "$RUNS"); do
  t0=$(now)
  out=$("$BUILD/bench/file_search_bench" "$WORK/arbol")
  t1=$(now)
  nfind=$( (find "$WORK/arbol" -type f -iname 'C*.dproj'; find "$WORK/arbol" -type f -iname 'M*.dproj') | wc -l)
  t2=$(now)
  search_times+=("$(echo "$t1 - $t0" | bc)"); find_times+=("$(echo "$t2 - $t1" | bc)")
done
ms=$(median "${search_times[@]}"); mf=$(median "${find_times[@]}")
echo "3. Project search over 100,000 files: median $ms s ($out); find -iname (both masks, $nfind found): median $mf s; ratio $(echo "scale=2; $ms / $mf" | bc)"
