#!/usr/bin/env bash
# The main job on the bundled sample tree: builds Release, lays out Tornel,
# Paquel, the simulated build script and Paquel.ini in a run folder, copies
# the sample sources to a scratch folder, runs one unattended compile run
# (which hands the tree to the packager), waits for the packager and prints
# what happened.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build/release}"
RUN="${RUN_DIR:-$ROOT/build/demo}"
YEAR="$(date +%y)"

"$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" --target Tornel Paquel mkpe

rm -rf "$RUN"
mkdir -p "$RUN/bin"
cp "$BUILD/bin/Tornel" "$BUILD/bin/Paquel" "$BUILD/bin/mkpe" "$RUN/bin/"
cp "$ROOT/examples/toolchain/rsvars.bat" "$RUN/bin/"
cp "$ROOT/examples/Paquel.ini" "$RUN/bin/"
cp -r "$ROOT/examples/fuentes" "$RUN/fuentes"
# The services are built by their own toolchain; their compiled libraries
# are stood in here.
for service in "$RUN"/fuentes/*/M*/M*Service; do
  name="$(basename "$service" Service)"
  "$RUN/bin/mkpe" "$service/${name}BD/bin/Release/${name}BD.dll" "$YEAR.0.1.1"
  "$RUN/bin/mkpe" "$service/${name}WCF/bin/Release/${name}WCF.dll" "$YEAR.0.1.1"
done

echo
echo "== Tornel $RUN/fuentes $YEAR S"
status=0
"$RUN/bin/Tornel" "$RUN/fuentes" "$YEAR" S 2> "$RUN/tornel.log" || status=$?
# The packager runs on its own (its lines join the log); its report file
# appears when it ends.
for _ in $(seq 1 600); do
  [[ -f "$RUN/bin/Paquel.txt" ]] && break
  sleep 0.1
done
sleep 0.2
cat "$RUN/tornel.log"

echo
echo "== Resumen"
echo "Tornel terminó con estado $status"
built=$(find "$RUN/fuentes" -path '*/Win32/Release/*' \( -name '*.sdml' -o -name '*.exe' \) | wc -l)
projects=$(find "$RUN/fuentes" -name '[CM]*.dproj' | wc -l)
echo "Proyectos compilados: $built de $projects"
echo "Versiones nuevas:"
for dproj in "$RUN"/fuentes/*/[CM]*/[CM]*.dproj; do
  printf '  %-10s %s\n' "$(basename "$dproj" .dproj)" \
    "$(sed -n 's/.*FileVersion=\([0-9.]*\).*/\1/p' "$dproj" | head -n 1)"
done
if [[ -f "$RUN/bin/Tornel.txt" ]]; then
  echo "Reporte de errores de Tornel ($RUN/bin/Tornel.txt):"
  sed 's/^/  /' "$RUN/bin/Tornel.txt"
else
  echo "Reporte de errores de Tornel: sin errores"
fi
destino="$(sed -n 's/^RUTADEST=\(.*\)\r\{0,1\}$/\1/p' "$RUN/bin/Paquel.ini" | tr -d '\r')"
for archive in "$destino"/*.zip; do
  [[ -f "$archive" ]] || continue
  echo "Archivo de entrega: $archive ($(unzip -Z1 "$archive" | wc -l) entradas)"
done
if [[ -f "$RUN/bin/Paquel.txt" ]]; then
  echo "Reporte de Paquel ($RUN/bin/Paquel.txt):"
  sed 's/^/  /' "$RUN/bin/Paquel.txt"
else
  echo "Paquel no terminó a tiempo"
fi
echo
echo "Resultados en $RUN"
