#!/usr/bin/env bash
# Where the bytes of each talvorin.exe go: its sections, and the largest
# functions and data linked in (from the symbol table of an unstripped link).
#   bash tools/size.sh [TOP]     (TOP largest symbols, 15 unless given)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
top=${1:-15}
source tools/wine-session.sh

for arch in x86 x64; do
  preset=$(talvorin_preset_of "$arch")
  triple=$([[ $arch == x86 ]] && echo i686-w64-mingw32 || echo x86_64-w64-mingw32)
  exe=build/$preset/app/talvorin.exe
  [[ -f $exe ]] || { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" >/dev/null; }
  echo "== $arch: $exe, $(stat -c %s "$exe") bytes (goal <= 262144)"
  "$triple-objdump" -h "$exe" | python3 -c '
import sys
for line in sys.stdin:
    f = line.split()
    if len(f) >= 3 and f[0].isdigit() and f[1].startswith("."):
        print(f"  {f[1]:<10} {int(f[2], 16):>8}")'
  # The same link without -s: the symbols say which code the bytes are.
  map=build/$preset/app/talvorin.map
  if [[ -f $map ]]; then
    echo "  code and data by library:"
    python3 - "$map" "$top" <<'PY'
import re, sys
sizes = {}
pending = None  # a section name too long for its line: the figures follow on the next
lines = open(sys.argv[1], errors="replace").read().split("\n")
# What --gc-sections dropped is listed first; what went in follows.
start = next((i for i, l in enumerate(lines) if l.startswith("Linker script and memory map")), 0)
for line in lines[start:]:
    m = re.match(r"\s(\.[a-z_]+)\S*(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S+))?\s*$", line)
    if m and m.group(2) is None:
        pending = m.group(1)
        continue
    if not m and pending:
        m2 = re.match(r"\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S+)", line)
        section, pending = pending, None
        if not m2:
            continue
        size, owner = int(m2.group(2), 16), m2.group(3)
    elif m:
        section, size, owner = m.group(1), int(m.group(3), 16), m.group(4)
    else:
        continue
    if section not in (".text", ".rdata", ".data", ".eh_frame", ".pdata", ".xdata") or size == 0:
        continue
    owner = re.sub(r".*/", "", owner)
    sizes[(section, owner)] = sizes.get((section, owner), 0) + size
by_library = {}
for (section, owner), size in sizes.items():
    library = owner.split("(")[0] if "(" in owner else "the program's objects"
    by_library[library] = by_library.get(library, 0) + size
for library, size in sorted(by_library.items(), key=lambda kv: -kv[1])[:8]:
    print(f"    {size:>8}  {library}")
print("  largest input sections:")
for (section, owner), size in sorted(sizes.items(), key=lambda kv: -kv[1])[: int(sys.argv[2])]:
    print(f"    {size:>8}  {section:<9} {owner}")
PY
  fi
done
