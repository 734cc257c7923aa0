#!/usr/bin/python3
"""Writes a CFF2 variable font for the fontTools comparison, since no Debian
package ships one: Cantarell Regular (fonts-cantarell, CFF) as the default master
of a width axis 100-130, and the same outlines drawn 1.3 times as wide as its other
master, with two named instances. Both masters are redrawn through one pen, so
their charstrings match operator for operator.

Usage: make_cff2_variable.py CANTARELL_REGULAR_OTF OUTPUT_OTF"""
import sys
from fontTools.ttLib import TTFont
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.transformPen import TransformPen
from fontTools.designspaceLib import DesignSpaceDocument, AxisDescriptor, SourceDescriptor, InstanceDescriptor
from fontTools import varLib, subset

def unhinted(path):
    font = TTFont(path)
    options = subset.Options()
    options.hinting = False
    options.desubroutinize = True
    options.glyph_names = True
    options.name_IDs = ["*"]
    options.layout_features = ["*"]
    options.notdef_outline = True
    options.drop_tables = []
    sub = subset.Subsetter(options)
    sub.populate(glyphs=font.getGlyphOrder())
    sub.subset(font)
    return font

def widened(path, factor):
    font = unhinted(path)
    cff = font["CFF "].cff
    top = cff[cff.fontNames[0]]
    glyphs = font.getGlyphSet()
    strings = top.CharStrings
    new = {}
    for name in font.getGlyphOrder():
        width = font["hmtx"][name][0]
        pen = T2CharStringPen(round(width * factor), glyphs)
        glyphs[name].draw(TransformPen(pen, (factor, 0, 0, 1, 0, 0)))
        new[name] = pen.getCharString(private=strings[name].private, globalSubrs=strings[name].globalSubrs)
    for name, charstring in new.items():
        strings[name] = charstring
        font["hmtx"][name] = (round(font["hmtx"][name][0] * factor), font["hmtx"][name][1])
    return font

regular = sys.argv[1]
doc = DesignSpaceDocument()
axis = AxisDescriptor()
axis.tag, axis.name, axis.minimum, axis.default, axis.maximum = "wdth", "Width", 100, 100, 130
doc.addAxis(axis)
for width, font in ((100, widened(regular, 1.0)), (130, widened(regular, 1.3))):
    source = SourceDescriptor()
    source.font = font
    source.location = {"Width": width}
    doc.addSource(source)
for width, name in ((100, "Regular"), (130, "Wide")):
    instance = InstanceDescriptor()
    instance.styleName = name
    instance.location = {"Width": width}
    doc.addInstance(instance)
vf, _, _ = varLib.build(doc)
vf.save(sys.argv[2])
