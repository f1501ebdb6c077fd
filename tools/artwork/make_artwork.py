#!/usr/bin/env python3
"""Draws Vantaro's bitmaps and icons from code.

Run from the repository root:  python3 tools/artwork/make_artwork.py
Writes resources/art/*.bmp and *.ico; the results are committed, so a build
never needs Python. Magenta (255, 0, 255) is the transparent colour wherever
the program draws a picture transparently.
"""
import os
import struct

OUT = os.path.join("resources", "art")

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
BAND_GREY = (0x5A, 0x5A, 0x5A)      # continues the header band to the right edge
NAVY = (16, 40, 96)
SKY = (70, 120, 200)

# 5 x 7 glyphs of the alphabet index, one string of five columns per row.
GLYPHS = {
    "#": [".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "J": ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
}


class Canvas:
    def __init__(self, width, height, fill=WHITE):
        self.w, self.h = width, height
        self.px = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = colour

    def get(self, x, y):
        return self.px[y][x]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills x0..x1-1, y0..y1-1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1):
            self.set(x, y0, colour)
            self.set(x, y1 - 1, colour)
        for y in range(y0, y1):
            self.set(x0, y, colour)
            self.set(x1 - 1, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, colour):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, colour)

    def ring(self, cx, cy, r, width, colour):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if r - width <= d <= r:
                    self.set(x, y, colour)

    def glyph(self, ch, x, y, colour):
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "#":
                    self.set(x + col, y + row, colour)

    def vgradient(self, top, bottom):
        for y in range(self.h):
            t = y / max(1, self.h - 1)
            colour = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
            self.rect(0, y, self.w, y + 1, colour)

    def rows_bgr(self):
        """Bottom-up rows of 24-bit pixels, each padded to 4 bytes."""
        stride = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            for r, g, b in self.px[y]:
                row += bytes((b, g, r))
            row += b"\0" * (stride - len(row))
            data += row
        return bytes(data)


def save_bmp(canvas, name):
    pixels = canvas.rows_bgr()
    header = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    with open(os.path.join(OUT, name), "wb") as out:
        out.write(file_header + header + pixels)


def save_mono_bmp(canvas, name, ink):
    """One bit per pixel: 1 where the pixel equals ink, 0 elsewhere."""
    stride = ((canvas.w + 31) // 32) * 4
    data = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(canvas.w):
            if canvas.get(x, y) == ink:
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    header = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    offset = 14 + len(header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(os.path.join(OUT, name), "wb") as out:
        out.write(file_header + header + palette + data)


def save_ico(canvas, name, transparent=MAGENTA):
    """A one-image icon: 32-bit colour with alpha plus the AND mask."""
    w, h = canvas.w, canvas.h
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b = canvas.get(x, y)
            alpha = 0 if (r, g, b) == transparent else 255
            if alpha == 0:
                r = g = b = 0
            xor += bytes((b, g, r, alpha))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if canvas.get(x, y) == transparent:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(image), 22)
    with open(os.path.join(OUT, name), "wb") as out:
        out.write(directory + image)


# ---- The pictures -----------------------------------------------------------------

# Alphabet index groups and their x ranges in the header band (pen hit areas).
INDEX_GROUPS = ["#AB", "CDE", "FGH", "IJK", "LMN", "OPQ", "RST", "UVW", "XYZ"]
INDEX_BOUNDS = [0, 26, 53, 80, 107, 133, 161, 188, 215, 240]


def header_band():
    """241 x 17: the nine letter groups, each centred in its tap range."""
    band = Canvas(241, 17, BAND_GREY)
    for y in range(17):
        shade = 0x66 - y * 2
        band.rect(0, y, 241, y + 1, (shade, shade, shade + 4))
    for g, letters in enumerate(INDEX_GROUPS):
        left, right = INDEX_BOUNDS[g], INDEX_BOUNDS[g + 1]
        width = len(letters) * 6 - 1
        x = left + (right - left - width) // 2
        for i, ch in enumerate(letters):
            # The first letter of each group in white, the others light grey,
            # as a hint that repeated taps step through the group.
            band.glyph(ch, x + i * 6, 5, WHITE if i == 0 else (200, 205, 215))
        if g > 0:
            for y in range(3, 14):
                band.set(left, y, (0x3A, 0x3A, 0x3A))
                band.set(left + 1, y, (0x80, 0x80, 0x84))
    band.rect(0, 16, 241, 17, (0x3A, 0x3A, 0x3A))
    return band


def title_band(top, bottom):
    band = Canvas(240, 18)
    band.vgradient(top, bottom)
    band.rect(0, 17, 240, 18, tuple(c // 2 for c in bottom))
    return band


def warning_sign():
    """32 x 32: yellow triangle with an exclamation mark, on white."""
    sign = Canvas(32, 32, WHITE)
    apex, base = (15.5, 2), 29
    for y in range(2, base + 1):
        half = (y - apex[1]) * 0.58
        for x in range(32):
            d = abs(x - apex[0])
            if d <= half:
                edge = d > half - 1.6 or y >= base - 1
                sign.set(x, y, (150, 90, 0) if edge else (255, 204, 0))
    sign.rect(14, 10, 18, 21, BLACK)
    sign.rect(14, 23, 18, 27, BLACK)
    return sign


def toolbar_strip():
    """96 x 16: New Contact, New Activity, Roll Up, Roll Down, Profiles, Find."""
    strip = Canvas(96, 16, MAGENTA)
    green = (0, 150, 60)
    # 0: a person with a plus.
    strip.disc(6, 4, 3, (60, 90, 160))
    strip.disc(6, 12, 5, (60, 90, 160))
    strip.rect(0, 15, 16, 16, MAGENTA)
    strip.rect(11, 1, 13, 8, green)
    strip.rect(9, 3, 15, 5, green)
    # 1: a page with lines and a plus.
    ox = 16
    strip.rect(ox + 2, 1, ox + 12, 15, WHITE)
    strip.frame(ox + 2, 1, ox + 12, 15, (80, 80, 80))
    for y in (4, 7, 10):
        strip.rect(ox + 4, y, ox + 10, y + 1, SKY)
    strip.rect(ox + 12, 8, ox + 14, 15, green)
    strip.rect(ox + 10, 10, ox + 16, 12, green)
    # 2 and 3: arrows with a bar, up and down.
    for index, up in ((2, True), (3, False)):
        ox = index * 16
        for i in range(6):
            y = 2 + i if up else 13 - i
            strip.rect(ox + 7 - i, y, ox + 9 + i, y + 1, NAVY)
        stem = (8, 14) if up else (2, 8)
        strip.rect(ox + 6, stem[0], ox + 10, stem[1], NAVY)
        bar_y = 14 if up else 1
        strip.rect(ox + 2, bar_y, ox + 14, bar_y + 1, (120, 120, 120))
    # 4: a funnel (profile filter).
    ox = 64
    for i in range(7):
        strip.rect(ox + 1 + i, 2 + i, ox + 15 - i, 3 + i, (200, 120, 0) if i else (120, 70, 0))
    strip.rect(ox + 7, 9, ox + 9, 15, (120, 70, 0))
    # 5: a magnifier.
    ox = 80
    strip.disc(ox + 6, 6, 4, (220, 235, 255))
    strip.ring(ox + 6, 6, 5, 1.6, NAVY)
    for i in range(5):
        strip.rect(ox + 9 + i, 9 + i, ox + 12 + i, 11 + i, (90, 60, 30))
    return strip


def small_arrow(direction):
    """9 x 5 (up/down) or 5 x 9 (left/right) solid triangles on magenta."""
    if direction in ("down", "up"):
        arrow = Canvas(9, 5, MAGENTA)
        for i in range(5):
            y = i if direction == "down" else 4 - i
            arrow.rect(i, y, 9 - i, y + 1, NAVY)
    else:
        arrow = Canvas(5, 9, MAGENTA)
        for i in range(5):
            x = i if direction == "right" else 4 - i
            arrow.rect(x, i, x + 1, 9 - i, NAVY)
    return arrow


def close_button():
    """15 x 15: a red disc with a white cross, on white."""
    button = Canvas(15, 15, WHITE)
    button.disc(7, 7, 7, (200, 40, 40))
    for i in range(4, 11):
        for dx in (0, 1):
            button.set(i + dx, i, WHITE)
            button.set(14 - i - dx, i, WHITE)
    return button


def corner_box():
    """16 x 14: a rounded box with a dark outline and a light inside."""
    box = Canvas(16, 14, MAGENTA)
    box.rect(1, 1, 15, 13, (235, 240, 250))
    box.frame(0, 0, 16, 14, (60, 70, 90))
    for x, y in ((0, 0), (15, 0), (0, 13), (15, 13)):
        box.set(x, y, MAGENTA)
    for x, y in ((1, 1), (14, 1), (1, 12), (14, 12)):
        box.set(x, y, (60, 70, 90))
    box.rect(4, 4, 12, 5, (60, 70, 90))
    box.rect(4, 7, 12, 8, (60, 70, 90))
    box.rect(4, 10, 9, 11, (60, 70, 90))
    return box


def sort_arrows():
    """24 x 5: image 0 ascending (points up), image 1 descending; black is
    transparent through the mask."""
    arrows = Canvas(24, 5, BLACK)
    grey = (96, 96, 96)
    for i in range(5):
        arrows.rect(6 - i - 1 + 1, 4 - i, 6 + i + 1, 5 - i, grey)   # up
        arrows.rect(12 + 6 - i, i, 12 + 6 + i + 1, i + 1, grey)    # down
    return arrows


def note_icon():
    """10 x 9: a small yellow note with two lines."""
    icon = Canvas(10, 9, MAGENTA)
    icon.rect(0, 0, 10, 9, (255, 230, 110))
    icon.frame(0, 0, 10, 9, (150, 110, 0))
    icon.set(9, 0, MAGENTA)
    icon.set(8, 1, (150, 110, 0))
    icon.rect(2, 3, 8, 4, (120, 90, 30))
    icon.rect(2, 5, 7, 6, (120, 90, 30))
    return icon


def mode_button(kind):
    """16 x 15 on magenta: a person (contacts) or a dated page (activities)."""
    pic = Canvas(16, 15, MAGENTA)
    if kind == "contacts":
        pic.disc(7.5, 4, 3.2, (60, 90, 160))
        pic.disc(7.5, 13, 6, (60, 90, 160))
        pic.rect(0, 14, 16, 15, MAGENTA)
    else:
        pic.rect(2, 1, 14, 14, WHITE)
        pic.frame(2, 1, 14, 14, (80, 80, 80))
        pic.rect(3, 2, 13, 5, (200, 40, 40))
        for y in (7, 10):
            for x in range(4, 12, 3):
                pic.rect(x, y, x + 2, y + 2, SKY)
    return pic


def go_button(pressed):
    """22 x 19 on magenta: a rounded green button with an arrow."""
    pic = Canvas(22, 19, MAGENTA)
    face = (30, 140, 60) if pressed else (60, 190, 90)
    edge = (10, 70, 30)
    pic.rect(1, 1, 21, 18, face)
    pic.frame(0, 0, 22, 19, edge)
    for x, y in ((0, 0), (21, 0), (0, 18), (21, 18)):
        pic.set(x, y, MAGENTA)
    if not pressed:
        pic.rect(2, 2, 20, 3, (150, 230, 170))
    shift = 1 if pressed else 0
    pic.rect(5 + shift, 8 + shift, 13 + shift, 11 + shift, WHITE)
    for i in range(6):
        pic.rect(12 + i + shift, 4 + i + shift, 13 + i + shift, 15 - i + shift, WHITE)
    return pic


def main():
    os.makedirs(OUT, exist_ok=True)
    save_bmp(title_band((120, 150, 210), (30, 60, 130)), "title_band_color.bmp")      # 107
    save_bmp(title_band((90, 120, 190), (16, 40, 96)), "title_band_message.bmp")      # 108
    save_bmp(warning_sign(), "warning.bmp")                                         # 109
    save_bmp(toolbar_strip(), "menubar_buttons.bmp")                                # 111
    save_bmp(small_arrow("down"), "arrow_down.bmp")                                 # 112
    save_bmp(small_arrow("up"), "arrow_up.bmp")                                     # 113
    save_bmp(small_arrow("left"), "arrow_left.bmp")                                 # 114
    save_bmp(small_arrow("right"), "arrow_right.bmp")                               # 115
    save_bmp(close_button(), "close.bmp")                                           # 116
    save_bmp(corner_box(), "corner_box.bmp")                                        # 117
    save_bmp(header_band(), "header_band.bmp")                                      # 118
    arrows = sort_arrows()
    save_bmp(arrows, "sort_arrows.bmp")                                             # 119
    save_mono_bmp(arrows, "sort_arrows_mask.bmp", BLACK)                            # 120
    save_ico(note_icon(), "note.ico")                                               # icon 121
    save_bmp(mode_button("activities"), "find_activities.bmp")                      # 123
    save_bmp(mode_button("contacts"), "find_contacts.bmp")                          # 124
    save_bmp(go_button(False), "go.bmp")                                            # 125
    save_bmp(go_button(True), "go_pressed.bmp")                                     # 126


if __name__ == "__main__":
    main()
