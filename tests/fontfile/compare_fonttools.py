#!/usr/bin/python3
"""Compares what orvane-info --json reads from every face of the fonts under the
given folders with what fontTools reads: variation axes and named instances,
layout scripts, language systems and feature tags (with their table), colour
formats, and the names stylistic sets and character variants give themselves.
Prints each difference and exits 1 when there is one.

Usage: compare_fonttools.py ORVANE_INFO REQUIRED_FONT... -- FOLDER...
Every REQUIRED_FONT must be among the fonts compared."""
import json
import subprocess
import sys
import time

from fontTools.ttLib import TTFont, TTLibError

from font_lists import named_and_found



def fixed(value):
    return round(value * 65536)


def name_text(font, name_id):
    """The record orvane-info prefers: Windows Unicode US English, then any
    Windows Unicode language, then Macintosh Roman English."""
    if "name" not in font or name_id in (None, 0xFFFF):
        return None
    best = None
    for record in font["name"].names:
        if record.nameID != name_id:
            continue
        if record.platformID == 3 and record.platEncID in (1, 10):
            rank = 0 if record.langID == 0x409 else 1
        elif (record.platformID, record.platEncID, record.langID) == (1, 0, 0):
            rank = 2
        else:
            continue
        if best is None or rank < best[0]:
            best = (rank, record)
    if best is None:
        return None
    rank, record = best
    if rank == 2:
        return "".join(chr(b) if b < 0x80 else "?" for b in record.string.split(b"\0")[0])
    return record.string.decode("utf-16-be", "replace").split("\0")[0]


def fonttools_face(path, number):
    font = TTFont(path, fontNumber=number, lazy=True)
    out = {"axes": [], "instances": [], "languages": set(), "features": set(),
           "feature names": set(), "color": []}
    if "fvar" in font:
        fvar = font["fvar"]
        out["axes"] = [(a.axisTag, fixed(a.minValue), fixed(a.defaultValue), fixed(a.maxValue),
                        bool(a.flags & 1), name_text(font, a.axisNameID)) for a in fvar.axes]
        out["instances"] = [
            (name_text(font, i.subfamilyNameID),
             name_text(font, getattr(i, "postscriptNameID", 0xFFFF)),
             tuple(fixed(i.coordinates[a.axisTag]) for a in fvar.axes))
            for i in fvar.instances]
    for tag in ("GSUB", "GPOS"):
        if tag not in font:
            continue
        table = font[tag].table
        if table.ScriptList:
            for record in table.ScriptList.ScriptRecord:
                script = record.Script
                if script.DefaultLangSys is not None:
                    out["languages"].add((record.ScriptTag, "dflt"))
                for lang in script.LangSysRecord:
                    out["languages"].add((record.ScriptTag, lang.LangSysTag))
        if table.FeatureList:
            for record in table.FeatureList.FeatureRecord:
                out["features"].add((record.FeatureTag, tag))
                params = record.Feature.FeatureParams
                label = getattr(params, "UINameID", getattr(params, "FeatUILabelNameID", 0))
                if label and record.FeatureTag[:2] in ("ss", "cv") and record.FeatureTag[2:].isdigit():
                    text = name_text(font, label)
                    if text is not None:
                        out["feature names"].add((record.FeatureTag, text))
    if "COLR" in font:
        out["color"].append("COLRv%d" % font["COLR"].version)
    for tag, label in (("CPAL", "CPAL"), ("CBDT", "CBDT"), ("sbix", "sbix"), ("SVG ", "SVG")):
        if tag in font:
            out["color"].append(label)
    return out


def orvane_face(line):
    fixed_text = lambda v: round(float(v) * 65536)
    out = {
        "axes": [(a["tag"], fixed_text(a["min"]), fixed_text(a["default"]), fixed_text(a["max"]),
                  a["hidden"], a["name"]) for a in line["axes"]],
        "instances": [(i["subfamily"], i["postscript"],
                       tuple(fixed_text(v) for v in i["coordinates"])) for i in line["instances"]],
        "languages": {(s["tag"], lang) for s in line["scripts"] for lang in s["languages"]},
        "features": {(f["tag"], t) for f in line["features"] for t in f["tables"]},
        "feature names": {(f["tag"], f["ui_name"]) for f in line["features"] if f["ui_name"]},
        "color": line["color"]["formats"],
    }
    return out


def main():
    args = sys.argv[1:]
    tool = args.pop(0)
    lists = named_and_found(args)
    if lists is None:
        return 1
    paths = lists[1]
    started = time.monotonic()
    faces = differences = 0
    # How many faces had something to compare, so that a run over fonts without
    # these tables does not pass for agreement.
    seen = {"axes": 0, "instances": 0, "languages": 0, "features": 0, "feature names": 0,
            "color": 0}
    chunk = 64
    for begin in range(0, len(paths), chunk):
        batch = paths[begin:begin + chunk]
        result = subprocess.run([tool, "--json", *batch], stdout=subprocess.PIPE, check=False)
        for raw in result.stdout.decode("utf-8").splitlines():
            line = json.loads(raw)
            if not line["recognized"]:
                continue
            path, face = line["path"], line["face"]
            try:
                theirs = fonttools_face(path, face)
            except (TTLibError, Exception) as error:  # fontTools refuses some files
                print("%s #%d: fontTools cannot read it (%s); skipped" % (path, face, error))
                continue
            ours = orvane_face(line)
            faces += 1
            for key in seen:
                seen[key] += bool(theirs[key])
            for key in ("axes", "instances", "languages", "features", "feature names", "color"):
                if ours[key] != theirs[key]:
                    differences += 1
                    print("%s #%d: %s differ" % (path, face, key))
                    if isinstance(ours[key], set):
                        print("  only orvane-info:", sorted(ours[key] - theirs[key])[:20])
                        print("  only fontTools:  ", sorted(theirs[key] - ours[key])[:20])
                    else:
                        print("  orvane-info:", ours[key])
                        print("  fontTools:  ", theirs[key])
    print("%d files, %d faces compared in %.1f s: %d differences"
          % (len(paths), faces, time.monotonic() - started, differences))
    print("faces with " + ", ".join("%s %d" % item for item in seen.items()))
    return 1 if differences or faces == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
