#!/usr/bin/python3
"""orvane-info --shape against Debian's hb-shape of the same HarfBuzz version: the
glyph names, clusters, offsets and advances of each case must be equal.

usage: compare_hb_shape.py [--every N] ORVANE_INFO [EMULATOR...]
Under an emulator (Wine), font paths are given to orvane-info as Z: paths;
--every N runs every Nth case only (each run under Wine starts a process).
A case with options must also differ from the same text shaped without them,
where the table has that case: a feature that changed nothing would test nothing.
"""
import subprocess
import sys

DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
DEJAVU_WOFF2 = "/usr/share/fonts/woff2/dejavu/DejaVuSans.woff2"
INTER = "/usr/share/fonts/truetype/inter-vf/Inter.var.ttf"
ARABIC = "/usr/share/fonts/truetype/noto/NotoSansArabic-Regular.ttf"
DEVANAGARI = "/usr/share/fonts/truetype/noto/NotoSansDevanagari-Regular.ttf"
CJK = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"

LATIN = "office fluffy ffi 0123 1/2 3/4 ag"

# font, text, options given to both programs
CASES = [
    (DEJAVU, "office ffi", []),
    (DEJAVU, "office ffi", ["--features=-liga"]),
    (DEJAVU, "AVAVA Te.", ["--features=-kern"]),
    (DEJAVU, "ﬁ éè ǅ x\u0301\u0323", []),  # compatibility, marks on marks
    (DEJAVU, "İstanbul fi", ["--script=Latn", "--language=tr"]),
    (INTER, LATIN, []),
    (INTER, LATIN, ["--features=ss01"]),
    (INTER, LATIN, ["--features=cv05"]),
    (INTER, LATIN, ["--features=tnum"]),
    (INTER, LATIN, ["--features=frac"]),
    (INTER, LATIN, ["--features=zero"]),
    (INTER, LATIN, ["--features=ss01,ss02,cv05=0,tnum[4:8]"]),
    (INTER, LATIN, ["--variations=wght=900"]),
    (INTER, LATIN, ["--variations=wght=100", "--features=ss01"]),
    (ARABIC, "مرحبا بالعالم، كيف حالك؟ ١٢٣ لا", []),
    (ARABIC, "مرحبا بالعالم", ["--features=-init,-medi,-fina"]),
    (ARABIC, "سلام پاکستان", ["--language=ur"]),
    (DEVANAGARI, "क्षत्रिय हिन्दी द्ध र्क कि", []),
    (DEVANAGARI, "क्षत्रिय हिन्दी", ["--script=Deva", "--features=-half"]),
    (CJK, "中文 한국어 日本語", ["--face-index=1"]),
    (DEJAVU_WOFF2, "office ffi", []),  # hb-shape is given the TTF below
]


def ours(tool, emulator, font, text, options):
    args = []
    for option in options:
        # hb-shape's --face-index is orvane-info's --face.
        args.append(option.replace("--face-index=", "--face="))
    path = ("Z:" + font.replace("/", "\\")) if emulator else font
    result = subprocess.run(emulator + [tool, "--shape", text] + args + [path],
                            capture_output=True, text=True, encoding="utf-8")
    return result.returncode, result.stdout.strip(), result.stderr.strip()


def theirs(font, text, options):
    # hb-shape reads no web font: the same font as a TTF.
    if font == DEJAVU_WOFF2:
        font = DEJAVU
    result = subprocess.run(["hb-shape"] + options + [font, text],
                            capture_output=True, text=True, encoding="utf-8")
    return result.returncode, result.stdout.strip(), result.stderr.strip()


def main():
    args = sys.argv[1:]
    every = 1
    if args[0] == "--every":
        every, args = int(args[1]), args[2:]
    tool, emulator = args[0], args[1:]
    cases = CASES[::every]
    plain = {(font, text): theirs(font, text, [])[1] for font, text, options in cases}
    failed = 0
    for font, text, options in cases:
        code, got, err = ours(tool, emulator, font, text, options)
        want_code, want, want_err = theirs(font, text, options)
        name = f"{font.rsplit('/', 1)[-1]} {' '.join(options)} {text!r}"
        if want_code != 0:
            print(f"FAIL {name}: hb-shape failed: {want_err}")
            failed += 1
        elif code != 0 or got != want:
            print(f"FAIL {name}\n  orvane-info: {got} {err}\n  hb-shape:    {want}")
            failed += 1
        elif options and any(c[:2] == (font, text) and not c[2] for c in cases) \
                and want == plain[(font, text)]:
            print(f"FAIL {name}: the options change nothing")
            failed += 1
        else:
            print(f"ok   {name}: {got.count('|') + 1} glyphs")
    print(f"{len(cases) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
