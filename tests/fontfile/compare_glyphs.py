#!/usr/bin/python3
"""Compares orvane-info --glyphs with fontTools for every face of the fonts named
and of a sample of those found in the folders: each glyph's name where fontTools
reads it from the font (post formats 1.0 and 2.0, the CFF charset), the
characters that reach it (fontTools' best character map, reversed), and the GSUB
features that produce it (a walk of the lookups below, contextual, chaining and
extension lookups followed). Where fontTools invents a name (post format 3.0, no
post, an empty or missing post name) orvane-info must name the glyph by index.
Prints each difference and exits 1 when there is one.

Usage: compare_glyphs.py [--found-every N] ORVANE_INFO FONT... -- FOLDER...
(every Nth font found in the folders besides the fonts named; 0 for none)"""
import subprocess
import sys
import time

from fontTools.ttLib import TTFont, TTLibError

from font_lists import named_and_found



def shown(name):
    """A name as orvane-info prints it: printable ASCII, anything else '?'."""
    return "".join(c if 0x20 < ord(c) < 0x7F else "?" for c in name)


def read_names(font, count):
    """The names fontTools reads from the font, in orvane-info's order (post,
    then the charset); None where it reads none and would invent one."""
    names = [None] * count
    post = font["post"] if "post" in font else None
    if post is not None and post.formatType == 1.0:
        from fontTools.ttLib.standardGlyphOrder import standardGlyphOrder
        for glyph in range(min(count, len(standardGlyphOrder))):
            names[glyph] = standardGlyphOrder[glyph]
    elif post is not None and post.formatType == 2.0:
        # fontTools makes duplicate and empty names unique; `mapping` keeps
        # the name the font gives.
        order = getattr(post, "glyphOrder", None) or font.getGlyphOrder()
        for glyph, name in enumerate(order[:count]):
            psname = post.mapping.get(name, name)
            if psname:
                names[glyph] = shown(psname)
    if "CFF " in font:
        top = font["CFF "].cff.topDictIndex[0]
        charset = top.rawDict.get("charset", 0)
        if charset not in (1, 2):
            for glyph, name in enumerate(top.charset[:count]):
                if names[glyph] is None:
                    names[glyph] = shown(name)
    return names


def lookup_outputs(lookup):
    """The glyphs a lookup's subtables put in place, and the lookups they call."""
    outputs, calls = set(), set()
    for sub in lookup.SubTable:
        kind = lookup.LookupType
        if kind == 7:
            kind, sub = sub.ExtensionLookupType, sub.ExtSubTable
        if kind == 1:
            outputs.update(sub.mapping.values())
        elif kind == 2:
            for sequence in sub.mapping.values():
                outputs.update(sequence)
        elif kind == 3:
            for alternates in sub.alternates.values():
                outputs.update(alternates)
        elif kind == 4:
            for ligatures in sub.ligatures.values():
                outputs.update(ligature.LigGlyph for ligature in ligatures)
        elif kind == 8:
            outputs.update(sub.Substitute)
        elif kind in (5, 6):
            chain = "Chain" if kind == 6 else ""
            rules = []
            if sub.Format == 1:
                for rule_set in getattr(sub, chain + "SubRuleSet") or []:
                    rules += getattr(rule_set, chain + "SubRule", None) or [] if rule_set else []
            elif sub.Format == 2:
                for class_set in getattr(sub, chain + "SubClassSet") or []:
                    rules += getattr(class_set, chain + "SubClassRule", None) or [] if class_set else []
            else:
                rules = [sub]
            for rule in rules:
                calls.update(record.LookupListIndex for record in rule.SubstLookupRecord)
    return outputs, calls


def producing_features(font):
    """Glyph name -> the feature tags whose lookups can produce it, and every
    tag in the order the feature list first names it."""
    if "GSUB" not in font:
        return {}, []
    table = font["GSUB"].table
    if not table.FeatureList or not table.LookupList:
        return {}, []
    records = table.FeatureList.FeatureRecord
    tag_lookups = {}
    for record in records:
        tag_lookups.setdefault(str(record.FeatureTag), set()).update(record.Feature.LookupListIndex)
    variations = getattr(table, "FeatureVariations", None)
    for variation in (variations.FeatureVariationRecord if variations else []):
        for substitution in variation.FeatureTableSubstitution.SubstitutionRecord:
            tag = str(records[substitution.FeatureIndex].FeatureTag)
            tag_lookups[tag].update(substitution.Feature.LookupListIndex)
    lookups = table.LookupList.Lookup
    walked = {}
    produced = {}
    for tag, start in tag_lookups.items():
        seen, pending = set(), list(start)
        while pending:
            index = pending.pop()
            if index in seen or index >= len(lookups):
                continue
            seen.add(index)
            if index not in walked:
                walked[index] = lookup_outputs(lookups[index])
            outputs, calls = walked[index]
            pending.extend(calls)
            for name in outputs:
                produced.setdefault(name, set()).add(tag)
    return produced, list(tag_lookups)


def codes_text(codes):
    """Codes as orvane-info prints them: the fewest ranges, "-" for none."""
    ranges = []
    for code in codes:
        if ranges and ranges[-1][1] + 1 == code:
            ranges[-1][1] = code
        else:
            ranges.append([code, code])
    return " ".join("U+%04X" % a if a == b else "U+%04X..U+%04X" % (a, b) for a, b in ranges) or "-"


# What faces of one collection share is read once: their names and features,
# by where the tables they come from lie.
shared_reads = {}


def shared(font, path, kind, tags, read):
    key = (path, kind) + tuple(
        font.reader.tables[tag].offset if tag in font.reader.tables else None for tag in tags)
    if key not in shared_reads:
        shared_reads.clear() if len(shared_reads) > 8 else None
        shared_reads[key] = read()
    return shared_reads[key]


def fonttools_lines(path, number, counts):
    """The lines orvane-info --glyphs should print for a face, after its heading."""
    font = TTFont(path, fontNumber=number, lazy=True)
    count = font["maxp"].numGlyphs
    names = shared(font, path, "names", ("post", "CFF ", "maxp"), lambda: read_names(font, count))
    ids = font.getReverseGlyphMap()
    characters = [[] for _ in range(count)]
    best = font["cmap"].getBestCmap() if "cmap" in font else None
    for code, name in sorted((best or {}).items()):
        glyph = ids.get(name)
        if glyph is not None and 0 < glyph < count:
            characters[glyph].append(code)
    features = [set() for _ in range(count)]
    produced, order = shared(font, path, "features", ("GSUB", "post", "CFF ", "maxp"),
                             lambda: producing_features(font))
    for name, tags in produced.items():
        glyph = ids.get(name)
        if glyph is not None and glyph < count:
            features[glyph] |= tags
    rank = {tag: i for i, tag in enumerate(order)}
    counts["glyphs"] += count
    counts["names read"] += sum(name is not None for name in names)
    counts["reached"] += sum(bool(codes) for codes in characters)
    counts["produced"] += sum(bool(tags) for tags in features)
    counts["no best map"] += best is None
    return ["%d\t%s\t%s\t%s" % (glyph, names[glyph] or "gid%d" % glyph,
                                codes_text(characters[glyph]),
                                ",".join(sorted(features[glyph], key=rank.__getitem__)) or "-")
            for glyph in range(count)], best is not None


def orvane_faces(tool, path):
    """The faces orvane-info --glyphs lists: (face, lines)."""
    result = subprocess.run([tool, "--glyphs", path], stdout=subprocess.PIPE, check=False)
    faces = []
    for line in result.stdout.decode("utf-8").splitlines():
        if line.startswith("# "):
            faces.append((int(line.rsplit(": ", 1)[0].split(" ")[-3]), []))
        else:
            faces[-1][1].append(line)
    return faces


def main():
    args = sys.argv[1:]
    every = 1
    if args[0] == "--found-every":
        every = int(args[1])
        args = args[2:]
    tool = args.pop(0)
    lists = named_and_found(args)
    if lists is None:
        return 1
    named, found = lists
    paths = list(dict.fromkeys(named + (found[::every] if every else [])))
    started = time.monotonic()
    faces = differences = 0
    counts = {"glyphs": 0, "names read": 0, "reached": 0, "produced": 0, "no best map": 0}
    for path in paths:
        for face, ours in orvane_faces(tool, path):
            try:
                theirs, mapped = fonttools_lines(path, face, counts)
            except (TTLibError, Exception) as error:  # fontTools refuses some files
                print("%s #%d: fontTools cannot read it (%s); skipped" % (path, face, error))
                continue
            faces += 1
            if not mapped:
                # No Unicode map for fontTools: orvane-info's symbol map is not compared.
                ours = ["\t".join(line.split("\t")[:2] + ["-"] + line.split("\t")[3:]) for line in ours]
            if ours == theirs:
                continue
            problems = ["glyph count %d, fontTools %d" % (len(ours), len(theirs))] \
                if len(ours) != len(theirs) else []
            problems += ["orvane-info %r\n    fontTools   %r" % pair
                         for pair in zip(ours, theirs) if pair[0] != pair[1]]
            differences += len(problems)
            print("%s #%d: %d differences" % (path, face, len(problems)), *problems[:10], sep="\n  ")
    print("%d files, %d faces compared in %.1f s: %d differences"
          % (len(paths), faces, time.monotonic() - started, differences))
    print(", ".join("%s %d" % item for item in counts.items()))
    return 1 if differences or faces == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
