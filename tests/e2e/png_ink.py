#!/usr/bin/env python3
"""Prints the share of a PNG's pixels that are not the background colour (the
top-left pixel), in percent: 0 for a blank screenshot. 8-bit RGB or RGBA
only, as Chromium writes them.
    png_ink.py SCREENSHOT.png"""
import struct
import sys
import zlib


def pixels(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", chunk[:10])
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    if depth != 8 or colour not in (2, 6):
        sys.exit(f"{path}: depth {depth} colour type {colour} not read")
    step = 3 if colour == 2 else 4
    raw, stride = zlib.decompress(idat), width * step
    rows, previous, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b = previous[i]
            c = previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(line))
        previous = line
    return rows, step


rows, step = pixels(sys.argv[1])
background = rows[0][:3]
total = ink = 0
for row in rows:
    for i in range(0, len(row), step):
        total += 1
        ink += row[i:i + 3] != background
print(f"{100.0 * ink / total:.2f}")
