#!/usr/bin/env python3
"""A Tahoma Bold whose outlines are bold, for Wine prefixes.

Debian's fonts-wine ships a Tahoma Bold that is bold only in its embedded bitmaps, which serve
the small sizes of 96 DPI; its outlines are the regular weight. At 144 DPI (and any size without
a bitmap) every bold text of the window then draws regular. Windows' own Tahoma Bold is bold at
every size, so the test bed gets one that is too: each contour of every simple glyph is doubled,
shifted right by a fraction of the em (the overlap fills as one shape), the glyphs' hinting
programs go (they name points that moved), and the font's revision is raised so that Wine takes
this face over the one of its own font folder. Its bitmaps of 13, 15 and 16 pixels draw exactly
as the regular face's do, so they go too (the bold outlines draw those sizes); the bold bitmaps
of 9 to 12 pixels, the metrics and the names are kept.

    boldface.py IN OUT [SHIFT]     SHIFT: the stroke added, in 1/1000 em (default 60)
"""
import struct
import sys


def read_tables(data):
    count = struct.unpack(">H", data[4:6])[0]
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        tables[tag.decode("latin-1")] = bytearray(data[offset:offset + length])
    return tables


def checksum(block):
    block = bytes(block) + b"\0" * (-len(block) % 4)
    return sum(struct.unpack(">%dI" % (len(block) // 4), block)) & 0xFFFFFFFF


def write_font(tables):
    tags = sorted(tables)
    count = len(tags)
    power = 1
    while power * 2 <= count:
        power *= 2
    header = struct.pack(">IHHHH", 0x00010000, count, power * 16, power.bit_length() - 1, count * 16 - power * 16)
    tables["head"][8:12] = b"\0\0\0\0"
    offset = 12 + 16 * count
    directory, body = b"", b""
    for tag in tags:
        block = bytes(tables[tag])
        directory += struct.pack(">4sIII", tag.encode("latin-1"), checksum(block), offset + len(body), len(block))
        body += block + b"\0" * (-len(block) % 4)
    font = bytearray(header + directory + body)
    head_at = 12 + 16 * count + sum(len(tables[t]) + (-len(tables[t]) % 4) for t in tags[:tags.index("head")])
    font[head_at + 8:head_at + 12] = struct.pack(">I", (0xB1B0AFBA - checksum(font)) & 0xFFFFFFFF)
    return bytes(font)


PLAIN_STRIKES = (13, 15, 16)


def drop_strikes(eblc, sizes):
    """The bitmap strike records of those pixel sizes taken out; what they pointed to stays where
    it is (the offsets are from the table's start), the records' room filled with zeros."""
    count = struct.unpack(">I", eblc[4:8])[0]
    records = [eblc[8 + 48 * i:56 + 48 * i] for i in range(count)]
    kept = [r for r in records if r[45] not in sizes]
    eblc[4:8] = struct.pack(">I", len(kept))
    eblc[8:8 + 48 * count] = b"".join(kept) + b"\0" * (48 * (count - len(kept)))


def simple_points(glyph, contours):
    """The end points, flags and absolute coordinates of a simple glyph."""
    at = 10
    ends = list(struct.unpack(">%dH" % contours, glyph[at:at + 2 * contours]))
    at += 2 * contours
    at += 2 + struct.unpack(">H", glyph[at:at + 2])[0]
    points = ends[-1] + 1 if ends else 0
    flags = []
    while len(flags) < points:
        flag = glyph[at]
        at += 1
        flags.append(flag)
        if flag & 8:
            flags.extend([flag] * glyph[at])
            at += 1
    coordinates = []
    for short, same in ((2, 16), (4, 32)):
        value, values = 0, []
        for flag in flags:
            if flag & short:
                delta = glyph[at]
                at += 1
                value += delta if flag & same else -delta
            elif not flag & same:
                value += struct.unpack(">h", glyph[at:at + 2])[0]
                at += 2
            values.append(value)
        coordinates.append(values)
    return ends, [f & 1 for f in flags], list(zip(*coordinates))


def bold_glyph(glyph, shift):
    contours = struct.unpack(">h", glyph[:2])[0]
    if contours < 0:
        return composite_without_program(glyph)
    if contours == 0:
        return bytes(glyph)
    ends, on_curve, points = simple_points(glyph, contours)
    ends = ends + [end + len(points) for end in ends]
    on_curve = on_curve * 2
    points = points + [(x + shift, y) for x, y in points]
    xs, ys = [x for x, _ in points], [y for _, y in points]
    out = struct.pack(">hhhhh", 2 * contours, min(xs), min(ys), max(xs), max(ys))
    out += struct.pack(">%dH" % len(ends), *ends) + struct.pack(">H", 0)
    out += bytes(on_curve)  # every coordinate written as a 16-bit delta
    for values in (xs, ys):
        last = 0
        for value in values:
            out += struct.pack(">h", value - last)
            last = value
    return out


def composite_without_program(glyph):
    """A composite glyph as it is, without its hinting program."""
    out, at, more = bytearray(glyph), 10, True
    while more:
        flags = struct.unpack(">H", out[at:at + 2])[0]
        out[at:at + 2] = struct.pack(">H", flags & ~0x100)  # WE_HAVE_INSTRUCTIONS
        more = bool(flags & 0x20)
        at += 4 + (4 if flags & 1 else 2)
        at += 8 if flags & 0x80 else 4 if flags & 0x40 else 2 if flags & 8 else 0
    return bytes(out[:at])


def main():
    source, target = sys.argv[1], sys.argv[2]
    per_mille = int(sys.argv[3]) if len(sys.argv) > 3 else 60
    with open(source, "rb") as f:
        tables = read_tables(f.read())
    head, maxp = tables["head"], tables["maxp"]
    units = struct.unpack(">H", head[18:20])[0]
    long_loca = struct.unpack(">h", head[50:52])[0] == 1
    glyphs = struct.unpack(">H", maxp[4:6])[0]
    loca = tables["loca"]
    offsets = (struct.unpack(">%dI" % (glyphs + 1), loca) if long_loca
               else [2 * o for o in struct.unpack(">%dH" % (glyphs + 1), loca)])
    glyf = tables["glyf"]
    shift = units * per_mille // 1000
    new_glyf, new_loca, most_points, most_contours = bytearray(), [], 0, 0
    for i in range(glyphs):
        new_loca.append(len(new_glyf))
        glyph = glyf[offsets[i]:offsets[i + 1]]
        if glyph:
            glyph = bold_glyph(glyph, shift)
            contours = struct.unpack(">h", glyph[:2])[0]
            if contours > 0:
                most_contours = max(most_contours, contours)
                most_points = max(most_points, struct.unpack(">H", glyph[10 + 2 * contours - 2:10 + 2 * contours])[0] + 1)
        new_glyf += glyph + b"\0" * (-len(glyph) % 4)
    new_loca.append(len(new_glyf))
    tables["glyf"] = new_glyf
    tables["loca"] = bytearray(struct.pack(">%dI" % len(new_loca), *new_loca))
    head[50:52] = struct.pack(">h", 1)
    revision = struct.unpack(">i", head[4:8])[0]
    head[4:8] = struct.pack(">i", revision + 0x10000)
    maxp[6:8] = struct.pack(">H", max(struct.unpack(">H", maxp[6:8])[0], most_points))
    maxp[8:10] = struct.pack(">H", max(struct.unpack(">H", maxp[8:10])[0], most_contours))
    if "EBLC" in tables:
        drop_strikes(tables["EBLC"], PLAIN_STRIKES)
    # The bounding box of the font grows by the shift to the right.
    x_max = struct.unpack(">h", head[40:42])[0]
    head[40:42] = struct.pack(">h", x_max + shift)
    with open(target, "wb") as f:
        f.write(write_font(tables))


if __name__ == "__main__":
    main()
