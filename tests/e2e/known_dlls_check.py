#!/usr/bin/env python3
"""Keeps talvorin.exe safe in a download folder.

    python3 known_dlls_check.py path/to/talvorin.exe...

Windows loads a DLL that an exe imports from the exe's own folder first,
unless the DLL is one of its KnownDLLs, which always come from System32. A
portable exe sits in a download folder, where anyone may have dropped a DLL
of such a name. So every DLL in the import table must be a KnownDLL of every
Windows from 7 on. Reads the import table itself (no Wine needed), of PE32
and PE32+ alike. Prints a line per exe; exits 1 if any imports another DLL.
"""

import sys
from pathlib import Path

from xp_check import Pe

# HKLM\\System\\CurrentControlSet\\Control\\Session Manager\\KnownDLLs, the
# names that Windows 7, 8, 8.1, 10 and 11 all list. ntdll is not listed, as
# the system maps it into every process before anything else.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll",
    "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "wldap32.dll", "ws2_32.dll",
}


def main(exes):
    failed = 0
    for exe in exes:
        dlls = sorted({dll for dll, _ in Pe(Path(exe).read_bytes()).import_descriptors()}, key=str.lower)
        planted = [dll for dll in dlls if dll.lower() not in KNOWN_DLLS]
        if planted:
            failed += 1
            print(f"FAIL  {exe}: imports {', '.join(planted)}, which Windows would load from the exe's folder")
        else:
            print(f"ok    {exe}: imports only KnownDLLs ({', '.join(dlls)})")
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1:]))
