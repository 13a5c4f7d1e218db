#!/usr/bin/env python3
"""The release zips as a user receives them.

  zip_test.py WIN64_BUILD WIN32_BUILD win64|win32 E2E_DRIVER

Packs both builds with scripts/package.py (the packing scripts/release does,
on the builds at hand), checks that each zip holds exactly the folder vesko/
with vesko.exe, index.htm, readme.txt and LICENSE.txt, that the version
resource reads the project's version, and that readme.txt is code page 932
with CR LF. Then unpacks the named build's zip (the one the driver's build
made, run by the Wine of that build) under Wine into
C:\\ユーザー ツール\\vesko <version>\\ and runs the end-to-end scenario
ReleaseZip.* on it (tray icon, settings window, vesko.ini and Log.txt in that
folder); afterwards no file anywhere else on drive C: may have been made or
changed by the program. Needs WINEPREFIX and DISPLAY as scripts/test sets them.
"""
import os
import pathlib
import shutil
import subprocess
import sys
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent.parent
sys.path.insert(0, str(ROOT / "scripts"))
import package  # noqa: E402
import pe_version  # noqa: E402

ENTRIES = ["vesko/", "vesko/vesko.exe", "vesko/index.htm", "vesko/readme.txt", "vesko/LICENSE.txt"]
failures = []


def expect(ok: bool, what: str) -> None:
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def check_zip(path: pathlib.Path, version: str) -> None:
    with zipfile.ZipFile(path) as zf:
        expect(zf.namelist() == ENTRIES, f"{path.name}: entries {zf.namelist()}")
        info = pe_version.read_version(zf.read("vesko/vesko.exe"))
        numbers = ".".join((version.split(".") + ["0", "0", "0"])[:4])
        expect(info.get("FileVersion#") == numbers and info.get("ProductVersion#") == numbers,
               f"{path.name}: fixed file/product version {info.get('FileVersion#')}/{info.get('ProductVersion#')}")
        expect(info.get("FileVersion") == version and info.get("ProductVersion") == version,
               f"{path.name}: version strings {info.get('FileVersion')}/{info.get('ProductVersion')}")
        expect(info.get("ProductName") == "ケルダン！", f"{path.name}: product name {info.get('ProductName')}")
        readme = zf.read("vesko/readme.txt")
        lone = readme.replace(b"\r\n", b"").count(b"\n") + readme.replace(b"\r\n", b"").count(b"\r")
        expect(lone == 0, f"{path.name}: readme.txt lines end in CR LF")
        try:
            text = readme.decode("cp932")
        except UnicodeDecodeError:
            text = ""
        expect(f"ver {version}" in text and "アンインストール" in text, f"{path.name}: readme.txt in CP932 names ver {version}")
        expect(zf.read("vesko/LICENSE.txt").startswith(b"MIT License\r\n"), f"{path.name}: LICENSE.txt")


def snapshot(drive: pathlib.Path) -> dict:
    files = {}
    for folder, _, names in os.walk(drive):
        for name in names:
            p = pathlib.Path(folder) / name
            try:
                st = p.lstat()
            except OSError:
                continue
            files[p.relative_to(drive).as_posix()] = (st.st_size, st.st_mtime_ns)
    return files


def main() -> int:
    win64, win32 = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    unpacked, driver = sys.argv[3], pathlib.Path(sys.argv[4])
    out = (win32 if unpacked == "win32" else win64) / "release-test"
    shutil.rmtree(out, ignore_errors=True)
    zips = package.package(out, {"win64": win64, "win32": win32}, ROOT)
    version = package.build_version(win64)
    for z in zips:
        check_zip(z, version)

    prefix = os.environ.get("WINEPREFIX")
    expect(bool(prefix) and bool(os.environ.get("DISPLAY")), "WINEPREFIX and DISPLAY are set (run from scripts/test)")
    if failures:
        return 1
    drive = pathlib.Path(prefix) / "drive_c"
    parent = drive / "ユーザー ツール"
    shutil.rmtree(parent, ignore_errors=True)
    target = parent / f"vesko {version}"
    target.mkdir(parents=True)
    with zipfile.ZipFile(next(z for z in zips if z.name.endswith(f"-{unpacked}.zip"))) as zf:
        zf.extractall(target)
    before = snapshot(drive)
    env = dict(os.environ, VESKO_UNPACKED_DIR=f"C:\\ユーザー ツール\\vesko {version}\\vesko")
    run = subprocess.run(["wine", str(driver), "--gtest_filter=ReleaseZip.*"], env=env, timeout=150)
    expect(run.returncode == 0, "the unpacked program's scenario (ReleaseZip.*) passed")
    after = snapshot(drive)
    inside = f"ユーザー ツール/vesko {version}/vesko/"
    elsewhere = sorted(p for p, stamp in after.items()
                       if before.get(p) != stamp and not p.startswith(inside))
    expect(not elsewhere, f"nothing written outside the program's folder: {elsewhere[:10]}")
    written = sorted(p for p, stamp in after.items() if p.startswith(inside) and before.get(p) != stamp)
    expect(written == [inside + "Log.txt", inside + "vesko.ini"], f"written in the folder: {written}")
    shutil.rmtree(parent, ignore_errors=True)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
