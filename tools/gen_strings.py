#!/usr/bin/env python3
"""Turns res/strings.txt (UTF-8) into the program's code page 936 forms.

  gen_strings.py table strings.txt out.inc   C++ rows {id, "GBK bytes"} for
                                              core/string_table.cpp
  gen_strings.py rc strings.txt out.rc       a STRINGTABLE for the resource
                                              script
  gen_strings.py gbk in.rc out.rc            a UTF-8 resource script in GBK

The STRINGTABLE writes every non-ASCII character as a UTF-16 escape: the
resource compiler reads escapes byte by byte, so a GBK character whose trail
byte is 0x5C ("\\") would otherwise be taken apart. For the same reason a
whole script converted with `gbk` must not contain such a character.
"""
import sys

CATALOG_FIRST, CATALOG_LAST = 1150, 1274
CATALOG_LABEL_MAX = 63  # a catalog label is read into a 64-byte buffer


def fail(message):
    sys.stderr.write("gen_strings: %s\n" % message)
    sys.exit(1)


def unescape(text, where):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            nxt = text[i + 1:i + 2]
            if nxt == "t":
                out.append("\t")
            elif nxt == "\\":
                out.append("\\")
            else:
                fail("%s: unknown escape \\%s" % (where, nxt))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_table(path):
    table = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            where = "%s:%d" % (path, number)
            key, tab, text = line.partition("\t")
            if not tab or not key.isdigit():
                fail("%s: expected an id, a tab and the text" % where)
            ident = int(key)
            if ident in table:
                fail("%s: id %d appears twice" % (where, ident))
            text = unescape(text, where)
            try:
                gbk = text.encode("gbk")
            except UnicodeEncodeError:
                fail("%s: text has no code page 936 form" % where)
            if CATALOG_FIRST <= ident <= CATALOG_LAST and len(gbk) > CATALOG_LABEL_MAX:
                fail("%s: catalog label longer than %d bytes" % (where, CATALOG_LABEL_MAX))
            table[ident] = (text, gbk)
    return table


def c_literal(data):
    # Every byte escaped, each escape its own literal piece, so no escape
    # can swallow the character after it.
    return " ".join('"\\x%02x"' % b for b in data) if data else '""'


def write_table(table, out):
    rows = ["// Generated from res/strings.txt by tools/gen_strings.py.\n"]
    for ident in sorted(table):
        text, gbk = table[ident]
        # The quotes keep a final backslash from continuing the comment.
        rows.append('{%d, %s},  // "%s"\n' % (ident, c_literal(gbk), text))
    out.write("".join(rows))


def rc_literal(text):
    pieces = []
    for c in text:
        if c == '"':
            pieces.append('""')
        elif c == "\\":
            pieces.append("\\\\")
        elif c == "\t":
            pieces.append("\\t")
        elif 0x20 <= ord(c) < 0x7f:
            pieces.append(c)
        else:
            pieces.append("\\x%04x" % ord(c))
    return 'L"%s"' % "".join(pieces)


def write_rc(table, out):
    out.write("// Generated from res/strings.txt by tools/gen_strings.py.\n")
    out.write("STRINGTABLE\nBEGIN\n")
    for ident in sorted(table):
        out.write("  %d, %s\n" % (ident, rc_literal(table[ident][0])))
    out.write("END\n")


def convert_script(source, out):
    with open(source, encoding="utf-8") as f:
        text = f.read()
    for number, line in enumerate(text.split("\n"), 1):
        for c in line:
            try:
                encoded = c.encode("gbk")
            except UnicodeEncodeError:
                fail("%s:%d: %r has no code page 936 form" % (source, number, c))
            if len(encoded) == 2 and encoded[1] == 0x5C:
                fail("%s:%d: %r ends in byte 0x5C; write it as a UTF-16 escape"
                     % (source, number, c))
    out.write(text.encode("gbk"))


def main(argv):
    if len(argv) != 4 or argv[1] not in ("table", "rc", "gbk"):
        fail("usage: gen_strings.py table|rc|gbk INPUT OUTPUT")
    mode, source, target = argv[1:]
    if mode == "gbk":
        with open(target, "wb") as out:
            convert_script(source, out)
        return
    table = read_table(source)
    with open(target, "w", encoding="utf-8", newline="\n") as out:
        (write_table if mode == "table" else write_rc)(table, out)


if __name__ == "__main__":
    main(sys.argv)
