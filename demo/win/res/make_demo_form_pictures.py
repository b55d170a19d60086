#!/usr/bin/env python3
"""Draws the quick demo's own pictures and writes them out twice: as .bmp and .gif files
beside this script (to look at) and as demo/win/demo_form_pictures_data.inc, the assembler
text of a resource section holding them, which demo/win/demo_form_pictures.cpp places in
the program.

Bitmaps (RT_BITMAP; key colour fuchsia, always in the bottom-left corner):
  DEMO_PREV, DEMO_NEXT, DEMO_CLOSE   16 x 16   button glyphs
  DEMO_SIDE                          35 x 194  the strip beside the pages
  DEMO_TRAYICON                      15 x 15   the stopped tray clock
  DEMO_TRAYANIM                     120 x 15   eight cells of the running tray clock
  DEMO_HOURGLASS                     96 x 32   three cells of an hourglass
  DEMO_SPINNER                      256 x 16   sixteen cells of a turning ring of dots
  DEMO_LOGO                          24 x 24   the localization library's mark
  DEMO_SCR_*                                   small sketches of the tracker's windows
Raw data (RT_RCDATA):
  DEMO_ALARM_GIF   a 132 x 78 animated GIF89a of a counting-down alarm clock, stored with a
                   4-byte little-endian length in front, as a GIF picture keeps itself.

Run it from anywhere: python3 demo/win/res/make_demo_form_pictures.py
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
HEADER = os.path.join(HERE, "..", "demo_form_pictures_data.inc")

# The tracker's picture script has the plain helpers: blank pictures and assembler bytes.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "app", "win", "res"))
from make_app_pictures import blank, resource_section  # noqa: E402

KEY = (255, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
FACE = (212, 208, 200)
SHADOW = (128, 128, 128)
NAVY = (10, 36, 106)
BLUE = (40, 90, 200)
RED = (200, 30, 30)
GREEN = (40, 150, 60)
YELLOW = (240, 200, 40)
ORANGE = (240, 140, 30)


def rect(img, left, top, right, bottom, colour):
    for y in range(max(0, top), min(len(img), bottom)):
        for x in range(max(0, left), min(len(img[0]), right)):
            img[y][x] = colour


def frame(img, left, top, right, bottom, light, dark):
    rect(img, left, top, right, top + 1, light)
    rect(img, left, top, left + 1, bottom, light)
    rect(img, left, bottom - 1, right, bottom, dark)
    rect(img, right - 1, top, right, bottom, dark)


def disc(img, cx, cy, r, colour):
    for y in range(len(img)):
        for x in range(len(img[0])):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                img[y][x] = colour


def ring(img, cx, cy, r, width, colour):
    for y in range(len(img)):
        for x in range(len(img[0])):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if r - width <= d <= r:
                img[y][x] = colour


def line(img, x0, y0, x1, y1, colour, thick=1):
    steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
    for i in range(steps + 1):
        t = i / steps
        x = x0 + (x1 - x0) * t
        y = y0 + (y1 - y0) * t
        for dy in range(thick):
            for dx in range(thick):
                xi, yi = int(x) + dx, int(y) + dy
                if 0 <= yi < len(img) and 0 <= xi < len(img[0]):
                    img[yi][xi] = colour


def plot(img, pattern, left, top, colour, scale=1):
    for dy, row in enumerate(pattern):
        for dx, ch in enumerate(row):
            if ch == "#":
                rect(img, left + dx * scale, top + dy * scale, left + (dx + 1) * scale, top + (dy + 1) * scale, colour)


DIGITS = {
    "0": ["###", "# #", "# #", "# #", "###"], "1": [" # ", "## ", " # ", " # ", "###"],
    "2": ["###", "  #", "###", "#  ", "###"], "3": ["###", "  #", " ##", "  #", "###"],
    "4": ["# #", "# #", "###", "  #", "  #"], "5": ["###", "#  ", "###", "  #", "###"],
    ":": ["   ", " # ", "   ", " # ", "   "],
}


def text(img, s, left, top, colour, scale=1):
    for i, ch in enumerate(s):
        plot(img, DIGITS[ch], left + i * 4 * scale, top, colour, scale)


def fake_text(img, left, top, width, colour=SHADOW):
    """A grey bar standing for a line of text."""
    rect(img, left, top, left + width, top + 2, colour)


# ---- Glyphs ----

def arrow(right):
    img = blank(16, 16)
    pts = ["      #", "     ##", "    ###", "   ####", "  #####", " ######", "#######",
           " ######", "  #####", "   ####", "    ###", "     ##", "      #"]
    for y, row in enumerate(pts):
        for x, ch in enumerate(row):
            if ch == "#":
                img[y + 1][(15 - x - 2) if right else x + 2] = GREEN
    rect(img, 9 if not right else 1, 5, 15 if not right else 7, 10, GREEN)
    return img


def close_glyph():
    img = blank(16, 16)
    line(img, 3, 3, 12, 12, RED, 2)
    line(img, 12, 3, 3, 12, RED, 2)
    return img


def clock(size, angle, face=WHITE, rim=NAVY, hand=RED):
    img = blank(size, size)
    c = size / 2
    disc(img, c, c, c - 0.5, rim)
    disc(img, c, c, c - 1.8, face)
    r = c - 2.5
    line(img, c - 0.5, c - 0.5, c - 0.5 + r * math.sin(angle), c - 0.5 - r * math.cos(angle), hand)
    line(img, c - 0.5, c - 0.5, c - 0.5, c - 0.5 - r * 0.6, BLACK)
    return img


def strip(cells):
    return [sum((cell[y] for cell in cells), []) for y in range(len(cells[0]))]


def hourglass(stage):
    img = blank(32, 32)
    rect(img, 7, 2, 25, 4, NAVY)
    rect(img, 7, 28, 25, 30, NAVY)
    for y in range(4, 28):
        half = abs(y - 16)
        w = max(1, int(half * 0.7) + 1)
        rect(img, 16 - w - 1, y, 16 - w, y + 1, SHADOW)
        rect(img, 16 + w, y, 16 + w + 1, y + 1, SHADOW)
        top_sand = 4 + stage * 4
        if y < 16 and y >= top_sand + 2:
            rect(img, 16 - w, y, 16 + w, y + 1, YELLOW)
        if y > 16 and y >= 28 - (stage + 1) * 3:
            rect(img, 16 - w, y, 16 + w, y + 1, YELLOW)
    rect(img, 15, 15, 17, 20, YELLOW)
    return img


def spinner(phase):
    img = blank(16, 16)
    for i in range(8):
        a = i * math.pi / 4
        x, y = 8 + 5.5 * math.cos(a), 8 + 5.5 * math.sin(a)
        lit = (i - phase / 2) % 8
        colour = ORANGE if lit < 1 else (BLUE if lit < 3 else (160, 180, 220))
        disc(img, x, y, 1.9, colour)
    return img


def side_strip():
    img = blank(35, 194)
    for y in range(194):
        shade = int(90 + 120 * y / 193)
        rect(img, 4, y, 31, y + 1, (shade // 3, shade // 2, shade))
    for i, cy in enumerate((22, 70, 118, 166)):
        c = clock(22, i * math.pi / 2)
        for y in range(22):
            for x in range(22):
                if c[y][x] != KEY:
                    img[cy - 11 + y][6 + x] = c[y][x]
    rect(img, 0, 193, 35, 194, KEY)
    return img


def logo():
    img = blank(24, 24)
    # Two overlapping pages, the front one with a letter and a globe line.
    rect(img, 2, 2, 15, 19, (60, 120, 200))
    frame(img, 2, 2, 15, 19, (150, 190, 240), NAVY)
    rect(img, 9, 6, 22, 23, (250, 190, 60))
    frame(img, 9, 6, 22, 23, (255, 230, 160), (150, 90, 10))
    plot(img, ["  #  ", " # # ", "#   #", "#####", "#   #"], 4, 5, WHITE)
    ring(img, 15.5, 14.5, 5, 1.2, NAVY)
    line(img, 10.5, 14.5, 20.5, 14.5, NAVY)
    rect(img, 0, 23, 1, 24, KEY)
    return img


# ---- Sketches of the tracker's windows ----

def window(width, height, title_colour=NAVY):
    img = blank(width, height, FACE)
    frame(img, 0, 0, width, height, WHITE, SHADOW)
    rect(img, 2, 2, width - 2, 10, title_colour)
    fake_text(img, 5, 5, width // 3, WHITE)
    return img


def screen_start():
    img = window(150, 96)
    for i, colour in enumerate((GREEN, RED, BLUE, YELLOW, SHADOW)):
        rect(img, 6 + i * 18, 14, 20 + i * 18, 28, colour)
        frame(img, 5 + i * 18, 13, 21 + i * 18, 29, WHITE, SHADOW)
    rect(img, 6, 34, 144, 80, WHITE)
    frame(img, 5, 33, 145, 81, SHADOW, WHITE)
    for r in range(6):
        fake_text(img, 9, 38 + r * 7, 40 + (r * 13) % 50, BLACK)
        fake_text(img, 110, 38 + r * 7, 24, NAVY)
    rect(img, 3, 84, 147, 93, FACE)
    frame(img, 3, 84, 147, 93, SHADOW, WHITE)
    fake_text(img, 6, 88, 50)
    return img


def screen_menu():
    img = blank(110, 120, KEY)
    rect(img, 0, 0, 100, 112, FACE)
    frame(img, 0, 0, 100, 112, WHITE, SHADOW)
    for r in range(9):
        if r in (3, 7):
            rect(img, 4, 8 + r * 12, 96, 9 + r * 12, SHADOW)
            continue
        if r == 1:
            rect(img, 3, 3 + r * 12, 97, 13 + r * 12, NAVY)
            fake_text(img, 20, 7 + r * 12, 50, WHITE)
        else:
            fake_text(img, 20, 7 + r * 12, 35 + (r * 17) % 40, BLACK)
    tray = clock(15, 1.0)
    for y in range(15):
        for x in range(15):
            if tray[y][x] != KEY:
                img[104 + y - 0][93 + x - 0] = tray[y][x] if 104 + y < 120 and 93 + x < 110 else img[0][0]
    rect(img, 0, 119, 1, 120, KEY)
    return img


def screen_tasks():
    img = window(170, 100)
    rect(img, 5, 14, 165, 22, FACE)
    for c, w in ((5, 90), (95, 40), (135, 30)):
        frame(img, c, 14, c + w, 22, WHITE, SHADOW)
        fake_text(img, c + 3, 17, w // 2, BLACK)
    rect(img, 5, 22, 165, 95, WHITE)
    icons = (GREEN, BLUE, RED, ORANGE, SHADOW, BLUE, GREEN, NAVY)
    for r in range(8):
        rect(img, 7, 24 + r * 9, 13, 30 + r * 9, icons[r])
        fake_text(img, 16, 26 + r * 9, 30 + (r * 23) % 55, BLACK)
        fake_text(img, 98, 26 + r * 9, 28, NAVY)
        fake_text(img, 138, 26 + r * 9, 20, GREEN)
    return img


def screen_table():
    img = window(170, 100)
    rect(img, 5, 14, 165, 95, WHITE)
    for c in range(8):
        x = 5 + c * 20
        rect(img, x, 14, x + 1, 95, SHADOW)
    for r in range(10):
        y = 14 + r * 8
        rect(img, 5, y, 165, y + 1, SHADOW)
        if r == 0:
            rect(img, 6, 15, 165, 22, FACE)
        for c in range(8):
            if r == 0 or c == 0:
                fake_text(img, 8 + c * 20, y + 3, 12, BLACK)
            elif (r * c) % 3:
                fake_text(img, 9 + c * 20, y + 3, 8 + (r + c) % 5, NAVY)
    return img


def screen_chart():
    img = window(170, 100)
    rect(img, 5, 14, 165, 95, WHITE)
    rect(img, 15, 20, 16, 88, BLACK)
    rect(img, 15, 88, 160, 89, BLACK)
    heights = (40, 55, 30, 62, 48, 20, 35)
    for i, h in enumerate(heights):
        x = 22 + i * 19
        rect(img, x, 88 - h, x + 7, 88, BLUE)
        rect(img, x + 7, 88 - h * 2 // 3, x + 13, 88, ORANGE)
    return img


def screen_detail():
    img = window(170, 100)
    rect(img, 5, 14, 165, 95, WHITE)
    cx, cy, r = 45, 54, 32
    colours = (BLUE, ORANGE, GREEN, RED, YELLOW)
    shares = (0.35, 0.25, 0.2, 0.12, 0.08)
    for y in range(14, 95):
        for x in range(5, 90):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            if dx * dx + dy * dy > r * r:
                continue
            a = (math.atan2(dy, dx) + math.pi / 2) % (2 * math.pi) / (2 * math.pi)
            acc = 0
            for colour, share in zip(colours, shares):
                acc += share
                if a <= acc:
                    img[y][x] = colour
                    break
    for i, colour in enumerate(colours):
        rect(img, 95, 26 + i * 12, 101, 32 + i * 12, colour)
        fake_text(img, 105, 28 + i * 12, 50 - i * 6, BLACK)
    return img


def screen_alarm():
    img = window(150, 80, RED)
    c = clock(30, 2.2, face=WHITE, rim=RED)
    for y in range(30):
        for x in range(30):
            if c[y][x] != KEY:
                img[18 + y][10 + x] = c[y][x]
    for r in range(3):
        fake_text(img, 50, 22 + r * 8, 80 - r * 15, BLACK)
    rect(img, 55, 60, 95, 73, FACE)
    frame(img, 55, 60, 95, 73, WHITE, BLACK)
    fake_text(img, 66, 66, 18, BLACK)
    return img


# ---- The animated GIF ----

GIF_PALETTE = [WHITE, BLACK, RED, NAVY, (250, 240, 200), YELLOW, SHADOW, (255, 220, 220),
               GREEN, FACE, ORANGE, BLUE, (120, 0, 0), (200, 200, 255), (90, 90, 90), (255, 80, 80)]


def alarm_frame(seconds, shake):
    w, h = 132, 78
    img = blank(w, h, FACE)
    ox = shake
    # Bells and legs.
    disc(img, 14 + ox, 12, 8, YELLOW)
    disc(img, 50 + ox, 12, 8, YELLOW)
    line(img, 16 + ox, 66, 10 + ox, 74, BLACK, 2)
    line(img, 48 + ox, 66, 54 + ox, 74, BLACK, 2)
    disc(img, 32 + ox, 42, 29, RED)
    disc(img, 32 + ox, 42, 24, (250, 240, 200))
    for i in range(12):
        a = i * math.pi / 6
        x, y = 32 + ox + 20 * math.sin(a), 42 - 20 * math.cos(a)
        rect(img, int(x) - 1, int(y) - 1, int(x) + 1, int(y) + 1, BLACK)
    a = (5 - seconds) * math.pi / 3
    line(img, 32 + ox, 42, 32 + ox + 17 * math.sin(a), 42 - 17 * math.cos(a), RED, 2)
    line(img, 32 + ox, 42, 32 + ox, 30, BLACK, 2)
    # The countdown display.
    rect(img, 68, 26, 128, 58, BLACK)
    colour = (255, 80, 80) if seconds == 0 else GREEN
    text(img, "0:0%d" % seconds, 71, 32, colour, 3)
    if shake:
        for dy in (0, 8, 16):
            line(img, 4, 8 + dy, 0, 6 + dy, BLACK)
            line(img, 62, 8 + dy, 66, 6 + dy, BLACK)
    return img


def lzw_encode(indices, min_code_size):
    clear = 1 << min_code_size
    end = clear + 1
    out_codes = []
    table = {}
    next_code = end + 1
    width = min_code_size + 1
    codes = [(clear, width)]
    prefix = None
    for pixel in indices:
        if prefix is None:
            prefix = (pixel,)
            continue
        key = prefix + (pixel,)
        if key in table:
            prefix = key
            continue
        codes.append((table[prefix] if len(prefix) > 1 else prefix[0], width))
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            codes.append((clear, width))
            table = {}
            next_code = end + 1
            width = min_code_size + 1
        prefix = (pixel,)
    codes.append((table[prefix] if len(prefix) > 1 else prefix[0], width))
    # The decoder adds one more entry on reading that last code: the end code may need the
    # wider code then.
    if next_code < 4096 and next_code + 1 == (1 << width) and width < 12:
        width += 1
    codes.append((end, width))
    data = bytearray()
    acc = bits = 0
    for code, size in codes:
        acc |= code << bits
        bits += size
        while bits >= 8:
            data.append(acc & 0xFF)
            acc >>= 8
            bits -= 8
    if bits:
        data.append(acc & 0xFF)
    return bytes(data)


def gif(frames, delays_cs, palette):
    h, w = len(frames[0]), len(frames[0][0])
    index = {c: i for i, c in enumerate(palette)}
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", w, h, 0x80 | 0x30 | 3, 0, 0)
    for c in palette:
        out += bytes(c)
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for img, delay in zip(frames, delays_cs):
        out += b"\x21\xf9\x04" + struct.pack("<BHB", 1 << 2, delay, 0) + b"\x00"
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, w, h, 0)
        pixels = [index[img[y][x]] for y in range(h) for x in range(w)]
        out.append(4)
        data = lzw_encode(pixels, 4)
        for i in range(0, len(data), 255):
            block = data[i:i + 255]
            out.append(len(block))
            out += block
        out.append(0)
    out.append(0x3B)
    return bytes(out)


def alarm_gif():
    frames, delays = [], []
    for s in range(5, -1, -1):
        frames.append(alarm_frame(s, 0))
        delays.append(60)
    for i in range(4):
        frames.append(alarm_frame(0, 2 if i % 2 == 0 else -2))
        delays.append(12)
    return gif(frames, delays, GIF_PALETTE)


# ---- Output ----

def dib(img):
    """A bitmap resource: BITMAPINFOHEADER, a colour table and 4- or 8-bit rows, bottom-up,
    padded to 4 bytes."""
    h, w = len(img), len(img[0])
    colours = sorted({c for row in img for c in row})
    assert len(colours) <= 256, "too many colours"
    bits = 4 if len(colours) <= 16 else 8
    table_size = 1 << bits
    index = {c: i for i, c in enumerate(colours)}
    stride = ((w * bits + 31) // 32) * 4
    rows = b""
    for y in range(h - 1, -1, -1):
        if bits == 8:
            row = bytes(index[c] for c in img[y])
        else:
            vals = [index[c] for c in img[y]] + [0]
            row = bytes((vals[i] << 4) | vals[i + 1] for i in range(0, w, 2))
        rows += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(rows), 2835, 2835, table_size, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours) + b"\0" * 4 * (table_size - len(colours))
    return info + table + rows


def bmp_file(data):
    info_size = 40
    bits = struct.unpack_from("<H", data, 14)[0]
    return struct.pack("<2sIHHI", b"BM", 14 + len(data), 0, 0, 14 + info_size + 4 * (1 << bits)) + data


def main():
    images = {
        "DEMO_PREV": arrow(False), "DEMO_NEXT": arrow(True), "DEMO_CLOSE": close_glyph(),
        "DEMO_SIDE": side_strip(), "DEMO_TRAYICON": clock(15, 0.0, face=FACE, rim=SHADOW, hand=SHADOW),
        "DEMO_TRAYANIM": strip([clock(15, i * math.pi / 4) for i in range(8)]),
        "DEMO_HOURGLASS": strip([hourglass(i) for i in range(3)]),
        "DEMO_SPINNER": strip([spinner(i) for i in range(16)]),
        "DEMO_LOGO": logo(),
        "DEMO_SCR_START": screen_start(), "DEMO_SCR_MENU": screen_menu(), "DEMO_SCR_TASKS": screen_tasks(),
        "DEMO_SCR_TABLE": screen_table(), "DEMO_SCR_CHART": screen_chart(),
        "DEMO_SCR_DETAIL": screen_detail(), "DEMO_SCR_ALARM": screen_alarm(),
    }
    bitmaps = {}
    for name, img in images.items():
        # The key colour must stand in the bottom-left corner of every picture.
        bitmaps[name] = dib(img)
        with open(os.path.join(HERE, name.lower() + ".bmp"), "wb") as f:
            f.write(bmp_file(bitmaps[name]))
    animation = alarm_gif()
    with open(os.path.join(HERE, "demo_alarm.gif"), "wb") as f:
        f.write(animation)
    raw = {"DEMO_ALARM_GIF": struct.pack("<I", len(animation)) + animation}
    types = {2: bitmaps, 10: raw}
    with open(HEADER, "w", newline="\n") as f:
        f.write("#pragma once\n"
                "// Generated by demo/win/res/make_demo_form_pictures.py; do not edit.\n"
                "// HL_DEMO_PICTURES_RSRC: a resource section with the demo's own pictures, bitmaps\n"
                "// %s; raw data %s.\n\n" % (", ".join(sorted(bitmaps)), ", ".join(sorted(raw))))
        f.write("#define HL_DEMO_PICTURES_RSRC \\\n" + "\n".join(resource_section(types, "hl_demopic")) + '\n  ""\n')


if __name__ == "__main__":
    main()
