#!/usr/bin/env python3
"""The release zip: exactly the program's files under names that Windows'
zip folders (code page 936) and other unpackers (the UTF-8 copy) read
alike, the product's programs with their version resources, 说明.txt as
Windows reads it, checksums that match, and the same bytes when made again
from the same files.

  zip_test.py ZIP VERSION FILES-PY
"""
import calendar
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

EXPECTED = sorted(["harvio.exe", "harvio-cli.exe", "Introduction.chm", "说明.txt"] +
                  ["ad/%d.html" % n for n in range(10)])
GUI, CONSOLE = 2, 3

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def pe_kind(image):
    """(machine, optional-header magic, subsystem) of a PE image, or None."""
    if len(image) < 0x40 or image[:2] != b"MZ":
        return None
    header = struct.unpack_from("<I", image, 0x3C)[0]
    if header + 24 + 70 > len(image) or image[header:header + 4] != b"PE\0\0":
        return None
    machine = struct.unpack_from("<H", image, header + 4)[0]
    magic, = struct.unpack_from("<H", image, header + 24)
    subsystem, = struct.unpack_from("<H", image, header + 24 + 68)
    return machine, magic, subsystem


def windows_name(entry):
    """The name as Windows reads it; checks the UTF-8 copy beside it."""
    if entry.flag_bits & 0x800:
        failures.append("%s is flagged UTF-8, which older Windows ignores" % entry.filename)
        return entry.filename
    # zipfile reads unflagged names as code page 437; these bytes are GBK.
    raw = entry.filename.encode("cp437")
    name = raw.decode("gbk")
    if not name.isascii():
        field = entry.extra[:9]
        check(len(field) == 9 and struct.unpack("<HHBI", field) ==
              (0x7075, len(entry.extra) - 4, 1, zlib.crc32(raw)) and
              entry.extra[9:].decode("utf-8") == name,
              "%s has no Unicode Path field of its name" % name)
    return name


def check_program(name, image, subsystem, version):
    check(pe_kind(image) == (0x14C, 0x10B, subsystem),
          "%s is no 32-bit x86 program of subsystem %d: %r" % (name, subsystem, pe_kind(image)))
    for text in ("080403a8", "图片批量下载工具", "Harvio", version, name):
        check(text.encode("utf-16-le") in image,
              "%s has no %s in its version resource" % (name, text))


def check_readme(data):
    try:
        data.decode("gbk")
    except UnicodeDecodeError:
        failures.append("说明.txt is not code page 936")
    check(data.count(b"\n") > 3 and data.count(b"\n") == data.count(b"\r\n"),
          "说明.txt does not end every line with CRLF")


def check_sums(zip_path):
    folder = os.path.dirname(zip_path)
    with open(os.path.join(folder, "SHA256SUMS")) as f:
        sums = dict(reversed(line.split()) for line in f if line.strip())
    check(len(sums) == 2, "SHA256SUMS does not list two files")
    for name, digest in sums.items():
        path = os.path.join(folder, name)
        check(os.path.isfile(path) and
              hashlib.sha256(open(path, "rb").read()).hexdigest() == digest,
              "SHA256SUMS is wrong for %s" % name)


def check_remade(zip_path, archive, names, files_py):
    """Unpacks in reverse order with today's times and packs again."""
    stamp = calendar.timegm(archive.infolist()[0].date_time + (0, 0, 0))
    with tempfile.TemporaryDirectory() as work:
        unpacked = os.path.join(work, "files")
        for entry, name in reversed(list(zip(archive.infolist(), names))):
            path = os.path.join(unpacked, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(archive.read(entry))
        again = os.path.join(work, "again.zip")
        subprocess.run([sys.executable, files_py, "zip", unpacked, again, str(stamp)],
                       check=True)
        with open(zip_path, "rb") as a, open(again, "rb") as b:
            check(a.read() == b.read(), "the same files packed again give other bytes")


def main(argv):
    zip_path, version, files_py = argv[1:4]
    with zipfile.ZipFile(zip_path) as archive:
        names = [windows_name(entry) for entry in archive.infolist()]
        check(names == EXPECTED, "the zip holds %s, not %s" % (names, EXPECTED))
        check(len({e.date_time for e in archive.infolist()}) == 1,
              "the zip's entries carry different times")
        if not failures:
            data = dict(zip(names, map(archive.read, archive.infolist())))
            check_program("harvio.exe", data["harvio.exe"], GUI, version)
            check_program("harvio-cli.exe", data["harvio-cli.exe"], CONSOLE, version)
            check_readme(data["说明.txt"])
            check_remade(zip_path, archive, names, files_py)
    check_sums(zip_path)
    for failure in failures:
        print("FAIL: %s" % failure)
    if failures:
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
