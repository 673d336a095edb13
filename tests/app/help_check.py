#!/usr/bin/env python3
"""Checks the help file and the tip pages that ship beside harvio.exe.

  help_check.py PAGES_DIR   (holds Introduction.chm and ad/0.html..9.html)

The compiled help file is taken apart with extract_chmLib: every topic of
the contents and of the index must be there as a GBK page with its code
page declared, and no page may link to a file that is not in the help
file. Exits non-zero with one line per fault.
"""
import os
import re
import subprocess
import sys
import tempfile

CHARSET = re.compile(rb'<meta[^>]+charset=gb2312', re.I)
LOCAL = re.compile(r'<param\s+name="Local"\s+value="([^"]*)"', re.I)
LINK = re.compile(r'(?:href|src)\s*=\s*"([^"]*)"', re.I)

faults = []


def fault(text):
    faults.append(text)


def read_gbk(path, what):
    """The page's text, or None after reporting why it cannot be one."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError:
        fault("%s: missing" % what)
        return None
    try:
        text = data.decode("gbk")
    except UnicodeDecodeError as e:
        fault("%s: not GBK (%s)" % (what, e))
        return None
    if not CHARSET.search(data):
        fault("%s: no charset=gb2312 declared" % what)
    return text


def check_topics(root, listing):
    """Every Local of a contents or index file names a page that opens."""
    text = read_gbk(os.path.join(root, listing), listing)
    if text is None:
        return set()
    topics = set(LOCAL.findall(text))
    if not topics:
        fault("%s: names no topic" % listing)
    for topic in sorted(topics):
        page = read_gbk(os.path.join(root, topic), "%s -> %s" % (listing, topic))
        if page is not None and not re.search(r"<title>[^<]+</title>", page):
            fault("%s: no title" % topic)
    return topics


def check_links(root):
    for name in sorted(os.listdir(root)):
        if not name.endswith(".html"):
            continue
        text = read_gbk(os.path.join(root, name), name)
        for target in LINK.findall(text or ""):
            path = target.split("#", 1)[0]
            if "://" in target or target.startswith("mailto:"):
                fault("%s: link out of the help file: %s" % (name, target))
            elif path and not os.path.isfile(os.path.join(root, path)):
                fault("%s: dead link: %s" % (name, target))


def check_help(chm):
    with tempfile.TemporaryDirectory() as root:
        try:
            run = subprocess.run(["extract_chmLib", chm, root], capture_output=True, timeout=30)
        except FileNotFoundError:
            fault("extract_chmLib is missing (Debian package libchm-bin)")
            return
        if run.returncode != 0:
            fault("extract_chmLib failed: %s" % run.stderr.decode(errors="replace"))
            return
        contents = check_topics(root, "toc.hhc")
        index = check_topics(root, "index.hhk")
        pages = {n for n in os.listdir(root) if n.endswith(".html")}
        for page in sorted(pages - contents):
            fault("%s: not in the contents" % page)
        for topic in sorted(index - contents):
            fault("index names %s, which is not in the contents" % topic)
        if not os.path.isdir(os.path.join(root, "$WWKeywordLinks")):
            fault("no compiled index")
        check_links(root)


def check_tips(folder):
    for n in range(10):
        text = read_gbk(os.path.join(folder, "%d.html" % n), "ad/%d.html" % n)
        if text is not None and not re.search(r"[\u4e00-\u9fff]{4}", text):
            fault("ad/%d.html: no tip text" % n)


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: help_check.py PAGES_DIR")
    check_help(os.path.join(argv[1], "Introduction.chm"))
    check_tips(os.path.join(argv[1], "ad"))
    for text in faults:
        print("FAIL: %s" % text)
    print("ok" if not faults else "%d faults" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
