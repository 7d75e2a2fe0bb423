#!/bin/sh
# A stand-in for the product's build script on machines without the real
# compiler. Called as: rsvars.bat Release <project>.dproj, in the project's
# folder. It "builds" the project by writing its compiled program (a client
# ".sdml", any other ".exe") into Win32/Release as a small PE file carrying
# the FileVersion of the project file, and prints compiler-like output. A
# unit of the project that holds the marker {FALLA} fails the build with an
# error line in the compiler's format.
config="$1"
project="$2"
name="${project%.dproj}"
tools="$(cd "$(dirname "$0")" && pwd)"

echo "Iniciando compilación: $name ($config, Win32)"
if [ ! -f "$project" ]; then
  echo "Fatal: F1026 File not found: '$project'"
  exit 1
fi
version=$(sed -n 's/.*FileVersion=\([0-9][0-9.]*\).*/\1/p' "$project" | head -n 1)
[ -n "$version" ] || version="1.0.0.0"

failed=0
for unit in *.pas; do
  [ -f "$unit" ] || continue
  echo "  Compilando $unit"
  line=$(grep -n '{FALLA}' "$unit" | head -n 1 | cut -d: -f1)
  if [ -n "$line" ]; then
    echo "$(pwd)/$unit($line): error E2003: Undeclared identifier: 'FALLA'"
    failed=1
  fi
done
if [ "$failed" -ne 0 ]; then
  echo "Compilación fallida: $name"
  exit 1
fi

case "$name" in
  C*) output="$name.sdml" ;;
  *) output="$name.exe" ;;
esac
mkdir -p Win32/Release
"$tools/mkpe" "Win32/Release/$output" "$version" || exit 1
echo "Enlazado Win32/Release/$output, versión $version"
echo "Compilación correcta: $name"
