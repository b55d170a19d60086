#!/usr/bin/env python3
"""Draws the tracker's own small pictures and writes them out twice: as .bmp files beside
this script (to look at) and as app/win/app_pictures_data.inc, the assembler text of a
resource section holding them as bitmap resources, which app/win/app_pictures.cpp places
in the program.

Pictures (key colour fuchsia, always in the bottom-left corner):
  LINGROVE_LOGO   24 x 24  the localization library's mark: two speech bubbles
  LINGROVE_ANIM  256 x 16  sixteen 16 x 16 frames of a turning globe
  PICKER_DELETE    7 x 7   the picker's delete glyph: a red cross
  TRAY_CLOCK     144 x 16  the tray icon: the still clock face, then eight frames of a
                           hand going round
  MAIN_MENU      160 x 16  the tray menu's images: restore, hide, start, stop, statistics,
                           options, close, countdown time, help, time tracking
  USER_PICK       16 x 16  the main window's user picker: head and shoulders
  GLYPH_SERVICE    7 x 7   header glyphs in white: the service menu's arrow,
  GLYPH_HIDE       7 x 7     hiding to the tray,
  GLYPH_CLOSE      8 x 8     closing
  GLYPH_STATISTIC 24 x 12  button glyphs, each cell followed by its greyed cell for a
  GLYPH_OPTIONS   24 x 12    disabled button: statistics (bars), options (gear), start,
  GLYPH_START     20 x 10    stop, alarm (clock with bells), countdown (hourglass),
  GLYPH_STOP      20 x 10    comment (speech bubble)
  GLYPH_ALARM     24 x 12
  GLYPH_COUNTDOWN 24 x 12
  GLYPH_COMMENT   24 x 12

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


def disc(img, cx, cy, r, colour):
    for y in range(len(img)):
        for x in range(len(img[0])):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                img[y][x] = colour


def line(img, x0, y0, x1, y1, colour):
    steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
    for i in range(steps + 1):
        t = i / steps
        x, y = int(round(x0 + (x1 - x0) * t)), int(round(y0 + (y1 - y0) * t))
        if 0 <= y < len(img) and 0 <= x < len(img[0]):
            img[y][x] = colour


def clock_face(turns_long, turns_short, size=16):
    """The tray clock: a white dial in a teal rim, dark red hands. Drawn for 16 x 16 and
    scaled for the program's larger icons (size 16 gives the tray's pixels exactly)."""
    k = size / 16.0
    img = blank(size, size)
    disc(img, 8 * k, 8 * k, 8 * k, (0, 110, 110))
    disc(img, 8 * k, 8 * k, 6.2 * k, (255, 255, 240))
    for i in range(4):
        a = i * math.pi / 2
        tick_y = int(8 * k - 5.2 * k * math.cos(a))
        tick_x = int(8 * k + 5.2 * k * math.sin(a)) - (1 if i == 1 else 0)
        for dy in range(int(k)):
            for dx in range(int(k)):
                img[tick_y + dy - (dy if i == 2 else 0)][tick_x + dx - (dx if i == 1 else 0)] = (0, 110, 110)
    hand = (150, 0, 0)
    centre = 7.5 * k + (k - 1) / 2
    for turns, length in ((turns_short, 3.2), (turns_long, 5.0)):
        a = turns * 2 * math.pi
        for w in range(int(k)):
            offset = w - (int(k) - 1) / 2
            line(img, centre + offset * math.cos(a), centre + offset * math.sin(a),
                 centre + offset * math.cos(a) + math.sin(a) * length * k,
                 centre + offset * math.sin(a) - math.cos(a) * length * k, hand)
    hub = int(7 * k)
    for y in range(hub, hub + int(2 * k)):
        for x in range(hub, hub + int(2 * k)):
            img[y][x] = (60, 0, 0)
    return img


def tray_strip():
    cells = [clock_face(10.0 / 60, 2.0 / 12)] + [clock_face(i / 8.0, 0.0) for i in range(8)]
    return [sum((cell[y] for cell in cells), []) for y in range(16)]


WHITE = (255, 255, 255)


def glyph_service():
    img = blank(7, 7)
    for row, (a, b) in enumerate(((0, 7), (1, 6), (2, 5), (3, 4))):
        for x in range(a, b):
            img[row + 1][x] = WHITE
    return img


def glyph_hide():
    img = blank(7, 7)
    for y in (4, 5):
        for x in range(1, 7):
            img[y][x] = WHITE
    return img


def glyph_close():
    img = blank(8, 8)
    for i in range(1, 7):
        for d in (0, 1):
            if i + d < 8:
                img[i][i + d] = WHITE
            if 7 - i - d >= 0:
                img[i][7 - i - d] = WHITE
    img[7][0] = KEY
    return img


def glyph_statistic(size=12):
    img = blank(size, size)
    o = (size - 12) // 2
    dark = (40, 40, 40)
    for x0, h, colour in ((1, 5, (40, 90, 200)), (5, 9, (40, 160, 60)), (9, 7, (210, 60, 40))):
        for y in range(10 - h, 10):
            for x in range(x0, x0 + 3):
                img[o + y][o + x] = colour
        for y in range(10 - h, 10):
            img[o + y][o + x0 + 2] = shade(colour, 0.6)
    for x in range(0, 12):
        img[o + 10][o + x] = dark
    img[o + 10][o + 0] = KEY if o == 0 else img[o + 10][o + 0]
    return img


def glyph_options(size=12):
    img = blank(size, size)
    c = size / 2.0
    grey, edge = (150, 150, 160), (70, 70, 80)
    for y in range(size):
        for x in range(size):
            dx, dy = x + 0.5 - c, y + 0.5 - c
            r = math.hypot(dx, dy)
            a = math.atan2(dy, dx)
            tooth = math.cos(a * 8) > 0.3
            if r <= 3.6 or (tooth and r <= 5.4):
                img[y][x] = grey
            if r <= 1.5:
                img[y][x] = KEY
    outline(img, grey, edge)
    img[size - 1][0] = KEY
    return img


def glyph_start(size=10):
    img = blank(size, size)
    o = (size - 10) // 2
    green, edge = (40, 170, 60), (10, 90, 20)
    plot(img, ["#     ", "###   ", "####  ", "######", "######", "####  ", "###   ", "#     "],
         o + 2, o + 1, green)
    plot(img, ["##    ", "# ##  ", "#   # ", "#    #", "#    #", "#   # ", "# ##  ", "##    "],
         o + 2, o + 1, edge)
    return img


def glyph_stop(size=10):
    img = blank(size, size)
    o = (size - 10) // 2
    red, edge = (210, 40, 30), (120, 10, 10)
    for y in range(2, 9):
        for x in range(2, 9):
            img[o + y][o + x] = red
    outline(img, red, edge)
    return img


def glyph_alarm(size=12):
    img = blank(size, size)
    o = (size - 12) // 2
    bell = (200, 140, 20)
    disc(img, o + 2.5, o + 2.5, 2.2, bell)
    disc(img, o + 9.5, o + 2.5, 2.2, bell)
    disc(img, o + 6, o + 6.5, 4.6, (60, 60, 60))
    disc(img, o + 6, o + 6.5, 3.6, (255, 255, 240))
    line(img, o + 5.5, o + 6, o + 5.5, o + 3.5, (150, 0, 0))
    line(img, o + 5.5, o + 6, o + 7.5, o + 6, (150, 0, 0))
    img[o + 11][o + 2] = img[o + 11][o + 9] = (60, 60, 60)
    img[size - 1][0] = KEY
    return img


def glyph_countdown(size=12):
    img = blank(size, size)
    o = (size - 12) // 2
    frame, glass, sand = (110, 70, 30), (220, 235, 245), (225, 180, 60)
    for x in range(2, 10):
        img[o + 0][o + x] = img[o + 11][o + x] = frame
    for y in range(1, 11):
        half = abs(y - 5.5)
        w = int(half * 0.75) + 1
        for x in range(6 - w, 6 + w):
            img[o + y][o + x] = glass
        img[o + y][o + 5 - w] = img[o + y][o + 6 + w] = (90, 90, 100)
    for y in range(3, 5):
        for x in range(4, 8):
            if img[o + y][o + x] == glass:
                img[o + y][o + x] = sand
    for y in range(8, 11):
        for x in range(3, 9):
            if img[o + y][o + x] == glass:
                img[o + y][o + x] = sand
    img[o + 6][o + 6] = img[o + 7][o + 6] = sand
    return img


def glyph_comment(size=12):
    img = blank(size, size)
    o = (size - 12) // 2
    paper, edge = (255, 245, 170), (120, 100, 30)
    fill_round_rect(img, o + 0, o + 1, o + 12, o + 9, 2.5, paper)
    plot(img, ["###", "## ", "#  "], o + 3, o + 9, paper)
    outline(img, paper, edge)
    for y in (3, 5):
        for x in range(3, 9 if y == 3 else 7):
            img[o + y][o + x] = (90, 90, 90)
    return img


def user_pick():
    img = blank(16, 16)
    shirt, skin, hair = (40, 90, 190), (240, 195, 150), (90, 60, 30)
    fill_round_rect(img, 2, 10, 14, 16, 4, shirt)
    outline(img, shirt, (20, 45, 110))
    disc(img, 8, 6, 3.6, skin)
    for x in range(5, 12):
        for y in range(2, 5):
            if img[y][x] == skin and y < 4:
                img[y][x] = hair
    outline(img, skin, (150, 100, 70))
    img[15][0] = KEY
    return img


def with_disabled(img):
    """The glyph followed by a greyed copy of itself, the cell a disabled button shows."""
    grey = []
    for row in img:
        out = []
        for colour in row:
            if colour == KEY:
                out.append(KEY)
            else:
                r, g, b = colour
                level = int(120 + (0.3 * r + 0.59 * g + 0.11 * b) * 0.3)
                out.append((level, level, level))
        grey.append(out)
    return [a + b for a, b in zip(img, grey)]


def centred(img, size=16):
    out = blank(size, size)
    h, w = len(img), len(img[0])
    top, left = (size - h) // 2, (size - w) // 2
    for y in range(h):
        for x in range(w):
            out[top + y][left + x] = img[y][x]
    return out


def menu_window():
    img = blank(16, 16)
    for y in range(2, 14):
        for x in range(1, 15):
            img[y][x] = (255, 255, 255)
    for y in range(2, 5):
        for x in range(1, 15):
            img[y][x] = (0, 110, 110)
    outline(img, (255, 255, 255), (80, 80, 80))
    return img


def menu_hide():
    img = blank(16, 16)
    for y in (11, 12):
        for x in range(3, 13):
            img[y][x] = (40, 40, 40)
    return img


def menu_close():
    img = blank(16, 16)
    red = (200, 30, 30)
    for i in range(3, 13):
        for d in (0, 1):
            img[i][i + d] = red
            img[i][15 - i - d] = red
    return img


def menu_help():
    img = blank(16, 16)
    blue = (40, 90, 200)
    disc(img, 8, 8, 7, blue)
    outline(img, blue, (20, 45, 120))
    plot(img, [" ### ", "#   #", "    #", "   # ", "  #  ", "     ", "  #  "], 6, 4, (255, 255, 255))
    return img


def menu_strip():
    cells = [menu_window(), menu_hide(), centred(glyph_start()), centred(glyph_stop()),
             centred(glyph_statistic()), centred(glyph_options()), menu_close(), centred(glyph_alarm()),
             menu_help(), clock_face(10.0 / 60, 2.0 / 12)]
    return [sum((cell[y] for cell in cells), []) for y in range(16)]


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


def ico_file(images):
    """An icon file of 32-bit images (key colour transparent), smallest first."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for img in images:
        h, w = len(img), len(img[0])
        pixels = b""
        mask = b""
        mask_stride = ((w + 31) // 32) * 4
        for y in range(h - 1, -1, -1):
            bits = 0
            row_mask = bytearray(mask_stride)
            for x, (r, g, b) in enumerate(img[y]):
                clear = (r, g, b) == KEY
                pixels += bytes((0, 0, 0, 0)) if clear else bytes((b, g, r, 255))
                if clear:
                    row_mask[x // 8] |= 0x80 >> (x % 8)
            mask += bytes(row_mask)
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        blob = info + pixels + mask
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def asm_bytes(data):
    lines = []
    for i in range(0, len(data), 16):
        chunk = ",".join("0x%02x" % b for b in data[i:i + 16])
        lines.append('  "\\t.byte %s\\n" \\' % chunk)
    return lines


def resource_section(types, prefix):
    """The assembler text of a resource directory: for each type (by number, ascending), one
    named entry a resource (sorted by name), language US English, then names and data. The
    labels start with prefix, which must differ between the programs' sections."""
    out = []
    entries = [(t, name, types[t][name]) for t in sorted(types) for name in sorted(types[t])]

    def emit(text):
        # "@" in a label stands for the prefix.
        out.append('  "%s\\n" \\' % text.replace("@", prefix))

    def directory(named, ids):
        emit("\\t.long 0,0")
        emit("\\t.short 0,0,%d,%d" % (named, ids))

    emit("\\t.section .rsrc,\\\"dr\\\"")
    emit("\\t.p2align 2")
    emit("@_root:")
    directory(0, len(types))
    for t in sorted(types):
        emit("\\t.long %d, (@_type%d - @_root) + 0x80000000" % (t, t))
    n = 0
    for t in sorted(types):
        emit("@_type%d:" % t)
        directory(len(types[t]), 0)
        for name in sorted(types[t]):
            emit("\\t.long (@_name%d - @_root) + 0x80000000, "
                 "(@_lang%d - @_root) + 0x80000000" % (n, n))
            n += 1
    for i in range(len(entries)):
        emit("@_lang%d:" % i)
        directory(0, 1)
        emit("\\t.long 0x409, (@_entry%d - @_root)" % i)
    for i, (_, _, data) in enumerate(entries):
        emit("@_entry%d:" % i)
        emit("\\t.rva @_data%d" % i)
        emit("\\t.long %d,0,0" % len(data))
    for i, (_, name, _) in enumerate(entries):
        emit("@_name%d:" % i)
        emit("\\t.short %d" % len(name))
        emit("\\t.short " + ",".join(str(ord(c)) for c in name))
    for i, (_, _, data) in enumerate(entries):
        emit("\\t.p2align 3")
        emit("@_data%d:" % i)
        out.extend(asm_bytes(data))
    emit("\\t.p2align 3")
    emit("\\t.text")
    return out


def main():
    images = {"LINGROVE_LOGO": logo(), "LINGROVE_ANIM": globe_strip(), "PICKER_DELETE": delete_glyph(),
              "TRAY_CLOCK": tray_strip(), "MAIN_MENU": menu_strip(), "USER_PICK": user_pick(),
              "GLYPH_SERVICE": glyph_service(), "GLYPH_HIDE": glyph_hide(), "GLYPH_CLOSE": glyph_close(),
              "GLYPH_STATISTIC": with_disabled(glyph_statistic()),
              "GLYPH_OPTIONS": with_disabled(glyph_options()), "GLYPH_START": with_disabled(glyph_start()),
              "GLYPH_STOP": with_disabled(glyph_stop()), "GLYPH_ALARM": with_disabled(glyph_alarm()),
              "GLYPH_COUNTDOWN": with_disabled(glyph_countdown()),
              "GLYPH_COMMENT": with_disabled(glyph_comment())}
    pictures = {}
    for name, img in images.items():
        pictures[name] = dib(img)
        with open(os.path.join(HERE, name.lower() + ".bmp"), "wb") as f:
            f.write(bmp_file(pictures[name]))
    # The programs' own icon (Explorer, the taskbar, Alt+Tab): the still tray clock.
    with open(os.path.join(HERE, "..", "..", "..", "res", "hourlark.ico"), "wb") as f:
        f.write(ico_file([clock_face(10.0 / 60, 2.0 / 12, size) for size in (16, 32, 48)]))
    lines = [
        "#pragma once",
        "// Generated by app/win/res/make_app_pictures.py; do not edit.",
        "// HL_APP_PICTURES_RSRC is the assembler text of a resource section holding the",
        "// tracker's own pictures as bitmap resources: " + ", ".join(sorted(pictures)) + ".",
        "",
        "#define HL_APP_PICTURES_RSRC \\",
    ]
    lines += resource_section({2: pictures}, "hl_apppic")
    lines.append('  ""')
    with open(HEADER, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
