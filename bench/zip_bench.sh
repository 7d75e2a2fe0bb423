#!/usr/bin/env bash
# Times Info-ZIP's `zip -r -6` against our archive writer (Release build) on
# the same ~200 MB tree of release-like files, in one run, three times each,
# and prints the results as Markdown for bench/RESULTS.md.
#
# The tree is generated deterministically: program-like binaries (repeated
# code sequences with small changes, string tables, zero padding and
# incompressible resource blocks) and source-like text (units, forms,
# project files). Both tools read it from the page cache.
#
#   bench/zip_bench.sh            # work folder /tmp/zip-bench, build /tmp/zip-release
#   BENCH_DIR=... BUILD_DIR=... RUNS=5 bench/zip_bench.sh
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WORK="${BENCH_DIR:-/tmp/zip-bench}"
BUILD="${BUILD_DIR:-/tmp/zip-release}"
RUNS="${RUNS:-3}"
PY=/usr/bin/python3

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" --target zip_bench >/dev/null
DRIVER="$BUILD/paquel/packaging/zip_bench"

TREE="$WORK/tree"
if [[ ! -f "$WORK/tree.done" ]]; then
  rm -rf "$TREE"
  mkdir -p "$TREE"
  "$PY" - "$TREE" <<'EOF'
import os, random, sys

root = sys.argv[1]
rng = random.Random(20240607)

def write(rel, data):
    path = os.path.join(root, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)

# Machine code: a few thousand instruction sequences reused with a skewed
# frequency, some with one byte changed (addresses, offsets).
snippets = [rng.randbytes(rng.randint(8, 48)) for _ in range(3000)]
weights = [1.0 / (i + 1) ** 0.8 for i in range(len(snippets))]
words = ('procedure function begin end var const type class private public published property '
         'inherited Result Self nil then else if for to do while repeat until try except finally '
         'raise string Integer Boolean TObject TForm TButton TEdit TLabel TDataSet TField '
         'Cliente Factura Importe Fecha Cantidad Precio Total Nombre Codigo Proveedor Almacen '
         'Pedido Linea Articulo Descuento Impuesto Cuenta Asiento Saldo Usuario Empresa').split()

def code(n):
    out = bytearray()
    while len(out) < n:
        for s in rng.choices(snippets, cum_weights=None, weights=weights, k=4096):
            if rng.random() < 0.08:
                s = bytearray(s)
                s[rng.randrange(len(s))] = rng.randrange(256)
            out += s
    return bytes(out[:n])

def strings(n):
    text = ' '.join(rng.choices(words, k=n // 6 + 1))
    return text.encode('utf-16-le')[:n]

def binary(n):
    parts, size = [], 0
    while size < n:
        kind = rng.random()
        block = rng.randint(16 << 10, 256 << 10)
        if kind < 0.62:
            part = code(block)
        elif kind < 0.77:
            part = strings(block)
        elif kind < 0.87:
            part = bytes(rng.randint(512, 8192))
        else:
            part = rng.randbytes(block)  # compressed resources, images
        parts.append(part)
        size += len(part)
    return b''.join(parts)[:n]

def source(n):
    lines, size = [], 0
    while size < n:
        indent = '  ' * rng.randint(0, 4)
        line = indent + ' '.join(rng.choices(words, k=rng.randint(2, 12))) + ';\r\n'
        lines.append(line)
        size += len(line)
    return ''.join(lines).encode('cp1252')[:n]

mb = 1 << 20
for i in range(6):
    write(f'Release/bin/Programa{i:02d}.exe', binary(rng.randint(9 * mb, 13 * mb)))
for i in range(40):
    write(f'Release/bin/modulos/Modulo{i:03d}.dll', binary(rng.randint(1 * mb, 2 * mb)))
for i in range(60):
    write(f'Release/bin/paquetes/Paquete{i:03d}.bpl', binary(rng.randint(150 << 10, 500 << 10)))
for m in range(12):
    for i in range(150):
        name = f'Fuentes/Modulo{m:02d}/Unidad{i:03d}'
        write(name + '.pas', source(rng.randint(10 << 10, 60 << 10)))
        if i % 3 == 0:
            write(name + '.dfm', source(rng.randint(4 << 10, 30 << 10)))
    write(f'Fuentes/Modulo{m:02d}/Modulo{m:02d}.dproj', source(40 << 10))
EOF
  touch "$WORK/tree.done"
fi

files=$(find "$TREE" -type f | wc -l)
bytes=$(du -sb "$TREE" | cut -f1)
# Into the page cache before either tool reads it.
find "$TREE" -type f -exec cat {} + >/dev/null

# Wall-clock seconds taken by a command, to the millisecond.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

run_infozip() { (cd "$TREE" && rm -f "$WORK/infozip.zip" && zip -r -6 -q "$WORK/infozip.zip" .); }
run_ours() { rm -f "$WORK/ours.zip" && "$DRIVER" "$TREE" "$WORK/ours.zip"; }
# One compressing thread: what libdeflate alone gains over Info-ZIP.
run_ours_1() { rm -f "$WORK/ours1.zip" && "$DRIVER" "$TREE" "$WORK/ours1.zip" 1; }

# Other work on the machine slows both tools alike but blurs the numbers.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
infozip_times=()
ours_times=()
ours1_times=()
for ((i = 0; i < RUNS; i++)); do infozip_times+=("$(seconds run_infozip)"); done
for ((i = 0; i < RUNS; i++)); do ours_times+=("$(seconds run_ours)"); done
for ((i = 0; i < RUNS; i++)); do ours1_times+=("$(seconds run_ours_1)"); done

load_after=$(cut -d' ' -f1-3 /proc/loadavg)

unzip -t -qq "$WORK/ours.zip"
cmp -s "$WORK/ours.zip" "$WORK/ours1.zip" || { echo "archives differ between thread counts" >&2; exit 1; }
unzip -t -qq "$WORK/infozip.zip"

mean() { printf '%s\n' "$@" | awk '{ s += $1 } END { printf "%.3f", s / NR }'; }
# The bytes of Deflate data alone, without headers and directory.
deflated() { "$PY" -c 'import sys, zipfile; print(sum(i.compress_size for i in zipfile.ZipFile(sys.argv[1]).infolist()))' "$1"; }

iz_mean=$(mean "${infozip_times[@]}")
our_mean=$(mean "${ours_times[@]}")
our1_mean=$(mean "${ours1_times[@]}")
iz_size=$(stat -c %s "$WORK/infozip.zip")
our_size=$(stat -c %s "$WORK/ours.zip")
iz_data=$(deflated "$WORK/infozip.zip")
our_data=$(deflated "$WORK/ours.zip")

cat <<EOF
Tree: $files files, $bytes bytes; $(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')).
Load average before: $load_before; after: $load_after.
Info-ZIP: $(zip -v | sed -n 2p | sed 's/^ *//'); ours: libdeflate $(pkg-config --modversion libdeflate), level 6.

| tool | runs (s) | mean (s) | archive (bytes) | Deflate data (bytes) |
|---|---|---|---|---|
| \`zip -r -6 -q\` | ${infozip_times[*]} | $iz_mean | $iz_size | $iz_data |
| \`zip_bench\` (WriteZip, threads = cores) | ${ours_times[*]} | $our_mean | $our_size | $our_data |
| \`zip_bench\` (WriteZip, 1 thread) | ${ours1_times[*]} | $our1_mean | same bytes | |

Speed-up over Info-ZIP: $(awk -v a="$iz_mean" -v b="$our_mean" 'BEGIN { printf "%.2f", a / b }')× (1 thread: $(awk -v a="$iz_mean" -v b="$our1_mean" 'BEGIN { printf "%.2f", a / b }')×).
Size ours / Info-ZIP: archive $(awk -v a="$our_size" -v b="$iz_size" 'BEGIN { printf "%.4f", a / b }'), Deflate data $(awk -v a="$our_data" -v b="$iz_data" 'BEGIN { printf "%.4f", a / b }').
EOF
