#!/usr/bin/env python3
"""Reads the version resource of a Windows executable, as Explorer shows it.

  pe_version.py FILE      prints the fixed file/product version and the strings

Works on 32- and 64-bit executables; needs nothing but Python.
"""
import struct
import sys

RT_VERSION = 16


def _sections(data: bytes):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = optional + optional_size
    sections = []
    for i in range(count):
        _, vsize, rva, rawsize, rawptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
        sections.append((rva, max(vsize, rawsize), rawptr))
    return resource_rva, sections


def _offset(sections, rva: int) -> int:
    for start, size, raw in sections:
        if start <= rva < start + size:
            return raw + rva - start
    raise ValueError(f"RVA {rva:#x} is in no section")


def version_block(data: bytes) -> bytes:
    """The raw VS_VERSIONINFO block (first language of the first entry)."""
    resource_rva, sections = _sections(data)
    if not resource_rva:
        raise ValueError("no resources")
    base = _offset(sections, resource_rva)

    def entries(directory: int):
        named, ids = struct.unpack_from("<HH", data, directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
            yield name, target

    def first_leaf(target: int) -> int:
        while target & 0x80000000:
            target = next(entries(base + (target & 0x7FFFFFFF)))[1]
        return target

    for name, target in entries(base):
        if name == RT_VERSION:
            leaf = base + first_leaf(target)
            rva, size = struct.unpack_from("<II", data, leaf)
            start = _offset(sections, rva)
            return data[start:start + size]
    raise ValueError("no version resource")


def _children(block: bytes, start: int, end: int):
    """(key, value bytes, value type, children start, block end) of each child."""
    pos = start
    while pos + 6 <= end:
        length, value_length, value_type = struct.unpack_from("<HHH", block, pos)
        if length == 0:
            break
        key_end = pos + 6
        while block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[pos + 6:key_end].decode("utf-16-le")
        value_start = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if value_type == 1 else value_length
        value = block[value_start:value_start + value_bytes]
        child_start = (value_start + value_bytes + 3) & ~3
        yield key, value, value_type, child_start, pos + length
        pos = (pos + length + 3) & ~3


def read_version(source) -> dict:
    """{"FileVersion#": "a.b.c.d", "ProductVersion#": ..., and every string}
    of a file name or the executable's bytes."""
    if isinstance(source, (bytes, bytearray)):
        data = bytes(source)
    else:
        with open(source, "rb") as f:
            data = f.read()
    block = version_block(data)
    root = next(_children(block, 0, len(block)))
    key, fixed, _, children, end = root
    if key != "VS_VERSION_INFO" or struct.unpack_from("<I", fixed, 0)[0] != 0xFEEF04BD:
        raise ValueError("malformed version resource")
    fms, fls, pms, pls = struct.unpack_from("<IIII", fixed, 8)
    result = {
        "FileVersion#": f"{fms >> 16}.{fms & 0xFFFF}.{fls >> 16}.{fls & 0xFFFF}",
        "ProductVersion#": f"{pms >> 16}.{pms & 0xFFFF}.{pls >> 16}.{pls & 0xFFFF}",
    }
    for key, _, _, start, stop in _children(block, children, end):
        if key != "StringFileInfo":
            continue
        for _, _, _, table_start, table_end in _children(block, start, stop):
            for name, value, _, _, _ in _children(block, table_start, table_end):
                result[name] = value.decode("utf-16-le").rstrip("\0")
    return result


if __name__ == "__main__":
    for name, value in read_version(sys.argv[1]).items():
        print(f"{name}: {value}")
