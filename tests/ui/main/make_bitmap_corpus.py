#!/usr/bin/env python3
"""Writes the malformed-picture corpus that the loader test replays.

Each file's name starts with the outcome the opening rules give it: accepted-, toolarge- or
invalid-. Run from anywhere; the files go to bitmap_corpus/ beside this script.
"""
import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bitmap_corpus")


def bitmap(width, height, bits=24, compression=0, pixels=None, palette=None, colours_used=None,
           planes=1, info_size=40, masks=None):
    rows = abs(height)
    stride = (width * bits + 31) // 32 * 4
    if palette is None:
        palette = (1 << bits) if bits <= 8 else 0
    if pixels is None:
        pixels = b"\x40" * (stride * rows) if compression in (0, 3) else b""
    if colours_used is None:
        colours_used = palette if bits <= 8 else 0
    mask_bytes = struct.pack("<3I", *masks) if masks else b""
    offset = 14 + info_size + len(mask_bytes) + palette * 4
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, planes, bits, compression,
                       len(pixels), 2835, 2835, colours_used, 0)
    info += b"\0" * (info_size - len(info))
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    colours = b"".join(struct.pack("<4B", i % 256, i % 256, i % 256, 0) for i in range(palette))
    return head + info + mask_bytes + colours + pixels


def patch(data, at, fmt, value):
    return data[:at] + struct.pack(fmt, value) + data[at + struct.calcsize(fmt):]


def png(width, height):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + b"\x80\x20\x10" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def main():
    good = bitmap(16, 8)
    rle_ok = b"\x04\x01\x00\x00\x00\x04\x01\x02\x03\x04\x00\x01"  # two rows of four
    cases = {
        "accepted-plain-24bit.bmp": good,
        "accepted-8bit-palette.bmp": bitmap(16, 8, 8),
        "accepted-1bit.bmp": bitmap(16, 8, 1),
        "accepted-720x576.bmp": bitmap(720, 576, 1),
        "accepted-topdown-720x-576.bmp": bitmap(720, -576, 1),
        "accepted-bitfields.bmp": bitmap(4, 4, 32, 3, masks=(0xFF0000, 0xFF00, 0xFF)),
        "accepted-rle8.bmp": bitmap(4, 2, 8, 1, rle_ok),
        "accepted-png-renamed.bmp": png(8, 8),
        "toolarge-topdown-721x-576.bmp": bitmap(721, -576, 1),
        "toolarge-width-3000000.bmp": patch(good, 18, "<i", 3000000),
        "toolarge-height-577-no-data.bmp": patch(good, 22, "<i", 577),
        "toolarge-png-800x400.bmp": png(800, 400),
        "invalid-empty.bmp": b"",
        "invalid-truncated-header.bmp": good[:20],
        "invalid-header-only.bmp": good[:54],
        "invalid-truncated-pixels.bmp": good[:-10],
        "invalid-height-zero.bmp": patch(good, 22, "<i", 0),
        "invalid-height-int-min.bmp": patch(good, 22, "<i", -2**31),
        "invalid-width-negative.bmp": patch(good, 18, "<i", -16),
        "invalid-bitcount-0.bmp": patch(good, 28, "<H", 0),
        "invalid-bitcount-3.bmp": patch(good, 28, "<H", 3),
        "invalid-bitcount-5.bmp": patch(good, 28, "<H", 5),
        "invalid-bitcount-30000.bmp": patch(good, 28, "<H", 30000),
        "invalid-planes-0.bmp": patch(good, 26, "<H", 0),
        "invalid-planes-2.bmp": patch(good, 26, "<H", 2),
        "invalid-palette-257.bmp": bitmap(16, 8, 8, palette=257),
        "invalid-pixel-offset-past-end.bmp": patch(good, 10, "<I", len(good) + 10),
        "invalid-info-header-41.bmp": patch(good, 14, "<I", 41),
        "invalid-bitfields-ffffffff.bmp": bitmap(4, 4, 32, 3, masks=(0xFFFFFFFF, 0xFF00, 0xFF)),
        "invalid-bitfields-0.bmp": bitmap(4, 4, 32, 3, masks=(0, 0xFF00, 0xFF)),
        "invalid-bitfields-overlap.bmp": bitmap(4, 4, 32, 3, masks=(0xFFFF00, 0xFF00, 0xFF)),
        "invalid-rle8-run-past-row.bmp": bitmap(4, 2, 8, 1, b"\x09\x01\x00\x01"),
        "invalid-rle8-rows-past-picture.bmp":
            bitmap(4, 2, 8, 1, b"\x04\x01\x00\x00" * 3 + b"\x00\x01"),
        "invalid-rle8-delta-past-picture.bmp": bitmap(4, 2, 8, 1, b"\x00\x02\x01\x09\x00\x01"),
        "invalid-rle8-no-end.bmp": bitmap(4, 2, 8, 1, rle_ok[:10]),
        "invalid-rle8-literal-past-end.bmp": bitmap(4, 2, 8, 1, b"\x00\x04\x01"),
        "invalid-rle8-topdown.bmp": bitmap(4, -2, 8, 1, rle_ok),
        "invalid-rle4-overrun.bmp":
            bitmap(4, 2, 4, 2, b"\x00\x09\x11\x11\x11\x11\x10\x00\x00\x01"),
        "invalid-rle4-with-8bit.bmp": bitmap(4, 2, 8, 2, rle_ok),
        "accepted-out-of-range-index.bmp":
            bitmap(4, 2, 8, palette=2, pixels=b"\x05\x07\xff\x00" * 2),
        "invalid-compression-jpeg.bmp": bitmap(4, 2, 24, 4, b"\xff\xd8\xff\xd9"),
        "invalid-png-truncated.bmp": png(8, 8)[:40],
        "invalid-text.bmp": b"Hello, this is not a picture.\n",
        "invalid-bm-text.bmp": b"BM but then only text follows here, nothing else.\n",
    }
    os.makedirs(HERE, exist_ok=True)
    for old in os.listdir(HERE):
        os.remove(os.path.join(HERE, old))
    for name, data in cases.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
