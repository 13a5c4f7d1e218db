#!/usr/bin/env python3
"""Fails when an executable imports statically a function Windows XP lacks.

  check_imports.py OBJDUMP EXE [LIST]

Reads the import tables with `OBJDUMP -p` and compares every imported name,
DLL by DLL, with the reviewed list (scripts/xp_imports.txt): a name of its
[later] section is reported with its minimum version, any other name that is
not listed as known on XP is reported as unreviewed. A missing executable or
an import table that cannot be read fails too.
"""
import pathlib
import re
import subprocess
import sys

DEFAULT_LIST = pathlib.Path(__file__).resolve().parent / "xp_imports.txt"


def read_list(path: pathlib.Path):
    known, later = {}, {}
    section = None
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.split("#", 1)[0].strip()
        note = raw.split("#", 1)[1].strip() if "#" in raw else ""
        if not line:
            continue
        m = re.fullmatch(r"\[([^\]]+)\]", line)
        if m:
            section = m.group(1).lower()
            continue
        if section is None:
            raise SystemExit(f"{path}:{number}: a name before any [dll] section")
        if section == "later":
            dll, name, minimum = line.split(None, 2)
            later[(dll.lower(), name)] = f"{minimum} ({note})" if note else minimum
        else:
            known.setdefault(section, set()).add(line)
    return known, later


def read_imports(objdump: str, exe: pathlib.Path):
    out = subprocess.run([objdump, "-p", str(exe)], capture_output=True, text=True, check=True).stdout
    imports, dll = {}, None
    for line in out.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).lower()
            imports.setdefault(dll, [])
            continue
        m = re.match(r"\s*[0-9a-f]+\s+\d+\s+(\S+)\s*$", line)
        if dll and m:
            imports[dll].append(m.group(1))
        elif dll and re.match(r"\s*[0-9a-f]+\s+<none>\s+([0-9a-f]+)", line):
            imports[dll].append("#ordinal")
    return imports


def check(objdump: str, exe: pathlib.Path, list_path: pathlib.Path) -> list:
    if not exe.is_file():
        return [f"{exe}: no such executable (build it first)"]
    known, later = read_list(list_path)
    imports = read_imports(objdump, exe)
    if not imports:
        return [f"{exe}: no import table read; is {objdump} the right objdump?"]
    faults = []
    for dll, names in sorted(imports.items()):
        for name in names:
            if name in known.get(dll, ()):
                continue
            if (dll, name) in later:
                faults.append(f"{dll} {name}: needs Windows {later[(dll, name)]}; look it up at run time")
            else:
                faults.append(f"{dll} {name}: not in {list_path.name}; look up its minimum version first")
    return faults


def main() -> int:
    if len(sys.argv) not in (3, 4):
        print(__doc__)
        return 2
    objdump, exe = sys.argv[1], pathlib.Path(sys.argv[2])
    list_path = pathlib.Path(sys.argv[3]) if len(sys.argv) == 4 else DEFAULT_LIST
    faults = check(objdump, exe, list_path)
    for fault in faults:
        print(f"{exe.name}: {fault}")
    print(f"{exe}: {len(faults)} import(s) not known on Windows XP")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
