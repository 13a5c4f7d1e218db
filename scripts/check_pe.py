#!/usr/bin/env python3
"""Checks the headers of built Windows executables.

Usage: check_pe.py EXE...

For each file: address-space randomisation with the relocations it needs
(and high-entropy randomisation for 64-bit code), no execution from data,
the stack protector linked in, and imports only from libraries Windows
protects by name. A missing file fails: a check that finds nothing to check
must not pass. Prints one line per problem; exit status 1 when any.
"""
import struct
import sys

# Libraries an import may name. Windows maps these from the system folder
# whatever the program's folder holds: the KnownDLLs of every Windows the
# program supports (XP to 11), and the libraries those depend on, which the
# loader treats as known too. Names that are KnownDLLs only on some versions
# (version.dll was one on XP, shlwapi.dll became one later) or never
# (iphlpapi, powrprof, uxtheme, psapi, comctl32, dwmapi, winmm, ...) are
# loaded at run time from the system folder instead (base/SystemLibrary_win).
ALLOWED_IMPORTS = {
    "kernel32.dll",  # KnownDLL
    "user32.dll",    # KnownDLL
    "gdi32.dll",     # KnownDLL
    "advapi32.dll",  # KnownDLL
    "shell32.dll",   # KnownDLL
    "comdlg32.dll",  # KnownDLL
    "ole32.dll",     # KnownDLL
    "oleaut32.dll",  # KnownDLL
    "rpcrt4.dll",    # KnownDLL
    "msvcrt.dll",    # the C runtime of MinGW; KnownDLL, and a dependency of the ones above on XP
    "ntdll.dll",     # mapped into every process before any other library
}

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
HIGH_ENTROPY_VA = 0x0020
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
DIR_IMPORT, DIR_BASERELOC, DIR_DELAY_IMPORT = 1, 5, 13
STACK_PROTECTOR_MARK = b"*** stack smashing detected ***"


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        if magic not in (0x10B, 0x20B):
            raise ValueError(f"unknown optional header {magic:#x}")
        self.pe32plus = magic == 0x20B
        self.dll_characteristics = struct.unpack_from("<H", data, opt + 70)[0]
        dirs = opt + (112 if self.pe32plus else 96)
        count = struct.unpack_from("<I", data, dirs - 4)[0]
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(count)]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            _, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raddr))

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError(f"address {rva:#x} in no section")

    def text_at(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """The library names of the import and delay-load tables."""
        names = []
        for index, entry_size, name_field in ((DIR_IMPORT, 20, 12), (DIR_DELAY_IMPORT, 32, 4)):
            rva, size = self.directory(index)
            if not rva or not size:
                continue
            at = self.offset(rva)
            while True:
                entry = self.data[at:at + entry_size]
                if len(entry) < entry_size or not any(entry):
                    break
                names.append(self.text_at(struct.unpack_from("<I", entry, name_field)[0]))
                at += entry_size
        return names


def problems(path):
    try:
        with open(path, "rb") as f:
            pe = PeFile(f.read())
    except FileNotFoundError:
        return ["not built"]
    except (ValueError, struct.error, IndexError) as e:
        return [f"unreadable: {e}"]
    found = []
    if not pe.dll_characteristics & DYNAMIC_BASE:
        found.append("no DYNAMIC_BASE (--dynamicbase)")
    if pe.characteristics & IMAGE_FILE_RELOCS_STRIPPED or not pe.directory(DIR_BASERELOC)[1]:
        found.append("no relocations: the image cannot be moved")
    if pe.pe32plus and not pe.dll_characteristics & HIGH_ENTROPY_VA:
        found.append("no HIGH_ENTROPY_VA (--high-entropy-va)")
    if not pe.dll_characteristics & NX_COMPAT:
        found.append("no NX_COMPAT (--nxcompat)")
    if STACK_PROTECTOR_MARK not in pe.data:
        found.append("no stack protector linked in (-fstack-protector-strong, libssp)")
    for name in pe.imports():
        if name.lower() not in ALLOWED_IMPORTS:
            found.append(f"imports {name}, which Windows may take from the program's folder")
    return found


def main(paths):
    if not paths:
        print(__doc__.strip().splitlines()[2])
        return 2
    failed = False
    for path in paths:
        found = problems(path)
        for p in found:
            print(f"{path}: {p}")
        if not found:
            print(f"{path}: ok")
        failed = failed or bool(found)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
