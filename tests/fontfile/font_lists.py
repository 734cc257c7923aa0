"""The fonts a comparison with fontTools runs over: the ones its command line
names, which must be there, and every font found below the folders after "--"."""

import os

EXTENSIONS = (".ttf", ".otf", ".ttc")


def named_and_found(args):
    """args: FONT... -- FOLDER...; (named, found), found sorted, or None once the
    named fonts that are missing have been listed."""
    split = args.index("--")
    named, folders = args[:split], args[split + 1:]
    found = sorted({os.path.join(root, name)
                    for folder in folders for root, _, names in os.walk(folder)
                    for name in names if name.lower().endswith(EXTENSIONS)})
    missing = [path for path in named if path not in found]
    if missing:
        print("fonts missing (scripts/install-deps installs them):", *missing, sep="\n  ")
        return None
    return named, found
