#!/usr/bin/env python3
"""Draws the tracker's own small pictures and writes them out twice: as .bmp files beside
this script (to look at) and as app/win/app_pictures_data.inc, the assembler text of a
resource section holding them as bitmap resources, which app/win/app_pictures.cpp places
in the program.

Pictures (key colour fuchsia, always in the bottom-left corner):
  LINGROVE_LOGO   24 x 24  the localization library's mark: two speech bubbles
  LINGROVE_ANIM  256 x 16  sixteen 16 x 16 frames of a turning globe
  PICKER_DELETE    7 x 7   the picker's delete glyph: a red cross

Run it from anywhere: python3 app/win/res/make_app_pictures.py
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
HEADER = os.path.join(HERE, "..", "app_pictures_data.inc")

KEY = (255, 0, 255)


def blank(width, height, colour=KEY):
    return [[colour for _ in range(width)] for _ in range(height)]


def fill_round_rect(img, left, top, right, bottom, radius, colour):
    for y in range(top, bottom):
        for x in range(left, right):
            cx = min(max(x + 0.5, left + radius), right - radius)
            cy = min(max(y + 0.5, top + radius), bottom - radius)
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius * radius:
                img[y][x] = colour


def outline(img, fill, edge):
    """Draws edge on every pixel of fill that touches a pixel of another colour."""
    h, w = len(img), len(img[0])
    marks = []
    for y in range(h):
        for x in range(w):
            if img[y][x] != fill:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < w and 0 <= ny < h) or img[ny][nx] not in (fill, edge):
                    marks.append((x, y))
                    break
    for x, y in marks:
        img[y][x] = edge


def plot(img, pattern, left, top, colour):
    for dy, row in enumerate(pattern):
        for dx, ch in enumerate(row):
            if ch == "#":
                img[top + dy][left + dx] = colour


def logo():
    img = blank(24, 24)
    back, back_edge = (40, 110, 200), (20, 55, 120)
    front, front_edge = (240, 150, 30), (150, 80, 10)
    # The back bubble, its tail pointing down left.
    fill_round_rect(img, 1, 1, 16, 13, 4, back)
    plot(img, ["###", "## ", "#  "], 3, 13, back)
    outline(img, back, back_edge)
    plot(img, ["  #  ", " # # ", "#   #", "#####", "#   #"], 6, 4, (255, 255, 255))
    # The front bubble overlaps it, its tail pointing down right.
    fill_round_rect(img, 8, 9, 23, 20, 4, front)
    plot(img, ["###", " ##", "  #"], 17, 20, front)
    outline(img, front, front_edge)
    plot(img, ["#####", "  #  ", " ### ", "# # #", " ### "], 13, 12, (255, 255, 255))
    return img


# Continents of the globe: (longitude, latitude, radius), in radians.
LANDS = [(0.3, -0.5, 0.55), (0.9, 0.2, 0.45), (2.4, -0.3, 0.6), (3.0, 0.5, 0.35),
         (4.3, 0.0, 0.5), (4.9, -0.6, 0.4), (5.6, 0.4, 0.35)]


def land_at(lon, lat):
    for clon, clat, radius in LANDS:
        d = math.acos(max(-1.0, min(1.0, math.sin(lat) * math.sin(clat) +
                                    math.cos(lat) * math.cos(clat) * math.cos(lon - clon))))
        if d < radius:
            return True
    return False


def shade(colour, light):
    return tuple(max(0, min(255, int(c * light))) for c in colour)


def globe_frame(phase):
    img = blank(16, 16)
    cx = cy = 8.0
    r = 6.9
    for y in range(16):
        for x in range(16):
            px, py = (x + 0.5 - cx) / r, (y + 0.5 - cy) / r
            d2 = px * px + py * py
            if d2 > 1.0:
                continue
            pz = math.sqrt(1.0 - d2)
            lon = math.atan2(px, pz) + phase
            lat = math.asin(-py)
            base = (60, 170, 70) if land_at(lon % (2 * math.pi), lat) else (40, 100, 210)
            # Light from the upper left.
            light = 0.55 + 0.6 * max(0.0, -0.45 * px - 0.45 * py + 0.77 * pz)
            img[y][x] = shade(base, light)
    # A dark rim keeps the globe round on any background.
    rim = (15, 40, 90)
    for y in range(16):
        for x in range(16):
            if img[y][x] == KEY:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < 16 and 0 <= ny < 16) or img[ny][nx] == KEY:
                    img[y][x] = rim
                    break
    return img


def globe_strip():
    frames = [globe_frame(i * 2 * math.pi / 16) for i in range(16)]
    return [sum((frame[y] for frame in frames), []) for y in range(16)]


def delete_glyph():
    img = blank(7, 7)
    red = (200, 20, 20)
    for i in range(1, 6):
        img[i][i] = red
        img[i][6 - i] = red
    return img


def dib(img):
    """A bitmap resource: BITMAPINFOHEADER and 24-bit rows, bottom-up, padded to 4 bytes."""
    h, w = len(img), len(img[0])
    stride = (w * 3 + 3) & ~3
    rows = b""
    for y in range(h - 1, -1, -1):
        row = b"".join(bytes((b, g, r)) for r, g, b in img[y])
        rows += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return info + rows


def bmp_file(data):
    return struct.pack("<2sIHHI", b"BM", 14 + len(data), 0, 0, 14 + 40) + data


def asm_bytes(data):
    lines = []
    for i in range(0, len(data), 16):
        chunk = ",".join("0x%02x" % b for b in data[i:i + 16])
        lines.append('  "\\t.byte %s\\n" \\' % chunk)
    return lines


def resource_section(pictures):
    """The assembler text of a resource directory: type RT_BITMAP (2), one named entry a
    picture (sorted by name), language US English, then names and data."""
    names = sorted(pictures)
    out = []

    def emit(text):
        out.append('  "%s\\n" \\' % text)

    def directory(named, ids):
        emit("\\t.long 0,0")
        emit("\\t.short 0,0,%d,%d" % (named, ids))

    emit("\\t.section .rsrc,\\\"dr\\\"")
    emit("\\t.p2align 2")
    emit("hl_apppic_root:")
    directory(0, 1)
    emit("\\t.long 2, (hl_apppic_names - hl_apppic_root) + 0x80000000")
    emit("hl_apppic_names:")
    directory(len(names), 0)
    for i, name in enumerate(names):
        emit("\\t.long (hl_apppic_name%d - hl_apppic_root) + 0x80000000, "
             "(hl_apppic_lang%d - hl_apppic_root) + 0x80000000" % (i, i))
    for i, name in enumerate(names):
        emit("hl_apppic_lang%d:" % i)
        directory(0, 1)
        emit("\\t.long 0x409, (hl_apppic_entry%d - hl_apppic_root)" % i)
    for i, name in enumerate(names):
        emit("hl_apppic_entry%d:" % i)
        emit("\\t.rva hl_apppic_data%d" % i)
        emit("\\t.long %d,0,0" % len(pictures[name]))
    for i, name in enumerate(names):
        emit("hl_apppic_name%d:" % i)
        emit("\\t.short %d" % len(name))
        emit("\\t.short " + ",".join(str(ord(c)) for c in name))
    for i, name in enumerate(names):
        emit("\\t.p2align 3")
        emit("hl_apppic_data%d:" % i)
        out.extend(asm_bytes(pictures[name]))
    emit("\\t.p2align 3")
    emit("\\t.text")
    return out


def main():
    images = {"LINGROVE_LOGO": logo(), "LINGROVE_ANIM": globe_strip(), "PICKER_DELETE": delete_glyph()}
    pictures = {}
    for name, img in images.items():
        pictures[name] = dib(img)
        with open(os.path.join(HERE, name.lower() + ".bmp"), "wb") as f:
            f.write(bmp_file(pictures[name]))
    lines = [
        "#pragma once",
        "// Generated by app/win/res/make_app_pictures.py; do not edit.",
        "// HL_APP_PICTURES_RSRC is the assembler text of a resource section holding the",
        "// tracker's own pictures as bitmap resources: " + ", ".join(sorted(pictures)) + ".",
        "",
        "#define HL_APP_PICTURES_RSRC \\",
    ]
    lines += resource_section(pictures)
    lines.append('  ""')
    with open(HEADER, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
