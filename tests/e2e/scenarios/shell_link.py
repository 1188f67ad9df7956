"""A reader of Windows shortcut (.lnk) files, the Shell Link binary format:
the target path, its arguments, working folder and icon, as the shell
would start them."""

import struct
from dataclasses import dataclass

HEADER_SIZE = 0x4C
LINK_CLSID = bytes.fromhex("0114020000000000c000000000000046")
HAS_ID_LIST, HAS_LINK_INFO, IS_UNICODE = 0x01, 0x02, 0x80
# The optional strings, in the order the file holds them.
STRINGS = ((0x04, "name"), (0x08, "relative_path"), (0x10, "working_dir"), (0x20, "arguments"),
           (0x40, "icon_location"))
VOLUME_ID_AND_LOCAL_BASE_PATH = 0x1
ENVIRONMENT_BLOCK = 0xA0000001


@dataclass
class ShellLink:
    target: str
    arguments: str
    working_dir: str
    icon_location: str
    icon_index: int


def _narrow(data, start, code_page):
    end = data.index(b"\0", start)
    return data[start:end].decode(code_page)


def _wide(data, start):
    end = start
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[start:end].decode("utf-16-le")


def _link_info_target(info, code_page):
    """LocalBasePath + CommonPathSuffix, in Unicode where the file has it."""
    header_size, flags, _, local, _, suffix = struct.unpack_from("<IIIIII", info, 4)
    if not flags & VOLUME_ID_AND_LOCAL_BASE_PATH:
        return None
    if header_size >= 0x24:
        local_wide, suffix_wide = struct.unpack_from("<II", info, 28)
        return _wide(info, local_wide) + _wide(info, suffix_wide)
    return _narrow(info, local, code_page) + _narrow(info, suffix, code_page)


def read(path, code_page):
    """The shortcut at path; narrow texts in it are read in code_page (the
    ANSI code page of the program that wrote it)."""
    with open(path, "rb") as f:
        data = f.read()
    size, clsid, flags = struct.unpack_from("<I16sI", data, 0)
    if size != HEADER_SIZE or clsid != LINK_CLSID:
        raise ValueError(f"{path} is not a shell link")
    icon_index = struct.unpack_from("<i", data, 56)[0]
    at = HEADER_SIZE
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = None
    if flags & HAS_LINK_INFO:
        info_size = struct.unpack_from("<I", data, at)[0]
        target = _link_info_target(data[at:at + info_size], code_page)
        at += info_size
    strings = {}
    for flag, name in STRINGS:
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            at += 2
            width = 2 if flags & IS_UNICODE else 1
            raw = data[at:at + count * width]
            text = raw.decode("utf-16-le") if width == 2 else raw.decode(code_page)
            # Wine counts the terminating NUL as well, Windows does not.
            strings[name] = text.rstrip("\0")
            at += count * width
    # A target given through environment variables is kept in a block of its own.
    while at + 8 <= len(data):
        block_size, signature = struct.unpack_from("<II", data, at)
        if block_size < 8:
            break
        if signature == ENVIRONMENT_BLOCK and target is None:
            target = _wide(data, at + 8 + 260)
        at += block_size
    if target is None:
        raise ValueError(f"{path} names no local target")
    return ShellLink(target, strings.get("arguments", ""), strings.get("working_dir", ""),
                     strings.get("icon_location", ""), icon_index)
