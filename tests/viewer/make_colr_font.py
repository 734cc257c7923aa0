# A TrueType font with COLR version 0 layers, for the pixel tests of colour
# glyphs: U+25A0 is two layers, its left half in palette entry 0 and its right
# half in entry 1; U+25A1 one layer in the text colour (entry 0xFFFF); 'A' a plain
# outline. CPAL version 1 has a palette for light backgrounds (red, blue) and one
# for dark backgrounds (yellow, cyan).
# Beside OUT.ttf, for the capabilities in pairs:
#   layers.woff, layers.woff2   the same font in the web containers
#   layers-second.ttc           a collection whose face 0 ("Orvane Plain") has the
#                               same outlines and no colour, and whose face 1 is the
#                               font above; layers-second.woff2 the same, compressed
#   layers-broken-first.ttc     that collection with face 0's version spoilt, so
#                               that its first face that reads is the colour one
# Run by Debian's interpreter, which has python3-fonttools: make_colr_font.py OUT.ttf
import os
import struct
import subprocess
import sys

from fontTools.ttLib import TTCollection

from fontTools.colorLib.builder import buildCOLR, buildCPAL
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen


def rect(x0, y0, x1, y1):
    pen = TTGlyphPen(None)
    pen.moveTo((x0, y0))
    pen.lineTo((x0, y1))
    pen.lineTo((x1, y1))
    pen.lineTo((x1, y0))
    pen.closePath()
    return pen.glyph()


def build(family, colour):
    # The plain face has one glyph more: woff2_compress refuses a collection whose
    # faces share some of their outline tables and not others.
    order = ['.notdef', 'A', 'square', 'box', 'left', 'right'] + ([] if colour else ['extra'])
    builder = FontBuilder(1000, isTTF=True)
    builder.setupGlyphOrder(order)
    builder.setupCharacterMap({0x41: 'A', 0x25A0: 'square', 0x25A1: 'box'})
    glyphs = {
        '.notdef': rect(100, 0, 400, 700),
        'A': rect(100, 0, 900, 700),
        'square': rect(50, 0, 950, 800),
        'box': rect(200, 100, 800, 700),
        'left': rect(50, 0, 480, 800),
        'right': rect(520, 0, 950, 800),
        'extra': rect(0, 0, 10, 10),
    }
    builder.setupGlyf({name: glyphs[name] for name in order})
    # Each left side bearing is its outline's left edge, as the rasterisers expect.
    glyf = builder.font['glyf']
    builder.setupHorizontalMetrics({name: (1000, getattr(glyf[name], 'xMin', 0)) for name in order})
    builder.setupHorizontalHeader(ascent=900, descent=-200)
    builder.setupNameTable({'familyName': family, 'styleName': 'Regular', 'fullName': family})
    builder.setupOS2(sTypoAscender=900, sTypoDescender=-200, usWinAscent=900, usWinDescent=200)
    builder.setupPost()
    if not colour:
        return builder.font
    builder.font['COLR'] = buildCOLR({'square': [('left', 0), ('right', 1)],
                                      'box': [('box', 0xFFFF)]}, version=0)
    builder.font['CPAL'] = buildCPAL([[(1, 0, 0, 1), (0, 0, 1, 1)], [(1, 1, 0, 1), (0, 1, 1, 1)]],
                                     paletteTypes=[1, 2])
    return builder.font


out = sys.argv[1]
folder = os.path.dirname(out)
build('Orvane Layers', True).save(out)
for flavor in ('woff', 'woff2'):
    font = build('Orvane Layers', True)
    font.flavor = flavor
    font.save(os.path.join(folder, 'layers.' + flavor))
second = os.path.join(folder, 'layers-second.ttc')
collection = TTCollection()
collection.fonts = [build('Orvane Plain', False), build('Orvane Layers', True)]
collection.save(second)
# woff2_compress writes its output beside its input.
subprocess.run(['woff2_compress', second], check=True, stdout=subprocess.DEVNULL)
data = bytearray(open(second, 'rb').read())
first = struct.unpack('>I', data[12:16])[0]
data[first:first + 4] = b'\x00\x02\x00\x00'
open(os.path.join(folder, 'layers-broken-first.ttc'), 'wb').write(data)
