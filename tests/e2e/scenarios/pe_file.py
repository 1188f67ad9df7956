"""The machine and the version block of a Windows program, read straight
from its bytes, as the release tests check them."""

import struct

from common import expect


def version_tuple(version):
    parts = [int(p) for p in version.split(".")]
    return tuple(parts + [0] * (4 - len(parts)))


class PeFile:
    """The machine and the version resource of a Windows program."""

    def __init__(self, data):
        self.data = data
        expect(data[:2] == b"MZ", "not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        expect(data[pe:pe + 4] == b"PE\0\0", "no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.pe32_plus = magic == 0x20B
        directories = optional + (112 if self.pe32_plus else 96)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = [struct.unpack_from("<8xIIII", data, optional + optional_size + 40 * i)
                         for i in range(sections)]

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise AssertionError(f"RVA {rva:#x} lies in no section")

    def resource(self, kind):
        """The bytes of the first resource of a numeric type, or None."""
        if not self.resource_rva:
            return None
        base = self.offset(self.resource_rva)
        entry = self._entry(base, base, kind)
        while entry is not None and entry & 0x80000000:  # name and language levels
            entry = self._entry(base, base + (entry & 0x7FFFFFFF), None)
        if entry is None:
            return None
        rva, size = struct.unpack_from("<II", self.data, base + entry)
        start = self.offset(rva)
        return self.data[start:start + size]

    def _entry(self, base, directory, wanted):
        named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            if wanted is None or name == wanted:
                return target
        return None

    def version(self):
        """{'file': (a, b, c, d), 'product': (...), 'strings': {key: text}}."""
        block = self.resource(16)  # RT_VERSION
        expect(block is not None, "no version resource")
        key, value, children = _version_block(block, 0)[:3]
        expect(key == "VS_VERSION_INFO", f"version resource starts with {key!r}")
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", value)
        expect(signature == 0xFEEF04BD, "no VS_FIXEDFILEINFO")
        strings = {}
        for child_key, _, tables in children:
            if child_key == "StringFileInfo":
                for _, _, entries in tables:
                    strings.update({k: v for k, v, _ in entries})
        split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)  # noqa: E731
        return {"file": split(file_ms, file_ls), "product": split(product_ms, product_ls), "strings": strings}


def _align(offset):
    return (offset + 3) & ~3


def _version_block(data, start):
    """(key, value, children, end) of one block: text values come back as
    str, binary ones as bytes; children are (key, value, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, start)
    end = start + length
    key_end = start + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[start + 6:key_end].decode("utf-16-le")
    value_start = _align(key_end + 2)
    if kind == 1:
        # Compilers disagree on whether the length counts the NUL; read to it.
        text_end = value_start
        while text_end + 1 < end and data[text_end:text_end + 2] != b"\0\0":
            text_end += 2
        value = data[value_start:text_end].decode("utf-16-le")
        child = _align(value_start + value_length * 2) if value_length else value_start
    else:
        value = data[value_start:value_start + value_length]
        child = _align(value_start + value_length)
    children = []
    while child + 6 <= end:
        if struct.unpack_from("<H", data, child)[0] == 0:
            break
        child_key, child_value, grandchildren, child_end = _version_block(data, child)
        children.append((child_key, child_value, grandchildren))
        child = _align(child_end)
    return key, value, children, end


def expect_version(data, what, version, machine):
    pe = PeFile(data)
    expect(pe.machine == machine, f"{what} is for machine {pe.machine:#x}, expected {machine:#x}")
    info = pe.version()
    expect(info["file"] == version_tuple(version) and info["product"] == version_tuple(version),
           f"{what} has version {info['file']} / {info['product']}, the project is {version}")
    for key in ("FileVersion", "ProductVersion"):
        expect(info["strings"].get(key) == version,
               f"{what}: {key} is {info['strings'].get(key)!r}, the project is {version}")
    return info
