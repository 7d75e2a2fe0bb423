#!/usr/bin/env bash
# Takes screenshots of the windows under a virtual display, for a person to
# look at. Installs what it needs, builds, and writes PNG files to
# screenshots/ (ignored by git).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD_DIR:-$ROOT/build/debug-asan}"
OUT="${1:-$ROOT/screenshots}"

"$ROOT/scripts/setup.sh"
missing=()
for pkg in xvfb xauth; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if ((${#missing[@]})); then
  SUDO=(); [[ $(id -u) -ne 0 ]] && SUDO=(sudo)
  "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DENABLE_SANITIZERS=ON >/dev/null
cmake --build "$BUILD" --target tornel_screenshots paquel_screenshots
mkdir -p "$OUT"
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x900x24" "$BUILD/tornel/driver/tornel_screenshots" "$OUT"
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x900x24" "$BUILD/paquel/packaging/paquel_screenshots" "$OUT"
echo "Screenshots in $OUT"
