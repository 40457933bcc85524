#!/usr/bin/env python3
"""Writes the pictures of the example site into site/pictures/.

The five emoticon pictures that the converter's inline commands name
(laugh.gif, smile.gif, wink.gif, sad.gif, surprised.gif, 16 x 16 faces) and
the two pictures that Manual.txt names with [:arrow] and [:frames.gif].
Only the standard library is used: the GIF89a encoder is below.

Usage: python3 examples/manual/make-pictures.py   (from anywhere)
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "site", "pictures")


# --- GIF89a writer ----------------------------------------------------------

def lzw_encode(pixels, min_code_size):
    """Variable-width LZW as GIF wants it, packed LSB first."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, width):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def reset():
        return {bytes([i]): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, width = reset()
    emit(clear, width)
    prefix = b""
    for p in pixels:
        candidate = prefix + bytes([p])
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix], width)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table, next_code, width = reset()
        prefix = bytes([p])
    if prefix:
        emit(table[prefix], width)
    emit(end, width)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def write_gif(path, rows, palette, transparent=None):
    """rows: list of equal-length lists of palette indices."""
    height = len(rows)
    width = len(rows[0])
    bits = 1
    while (1 << bits) < len(palette):
        bits += 1
    size = 1 << bits
    colours = list(palette) + [(0, 0, 0)] * (size - len(palette))
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    for r, g, b in colours:
        data += bytes([r, g, b])
    if transparent is not None:
        data += bytes([0x21, 0xF9, 4, 0x01, 0, 0, transparent, 0])
    data += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    min_code_size = max(2, bits)
    data.append(min_code_size)
    stream = lzw_encode([p for row in rows for p in row], min_code_size)
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        data.append(len(chunk))
        data += chunk
    data += b"\x00\x3B"
    with open(path, "wb") as f:
        f.write(data)


# --- the faces ----------------------------------------------------------------

# Palette: 0 transparent, 1 outline, 2 face, 3 eyes and mouth, 4 tongue / inside
FACE_PALETTE = [(255, 255, 255), (120, 80, 0), (255, 214, 40), (40, 30, 10), (200, 40, 40)]


def blank_face():
    rows = [[0] * 16 for _ in range(16)]
    for y in range(16):
        for x in range(16):
            d = (x - 7.5) ** 2 + (y - 7.5) ** 2
            if d <= 7.45 ** 2:
                rows[y][x] = 1 if d > 6.45 ** 2 else 2
    return rows


def put(rows, points, colour=3):
    for x, y in points:
        rows[y][x] = colour


EYE_LEFT = [(5, 5), (5, 6)]
EYE_RIGHT = [(10, 5), (10, 6)]


def smile():
    f = blank_face()
    put(f, EYE_LEFT + EYE_RIGHT)
    put(f, [(4, 9), (5, 10), (6, 11), (7, 11), (8, 11), (9, 11), (10, 10), (11, 9)])
    return f


def laugh():
    f = blank_face()
    put(f, [(4, 6), (5, 5), (6, 6), (9, 6), (10, 5), (11, 6)])  # squinting eyes
    put(f, [(4, 9), (5, 9), (6, 9), (7, 9), (8, 9), (9, 9), (10, 9), (11, 9),
            (4, 10), (11, 10), (5, 11), (10, 11), (6, 12), (7, 12), (8, 12), (9, 12)])
    put(f, [(5, 10), (6, 10), (7, 10), (8, 10), (9, 10), (10, 10)], 4)
    put(f, [(6, 11), (7, 11), (8, 11), (9, 11)], 4)
    return f


def wink():
    f = blank_face()
    put(f, EYE_LEFT)
    put(f, [(9, 6), (10, 6), (11, 6)])  # closed eye
    put(f, [(4, 9), (5, 10), (6, 11), (7, 11), (8, 11), (9, 11), (10, 10), (11, 9)])
    return f


def sad():
    f = blank_face()
    put(f, EYE_LEFT + EYE_RIGHT)
    put(f, [(4, 12), (5, 11), (6, 10), (7, 10), (8, 10), (9, 10), (10, 11), (11, 12)])
    return f


def surprised():
    f = blank_face()
    put(f, [(5, 4), (5, 5), (5, 6), (10, 4), (10, 5), (10, 6)])
    put(f, [(7, 9), (8, 9), (6, 10), (9, 10), (6, 11), (9, 11), (7, 12), (8, 12)])
    put(f, [(7, 10), (8, 10), (7, 11), (8, 11)], 4)
    return f


def arrow():
    # Palette: 0 transparent, 1 dark blue
    rows = [[0] * 16 for _ in range(16)]
    for y in range(6, 10):
        for x in range(2, 9):
            rows[y][x] = 1
    for i in range(7):
        for y in range(1 + i, 15 - i):
            rows[y][8 + i] = 1
    return rows


# --- the frame diagram ------------------------------------------------------------

FONT = {  # 3 x 5 capitals, rows top to bottom
    "A": ["010", "101", "111", "101", "101"], "B": ["110", "101", "110", "101", "110"],
    "C": ["011", "100", "100", "100", "011"], "E": ["111", "100", "110", "100", "111"],
    "F": ["111", "100", "110", "100", "100"], "G": ["011", "100", "101", "101", "011"],
    "L": ["100", "100", "100", "100", "111"], "M": ["101", "111", "111", "101", "101"],
    "N": ["110", "101", "101", "101", "101"], "O": ["010", "101", "101", "101", "010"],
    "R": ["110", "101", "110", "101", "101"], "S": ["011", "100", "010", "001", "110"],
    "T": ["111", "010", "010", "010", "010"], "U": ["101", "101", "101", "101", "111"],
    "Y": ["101", "101", "010", "010", "010"], " ": ["000"] * 5,
}


def text(rows, x, y, s, colour, scale=2):
    for ch in s:
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, bit in enumerate(line):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            rows[y + gy * scale + dy][x + gx * scale + dx] = colour
        x += 4 * scale


def box(rows, x0, y0, x1, y1, fill, edge):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            on_edge = y in (y0, y1) or x in (x0, x1)
            rows[y][x] = edge if on_edge else fill


def frames():
    # Palette: 0 white, 1 border, 2 buttons, 3 contents, 4 glossary, 5 content, 6 text
    palette = [(255, 255, 255), (60, 60, 60), (222, 222, 222), (214, 230, 250),
               (230, 245, 214), (255, 252, 236), (30, 40, 90)]
    w, h = 240, 150
    rows = [[0] * w for _ in range(h)]
    box(rows, 0, 0, 79, 19, 2, 1)
    box(rows, 0, 19, 79, 94, 3, 1)
    box(rows, 0, 94, 79, 149, 4, 1)
    box(rows, 79, 0, 239, 149, 5, 1)
    text(rows, 12, 6, "BUTTONS", 6)
    text(rows, 8, 52, "CONTENTS", 6)
    text(rows, 8, 118, "GLOSSARY", 6)
    text(rows, 132, 60, "CONTENT", 6)
    text(rows, 144, 76, "FRAME", 6)
    return rows, palette


def main():
    os.makedirs(OUT, exist_ok=True)
    faces = {"laugh": laugh, "smile": smile, "wink": wink, "sad": sad, "surprised": surprised}
    for name, make in faces.items():
        write_gif(os.path.join(OUT, name + ".gif"), make(), FACE_PALETTE, transparent=0)
    write_gif(os.path.join(OUT, "arrow.gif"), arrow(),
              [(255, 255, 255), (30, 60, 140)], transparent=0)
    rows, palette = frames()
    write_gif(os.path.join(OUT, "frames.gif"), rows, palette)
    print("Pictures written to", OUT)


if __name__ == "__main__":
    main()
