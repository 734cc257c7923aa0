#!/usr/bin/python3
"""Decodes every WOFF and WOFF2 file of fonts-dejavu-web with orvane-info --decode
and compares the result with what fontTools decodes from the same file, table by
table: the bytes of every table but head's checksum adjustment, and for the glyf
and loca tables that WOFF2 rebuilds, and the hmtx it may rebuild, every glyph's
outline and metrics (a WOFF 1.0 file holds its tables as they were: those are
compared byte for byte too). Exits 1 when anything differs.

Usage: compare_web_fonts.py SCRATCH_DIR [--every N] [--host-root Z:] ORVANE_INFO [EMULATOR...]
With --every N, every Nth file (in name order) is decoded and compared: the
sanitizer and Windows builds run the same decoders' sources, which the native
build compares in full.
"""
import glob
import os
import struct
import subprocess
import sys

from fontTools.ttLib import TTFont

FOLDERS = ["/usr/share/fonts/woff/dejavu", "/usr/share/fonts/woff2/dejavu"]
# Compared by their content rather than their bytes: the layout of a rebuilt glyf
# (padding between glyphs) is the decoder's choice.
REBUILT = {"glyf", "loca", "hmtx"}


def outline(glyf, name):
    glyph = glyf[name]
    if glyph.isComposite():
        return ("composite", [(c.glyphName, c.x, c.y, getattr(c, "transform", None), c.flags)
                              for c in glyph.components])
    if glyph.numberOfContours == 0:
        return ("empty",)
    coordinates, ends, flags = glyph.getCoordinates(glyf)
    return ("simple", list(coordinates), list(ends), [f & 1 for f in flags],
            (glyph.xMin, glyph.yMin, glyph.xMax, glyph.yMax), bytes(glyph.program.getBytecode()))


def glyph_data(font):
    """Each glyph's bytes in the glyf table, as loca bounds them."""
    glyf, loca = font.reader["glyf"], font.reader["loca"]
    if font["head"].indexToLocFormat:
        offsets = struct.unpack(f">{len(loca) // 4}I", loca[:len(loca) // 4 * 4])
    else:
        offsets = [2 * o for o in struct.unpack(f">{len(loca) // 2}H", loca[:len(loca) // 2 * 2])]
    return [glyf[a:b] for a, b in zip(offsets, offsets[1:])]


def same_glyph(ref, ours):
    """Whether two glyphs' bytes are the same but for the padding that follows them
    (fontTools pads none, the reference decoder to four bytes)."""
    return (ours[:len(ref)] == ref and len(ours) - len(ref) < 4
            and not ours[len(ref):].strip(b"\0"))


def compare(web_path, decoded_path):
    """The differences between fontTools' decoding and ours, as lines."""
    ref, ours = TTFont(web_path), TTFont(decoded_path)
    problems = []
    ref_tags, our_tags = set(ref.reader.keys()), set(ours.reader.keys())
    if ref_tags != our_tags:
        problems.append(f"tables differ: {sorted(ref_tags ^ our_tags)}")
    rebuilt = REBUILT if ref.flavor == "woff2" else set()
    for tag in sorted(ref_tags & our_tags):
        if tag in rebuilt:
            continue
        a, b = ref.reader[tag], ours.reader[tag]
        if tag == "head":  # the checksum adjustment follows the file's layout
            a, b = a[:8] + a[12:], b[:8] + b[12:]
        if a != b:
            problems.append(f"{tag}: {len(a)} bytes against {len(b)}, not equal")
    if "glyf" in ref_tags and rebuilt:
        order = ref.getGlyphOrder()
        if order != ours.getGlyphOrder():
            problems.append("glyph order differs")
            return problems, len(ref_tags)
        ref_glyf, our_glyf = ref["glyf"], ours["glyf"]
        ref_hmtx, our_hmtx = ref["hmtx"], ours["hmtx"]
        ref_data, our_data = glyph_data(ref), glyph_data(ours)
        if len(ref_data) != len(order) or len(our_data) != len(order):
            problems.append(f"loca: {len(ref_data)} glyphs against {len(our_data)}")
            return problems, len(ref_tags)
        # Decoding every outline in Python was most of the comparison's time; a
        # glyph whose bytes are the same has the same outline.
        differing = [name for i, name in enumerate(order)
                     if (not same_glyph(ref_data[i], our_data[i])
                         and outline(ref_glyf, name) != outline(our_glyf, name))
                     or ref_hmtx[name] != our_hmtx[name]]
        if differing:
            problems.append(f"{len(differing)} glyphs differ, first {differing[:5]}")
    return problems, len(ref_tags)


def main():
    scratch = sys.argv[1]
    args = sys.argv[2:]
    root, every = "", 1
    if args[:1] == ["--every"]:
        every, args = max(1, int(args[1])), args[2:]
    if args[:1] == ["--host-root"]:
        root, args = args[1], args[2:]
    tool, emulator = args[0], args[1:]
    host = lambda path: (root + path.replace("/", "\\")) if root else path
    os.makedirs(scratch, exist_ok=True)
    files = sorted(f for folder in FOLDERS for f in glob.glob(folder + "/*.woff*"))[::every]
    if not files:
        print("no WOFF or WOFF2 files: is fonts-dejavu-web installed?")
        return 1
    failures, tables = 0, 0
    outs = [os.path.join(scratch, os.path.basename(path) + ".ttf") for path in files]
    for out in outs:
        if os.path.exists(out):
            os.remove(out)
    # One start of the tool for every file: under Wine a start costs more than a decode.
    pairs = [arg for path, out in zip(files, outs) for arg in (host(path), host(out))]
    run = subprocess.run(emulator + [tool, "--decode"] + pairs, capture_output=True, text=True)
    if run.returncode != 0:
        print(f"orvane-info --decode exited {run.returncode}: {run.stderr.strip()}")
    for path, out in zip(files, outs):
        if not os.path.exists(out):
            print(f"FAIL {path}: orvane-info --decode wrote nothing")
            failures += 1
            continue
        problems, count = compare(path, out)
        tables += count
        os.remove(out)
        if problems:
            failures += 1
            print(f"FAIL {path}")
            for line in problems:
                print("  " + line)
    if run.returncode != 0 and not failures:
        failures = 1
    print(f"{len(files)} files, {tables} tables: {len(files) - failures} equal, {failures} differ")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
