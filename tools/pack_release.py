#!/usr/bin/env python3
"""Packs built exes into the release: one zip per architecture (the exe, its
README.txt and LICENSE.txt), the exes beside them under names that say which
is which, and SHA256SUMS for all four.

    python3 tools/pack_release.py OUT_DIR VERSION x86=path/talvorin.exe x64=path/talvorin.exe

VERSION is major.minor (1.3). The bytes depend on nothing but the exes, the
files of the tree and SOURCE_DATE_EPOCH (the commit's time; required): names
in a fixed order, every entry stamped with that time, fixed attributes, no
extra fields and no comment. So the same exes always give the same zips.
Prints what it wrote, with sizes and SHA-256 sums.
"""

import hashlib
import io
import os
import sys
import time
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
README = ROOT / "docs" / "release" / "README.txt"
LICENCE = ROOT / "LICENSE"
ARCHES = ("x86", "x64")
ENTRY_MODE = 0o100644
# The oldest time a zip entry can hold.
ZIP_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC


def zip_name(version, arch):
    return f"talvorin-{version}-{arch}.zip"


def exe_name(version, arch):
    return f"talvorin-{version}-{arch}.exe"


def crlf(text):
    """CR LF whatever git checked out: Notepad before Windows 10 1809 runs lines
    ending in a bare LF together."""
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def readme_bytes(version):
    """README.txt as Notepad on any Windows reads it: UTF-8 with a BOM, CR LF."""
    text = README.read_text(encoding="utf-8").replace("@VERSION@", version)
    return b"\xef\xbb\xbf" + crlf(text).encode("utf-8")


def licence_bytes():
    """LICENSE as LICENSE.txt, so that a double click opens it. Kept ASCII,
    which every Notepad reads without a BOM: a letter outside it stops the
    release rather than show garbled."""
    return crlf(LICENCE.read_text(encoding="ascii")).encode("ascii")


def members(version, exe):
    """(name, bytes) of one zip, in the order they are stored."""
    return [("talvorin.exe", exe), ("README.txt", readme_bytes(version)), ("LICENSE.txt", licence_bytes())]


def zip_bytes(entries, epoch):
    """A zip of the entries whose bytes depend on nothing else."""
    stamp = time.gmtime(max(epoch, ZIP_EPOCH))[:6]
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            # A plain file readable by all, whatever the packing host's umask.
            info.create_system = 3
            info.external_attr = ENTRY_MODE << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    return buffer.getvalue()


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def pack(out_dir, version, exes, epoch):
    """Writes the zips, the exes and SHA256SUMS for {arch: exe bytes}; returns
    [(file name, bytes)] of everything written, in SHA256SUMS' order."""
    out_dir.mkdir(parents=True, exist_ok=True)
    written = []
    for arch in ARCHES:
        name = zip_name(version, arch)
        data = zip_bytes(members(version, exes[arch]), epoch)
        (out_dir / name).write_bytes(data)
        written.append((name, data))
    # The exes too, on their own and under names that say which is which, so
    # an exe already unpacked can be checked against its line.
    for arch in ARCHES:
        name = exe_name(version, arch)
        (out_dir / name).write_bytes(exes[arch])
        written.append((name, exes[arch]))
    sums = "".join(f"{sha256(data)}  {name}\n" for name, data in written)
    (out_dir / "SHA256SUMS").write_text(sums, encoding="ascii", newline="\n")
    return written


def main(argv):
    if len(argv) != 5 or "SOURCE_DATE_EPOCH" not in os.environ:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        print("SOURCE_DATE_EPOCH must be set", file=sys.stderr)
        return 2
    out_dir, version = Path(argv[1]), argv[2]
    exes = dict(arg.split("=", 1) for arg in argv[3:])
    if sorted(exes) != sorted(ARCHES):
        print(f"need x86= and x64=, got {sorted(exes)}", file=sys.stderr)
        return 2
    listed = pack(out_dir, version, {arch: Path(path).read_bytes() for arch, path in exes.items()},
                  int(os.environ["SOURCE_DATE_EPOCH"]))
    print(f"wrote {out_dir}/:")
    for name, data in listed:
        print(f"  {name:28} {len(data):>9,} B  sha256 {sha256(data)}")
    print(f"  {'SHA256SUMS':28} {(out_dir / 'SHA256SUMS').stat().st_size:>9,} B")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
