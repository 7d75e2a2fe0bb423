#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for the given number of seconds
# (60 by default), seeded from the tests' fixtures and the sample tree.
# Crashes are written to build/fuzz/findings/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SECONDS_EACH="${1:-60}"
BUILD="${BUILD_DIR:-$ROOT/build/fuzz}"

"$ROOT/scripts/setup.sh"
missing=()
for pkg in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if ((${#missing[@]})); then
  SUDO=(); [[ $(id -u) -ne 0 ]] && SUDO=(sudo)
  "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DENABLE_SANITIZERS=ON -DENABLE_FUZZING=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" --target fuzz_dproj fuzz_text fuzz_settings fuzz_sources

seed() {  # target, then the files that seed it
  local dir="$BUILD/corpus/$1"; shift
  mkdir -p "$dir"
  for f in "$@"; do [[ -f "$f" ]] && cp "$f" "$dir/$(echo "$f" | md5sum | cut -c1-16)"; done
}
seed fuzz_dproj "$ROOT"/tornel/projectfile/testdata/*.dproj "$ROOT"/examples/fuentes/*/*/*.dproj
seed fuzz_text "$ROOT"/examples/Paquel.ini
printf 'CompanyName=M;FileDescription=Gestión;FileVersion=24.0.1.7;"Comments=a;b"' > "$BUILD/corpus/fuzz_text/keys"
printf 'U.pas(3): error E2003: x\r\n24.0.3.1\r\n' > "$BUILD/corpus/fuzz_text/log"
seed fuzz_settings "$ROOT"/examples/Paquel.ini
printf '<Tornel><INIC><INIC Name="RUTPROJ">/x</INIC></INIC></Tornel>' > "$BUILD/corpus/fuzz_settings/xml"
seed fuzz_sources "$ROOT"/examples/fuentes/*/*/*.{dpr,pas,dfm,dproj}

mkdir -p "$BUILD/findings"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
for target in fuzz_dproj fuzz_text fuzz_settings fuzz_sources; do
  echo "== $target, ${SECONDS_EACH} s"
  "$BUILD/fuzz/$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$BUILD/findings/$target-" -print_final_stats=1 "$BUILD/corpus/$target" 2>&1 |
    grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|Done)" || true
done
ls -la "$BUILD/findings"
