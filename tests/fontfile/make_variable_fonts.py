#!/usr/bin/python3
"""Writes small TrueType variable fonts for the instancer's comparison with
fontTools, each with what the packaged fonts lack:

  OrvaneVarTwoAxes.ttf  wght 100-900 (an avar map) and wdth 75-125; masters at the
                        corners of both and at wght 650 (intermediate regions);
                        composite glyphs (one of a composite, one scaled), contours
                        whose straight edges IUP infers (private and shared point
                        numbers), HVAR, MVAR moving OS/2, hhea and post fields, and
                        cvar moving the cvt values.
  OrvaneVarNoHvar.ttf   the wght axis alone, no HVAR (advances from the phantom
                        points), no avar; a glyph whose advance alone varies.

Usage: make_variable_fonts.py OUTPUT_DIR"""
import os
import sys
from array import array
from fontTools.ttLib import newTable
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.designspaceLib import (DesignSpaceDocument, AxisDescriptor, SourceDescriptor,
                                      InstanceDescriptor)
from fontTools import varLib

ORDER = [".notdef", "space", "A", "O", "acute", "Aacute", "Aacutering", "flipped", "bar"]
CMAP = {0x20: "space", 0x41: "A", 0x4F: "O", 0xB4: "acute", 0xC1: "Aacute", 0xC5: "Aacutering",
        0x2C6: "flipped", 0x7C: "bar"}


def polygon(pen, points):
    pen.moveTo(points[0])
    for p in points[1:]:
        pen.lineTo(p)
    pen.closePath()


def master(w, d):
    """A master at weight factor w (0 thin .. 1 black) and width factor d (0.75 .. 1.25)."""
    stem = round(20 + 160 * w)
    width = round(600 * d)
    glyphs = {}

    pen = TTGlyphPen(None)
    polygon(pen, [(50, 0), (50, 700), (width - 50, 700), (width - 50, 0)])
    polygon(pen, [(100, 50), (width - 100, 50), (width - 100, 650), (100, 650)])
    glyphs[".notdef"] = pen.glyph()
    glyphs["space"] = TTGlyphPen(None).glyph()

    # An A whose straight edges carry points in between: IUP infers their deltas,
    # so the tuples name some points only.
    pen = TTGlyphPen(None)
    apex = width // 2
    polygon(pen, [(0, 0), (stem, 0), ((stem + apex) // 2, 350), (apex, 700 - stem),
                  ((width - stem + apex) // 2, 350), (width - stem, 0), (width, 0),
                  (apex + stem // 2, 700), (apex - stem // 2, 700)])
    polygon(pen, [(apex - 60, 200), (apex + 60, 200), (apex + 60, 200 + stem // 2),
                  (apex - 60, 200 + stem // 2)])
    glyphs["A"] = pen.glyph()

    # An O of quadratic curves; its inner contour moves with the stem only.
    pen = TTGlyphPen(None)
    cx = width // 2
    pen.moveTo((cx, 0))
    pen.qCurveTo((width, 0), (width, 350))
    pen.qCurveTo((width, 700), (cx, 700))
    pen.qCurveTo((0, 700), (0, 350))
    pen.qCurveTo((0, 0), (cx, 0))
    pen.closePath()
    pen.moveTo((cx, stem))
    pen.qCurveTo((stem, stem), (stem, 350))
    pen.qCurveTo((stem, 700 - stem), (cx, 700 - stem))
    pen.qCurveTo((width - stem, 700 - stem), (width - stem, 350))
    pen.qCurveTo((width - stem, stem), (cx, stem))
    pen.closePath()
    glyphs["O"] = pen.glyph()

    pen = TTGlyphPen(None)
    polygon(pen, [(0, 0), (60 + stem // 2, 0), (160 + stem // 2, 150), (100, 150)])
    glyphs["acute"] = pen.glyph()

    pen = TTGlyphPen(None)
    polygon(pen, [(0, 0), (stem, 0), (stem, 900), (0, 900)])
    glyphs["bar"] = pen.glyph()

    # Composites: offsets that vary, a composite of a composite, a scaled component.
    pen = TTGlyphPen(glyphs)
    pen.addComponent("A", (1, 0, 0, 1, 0, 0))
    pen.addComponent("acute", (1, 0, 0, 1, apex - 40 - stem // 4, 760 + stem // 8))
    glyphs["Aacute"] = pen.glyph()
    pen = TTGlyphPen(glyphs)
    pen.addComponent("Aacute", (1, 0, 0, 1, 0, 0))
    pen.addComponent("O", (1, 0, 0, 1, width // 4, 950 + stem // 3))
    glyphs["Aacutering"] = pen.glyph()
    pen = TTGlyphPen(glyphs)
    pen.addComponent("acute", (-1, 0, 0, 1, 300 + stem, 0))
    glyphs["flipped"] = pen.glyph()

    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(ORDER)
    fb.setupCharacterMap(CMAP)
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    advances = {".notdef": width, "space": round(200 + 60 * w + 50 * d), "A": width + stem // 3,
                "O": width + 20, "acute": 200 + stem // 2, "Aacute": width + stem // 3,
                "Aacutering": width + stem // 3, "flipped": 320 + stem, "bar": 2 * stem + 100}
    metrics = {}
    for name in ORDER:
        glyph = glyf[name]
        if glyph.numberOfContours:
            glyph.recalcBounds(glyf)
        metrics[name] = (advances[name], getattr(glyph, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=900, descent=-200, caretSlopeRise=1, caretSlopeRun=0)
    fb.setupNameTable({"familyName": "Orvane Var Test", "styleName": "Regular"})
    fb.setupOS2(sTypoAscender=800 + round(40 * w), sTypoDescender=-200, sTypoLineGap=100,
                usWinAscent=950 + round(30 * w), usWinDescent=250, sxHeight=500 + round(30 * w),
                sCapHeight=700 + round(10 * d * w), yStrikeoutPosition=300 + round(20 * w),
                yStrikeoutSize=50 + round(40 * w), usWeightClass=400)
    fb.setupPost(underlinePosition=-100 - round(20 * w), underlineThickness=50 + round(60 * w))
    # Control values that vary: cvar moves them with the outlines.
    cvt = newTable("cvt ")
    cvt.values = array("h", [stem, 700, 500 + round(30 * w), round(100 * d)])
    fb.font["cvt "] = cvt
    return fb.font


def build(path, two_axes, with_hvar):
    doc = DesignSpaceDocument()
    weight = AxisDescriptor()
    weight.tag, weight.name = "wght", "Weight"
    weight.minimum, weight.default, weight.maximum = 100, 400, 900
    if two_axes:
        # user 700 is design 800: avar moves the normalized coordinate
        weight.map = [(100, 100), (400, 400), (700, 800), (900, 900)]
    doc.addAxis(weight)
    if two_axes:
        width = AxisDescriptor()
        width.tag, width.name = "wdth", "Width"
        width.minimum, width.default, width.maximum = 75, 100, 125
        doc.addAxis(width)
    locations = [(400, 100), (100, 100), (900, 100)]
    if two_axes:
        locations += [(650, 100), (400, 75), (400, 125), (900, 125)]
    for wght, wdth in locations:
        source = SourceDescriptor()
        source.font = master((wght - 100) / 800, wdth / 100)
        source.location = {"Weight": wght}
        if two_axes:
            source.location["Width"] = wdth
        source.name = "master %d %d" % (wght, wdth)
        doc.addSource(source)
    instances = [("Thin", 100, 100), ("Light", 300, 100), ("Regular", 400, 100),
                 ("Medium", 530, 100), ("SemiBold", 600, 100), ("Bold", 700, 100),
                 ("Black", 900, 100)]
    if two_axes:
        instances += [("Condensed", 400, 75), ("Bold Condensed", 700, 80),
                      ("Wide Light", 250, 120), ("Black Wide", 900, 125)]
    for name, wght, wdth in instances:
        instance = InstanceDescriptor()
        instance.styleName = name
        instance.familyName = "Orvane Var Test"
        # instance locations are design coordinates: map them as avar will
        instance.location = {"Weight": weight.map_forward(wght)}
        if two_axes:
            instance.location["Width"] = wdth
        doc.addInstance(instance)
    exclude = [] if with_hvar else ["HVAR"]
    font, _, _ = varLib.build(doc, exclude=exclude)
    font.save(path)


out = sys.argv[1]
os.makedirs(out, exist_ok=True)
build(os.path.join(out, "OrvaneVarTwoAxes.ttf"), two_axes=True, with_hvar=True)
build(os.path.join(out, "OrvaneVarNoHvar.ttf"), two_axes=False, with_hvar=False)
