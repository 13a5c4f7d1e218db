#!/usr/bin/env python3
"""Packs the two Windows builds into the zips a user downloads.

  package.py OUT_DIR WIN64_BUILD WIN32_BUILD [--source ROOT]

Writes OUT_DIR/vesko-<version>-win64.zip, OUT_DIR/vesko-<version>-win32.zip and
OUT_DIR/SHA256SUMS. Each zip holds one folder vesko/ with vesko.exe, index.htm,
readme.txt (code page 932, CR LF, as Japanese Windows users expect) and
LICENSE.txt. The version is the one CMake wrote into each build. Entries come
in a fixed order with fixed attributes and the time of the commit being
packed, so the same commit and the same executables give the same bytes.
"""
import argparse
import hashlib
import os
import pathlib
import re
import subprocess
import sys
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
ARCHES = ("win64", "win32")
FOLDER = "vesko/"
FILE_ATTRIBUTES = 0x20       # FILE_ATTRIBUTE_ARCHIVE: a plain file, writable
FOLDER_ATTRIBUTES = 0x10     # FILE_ATTRIBUTE_DIRECTORY


def build_version(build: pathlib.Path) -> str:
    header = build / "generated" / "VeskoVersion.h"
    m = re.search(r'#define VESKO_VERSION "([^"]+)"', header.read_text(encoding="utf-8"))
    if not m:
        raise SystemExit(f"{header}: no VESKO_VERSION")
    return m.group(1)


def entry_time(source: pathlib.Path) -> tuple:
    """SOURCE_DATE_EPOCH when given, else the packed commit's time (UTC)."""
    stamp = os.environ.get("SOURCE_DATE_EPOCH")
    if not stamp:
        try:
            stamp = subprocess.run(["git", "-C", str(source), "log", "-1", "--format=%ct"], check=True,
                                   capture_output=True, text=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError):
            stamp = ""
    seconds = int(stamp) if stamp else 1767225600  # 2026-01-01 when there is no history
    t = time.gmtime(max(seconds, 315532800))       # zip times start in 1980
    return (t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec & ~1)


def readme_bytes(build: pathlib.Path) -> bytes:
    text = (build / "readme.txt").read_text(encoding="utf-8").replace("\r\n", "\n")
    return text.replace("\n", "\r\n").encode("cp932")


def add(zf: zipfile.ZipFile, name: str, data: bytes, when: tuple) -> None:
    info = zipfile.ZipInfo(name, when)
    info.create_system = 0  # MS-DOS attributes, the same whatever system packs
    if name.endswith("/"):
        info.external_attr = FOLDER_ATTRIBUTES
        info.compress_type = zipfile.ZIP_STORED
    else:
        info.external_attr = FILE_ATTRIBUTES
        info.compress_type = zipfile.ZIP_DEFLATED
    zf.writestr(info, data, compresslevel=9)


def contents(build: pathlib.Path, source: pathlib.Path) -> list:
    """The zip's entries, in their fixed order."""
    return [
        (FOLDER, b""),
        (FOLDER + "vesko.exe", (build / "vesko.exe").read_bytes()),
        (FOLDER + "index.htm", (source / "res" / "index.htm").read_bytes()),
        (FOLDER + "readme.txt", readme_bytes(build)),
        (FOLDER + "LICENSE.txt", (source / "LICENSE").read_bytes().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")),
    ]


def package(out: pathlib.Path, builds: dict, source: pathlib.Path) -> list:
    versions = {arch: build_version(build) for arch, build in builds.items()}
    if len(set(versions.values())) != 1:
        raise SystemExit(f"the builds disagree on the version: {versions}")
    version = versions["win64"]
    when = entry_time(source)
    out.mkdir(parents=True, exist_ok=True)
    written = []
    for arch in ARCHES:
        path = out / f"vesko-{version}-{arch}.zip"
        with zipfile.ZipFile(path, "w") as zf:
            for name, data in contents(builds[arch], source):
                add(zf, name, data, when)
        written.append(path)
    sums = "".join(f"{hashlib.sha256(p.read_bytes()).hexdigest()}  {p.name}\n" for p in written)
    (out / "SHA256SUMS").write_text(sums, encoding="ascii", newline="\n")
    return written


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out", type=pathlib.Path)
    parser.add_argument("win64", type=pathlib.Path)
    parser.add_argument("win32", type=pathlib.Path)
    parser.add_argument("--source", type=pathlib.Path, default=ROOT)
    args = parser.parse_args()
    for path in package(args.out, {"win64": args.win64, "win32": args.win32}, args.source):
        print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
