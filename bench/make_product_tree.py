"""Writes a synthetic product tree of N programs for the whole-run
benchmarks: copies of the sample program GNPLANI under new program codes,
optionally with their compiled files (as small PE files written by mkpe) so
that the packager can run over them. Deterministic."""
import os
import subprocess
import sys

sample, out, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
mkpe = sys.argv[4] if len(sys.argv) > 4 else None
version = sys.argv[5] if len(sys.argv) > 5 else None
src = os.path.join(sample, "GNPLANI")
for n in range(count):
    code = f"GN{n:05d}"
    for folder, _, files in os.walk(src):
        rel = os.path.relpath(folder, src).replace("GNPLANI", code)
        target = os.path.join(out, code, rel)
        os.makedirs(target, exist_ok=True)
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read().replace(b"GNPLANI", code.encode())
            with open(os.path.join(target, name.replace("GNPLANI", code)), "wb") as f:
                f.write(data)
    if mkpe:
        p = os.path.join(out, code)
        c, m = "C" + code, "M" + code
        w = os.path.join(p, m, m + "Service")
        outputs = [os.path.join(p, c, "Win32", "Release", c + ".sdml"),
                   os.path.join(p, m, "Win32", "Release", m + ".exe"),
                   os.path.join(w, m + "BD", "bin", "Release", m + "BD.dll"),
                   os.path.join(w, m + "WCF", "bin", "Release", m + "WCF.dll")]
        for o in outputs:
            subprocess.run([mkpe, o, version], check=True)
