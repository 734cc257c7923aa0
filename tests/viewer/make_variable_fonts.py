# Variable fonts for the viewer's instance tests, made from Inter
# (fonts-inter-variable) with Debian's fontTools: make_variable_fonts.py OUT_DIR
#   inter-collection.ttc   Inter roman and Inter italic in one collection
#   inter-thin-static.ttf  fontTools' static instances of Inter roman at wght 100
#   inter-black-static.ttf and 900, under family names of their own so that
#                          neither is taken for the variable Inter
#   inter-broken-gvar.ttf  Inter roman with its gvar table cut in half
#   cantarell-cff2.otf     a CFF2 variable font (tests/fontfile/make_cff2_variable.py)
import os
import subprocess
import sys

from fontTools.ttLib import TTCollection, TTFont
from fontTools.ttLib.tables.DefaultTable import DefaultTable
from fontTools.varLib.instancer import instantiateVariableFont

INTER = '/usr/share/fonts/truetype/inter-vf/'
out = sys.argv[1]
os.makedirs(out, exist_ok=True)

collection = TTCollection()
collection.fonts = [TTFont(INTER + 'Inter-roman.var.ttf'), TTFont(INTER + 'Inter-italic.var.ttf')]
collection.save(os.path.join(out, 'inter-collection.ttc'))


def rename(font, family):
    for record in font['name'].names:
        if record.nameID in (1, 16):
            record.string = family
        elif record.nameID in (4, 6):
            record.string = family if record.nameID == 4 else family.replace(' ', '')
        elif record.nameID == 3:
            record.string = family + ';static'


# The viewer asks for an ordinary font's own weight, and Wine emboldens a face
# asked for above 550 that lacks the bold flag: at weight class 400 the outlines
# are drawn as they are, which is what the tests compare.
for name, weight in (('thin', 100), ('black', 900)):
    font = instantiateVariableFont(TTFont(INTER + 'Inter-roman.var.ttf'), {'wght': weight})
    rename(font, 'Orvane Test ' + name.capitalize())
    font['OS/2'].usWeightClass = 400
    font.save(os.path.join(out, 'inter-%s-static.ttf' % name))

# The table's own bytes, kept as they are: no compiling them again.
broken = TTFont(INTER + 'Inter-roman.var.ttf')
data = broken.reader['gvar']
gvar = DefaultTable('gvar')
gvar.data = data[:len(data) // 2]
broken['gvar'] = gvar
broken.save(os.path.join(out, 'inter-broken-gvar.ttf'))

here = os.path.dirname(os.path.abspath(__file__))
subprocess.run([sys.executable, os.path.join(here, '..', 'fontfile', 'make_cff2_variable.py'),
                '/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf',
                os.path.join(out, 'cantarell-cff2.otf')], check=True)
