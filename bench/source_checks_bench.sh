#!/usr/bin/env bash
# Times the source checks of a mass run over a synthetic tree of programs
# against reading the same files with cat, in one run. Release build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-/tmp/source-bench-release}"
TREE="${TREE_DIR:-/tmp/source-bench-tree}"
PROGRAMS="${PROGRAMS:-200}"
UNITS="${UNITS:-60}"

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" --target source_checks_bench >/dev/null
if [[ ! -d "$TREE" ]]; then
  /usr/bin/python3 "$ROOT/bench/make_source_tree.py" "$TREE" "$PROGRAMS" "$UNITS"
fi
files=$(find "$TREE" -type f | wc -l)
bytes=$(du -sb "$TREE" | cut -f1)
echo "Tree: $PROGRAMS programs, $files files, $bytes bytes; $(nproc) cores."
# Warm the page cache so both sides read from memory.
find "$TREE" -type f -print0 | xargs -0 cat > /dev/null

cat_times=()
check_times=()
for run in 1 2 3 4 5; do
  t0=$(date +%s.%N)
  find "$TREE" -type f \( -name '*.pas' -o -name '*.dfm' -o -name '*.dpr' \) -print0 | xargs -0 cat > /dev/null
  t1=$(date +%s.%N)
  out=$("$BUILD/bench/source_checks_bench" "$TREE")
  t2=$(date +%s.%N)
  cat_times+=("$(echo "$t1 - $t0" | bc)")
  check_times+=("$(echo "$t2 - $t1" | bc)")
  echo "run $run: cat ${cat_times[-1]} s; checks ${check_times[-1]} s ($out)"
done
median() { printf '%s\n' "$@" | sort -n | sed -n 3p; }
mc=$(median "${cat_times[@]}")
mk=$(median "${check_times[@]}")
echo "median: cat $mc s; checks $mk s; ratio $(echo "scale=2; $mk / $mc" | bc)"
