#!/usr/bin/env python3
"""Fails when an include in src/ runs up the layers or folders include each other.

The layers, top first; a folder may include its own files and any folder below it:
  app > ui > engine > power > settings > readings > log > tray > controls > base
Every `#include "folder/..."` line in src/ is checked against this order, so an
upward include (and with it any loop between folders) is reported.
"""
import pathlib
import re
import sys

LAYERS = ["app", "ui", "engine", "power", "settings", "readings", "log", "tray", "controls", "base"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z_]+)/')


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent / "src")
    rank = {name: i for i, name in enumerate(LAYERS)}
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in rank:
            faults.append(f"{path}: folder '{folder}' has no place in the layer order")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            target = m.group(1)
            if target not in rank:
                faults.append(f"{path}:{number}: includes unknown folder '{target}'")
            elif rank[target] < rank[folder]:
                faults.append(f"{path}:{number}: {folder} includes {target}, which is above it")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} upward include(s); layers: {' > '.join(LAYERS)}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
