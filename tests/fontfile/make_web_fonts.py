#!/usr/bin/python3
"""Writes the web fonts the tests read that no package ships, from DejaVu's fonts
(fonts-dejavu-core), into OUT_DIR:

  dejavu-faces.ttc, dejavu-faces.woff2   a collection of three faces, and the same
                                         compressed by Debian's woff2_compress
  mono-metadata.woff, mono-metadata.woff2  DejaVu Sans Mono with extended metadata
                                           (METADATA below) and a private block

Usage: make_web_fonts.py OUT_DIR
"""
import os
import struct
import subprocess
import sys

from fontTools.ttLib import TTCollection, TTFont
from fontTools.ttLib.woff2 import WOFF2FlavorData
from fontTools.ttLib.sfnt import WOFFFlavorData

DEJAVU = "/usr/share/fonts/truetype/dejavu/"
FACES = ["DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSerif.ttf"]
# Every element the format names, one it does not, entities, a character
# reference, a comment and a DOCTYPE whose external entity must never be fetched.
METADATA = b"""<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE metadata [ <!ENTITY ext SYSTEM "http://example.invalid/entity"> ]>
<metadata version="1.0">
  <uniqueid id="org.example.mono.2024"/>
  <vendor name="Example Type &amp; Co" url="http://example.invalid/vendor"/>
  <credits>
    <credit name="Ann Designer" role="design"/>
    <credit name="Bob Hinter" url="http://example.invalid/bob" role="hinting"/>
  </credits>
  <description><text lang="en">A monospaced face for <span dir="ltr">code</span> &#x2013; with &ext; left as written.</text></description>
  <!-- a comment that is not shown -->
  <license url="http://example.invalid/licence" id="OFL"><text lang="en">Free to use.</text></license>
  <unknownthing color="green">Shown as text</unknownthing>
</metadata>
"""
PRIVATE = b"private block of sixteen+"


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    collection = TTCollection()
    collection.fonts = [TTFont(DEJAVU + name) for name in FACES]
    ttc = os.path.join(out, "dejavu-faces.ttc")
    collection.save(ttc)
    # woff2_compress writes its output beside its input.
    subprocess.run(["woff2_compress", ttc], check=True, stdout=subprocess.DEVNULL)

    for flavor, data in (("woff", WOFFFlavorData), ("woff2", WOFF2FlavorData)):
        font = TTFont(DEJAVU + "DejaVuSansMono.ttf")
        font.flavor = flavor
        font.flavorData = data()
        font.flavorData.metaData = METADATA
        # fontTools writes a WOFF 1.0 private block wrongly: it is added below.
        if flavor == "woff2":
            font.flavorData.privData = PRIVATE
        font.flavorData.majorVersion, font.flavorData.minorVersion = 2, 37
        path = os.path.join(out, "mono-metadata." + flavor)
        font.save(path)
        if flavor == "woff":
            add_woff_private_block(path)
    return 0


def add_woff_private_block(path):
    """Appends PRIVATE on a four-byte boundary and points the header at it."""
    data = bytearray(open(path, "rb").read())
    data += b"\0" * (-len(data) % 4)
    offset = len(data)
    data += PRIVATE
    struct.pack_into(">L", data, 8, len(data))
    struct.pack_into(">LL", data, 36, offset, len(PRIVATE))
    open(path, "wb").write(data)


if __name__ == "__main__":
    sys.exit(main())
