# A TrueType font with COLR version 0 layers, for the pixel tests of colour
# glyphs: U+25A0 is two layers, its left half in palette entry 0 and its right
# half in entry 1; U+25A1 one layer in the text colour (entry 0xFFFF); 'A' a plain
# outline. CPAL version 1 has a palette for light backgrounds (red, blue) and one
# for dark backgrounds (yellow, cyan).
# Run by Debian's interpreter, which has python3-fonttools: make_colr_font.py OUT.ttf
import sys

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


order = ['.notdef', 'A', 'square', 'box', 'left', 'right']
builder = FontBuilder(1000, isTTF=True)
builder.setupGlyphOrder(order)
builder.setupCharacterMap({0x41: 'A', 0x25A0: 'square', 0x25A1: 'box'})
builder.setupGlyf({
    '.notdef': rect(100, 0, 400, 700),
    'A': rect(100, 0, 900, 700),
    'square': rect(50, 0, 950, 800),
    'box': rect(200, 100, 800, 700),
    'left': rect(50, 0, 480, 800),
    'right': rect(520, 0, 950, 800),
})
# Each left side bearing is its outline's left edge, as the rasterisers expect.
glyf = builder.font['glyf']
builder.setupHorizontalMetrics({name: (1000, getattr(glyf[name], 'xMin', 0)) for name in order})
builder.setupHorizontalHeader(ascent=900, descent=-200)
builder.setupNameTable({'familyName': 'Orvane Layers', 'styleName': 'Regular',
                        'fullName': 'Orvane Layers'})
builder.setupOS2(sTypoAscender=900, sTypoDescender=-200, usWinAscent=900, usWinDescent=200)
builder.setupPost()
builder.font['COLR'] = buildCOLR({'square': [('left', 0), ('right', 1)],
                                  'box': [('box', 0xFFFF)]}, version=0)
builder.font['CPAL'] = buildCPAL([[(1, 0, 0, 1), (0, 0, 1, 1)], [(1, 1, 0, 1), (0, 1, 1, 1)]],
                                 paletteTypes=[1, 2])
builder.save(sys.argv[1])
