#!/usr/bin/env python3
"""Checks a release that tools/release.sh wrote against the exes the test run
built and tested.

    python3 tests/release/release_check.py DIST x86=tested.exe x64=tested.exe

The release is a second build of the same sources: a clean copy in folders of
its own, built minutes after the tested one. Its exes must be the tested exes
byte for byte, and its zips the same bytes as the tested exes packed again
here, in another folder, now. Then the zips are listed and checked: their
names and version, what they hold, fixed times and modes, the exe inside
being the tested one, LICENSE.txt being LICENSE, and no folder of the build
machine anywhere. Prints one line per check and "N passed, N failed"; exits 1
if anything failed.
"""

import hashlib
import itertools
import os
import re
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path[:0] = [str(ROOT / "tools"), str(ROOT / "tests" / "e2e")]
import pack_release  # noqa: E402
from resources_check import Checks, PeResources, file_version, project_version  # noqa: E402

# What the README promises a zip holds, written out here rather than taken
# from pack_release, which could drop one and agree with itself.
ZIP_ENTRIES = ["talvorin.exe", "README.txt", "LICENSE.txt"]
LICENCE = ROOT / "LICENSE"


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def commit_time():
    """The time release.sh stamps the zips with, found here on its own."""
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    return int(subprocess.run(["git", "-C", str(ROOT), "log", "-1", "--format=%ct"],
                              capture_output=True, text=True, check=True).stdout)


def build_folders():
    """Folders of this machine that must not show up in what a user downloads."""
    folders = {str(ROOT), str(Path.home()), tempfile.gettempdir()}
    return sorted(f for f in folders if len(f) > 1)


def check_no_folders(checks, label, data):
    found = [folder for folder in build_folders()
             for encoded in (folder.encode("utf-8"), folder.encode("utf-16-le")) if encoded in data]
    checks.expect(f"{label}: no build folder in it", found, [])


def check_sums(checks, dist, names):
    lines = (dist / "SHA256SUMS").read_text(encoding="ascii").splitlines()
    listed = [line.split("  ", 1)[1] for line in lines]
    checks.expect("SHA256SUMS lists both zips and both exes", listed, names)
    for line in lines:
        digest, name = line.split("  ", 1)
        present = (dist / name).is_file()
        checks.expect(f"SHA256SUMS {name}", sha256((dist / name).read_bytes()) if present else None, digest)


def check_same_bytes(checks, dist, again, names):
    """The release against the tested exes packed again: a difference names the file."""
    for name in names:
        release, tested = sha256((dist / name).read_bytes()), sha256((again / name).read_bytes())
        print(f"      {release}  {name}")
        checks.expect(f"{name}: same bytes from both builds", release, tested)


def first_difference(got, want):
    """(line number, got, want) of the first line that differs, or None."""
    for number, (line, wanted) in enumerate(itertools.zip_longest(got, want), 1):
        if line != wanted:
            return number, line, wanted
    return None


def check_licence(checks, name, data):
    text = data.decode("utf-8", "replace")
    checks.expect(f"{name}: LICENSE.txt is the text of LICENSE",
                  first_difference(text.splitlines(), LICENCE.read_text(encoding="utf-8").splitlines()), None)
    checks.expect(f"{name}: LICENSE.txt has CR LF line ends, no bare LF", data.replace(b"\r\n", b"").count(b"\n"), 0)


def check_zip(checks, path, version, exe, epoch):
    with zipfile.ZipFile(path) as archive:
        print(f"      {path.name}:")
        for info in archive.infolist():
            print(f"        {info.filename:14} {info.file_size:>9,} B  {'%04d-%02d-%02d %02d:%02d:%02d' % info.date_time}"
                  f"  {info.external_attr >> 16:o}")
        checks.expect(f"{path.name}: entries", archive.namelist(), ZIP_ENTRIES)
        checks.expect(f"{path.name}: no entry damaged", archive.testzip(), None)
        # A zip keeps the time to the even second.
        commit = time.gmtime(epoch)
        checks.expect(f"{path.name}: every entry at the commit's time, mode 644",
                      {(i.date_time, i.external_attr >> 16) for i in archive.infolist()},
                      {(tuple(commit[:5]) + (commit.tm_sec // 2 * 2,), 0o100644)})
        entries = {name: archive.read(name) for name in archive.namelist()}
    checks.expect(f"{path.name}: talvorin.exe is the tested exe", sha256(entries.get("talvorin.exe", b"")), sha256(exe))
    readme = entries.get("README.txt", b"").decode("utf-8", "replace")
    checks.expect(f"{path.name}: README.txt names both zips, nothing left to fill in",
                  (pack_release.zip_name(version, "x86") in readme, pack_release.zip_name(version, "x64") in readme,
                   "@VERSION@" in readme), (True, True, False))
    # English, then Russian, parted by a line of dashes.
    checks.expect(f"{path.name}: README.txt names the licence in each language",
                  ["LICENSE.txt" in part for part in re.split(r"\n-{10,}\r?\n", readme)], [True, True])
    check_licence(checks, path.name, entries.get("LICENSE.txt", b""))
    check_no_folders(checks, path.name, path.read_bytes() + b"".join(entries.values()))


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip().splitlines()[3], file=sys.stderr)
        return 2
    dist = Path(argv[1])
    exes = {arch: Path(path).read_bytes() for arch, path in (arg.split("=", 1) for arg in argv[2:])}
    checks = Checks()
    if not checks.expect("tested exes", sorted(exes), sorted(pack_release.ARCHES)):
        return 1

    numbers = project_version()
    checks.expect("both exes carry the version of CMakeLists.txt",
                  {arch: file_version(PeResources(exe)) for arch, exe in exes.items()},
                  {arch: numbers for arch in exes})
    version = f"{numbers[0]}.{numbers[1]}"
    names = [pack_release.zip_name(version, arch) for arch in pack_release.ARCHES]
    names += [pack_release.exe_name(version, arch) for arch in pack_release.ARCHES]
    checks.expect("the release's files", sorted(p.name for p in dist.iterdir()), sorted(names + ["SHA256SUMS"]))
    if checks.failed:
        print(f"{checks.passed} passed, {checks.failed} failed")
        return 1
    check_sums(checks, dist, names)

    epoch = commit_time()
    with tempfile.TemporaryDirectory(prefix="talvorin-again-") as folder:
        pack_release.pack(Path(folder), version, exes, epoch)
        check_same_bytes(checks, dist, Path(folder), names)
    for arch in pack_release.ARCHES:
        check_zip(checks, dist / pack_release.zip_name(version, arch), version, exes[arch], epoch)
        check_no_folders(checks, pack_release.exe_name(version, arch), exes[arch])
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
