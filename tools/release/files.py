#!/usr/bin/env python3
"""The two files of the release that are made by hand rather than built.

  files.py readme SOURCE TARGET      a UTF-8 text as the user reads it on
                                     Windows: code page 936, CRLF line ends
  files.py zip FOLDER TARGET EPOCH   every file under FOLDER into the zip
                                     TARGET, names in sorted order, each
                                     stamped with EPOCH (seconds, UTC), so the
                                     same files always give the same bytes
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


def main(argv):
    if len(argv) == 4 and argv[1] == "readme":
        write_readme(argv[2], argv[3])
    elif len(argv) == 5 and argv[1] == "zip":
        if not argv[4].isdigit():
            fail("EPOCH must be a number of seconds")
        write_zip(argv[2], argv[3], int(argv[4]))
    else:
        fail("usage: files.py readme SOURCE TARGET | zip FOLDER TARGET EPOCH")


if __name__ == "__main__":
    main(sys.argv)
