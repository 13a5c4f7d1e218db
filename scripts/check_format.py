#!/usr/bin/env python3
"""Fails when a C++ source of the tree strays from the house format (.clang-format).

Every .cpp and .h under src/, tests/ and bench/ is given to clang-format with
--dry-run --Werror; regions between "clang-format off" and "on" (the settings
table, one row per line) are left as written.
"""
import pathlib
import shutil
import subprocess
import sys


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    tool = shutil.which("clang-format")
    if not tool:
        print("clang-format is not installed")
        return 1
    files = sorted(str(p) for d in ("src", "tests", "bench") for p in (root / d).rglob("*")
                   if p.suffix in (".cpp", ".h") and p.is_file())
    result = subprocess.run([tool, "--dry-run", "--Werror", *files], capture_output=True, text=True)
    if result.returncode != 0:
        print((result.stderr + result.stdout)[:20000])
        print("clang-format -i on the files named above puts them right")
        return 1
    print(f"{len(files)} files follow the house format")
    return 0


if __name__ == "__main__":
    sys.exit(main())
