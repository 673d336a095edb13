#!/usr/bin/env python3
"""The two files of the release that are made by hand rather than built.

  files.py readme SOURCE TARGET      a UTF-8 text as the user reads it on
                                     Windows: code page 936, CRLF line ends
  files.py zip FOLDER TARGET EPOCH   every file under FOLDER into the zip
                                     TARGET, names in sorted order, each
                                     stamped with EPOCH (seconds, UTC), so the
                                     same files always give the same bytes
  files.py chm FILE EPOCH            the compile time inside a help file set
                                     to EPOCH: the compiler writes its own
                                     clock into the header and into #SYSTEM
"""
import os
import struct
import sys
import time
import zipfile
import zlib


def fail(message):
    sys.stderr.write("files.py: %s\n" % message)
    sys.exit(1)


def write_readme(source, target):
    with open(source, encoding="utf-8") as f:
        text = f.read()
    lines = text.rstrip("\n").split("\n")
    with open(target, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("gbk"))


class WindowsName(zipfile.ZipInfo):
    """An entry whose name Windows' own zip folders show right: they read
    names as code page 936 on a Chinese system and know nothing of the
    UTF-8 flag before Windows 10. Other unpackers take the UTF-8 copy of the
    name from the Info-ZIP Unicode Path field (0x7075)."""

    def __init__(self, name, stamp):
        super().__init__(name, stamp)
        self.gbk_name = name.encode("gbk")
        if not name.isascii():
            utf8 = name.encode("utf-8")
            self.extra = struct.pack("<HHBI", 0x7075, 5 + len(utf8), 1,
                                     zlib.crc32(self.gbk_name)) + utf8

    # zipfile's own choice is UTF-8 with the flag set, for every writer.
    def _encodeFilenameFlags(self):
        return self.gbk_name, self.flag_bits


def folder_files(folder):
    names = []
    for parent, dirs, files in os.walk(folder):
        for name in files:
            path = os.path.join(parent, name)
            names.append(os.path.relpath(path, folder).replace(os.sep, "/"))
    return sorted(names)


def write_zip(folder, target, epoch):
    # Zip times are local times of the packer's choice; UTC keeps them fixed.
    stamp = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(target, "w") as archive:
        for name in folder_files(folder):
            entry = WindowsName(name, stamp)
            entry.create_system = 0  # MS-DOS attributes: an ordinary file
            entry.external_attr = 0x20
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)


def read_encint(data, at):
    """A CHM directory number: 7 bits a byte, high bit set on all but the
    last. Returns (value, position after it)."""
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, at


def system_file(chm):
    """(offset, length) of #SYSTEM, from the first-level directory chunks."""
    directory, = struct.unpack_from("<Q", chm, 0x48)
    content, = struct.unpack_from("<Q", chm, 0x58)
    if chm[directory:directory + 4] != b"ITSP":
        fail("no help file directory")
    header_length, = struct.unpack_from("<I", chm, directory + 8)
    chunk_size, = struct.unpack_from("<I", chm, directory + 0x10)
    chunk = directory + header_length
    while chunk + chunk_size <= len(chm) and chm[chunk:chunk + 4] in (b"PMGL", b"PMGI"):
        free, = struct.unpack_from("<I", chm, chunk + 4)
        at, end = chunk + 0x14, chunk + chunk_size - free
        while chm[chunk:chunk + 4] == b"PMGL" and at < end:
            length, at = read_encint(chm, at)
            name = chm[at:at + length]
            at += length
            section, at = read_encint(chm, at)
            offset, at = read_encint(chm, at)
            size, at = read_encint(chm, at)
            if name == b"/#SYSTEM" and section == 0:
                return content + offset, size
        chunk += chunk_size
    fail("the help file has no #SYSTEM")


def stamp_chm(path, epoch):
    with open(path, "rb") as f:
        chm = bytearray(f.read())
    if chm[:4] != b"ITSF" or len(chm) < 0x60:
        fail("%s is no help file" % path)
    struct.pack_into(">I", chm, 0x10, epoch & 0xFFFFFFFF)
    at, size = system_file(chm)
    end = at + size
    at += 4  # the version of #SYSTEM
    while at + 4 <= end:
        code, length = struct.unpack_from("<HH", chm, at)
        if code == 10 and length >= 4:  # the compile time
            struct.pack_into("<I", chm, at + 4, epoch & 0xFFFFFFFF)
        at += 4 + length
    with open(path, "wb") as f:
        f.write(chm)


def main(argv):
    if len(argv) == 4 and argv[1] == "readme":
        write_readme(argv[2], argv[3])
    elif len(argv) == 5 and argv[1] == "zip":
        if not argv[4].isdigit():
            fail("EPOCH must be a number of seconds")
        write_zip(argv[2], argv[3], int(argv[4]))
    elif len(argv) == 4 and argv[1] == "chm" and argv[3].isdigit():
        stamp_chm(argv[2], int(argv[3]))
    else:
        fail("usage: files.py readme SOURCE TARGET | zip FOLDER TARGET EPOCH"
             " | chm FILE EPOCH")


if __name__ == "__main__":
    main(sys.argv)
