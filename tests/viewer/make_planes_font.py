# A TrueType font with characters beyond U+FFFF, so that its map is a format 12
# one: 'A', U+1F600 and U+1F602 (not U+1F601), U+20001 and U+10FFFD, each a box.
# Run by FontForge: fontforge -lang=py -script make_planes_font.py OUT.ttf
import sys

import fontforge

font = fontforge.font()
font.encoding = 'UnicodeFull'
font.fontname = 'OrvanePlanes'
font.familyname = 'Orvane Planes'
font.fullname = 'Orvane Planes'
for code in (0x41, 0x1F600, 0x1F602, 0x20001, 0x10FFFD):
    glyph = font.createChar(code)
    pen = glyph.glyphPen()
    pen.moveTo((100, 0))
    pen.lineTo((100, 700))
    pen.lineTo((900, 700))
    pen.lineTo((900, 0))
    pen.closePath()
    pen = None
    glyph.width = 1000
font.generate(sys.argv[1])
