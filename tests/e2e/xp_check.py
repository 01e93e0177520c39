#!/usr/bin/env python3
"""Keeps the 32-bit talvorin.exe loadable on Windows XP SP3.

    python3 xp_check.py path/to/talvorin.exe path/to/xp_imports.txt

Reads the PE headers and import table itself (standard library only), so it
runs on the build machine without Wine. Checks that the subsystem version
asks for no Windows newer than XP (5.1), that ASLR and DEP stay on with the
relocations ASLR needs, and that every imported function is one that has
been checked against XP's system DLLs and listed in xp_imports.txt. A new
import fails here until someone has done that. Prints one line per check and
a closing "N passed, N failed" line; exits 1 if anything failed.
"""

import struct
import sys
from pathlib import Path

PE32_MAGIC = 0x10B
XP_VERSION = (5, 1)
DYNAMIC_BASE, NX_COMPAT = 0x0040, 0x0100
IMPORT_DIRECTORY, RELOC_DIRECTORY = 1, 5


class Pe:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections, optional_size = struct.unpack_from("<2xH12xH", data, pe + 4)
        self.optional = pe + 24
        self.magic = struct.unpack_from("<H", data, self.optional)[0]
        self.sections = []
        table = self.optional + optional_size
        for i in range(sections):
            name, vsize, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), rva, max(vsize, raw_size), raw))

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, self.optional + offset)[0]

    def directory(self, index):
        # The data directories follow the wider fields of a PE32+ header.
        start = 96 if self.magic == PE32_MAGIC else 112
        return struct.unpack_from("<II", self.data, self.optional + start + 8 * index)

    def offset(self, rva):
        for _, start, size, raw in self.sections:
            if start <= rva < start + size:
                return rva - start + raw
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def import_descriptors(self):
        """(DLL name, lookup table RVA) for each DLL the image imports from."""
        rva, _ = self.directory(IMPORT_DIRECTORY)
        descriptor = self.offset(rva)
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, descriptor)
            if name == 0:
                return
            yield self.text(name), lookup or first
            descriptor += 20

    def imports(self):
        for dll, table in self.import_descriptors():
            thunk = self.offset(table)
            while True:
                entry = struct.unpack_from("<I", self.data, thunk)[0]
                if entry == 0:
                    break
                if entry & 0x80000000:
                    yield dll, f"#{entry & 0xFFFF}"
                else:
                    yield dll, self.text(entry + 2)
                thunk += 4


def listed_imports(path):
    listed = set()
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        line = line.split("#", 1)[0].strip()
        if line:
            dll, function = line.split()
            listed.add((dll.lower(), function))
    return listed


def main(exe, imports_list):
    pe = Pe(Path(exe).read_bytes())
    passed = failed = 0

    def expect(label, ok, detail=""):
        nonlocal passed, failed
        if ok:
            passed += 1
            print(f"ok    {label}")
        else:
            failed += 1
            print(f"FAIL  {label}{': ' + detail if detail else ''}")
        return ok

    if not expect("a 32-bit image (PE32)", pe.magic == PE32_MAGIC, f"magic {pe.magic:#x}"):
        print(f"{passed} passed, {failed} failed")
        return 1
    subsystem = (pe.u16(48), pe.u16(50))
    expect(f"subsystem version {subsystem[0]}.{subsystem[1]} is at most XP's 5.1", subsystem <= XP_VERSION)
    os_version = (pe.u16(40), pe.u16(42))
    expect(f"OS version {os_version[0]}.{os_version[1]} is at most XP's 5.1", os_version <= XP_VERSION)
    characteristics = pe.u16(70)
    expect("ASLR on (dynamic base)", characteristics & DYNAMIC_BASE != 0, f"{characteristics:#06x}")
    expect("DEP on (NX compatible)", characteristics & NX_COMPAT != 0, f"{characteristics:#06x}")
    _, reloc_size = pe.directory(RELOC_DIRECTORY)
    expect("relocations kept for ASLR", reloc_size > 0)

    listed = listed_imports(imports_list)
    seen = sorted(set(pe.imports()))
    unchecked = [f"{dll}!{function}" for dll, function in seen if (dll.lower(), function) not in listed]
    expect(f"all {len(seen)} imports checked against XP", not unchecked,
           "not yet checked against XP and listed in xp_imports.txt: " + ", ".join(unchecked))
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
