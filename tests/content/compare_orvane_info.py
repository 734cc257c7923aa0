#!/usr/bin/env python3
"""One truth, two interfaces: every field the content plug-in gives for every font
under the folders, read through the DLL by orvane-content-host, against what
orvane-info --json reads of the same files (and, for the glyph count and the
monospaced flag, which orvane-info does not print, the file's own maxp, post and
OS/2 tables). The block list is checked against the character text and the block
table of fontfile/catalog.cpp. Fails on the first file that differs.

usage: compare_orvane_info.py SOURCE_DIR WINE_RUN PREFIX CONTENT_HOST ORVANE_INFO PATH...
(a PATH that is a folder stands for every font below it)"""
import json
import os
import re
import struct
import subprocess
import sys

EXTENSIONS = ('.ttf', '.ttc', '.otf', '.fon', '.pfm', '.woff', '.woff2')
WIDTHS = ['Ultra-condensed', 'Extra-condensed', 'Condensed', 'Semi-condensed', 'Normal',
          'Semi-expanded', 'Expanded', 'Extra-expanded', 'Ultra-expanded']


def fonts(paths):
    for path in paths:
        if os.path.isfile(path):
            yield path
        for root, _, names in sorted(os.walk(path)):
            for name in sorted(names):
                if name.lower().endswith(EXTENSIONS):
                    yield os.path.join(root, name)


def run_lines(command, files):
    """JSON lines of a Wine program over the files, two hundred to a run."""
    lines = []
    for start in range(0, len(files), 200):
        out = subprocess.run(command + files[start:start + 200], capture_output=True, check=False,
                             env=dict(os.environ, WINEDEBUG='-all')).stdout
        lines += [json.loads(line) for line in out.decode('utf-8').split('\n') if line.strip()]
    return lines


def tables(data, start):
    count = struct.unpack_from('>H', data, start + 4)[0]
    found = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack_from('>4sIII', data, start + 12 + 16 * i)
        found[tag.decode('latin-1')] = (offset, length)
    return found


def sfnt_facts(path, face):
    """maxp's glyphs and the monospaced flag of an sfnt face, from its own bytes;
    None for a file that is no sfnt font or collection (a web font among them)."""
    data = open(path, 'rb').read()
    start = 0
    if data[:4] == b'ttcf':
        start = struct.unpack_from('>I', data, 12 + 4 * face)[0]
    elif data[:4] not in (b'\0\1\0\0', b'OTTO'):
        return None
    t = tables(data, start)
    glyphs = struct.unpack_from('>H', data, t['maxp'][0] + 4)[0] if 'maxp' in t else None
    fixed = struct.unpack_from('>I', data, t['post'][0] + 12)[0] if 'post' in t else None
    panose = data[t['OS/2'][0] + 32:t['OS/2'][0] + 36] if 'OS/2' in t else None
    mono = None
    if fixed is not None or panose is not None:
        mono = bool(fixed) or (panose is not None and panose[0] == 2 and panose[3] == 9)
    cff2 = 'CFF2' in t and 'CFF ' not in t
    return glyphs, mono, data[:4], cff2


def number(value):
    text = ('%g' % value) if isinstance(value, float) else str(value)
    return text.replace('-', '\u2212')


def expected(info, path):
    names = info['names']
    name = lambda i, fallback=None: names[i] or (names[fallback] if fallback is not None else None) or None
    web = {'WOFF 1.0': 'WOFF', 'WOFF 2.0': 'WOFF2'}.get(info['container'])
    kind = info['type_name'] or ''
    facts = sfnt_facts(path, info['face']) if not web else None
    if web:
        file_format = web
    elif info['faces'] > 1 or (facts and facts[2] == b'ttcf'):
        file_format = 'Collection'
    elif kind in ('Vector', 'Raster'):
        file_format = 'FON'
    elif kind.startswith('PostScript Type 1'):
        file_format = 'PFM'
    elif facts and facts[2] == b'OTTO':
        file_format = 'CFF2' if facts[3] else 'OpenType (CFF)'
    else:
        file_format = 'TrueType'
    formats = info['color']['formats']
    colour = next((c for f, c in (('COLRv0', 'COLR'), ('COLRv1', 'COLR'), ('CBDT', 'CBDT'),
                                  ('sbix', 'sbix'), ('SVG', 'SVG')) if f in formats), 'None')
    fs = info['fs_type']
    embedding = None if fs is None else ('Restricted' if fs & 2 else 'Preview and print' if fs & 4
                                         else 'Editable' if fs & 8 else 'Installable')
    width = (info['width_name'] or '').split(',')[0]
    scripts = '; '.join((s['name'] + ' (' + s['tag'].rstrip() + ')') if s['name'] else s['tag'].rstrip()
                        for s in info['scripts'])
    want = {
        'Family': name(16, 1), 'Style': name(17, 2), 'Full name': name(4),
        'PostScript name': name(6), 'Version': name(5), 'Manufacturer': name(8),
        'Designer': name(9), 'License URL': name(14), 'Format': file_format,
        'Faces': info['faces'], 'Characters': info['characters'], 'Weight class': info['weight'],
        'Width class': WIDTHS.index(width) + 1 if width in WIDTHS else None,
        'Italic': info['italic'] != 0, 'Variable': bool(info['axes']),
        'Axes': ', '.join('%s %s\u2013%s' % (a['tag'].rstrip(), number(a['min']), number(a['max']))
                          for a in info['axes']) or None,
        'Named instances': len(info['instances']), 'Colour': colour, 'Embedding': embedding,
        'Scripts': scripts or None,
    }
    if facts:
        want['Glyphs'], want['Monospaced'] = facts[0], facts[1]
    elif file_format in ('FON', 'PFM'):
        want['Monospaced'] = None
    return want


def block_table(source_dir):
    text = open(os.path.join(source_dir, 'fontfile', 'catalog.cpp'), encoding='utf-8').read()
    rows = re.findall(r'\{(-?\d+), 0x([0-9A-F]+), 0x([0-9A-F]+), "([^"]+)"\}', text)
    return [(int(a, 16), int(b, 16), name) for bit, a, b, name in rows if bit != '-1']


def main():
    source_dir, wine_run, prefix, host, info_tool = sys.argv[1:6]
    files = list(dict.fromkeys(fonts(sys.argv[6:])))
    values = {line['path']: line for line in run_lines([wine_run, prefix, host], files)}
    infos = {}
    for line in run_lines([wine_run, prefix, info_tool, '--json'], files):
        infos.setdefault(line['path'], []).append(line)
    blocks = block_table(source_dir)
    failures = 0
    for path in files:
        got = values.get(path)
        lines = infos.get(path, [])
        info = next((l for l in lines if l['recognized']), None)
        problems = []
        if got is None:
            problems.append('no values')
        elif info is None:
            problems += ['%s: %r for a file no reader takes' % (k, v) for k, v in got['fields'].items()
                         if v is not None]
        else:
            fields = got['fields']
            for key, want in expected(info, path).items():
                if fields.get(key) != want:
                    problems.append('%s: %r, orvane-info says %r' % (key, fields.get(key), want))
            text = fields.get('Mapped characters') or ''
            codes = sorted({ord(c) for c in text})
            listed = [n for first, last, n in blocks
                      if any(first <= c <= last for c in codes[bisect(codes, first):][:1])]
            if '; '.join(listed) != (fields.get('Unicode blocks') or ''):
                problems.append('Unicode blocks differ from the character text\'s')
            mapped = info['characters'] or 0
            if not (mapped - 2049 <= len(codes) <= mapped):
                problems.append('%d characters in the text, %d mapped' % (len(codes), mapped))
            if not got['pieces_agree']:
                problems.append('the character text read in pieces differs from the whole')
        if problems:
            failures += 1
            print('FAIL %s\n  %s' % (path, '\n  '.join(problems)))
    print('%d files compared, %d differ' % (len(files), failures))
    return 1 if failures else 0


def bisect(codes, value):
    lo, hi = 0, len(codes)
    while lo < hi:
        mid = (lo + hi) // 2
        if codes[mid] < value:
            lo = mid + 1
        else:
            hi = mid
    return lo


if __name__ == '__main__':
    sys.exit(main())
