#!/usr/bin/env python3
"""Draws the program's icons and its link cursor, and writes them in the forms
the build and people use.

    python3 resources/generate_icons.py [OUT_DIR]

writes resources/icons/30001.bin ... 30009.bin (one RT_ICON image each),
resources/icons/group.bin (the RT_GROUP_ICON directory naming them) and
resources/icons/talvorin.ico (the same nine images as an ordinary icon file);
the About window's icon the same way as about_*.bin, about_group.bin and
about.ico; the link cursor as link_*.bin (RT_CURSOR), link_group.bin
(RT_GROUP_CURSOR) and link.cur.
The output is deterministic, so running it again leaves git clean unless the
artwork changed; the host tests draw everything again into a folder of
their own (OUT_DIR, resources/icons by default) and compare.  Standard
library only.
"""

import math
import struct
import sys
from pathlib import Path

OUT_DIR = Path(__file__).resolve().parent / "icons"

FIRST_IMAGE_ID = 30001
SIZES = (48, 32, 16)
DEPTHS = (4, 8, 32)
SUPERSAMPLE = 8

# The sixteen colours every VGA-class display has, in the order of the system palette.
VGA16 = (
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
)
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = VGA16[:8]
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = VGA16[8:]


def _palette256():
    """VGA colours, a 6x6x6 colour cube and a grey ramp: a fixed palette with no
    dependence on the picture, so a redraw never reshuffles the 8-bpp images."""
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    greys = [(v, v, v) for v in (8 + 10 * i for i in range(24))]
    return VGA16 + tuple(cube) + tuple(greys)


PALETTE256 = _palette256()
assert len(PALETTE256) == 256


# ---------------------------------------------------------------- artwork
# Unit square, y downwards.  A globe in the lower right, a flag on a pole in
# front of it in the upper left.

GLOBE_X, GLOBE_Y, GLOBE_R = 0.60, 0.60, 0.385
LIGHT = (-0.45, -0.55, 0.70)

POLE_X0, POLE_X1, POLE_Y0, POLE_Y1 = 0.075, 0.14, 0.075, 0.97
FLAG_X0, FLAG_X1, FLAG_Y0, FLAG_H = 0.14, 0.79, 0.09, 0.46
WAVE_AMPLITUDE, WAVE_LENGTH = 0.06, 0.52

# Shaded colours for the 8- and 32-bpp images; the 4-bpp image uses VGA
# colours outright, two tones per band, because a shaded colour lands on an
# arbitrary neighbour in a sixteen-colour palette.
BANDS_SHADED = ((230, 30, 35), (255, 210, 20), (40, 175, 60), (35, 90, 230))
BANDS_FLAT = ((RED, MAROON), (YELLOW, OLIVE), (LIME, GREEN), (BLUE, NAVY))
GLOBE_DARK, GLOBE_LIGHT = (8, 40, 125), (95, 170, 255)
OUTLINE = (20, 24, 48)
POLE_SHADED, KNOB_SHADED = (110, 85, 60), (250, 200, 40)


def _mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def _norm(v):
    length = math.sqrt(sum(c * c for c in v))
    return tuple(c / length for c in v)


_LIGHT = _norm(LIGHT)


class Art:
    """The picture for one image size.  Line widths are in pixels of that size,
    so the outline stays one pixel wide from 48 down to 16."""

    def __init__(self, size, flat):
        self.px = 1.0 / size
        self.flat = flat
        self.outline = 1.0 * self.px
        self.grid = 1.0 * self.px
        # Whole pixels per band, so the four colours come out even; at 16x16
        # the flag grows a little to get two rows each.
        band_px = max(2, round(FLAG_H * size / 4 - 0.5))
        self.flag_y0 = round(FLAG_Y0 * size) * self.px
        self.flag_h = (4 * band_px + 2) * self.px
        # At 16x16 a full graticule is a blur and the flag needs the room:
        # keep the equator and the central meridian, a shorter fly and a
        # gentler wave.
        if size >= 32:
            self.meridians = (0.0, 0.62, -0.62)
            self.parallels = (0.0, 0.5, -0.5)
            self.flag_x1, self.amplitude = FLAG_X1, WAVE_AMPLITUDE
        else:
            self.meridians = (0.0,)
            self.parallels = (0.0,)
            self.flag_x1, self.amplitude = 0.69, WAVE_AMPLITUDE * 0.7

    def sample(self, x, y):
        """(part, colour) at a point, or None where the icon is transparent.
        The part names the thing hit (the globe, a grid line, a band of the
        flag...), so a small image can decide a pixel by what most of it shows
        rather than by a blend; flat colours are their own part."""
        hit = self._globe(x, y)
        hit = self._flag(x, y) or hit
        hit = self._pole(x, y) or hit
        if hit is None:
            return None
        part, colour = hit
        return (colour if self.flat else part), colour

    def _globe(self, x, y):
        dx, dy = x - GLOBE_X, y - GLOBE_Y
        d = math.hypot(dx, dy)
        if d > GLOBE_R:
            return None
        if d > GLOBE_R - self.outline:
            return "globe edge", (NAVY if self.flat else OUTLINE)
        nz = math.sqrt(max(0.0, 1.0 - (d / GLOBE_R) ** 2))
        lit = max(0.0, (dx / GLOBE_R) * _LIGHT[0] + (dy / GLOBE_R) * _LIGHT[1] + nz * _LIGHT[2])
        on_grid = self._on_grid(dx, dy)
        if self.flat:
            if on_grid:
                return "grid", AQUA
            return "globe", (BLUE if lit > 0.35 else NAVY)
        base = _mix(GLOBE_DARK, GLOBE_LIGHT, lit)
        if on_grid:
            return "grid", _mix(base, (225, 240, 255), 0.55)
        return "globe", base

    def _on_grid(self, dx, dy):
        half = self.grid / 2
        chord = math.sqrt(max(0.0, GLOBE_R * GLOBE_R - dy * dy))
        if any(abs(dx - s * chord) < half for s in self.meridians):
            return True
        return any(abs(dy - GLOBE_R * p) < half for p in self.parallels)

    def _wave(self, u):
        # The cloth hangs still at the pole and swings more towards the fly end.
        reach = u / (self.flag_x1 - FLAG_X0)
        phase = 2 * math.pi * u / WAVE_LENGTH
        return self.amplitude * math.sin(phase) * reach ** 0.7, math.cos(phase)

    def _flag(self, x, y):
        u = x - FLAG_X0
        if u < 0 or x > self.flag_x1:
            return None
        offset, slope = self._wave(u)
        v = y - (self.flag_y0 + offset)
        if v < 0 or v > self.flag_h:
            return None
        if v < self.outline or v > self.flag_h - self.outline or x > self.flag_x1 - self.outline:
            return "flag edge", (BLACK if self.flat else OUTLINE)
        band = min(3, int((v - self.outline) / (self.flag_h - 2 * self.outline) * 4))
        if self.flat:
            light, dark = BANDS_FLAT[band]
            return band, (light if slope > -0.35 else dark)
        shade = 0.84 + 0.2 * slope
        return band, tuple(min(255.0, c * shade) for c in BANDS_SHADED[band])

    def _pole(self, x, y):
        knob_r = (POLE_X1 - POLE_X0) * 0.9
        cx = (POLE_X0 + POLE_X1) / 2
        if math.hypot(x - cx, y - POLE_Y0) < knob_r:
            return "knob", (YELLOW if self.flat else KNOB_SHADED)
        if POLE_X0 <= x <= POLE_X1 and POLE_Y0 <= y <= POLE_Y1:
            if self.flat:
                return "pole", GREY
            across = (x - POLE_X0) / (POLE_X1 - POLE_X0)
            return "pole", _mix(POLE_SHADED, (200, 170, 130), 1 - across)
        return None


class Outlined:
    """A filled figure with a one-pixel outline: the outline is where a point
    inside has a neighbour one pixel away outside."""

    def __init__(self, size, flat):
        self.px = 1.0 / size
        self.flat = flat

    def inside(self, x, y):
        raise NotImplementedError

    def on_edge(self, x, y):
        o = self.px
        return not all(self.inside(x + dx, y + dy) for dx, dy in ((o, 0), (-o, 0), (0, o), (0, -o)))


def _in_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def _in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    return (d1 >= 0 and d2 >= 0 and d3 >= 0) or (d1 <= 0 and d2 <= 0 and d3 <= 0)


def _in_round_rect(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return math.hypot(x - cx, y - cy) <= r


# The About window's icon: a blue lower-case "i" in a white speech bubble.
BUBBLE = (0.5, 0.43, 0.47, 0.37)  # centre and radii
BUBBLE_TAIL = ((0.20, 0.66), (0.44, 0.76), (0.08, 0.97))
INFO_BLUE = (30, 80, 220)


class AboutArt(Outlined):
    def inside(self, x, y):
        return _in_ellipse(x, y, *BUBBLE) or _in_triangle(x, y, *BUBBLE_TAIL)

    def sample(self, x, y):
        if not self.inside(x, y):
            return None
        if self.on_edge(x, y):
            colour = BLACK if self.flat else OUTLINE
        elif math.hypot(x - 0.5, y - 0.2) <= 0.085 or (0.43 <= x <= 0.57 and 0.34 <= y <= 0.66):
            colour = BLUE if self.flat else INFO_BLUE
        else:
            colour = WHITE
        return colour, colour


# The link cursor: a white hand with a black outline, the index finger up,
# its tip at the top-left pixel, where the click lands.
KNUCKLES = ((0.33, 0.47), (0.49, 0.50), (0.64, 0.54))


class HandArt(Outlined):
    def inside(self, x, y):
        if _in_round_rect(x, y, 0.0, 0.0, 0.2, 0.65, 0.1):
            return True
        if _in_round_rect(x, y, 0.0, 0.45, 0.74, 0.98, 0.12):
            return True
        return any(math.hypot(x - cx, y - cy) <= 0.085 for cx, cy in KNUCKLES)

    def sample(self, x, y):
        if not self.inside(x, y):
            return None
        colour = BLACK if self.on_edge(x, y) else WHITE
        return colour, colour


# ---------------------------------------------------------------- rasterising

def render(size, flat, art_class=None):
    """One list per pixel, row by row from the top: its sub-samples as
    the art's sample gives them."""
    art = (art_class or Art)(size, flat)
    step = 1.0 / (size * SUPERSAMPLE)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            samples = []
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px * SUPERSAMPLE + sx + 0.5) * step
                    y = (py * SUPERSAMPLE + sy + 0.5) * step
                    samples.append(art.sample(x, y))
            row.append(samples)
        rows.append(row)
    return rows


def _nearest(colour, palette):
    r, g, b = colour
    return min(range(len(palette)),
               key=lambda i: (palette[i][0] - r) ** 2 + (palette[i][1] - g) ** 2
               + (palette[i][2] - b) ** 2)


def _average(colours):
    return tuple(sum(c[i] for c in colours) / len(colours) for i in range(3))


def _majority(solid):
    """The average colour of the part that covers most of the pixel."""
    counts = {}
    for part, _ in solid:
        counts[part] = counts.get(part, 0) + 1
    best = max(counts, key=counts.get)
    return _average([colour for part, colour in solid if part == best])


def to_rgba(pixels, crisp):
    """Straight (not premultiplied) colour plus coverage as alpha.  With crisp,
    a pixel takes the colour most of its samples have instead of their
    average: at 16x16 averaging smears the flag's bands into each other, while
    the alpha edge stays anti-aliased either way."""
    out = []
    for row in pixels:
        out_row = []
        for samples in row:
            solid = [s for s in samples if s is not None]
            if not solid:
                out_row.append((0, 0, 0, 0))
                continue
            alpha = round(255 * len(solid) / len(samples))
            colour = _majority(solid) if crisp else _average([c for _, c in solid])
            out_row.append(tuple(round(c) for c in colour) + (alpha,))
        out.append(out_row)
    return out


def to_indexed(pixels, palette, majority):
    """Palette index per pixel (None where transparent).  A pixel is opaque when
    at least half of it is covered.  With majority, the pixel takes the colour
    most of its samples have, which keeps flat artwork and small images free
    of in-between colours; otherwise the average colour is matched to the
    palette."""
    out = []
    for row in pixels:
        out_row = []
        for samples in row:
            solid = [s for s in samples if s is not None]
            if 2 * len(solid) < len(samples):
                out_row.append(None)
            else:
                colour = _majority(solid) if majority else _average([c for _, c in solid])
                out_row.append(_nearest(colour, palette))
        out.append(out_row)
    return out


# ---------------------------------------------------------------- encoding

def _stride(bits):
    return (bits + 31) // 32 * 4


def _and_mask(transparent):
    """1 bit per pixel, 1 = let the background through; rows bottom-up."""
    size = len(transparent)
    data = bytearray()
    for row in reversed(transparent):
        line = bytearray(_stride(size))
        for x, clear in enumerate(row):
            if clear:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return bytes(data)


def encode_indexed(indices, bpp, palette):
    size = len(indices)
    stride = _stride(size * bpp)
    xor = bytearray()
    for row in reversed(indices):
        line = bytearray(stride)
        for x, index in enumerate(row):
            # Transparent pixels must be black in the XOR bits: the mask lets
            # the background through and black XOR leaves it as it is.
            index = index or 0
            if bpp == 8:
                line[x] = index
            elif bpp == 1:
                line[x // 8] |= index << (7 - x % 8)
            else:
                line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += line
    mask = _and_mask([[i is None for i in row] for row in indices])
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return _header(size, bpp, len(xor) + len(mask)) + colours + bytes(xor) + mask


def encode_rgba(rgba):
    size = len(rgba)
    xor = bytearray()
    for row in reversed(rgba):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask = _and_mask([[p[3] == 0 for p in row] for row in rgba])
    return _header(size, 32, len(xor) + len(mask)) + bytes(xor) + mask


def _header(size, bpp, image_bytes):
    # An icon's BITMAPINFOHEADER counts the XOR and AND bitmaps together in its height.
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0, image_bytes, 0, 0, 0, 0)


def build_images():
    """The nine images, in the order of their resource ids: (size, bpp, bytes)."""
    images = []
    for bpp in DEPTHS:
        for size in SIZES:
            crisp = size <= 16
            if bpp == 4:
                data = encode_indexed(to_indexed(render(size, True), VGA16, True), 4, VGA16)
            elif bpp == 8:
                data = encode_indexed(to_indexed(render(size, False), PALETTE256, crisp), 8,
                                      PALETTE256)
            else:
                data = encode_rgba(to_rgba(render(size, False), crisp))
            images.append((size, bpp, data))
    return images


MONOCHROME = (BLACK, WHITE)

# The About icon's images, in the order the window's icon lists them.
ABOUT_FIRST_ID = 30101
ABOUT_IMAGES = ((32, 4), (32, 1), (16, 4), (48, 32), (48, 8), (32, 32), (32, 8), (16, 32), (16, 8))
# The link cursor: two 32x32 images, hot spot at (0, 0).
LINK_FIRST_ID = 30201
LINK_IMAGES = ((32, 8), (32, 32))


def draw_image(art_class, size, bpp):
    crisp = size <= 16
    if bpp == 1:
        return encode_indexed(to_indexed(render(size, True, art_class), MONOCHROME, True), 1, MONOCHROME)
    if bpp == 4:
        return encode_indexed(to_indexed(render(size, True, art_class), VGA16, True), 4, VGA16)
    if bpp == 8:
        return encode_indexed(to_indexed(render(size, False, art_class), PALETTE256, crisp), 8, PALETTE256)
    return encode_rgba(to_rgba(render(size, False, art_class), crisp))


def cursor_group(images, first_id):
    """RT_GROUP_CURSOR: each entry gives the height of XOR and AND bitmaps
    together, and the size of the RT_CURSOR data with its hot spot."""
    out = struct.pack("<HHH", 0, 2, len(images))
    for n, (size, bpp, data) in enumerate(images):
        out += struct.pack("<HHHHIH", size, 2 * size, 1, bpp, len(data), first_id + n)
    return out


def cur_file(images, hot_spot):
    out = struct.pack("<HHH", 0, 2, len(images))
    offset = len(out) + 16 * len(images)
    for size, _, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, hot_spot[0], hot_spot[1], len(data) - 4, offset)
        offset += len(data) - 4
    return out + b"".join(data[4:] for _, _, data in images)


def _colour_count(bpp):
    # The directory's byte cannot hold 256; 0 stands for "256 or more".
    return 1 << bpp if bpp < 8 else 0


def group_directory(images, first_id=FIRST_IMAGE_ID):
    out = struct.pack("<HHH", 0, 1, len(images))
    for n, (size, bpp, data) in enumerate(images):
        out += struct.pack("<BBBBHHIH", size, size, _colour_count(bpp), 0, 1, bpp, len(data),
                           first_id + n)
    return out


def ico_file(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for size, bpp, data in images:
        out += struct.pack("<BBBBHHII", size, size, _colour_count(bpp), 0, 1, bpp, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def main(out_dir=OUT_DIR):
    images = build_images()
    out_dir.mkdir(parents=True, exist_ok=True)
    for n, (_, _, data) in enumerate(images):
        (out_dir / f"{FIRST_IMAGE_ID + n}.bin").write_bytes(data)
    (out_dir / "group.bin").write_bytes(group_directory(images))
    (out_dir / "talvorin.ico").write_bytes(ico_file(images))

    about = [(size, bpp, draw_image(AboutArt, size, bpp)) for size, bpp in ABOUT_IMAGES]
    for n, (_, _, data) in enumerate(about):
        (out_dir / f"about_{ABOUT_FIRST_ID + n}.bin").write_bytes(data)
    (out_dir / "about_group.bin").write_bytes(group_directory(about, ABOUT_FIRST_ID))
    (out_dir / "about.ico").write_bytes(ico_file(about))

    hot_spot = (0, 0)
    link = [(size, bpp, struct.pack("<HH", *hot_spot) + draw_image(HandArt, size, bpp))
            for size, bpp in LINK_IMAGES]
    for n, (_, _, data) in enumerate(link):
        (out_dir / f"link_{LINK_FIRST_ID + n}.bin").write_bytes(data)
    (out_dir / "link_group.bin").write_bytes(cursor_group(link, LINK_FIRST_ID))
    (out_dir / "link.cur").write_bytes(cur_file(link, hot_spot))
    print(f"wrote {len(images) + len(about)} icon and {len(link)} cursor images to {out_dir}")
    return 0


if __name__ == "__main__":
    sys.exit(main(*(Path(arg) for arg in sys.argv[1:2])))
