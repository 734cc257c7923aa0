#!/usr/bin/python3
"""Every named instance of every TrueType variable font found, built as a static
font by `orvane-info --instance` and by fontTools' instancer (every axis pinned),
compared: each glyph's outline (composites resolved) within one font unit, the
advance widths and heights and the top side bearings equal, the metrics MVAR
moves, the style classes and the control values cvar moves equal, vhea's
extremes those of the instance's own metrics, the variation tables gone, the
names the family given, every checksum right.

fontTools (4.38) drops HVAR and VVAR when it pins every axis and takes the
advances from gvar's phantom points; where those disagree with HVAR's (VVAR's)
deltas, which is what the font means and what HarfBuzz takes, its advances are
off. Where a font has HVAR (VVAR), advances are compared with its own deltas.

Usage: compare_instances.py [--ours-only] [--last] [--every N] [--found-every N]
                            ORVANE_INFO SCRATCH_DIR [FONT...] [-- DIR...]
Fonts named before `--` must be variable; the folders after it are searched for
more (.ttf, .otf, .ttc). With --every N, each face's first and last instance and
every Nth between are compared: the sanitizer build runs the instancer on every
face without repeating all of fontTools' work. --found-every N does so for the
faces found in the folders only (most are the named fonts' designs again, split
into roman and italic). With --ours-only, fontTools makes no instance: every
instance is built and its exit status and whole-file checksum checked, which is
what the sanitizer build is for. With --last, each face's last instance alone (a
large font whose instancing by fontTools takes seconds). Exits 1 on the first font
with a difference."""
import io
import os
import struct
import subprocess
import sys
from concurrent.futures import ProcessPoolExecutor

from fontTools.misc.roundTools import otRound
from fontTools.ttLib import TTFont, TTCollection
from fontTools.varLib import instancer
from fontTools.varLib.varStore import VarStoreInstancer

DROPPED = ("fvar", "gvar", "avar", "HVAR", "VVAR", "MVAR", "STAT", "cvar")
FIELDS = [("OS/2", "usWeightClass"), ("OS/2", "usWidthClass"), ("OS/2", "sTypoAscender"),
          ("OS/2", "sTypoDescender"), ("OS/2", "usWinAscent"), ("OS/2", "sxHeight"),
          ("OS/2", "sCapHeight"), ("OS/2", "yStrikeoutPosition"), ("OS/2", "yStrikeoutSize"),
          ("post", "underlinePosition"), ("post", "underlineThickness"), ("post", "italicAngle"),
          ("hhea", "advanceWidthMax")]


def faces(path):
    """(face index, TTFont) of each TrueType variable face of a file."""
    try:
        if open(path, "rb").read(4) == b"ttcf":
            count = len(TTCollection(path, lazy=True).fonts)
            fonts = [(i, TTFont(path, fontNumber=i, lazy=True)) for i in range(count)]
        else:
            fonts = [(0, TTFont(path, lazy=True))]
    except Exception:
        return []
    return [(i, f) for i, f in fonts if "fvar" in f and "glyf" in f and "gvar" in f]


def whole_file_sum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def outline(glyf, name):
    coords, ends, flags = glyf[name].getCoordinates(glyf)
    return list(coords), list(ends), [f & 1 for f in flags]


def advances_by_deltas(vf, location, tag, metrics, map_name):
    """Each glyph's advance in hmtx (vmtx) moved by HVAR's (VVAR's) own deltas;
    None when the font has no such table."""
    if tag not in vf or metrics not in vf:
        return None
    limits = instancer.AxisLimits(location).normalize(vf)
    normalized = {axis: triple.default for axis, triple in limits.items()}
    table = vf[tag].table
    deltas = VarStoreInstancer(table.VarStore, vf["fvar"].axes, normalized)
    mapping = getattr(table, map_name)
    out = {}
    for index, name in enumerate(vf.getGlyphOrder()):
        item = mapping.mapping[name] if mapping else index
        out[name] = max(0, vf[metrics][name][0] + otRound(deltas[item]))
    return out


def vhea_extremes(font):
    """vhea's extremes as fontTools recomputes them from vmtx and glyf."""
    vhea = font["vhea"]
    kept = (vhea.advanceHeightMax, vhea.minTopSideBearing, vhea.minBottomSideBearing, vhea.yMaxExtent)
    vhea.recalc(font)
    fresh = (vhea.advanceHeightMax, vhea.minTopSideBearing, vhea.minBottomSideBearing, vhea.yMaxExtent)
    return kept, fresh


def compare_instance(tool, scratch, ours_only, path, face, index):
    vf = TTFont(path, fontNumber=face, lazy=ours_only)
    instance = vf["fvar"].instances[index]
    location = dict(instance.coordinates)
    label = "%s#%d %s" % (os.path.basename(path), face,
                           " ".join("%s=%g" % kv for kv in sorted(location.items())))
    family = "Orvane Instance %d" % index
    out = os.path.join(scratch, "%s-%d-%d.ttf" % (os.path.basename(path), face, index))
    args = [tool, "--instance", path, out, "--face", str(face), "--family", family]
    args += ["%s=%r" % kv for kv in location.items()]
    run = subprocess.run(args, capture_output=True, text=True)
    if run.returncode != 0:
        return ["%s: orvane-info exits %d: %s" % (label, run.returncode, run.stderr.strip())]
    data = open(out, "rb").read()
    problems = []
    if whole_file_sum(data) != 0xB1B0AFBA:
        problems.append("%s: the whole-file checksum is wrong" % label)
    if ours_only:
        return problems
    # The layout tables touch nothing compared here, and instancing them is most of
    # fontTools' time.
    for tag in ("GSUB", "GPOS", "GDEF"):
        if tag in vf:
            del vf[tag]
    ours = TTFont(io.BytesIO(data), checkChecksums=2)
    widths = advances_by_deltas(vf, location, "HVAR", "hmtx", "AdvWidthMap")
    heights = advances_by_deltas(vf, location, "VVAR", "vmtx", "AdvHeightMap")
    # fontTools' instance is compared as it stands in memory: saving and reading it
    # back was a third of this script's time. Saving would recompute hhea's
    # extremes, which are compared: they are recomputed here.
    theirs = instancer.instantiateVariableFont(vf, location, inplace=True)
    theirs["hhea"].recalc(theirs)
    for tag in DROPPED:
        if tag in ours:
            problems.append("%s: %s is still there" % (label, tag))
    if ours["name"].getName(1, 3, 1, 0x409).toUnicode() != family:
        problems.append("%s: family name %r" % (label, ours["name"].getName(1, 3, 1, 0x409)))
    glyf_ours, glyf_theirs = ours["glyf"], theirs["glyf"]
    bad = []
    for name in theirs.getGlyphOrder():
        a, b = outline(glyf_ours, name), outline(glyf_theirs, name)
        if a[1:] != b[1:] or len(a[0]) != len(b[0]) or any(
                abs(p[0] - q[0]) > 1 or abs(p[1] - q[1]) > 1 for p, q in zip(a[0], b[0])):
            bad.append("%s outline" % name)
        width = widths[name] if widths else theirs["hmtx"][name][0]
        if ours["hmtx"][name][0] != width:
            bad.append("%s advance %d, expected %d" % (name, ours["hmtx"][name][0], width))
        if "vmtx" in theirs:
            height = heights[name] if heights else theirs["vmtx"][name][0]
            if ours["vmtx"][name] != (height, theirs["vmtx"][name][1]):
                bad.append("%s vertical %r, expected %r" % (
                    name, ours["vmtx"][name], (height, theirs["vmtx"][name][1])))
    if bad:
        problems.append("%s: %d differences: %s" % (label, len(bad), ", ".join(bad[:8])))
    if "cvt " in theirs and list(ours["cvt "].values) != list(theirs["cvt "].values):
        problems.append("%s: cvt %s, fontTools %s" % (label, list(ours["cvt "].values)[:8],
                                                     list(theirs["cvt "].values)[:8]))
    if "vhea" in ours and "vmtx" in ours:
        kept, fresh = vhea_extremes(ours)
        if kept != fresh:
            problems.append("%s: vhea's extremes %r, its metrics give %r" % (label, kept, fresh))
    for table, field in FIELDS:
        if table in theirs and getattr(ours[table], field, None) != getattr(theirs[table], field, None):
            problems.append("%s: %s.%s %r, fontTools %r" % (
                label, table, field, getattr(ours[table], field), getattr(theirs[table], field)))
    return problems


def main():
    args = sys.argv[1:]
    steps = {"--every": 1, "--found-every": None}
    ours_only = args[:1] == ["--ours-only"]
    args = args[ours_only:]
    last_only = args[:1] == ["--last"]
    args = args[last_only:]
    while args[:1] and args[0] in steps and len(args) > 1:
        steps[args[0]], args = max(1, int(args[1])), args[2:]
    every, found_every = steps["--every"], steps["--found-every"]
    if len(args) < 2:
        sys.exit(__doc__)
    tool, scratch = args[0], args[1]
    args = args[2:]
    named = args[:args.index("--")] if "--" in args else args
    folders = args[args.index("--") + 1:] if "--" in args else []
    paths = list(named)
    for folder in folders:
        for root, _, files in os.walk(folder):
            for f in sorted(files):
                if f.lower().endswith((".ttf", ".otf", ".ttc")) and os.path.join(root, f) not in paths:
                    paths.append(os.path.join(root, f))
    os.makedirs(scratch, exist_ok=True)
    jobs = []
    for path in paths:
        found = faces(path)
        if path in named and not found:
            sys.exit("%s: no TrueType variable face" % path)
        step = every if path in named or found_every is None else max(every, found_every)
        for face, font in found:
            count = len(font["fvar"].instances)
            jobs += [(path, face, i) for i in range(count)
                     if i == count - 1 or (not last_only and i % step == 0)]
    failures = []
    with ProcessPoolExecutor(max_workers=min(2, os.cpu_count() or 1)) as pool:
        results = pool.map(compare_instance, [tool] * len(jobs), [scratch] * len(jobs),
                           [ours_only] * len(jobs), *zip(*jobs))
        for (path, face, index), problems in zip(jobs, results):
            failures += problems
            for p in problems:
                print(p)
    fonts = len({(p, f) for p, f, _ in jobs})
    print("%d instances of %d variable faces %s: %d differ" % (
        len(jobs), fonts, "built and checked" if ours_only else "compared with fontTools",
        len(failures)))
    sys.exit(1 if failures or not jobs else 0)


main()
