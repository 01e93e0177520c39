#!/usr/bin/env python3
"""Reads the resources back out of a built talvorin.exe and checks them.

    python3 resources_check.py path/to/talvorin.exe

Parses the PE resource directory itself (standard library only), so it runs
on the build machine without Wine.  Prints one line per check and a closing
"N passed, N failed" line; exits 1 if anything failed.
"""

import re
import struct
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

RT_CURSOR, RT_ICON, RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 1, 3, 12, 14, 16, 24
LANG_EN_US, LANG_EN_GB = 1033, 2057

ICON_IMAGES = [  # (id, size, bits per pixel), in the order the group lists them
    (30001, 48, 4), (30002, 32, 4), (30003, 16, 4),
    (30004, 48, 8), (30005, 32, 8), (30006, 16, 8),
    (30007, 48, 32), (30008, 32, 32), (30009, 16, 32),
]
ROOT = Path(__file__).resolve().parents[2]
ICO_FILE = ROOT / "resources" / "icons" / "talvorin.ico"
# The About window's icon, group 2, in the order the window lists its images.
ABOUT_ICON_IMAGES = [
    (30101, 32, 4), (30102, 32, 1), (30103, 16, 4), (30104, 48, 32), (30105, 48, 8),
    (30106, 32, 32), (30107, 32, 8), (30108, 16, 32), (30109, 16, 8),
]
ABOUT_ICO_FILE = ROOT / "resources" / "icons" / "about.ico"
# The links' hand cursor, group 1: two 32x32 images with the hot spot at the top-left pixel.
LINK_CURSOR_IMAGES = [(30201, 32, 8), (30202, 32, 32)]
LINK_HOT_SPOT = (0, 0)


def product_text(name):
    """A text constant of core/product.h: the version block must say the same."""
    source = (ROOT / "core" / "product.h").read_text(encoding="utf-8")
    return re.search(rf'{name} = u"([^"]*)"', source).group(1)


def project_version():
    """The four numbers of project(... VERSION ...) in CMakeLists.txt: the one
    place the version is set, which the version block has to follow."""
    source = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    numbers = tuple(int(n) for n in re.search(r"project\(talvorin VERSION ([\d.]+)", source).group(1).split("."))
    return numbers + (0,) * (4 - len(numbers))


def version_text(numbers):
    """The version as the version block's texts give it: 1.3 as "1.03"."""
    return f"{numbers[0]}.{numbers[1]:02d}"


VERSION = project_version()
VERSION_NUMBERS = {
    "signature": 0xFEEF04BD,
    "file version": VERSION,
    "product version": VERSION,
    "flags mask": 0,
    "flags": 0,
    "file OS (VOS__WINDOWS32)": 4,
    "file type (VFT_APP)": 1,
}
STRING_TABLE = "040904B0"
VERSION_STRINGS = {
    "Comments": "Программа для изменения кнопки Пуск и др.",
    "ProductName": "Talvorin",
    "FileVersion": version_text(VERSION),
    "ProductVersion": version_text(VERSION),
    "InternalName": "talvorin",
    "OriginalFilename": "talvorin.exe",
    # The author's name, with the e-mail address, and the home page: what the
    # About window shows.
    "CompanyName": product_text("kAuthorName"),
    "LegalCopyright": product_text("kAuthorName") + ", " + product_text("kAuthorEmail"),
    "LegalTrademarks": product_text("kHomePage"),
}

ASM = "{urn:schemas-microsoft-com:asm.v1}"
MANIFEST_SIZE = 600
MANIFEST_ATTRIBUTES = [  # (element path below <assembly>, attribute, value)
    (".", "manifestVersion", "1.0"),
    (f"{ASM}assemblyIdentity", "type", "win32"),
    (f"{ASM}assemblyIdentity", "processorArchitecture", "*"),
    (f"{ASM}assemblyIdentity", "version", "6.0.0.0"),
    (f"{ASM}assemblyIdentity", "name", "name"),
] + [
    (f"{ASM}dependency/{ASM}dependentAssembly/{ASM}assemblyIdentity", key, value)
    for key, value in (
        ("name", "Microsoft.Windows.Common-Controls"), ("version", "6.0.0.0"),
        ("type", "win32"), ("language", "*"), ("processorArchitecture", "*"),
        ("publicKeyToken", "6595b64144ccf1df"),
    )
]
MANIFEST_DESCRIPTION = "XP Manifest" + " " * 11


class Checks:
    def __init__(self):
        self.passed = self.failed = 0

    def expect(self, label, actual, expected):
        if actual == expected:
            self.passed += 1
            print(f"ok    {label}")
        else:
            self.failed += 1
            print(f"FAIL  {label}: got {actual!r}, want {expected!r}")
        return actual == expected


# ---------------------------------------------------------------- PE reading

class PeResources:
    """{(type, id): {language: bytes}} for every numbered resource."""

    def __init__(self, image):
        self.image = image
        pe = struct.unpack_from("<I", image, 0x3C)[0]
        if image[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", image, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.root_rva, _ = struct.unpack_from("<II", image, directories + 2 * 8)
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", image, table + 40 * i) for i in range(sections)]
        self.root = self._offset(self.root_rva)
        self.entries = {}
        for type_id, type_dir in self._directory(self.root):
            for name_id, name_dir in self._directory(self.root + type_dir):
                for lang, leaf in self._directory(self.root + name_dir):
                    rva, size = struct.unpack_from("<II", image, self.root + leaf)
                    data = image[self._offset(rva):self._offset(rva) + size]
                    self.entries.setdefault((type_id, name_id), {})[lang] = data

    def _offset(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return rva - address + raw_offset
        raise ValueError(f"RVA {rva:#x} is in no section")

    def _directory(self, offset):
        named, numbered = struct.unpack_from("<12xHH", self.image, offset)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.image, offset + 16 + 8 * i)
            # Named entries have the high bit set; every resource here is numbered.
            key = name if not name & 0x80000000 else f"named@{name & 0x7FFFFFFF:#x}"
            yield key, target & 0x7FFFFFFF

    def languages(self, type_id, name_id):
        return self.entries.get((type_id, name_id), {})


# ---------------------------------------------------------------- icons

def icon_image_size(data):
    """(width, height, bpp, expected byte count) from an RT_ICON's header."""
    _, width, height, _, bpp, _, _, _, _, colours_used, _ = struct.unpack_from("<IiiHHIIiiII", data)
    colours = colours_used or (1 << bpp if bpp <= 8 else 0)
    stride = lambda bits: (bits + 31) // 32 * 4
    rows = height // 2
    return width, rows, bpp, 40 + 4 * colours + rows * (stride(width * bpp) + stride(width))


def check_icons(res, checks):
    images = sorted(key[1] for key in res.entries if key[0] == RT_ICON)
    checks.expect("icon images: exactly those of the groups", images,
                  sorted(i[0] for i in ICON_IMAGES + ABOUT_ICON_IMAGES))
    check_icon_group(res, checks, 1, ICON_IMAGES, ICO_FILE)
    check_icon_group(res, checks, 2, ABOUT_ICON_IMAGES, ABOUT_ICO_FILE)


def check_icon_group(res, checks, group_id, expected_images, ico_file):
    groups = res.languages(RT_GROUP_ICON, group_id)
    if not checks.expect(f"icon group {group_id} present once", len(groups), 1):
        return
    group = next(iter(groups.values()))
    reserved, kind, count = struct.unpack_from("<HHH", group)
    checks.expect(f"icon group {group_id} header (reserved, type, count)", (reserved, kind, count),
                  (0, 1, len(expected_images)))
    checks.expect(f"icon group {group_id} length", len(group), 6 + 14 * count)
    ico = ico_file.read_bytes() if ico_file.exists() else b""
    for n, (image_id, size, bpp) in enumerate(expected_images):
        label = f"icon {image_id} ({size}x{size}, {bpp} bpp)"
        if 6 + 14 * (n + 1) > len(group):
            checks.expect(f"{label} listed", False, True)
            continue
        width, height, colours, _, planes, bits, length, listed_id = struct.unpack_from(
            "<BBBBHHIH", group, 6 + 14 * n)
        checks.expect(f"{label} group entry", (listed_id, width, height, colours, planes, bits),
                      (image_id, size, size, 1 << bpp if bpp < 8 else 0, 1, bpp))
        images = res.languages(RT_ICON, image_id)
        if not checks.expect(f"{label} image present once", len(images), 1):
            continue
        data = next(iter(images.values()))
        checks.expect(f"{label} size matches the group", len(data), length)
        w, h, b, expected_length = icon_image_size(data)
        checks.expect(f"{label} bitmap header", (w, h, b, len(data)), (size, size, bpp, expected_length))
        if bpp == 32:
            alphas = set(data[40 + 3:40 + 4 * size * size:4])
            # Transparent corners, an opaque body and a soft edge in between.
            checks.expect(f"{label} alpha has 0, 255 and partial values",
                          (0 in alphas, 255 in alphas, any(0 < a < 255 for a in alphas)),
                          (True, True, True))
        checks.expect(f"{label} same bytes in resources/icons/{ico_file.name}", data in ico, True)


def check_cursor(res, checks):
    groups = res.languages(RT_GROUP_CURSOR, 1)
    if not checks.expect("cursor group 1 present once", len(groups), 1):
        return
    group = next(iter(groups.values()))
    checks.expect("cursor group header (reserved, type, count)", struct.unpack_from("<HHH", group),
                  (0, 2, len(LINK_CURSOR_IMAGES)))
    images = sorted(key[1] for key in res.entries if key[0] == RT_CURSOR)
    checks.expect("cursor images: exactly those of the group", images, [i[0] for i in LINK_CURSOR_IMAGES])
    for n, (image_id, size, bpp) in enumerate(LINK_CURSOR_IMAGES):
        label = f"cursor {image_id} ({size}x{size}, {bpp} bpp)"
        if 6 + 14 * (n + 1) > len(group):
            checks.expect(f"{label} listed", False, True)
            continue
        # A cursor's entry counts the XOR and AND bitmaps in its height.
        width, height, planes, bits, length, listed_id = struct.unpack_from("<HHHHIH", group, 6 + 14 * n)
        checks.expect(f"{label} group entry", (listed_id, width, height, planes, bits),
                      (image_id, size, 2 * size, 1, bpp))
        found = res.languages(RT_CURSOR, image_id)
        if not checks.expect(f"{label} image present once", len(found), 1):
            continue
        data = next(iter(found.values()))
        checks.expect(f"{label} size matches the group", len(data), length)
        checks.expect(f"{label} hot spot", struct.unpack_from("<HH", data), LINK_HOT_SPOT)
        w, h, b, expected_length = icon_image_size(data[4:])
        checks.expect(f"{label} bitmap header", (w, h, b, len(data) - 4), (size, size, bpp, expected_length))


# ---------------------------------------------------------------- version

def _version_node(data, offset):
    """One VS_VERSIONINFO-style node: (key, value bytes, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key_end = data.index(b"\0\0", offset + 6)
    while (key_end - offset) % 2:
        key_end = data.index(b"\0\0", key_end + 1)
    key = data[offset + 6:key_end].decode("utf-16-le")
    value_start = (key_end + 2 + 3) & ~3
    value_bytes = value_length * 2 if kind == 1 else value_length
    value = data[value_start:value_start + value_bytes]
    children = []
    child = (value_start + value_bytes + 3) & ~3
    while child < end:
        node = _version_node(data, child)
        children.append(node)
        child = (node[3] + 3) & ~3
    return key, value, children, end




def file_version(res):
    """FILEVERSION's four numbers, or None where there is no version block."""
    data = res.languages(RT_VERSION, 1).get(LANG_EN_US)
    if data is None:
        return None
    ms, ls = struct.unpack_from("<II", _version_node(data, 0)[1], 8)
    return ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF


def check_version(res, checks):
    blocks = res.languages(RT_VERSION, 1)
    if not checks.expect("version block 1 languages", sorted(blocks), [LANG_EN_US]):
        return
    data = blocks[LANG_EN_US]
    key, fixed, children, _ = _version_node(data, 0)
    checks.expect("version root key", key, "VS_VERSION_INFO")
    if not checks.expect("fixed file info length", len(fixed), 52):
        return
    f = struct.unpack_from("<13I", fixed)
    pair = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    actual = {
        "signature": f[0], "file version": pair(f[2], f[3]), "product version": pair(f[4], f[5]),
        "flags mask": f[6], "flags": f[7], "file OS (VOS__WINDOWS32)": f[8],
        "file type (VFT_APP)": f[9],
    }
    for name, expected in VERSION_NUMBERS.items():
        checks.expect(f"version {name}", actual[name], expected)
    blocks = {child[0]: child for child in children}
    checks.expect("version top-level blocks", sorted(blocks), ["StringFileInfo", "VarFileInfo"])
    tables = blocks.get("StringFileInfo", ("", b"", [], 0))[2]
    checks.expect("string tables", [t[0] for t in tables], [STRING_TABLE])
    # Each value is stored with its terminating NUL, which the length counts.
    strings = {s[0]: s[1].decode("utf-16-le", "replace") for t in tables for s in t[2]}
    for name, expected in VERSION_STRINGS.items():
        checks.expect(f"string {name}", strings.get(name), expected + "\0")
    checks.expect("no other strings", sorted(set(strings) - set(VERSION_STRINGS)), [])
    var = blocks.get("VarFileInfo", ("", b"", [], 0))[2]
    translations = [struct.unpack("<HH", v[1]) for v in var if v[0] == "Translation"]
    checks.expect("translation", translations, [(0x0409, 1200)])


# ---------------------------------------------------------------- manifest

def check_manifest(res, checks):
    manifests = {key: langs for key, langs in res.entries.items() if key[0] == RT_MANIFEST}
    checks.expect("manifests (type 24): id 1 in language 2057 only",
                  {key[1]: sorted(langs) for key, langs in manifests.items()}, {1: [LANG_EN_GB]})
    data = res.languages(RT_MANIFEST, 1).get(LANG_EN_GB)
    if data is None:
        return
    checks.expect("manifest length", len(data), MANIFEST_SIZE)
    pairs = data.count(b"\r\n")
    checks.expect("manifest ends with CR LF", data.endswith(b"\r\n"), True)
    checks.expect("manifest bare CR and bare LF count",
                  (data.count(b"\r") - pairs, data.count(b"\n") - pairs), (0, 0))
    try:
        root = ET.fromstring(data)
    except ET.ParseError as error:
        checks.expect("manifest is well-formed XML", str(error), "")
        return
    checks.expect("manifest declares UTF-8, standalone",
                  data.startswith(b'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'), True)
    checks.expect("manifest root", root.tag, f"{ASM}assembly")
    for path, attribute, expected in MANIFEST_ATTRIBUTES:
        element = root if path == "." else root.find(path)
        where = path.replace(ASM, "") if path != "." else "assembly"
        checks.expect(f"manifest {where} {attribute}",
                      None if element is None else element.get(attribute), expected)
    description = root.find(f"{ASM}description")
    checks.expect("manifest description", None if description is None else description.text,
                  MANIFEST_DESCRIPTION)
    checks.expect("manifest dependencies", len(root.findall(f"{ASM}dependency")), 1)


def main(argv):
    if len(argv) != 2:
        print(f"usage: {argv[0]} talvorin.exe", file=sys.stderr)
        return 2
    res = PeResources(Path(argv[1]).read_bytes())
    checks = Checks()
    check_icons(res, checks)
    check_cursor(res, checks)
    check_version(res, checks)
    check_manifest(res, checks)
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
