#!/usr/bin/env python3
"""Checks the built help file as the WinHelp viewer reads it.

    check_help.py ondulor.hlp res/texts.inc

- it is a WinHelp file (magic number 0x00035F3F);
- its contents topic, the one HELP_INDEX shows, jumps to a French and an English chapter;
- each chapter jumps to its own topics, as many in one language as in the other;
- the text of each language names every menu command, box, control and button of the game in that
  language, byte for byte as res/texts.inc spells it (Windows-1252).

Prints one line per check and a GoogleTest-style summary; with GTEST_OUTPUT=xml:FOLDER/ set, as
scripts/test.sh sets it for every test program, also writes FOLDER/check_help.xml in GoogleTest's form,
one case per check, which the test run counts."""
import os
import re
import struct
import sys
from xml.sax.saxutils import quoteattr

WINHELP_MAGIC = 0x00035F3F
SYSTEM_MAGIC = 0x036C
BTREE_MAGIC = 0x293B
FILE_HEADER = 9             # reserved space, used space, flags: before every internal file
BTREE_HEADER = 38
TOPIC_BLOCK = 0x1000        # WinHelp 3.1 and later: topic blocks of 4 KiB ...
TOPIC_BLOCK_HEADER = 12     # ... each opening with 12 bytes of links to skip
JUMP = 0xE3                 # a hotspot that jumps, followed by the 32-bit hash of its context

# The labels that the help must name, by their ids in res/texts.inc.
LABELS = [
    "TXT_MENU_GAME", "TXT_MENU_OPTIONS", "TXT_MENU_HELP", "TXT_NEW_GAME", "TXT_QUIT",
    "TXT_GAME_SETTINGS", "TXT_DISPLAY_SCORES", "TXT_LANGUAGE_SWITCH", "TXT_ABOUT", "TXT_HELP",
    "TXT_GAME_OVER_TITLE", "TXT_NAME_TITLE", "TXT_OK", "TXT_CANCEL", "TXT_SCORES_TITLE",
    "TXT_GAME_OVER_STATUS", "TXT_RESET_SCORES", "TXT_POINTS", "TXT_SETTINGS_TITLE",
    "TXT_SOUND_EFFECTS", "TXT_LANGUAGE_GROUP", "TXT_ENGLISH", "TXT_FRENCH", "TXT_DURATION_LABEL",
]


class Fault(Exception):
    pass


def u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def btree_leaves(data, at, entry):
    """Every leaf entry of the B+ tree of the internal file at `at`, in key order; entry(data, offset)
    gives (value, offset of the next entry)."""
    tree = at + FILE_HEADER
    if u16(data, tree) != BTREE_MAGIC:
        raise Fault("no B+ tree at %#x" % at)
    page_size, page, levels = u16(data, tree + 4), u16(data, tree + 26), u16(data, tree + 32)
    pages = tree + BTREE_HEADER
    for _ in range(levels - 1):
        page = u16(data, pages + page * page_size + 4)  # the leftmost child of an index page
    while page != 0xFFFF:
        start = pages + page * page_size
        offset = start + 8
        for _ in range(u16(data, start + 2)):
            value, offset = entry(data, offset)
            yield value
        page = u16(data, start + 6)


def directory_entry(data, at):
    end = data.index(b"\0", at)
    return (data[at:end].decode("latin-1"), u32(data, end + 1)), end + 5


def context_entry(data, at):
    return (u32(data, at), u32(data, at + 4)), at + 8


def compressed_long(data, at):
    """A compressed 32-bit number: 2 bytes when the low bit is clear, else 4. Returns the next offset."""
    return at + (4 if data[at] & 1 else 2)


def compressed_short(data, at):
    """A compressed 16-bit number: 1 byte when the low bit is clear, else 2."""
    if data[at] & 1:
        return u16(data, at) // 2
    return data[at] // 2


def read_help(data):
    """The pages of the help file, in order, each {title, offset, text, format}, and the offset of
    the contents topic (None: the first page)."""
    if len(data) < 16 or u32(data, 0) != WINHELP_MAGIC:
        raise Fault("not a WinHelp file: magic %s" % data[:4].hex())
    files = dict(btree_leaves(data, u32(data, 4), directory_entry))
    for name in ("|SYSTEM", "|TOPIC", "|CONTEXT"):
        if name not in files:
            raise Fault("no internal file %s" % name)

    system = files["|SYSTEM"] + FILE_HEADER
    if u16(data, system) != SYSTEM_MAGIC or u16(data, system + 2) <= 16 or u16(data, system + 10) != 0:
        raise Fault("not an uncompressed WinHelp 3.1 file (this check reads no other)")
    contents = None
    record = system + 12
    system_end = files["|SYSTEM"] + FILE_HEADER + u32(data, files["|SYSTEM"] + 4)
    while record + 4 <= system_end:
        kind, size = u16(data, record), u16(data, record + 2)
        if kind == 3 and size == 4:
            contents = u32(data, record + 4)
        record += 4 + size

    topic = files["|TOPIC"]
    raw = data[topic + FILE_HEADER:topic + FILE_HEADER + u32(data, topic + 4)]
    stream = b"".join(raw[block + TOPIC_BLOCK_HEADER:block + TOPIC_BLOCK]
                      for block in range(0, len(raw), TOPIC_BLOCK))
    pages, link, block_seen, characters = [], TOPIC_BLOCK_HEADER, None, 0
    while link != 0xFFFFFFFF:
        block = (link - TOPIC_BLOCK_HEADER) >> 14
        at = block * (TOPIC_BLOCK - TOPIC_BLOCK_HEADER) + ((link - TOPIC_BLOCK_HEADER) & 0x3FFF)
        if at + 0x15 > len(stream):
            raise Fault("topic link %#x lies outside the topics" % link)
        if block != block_seen:
            block_seen, characters = block, 0
        size, text_size, next_link, format_end = (u32(stream, at), u32(stream, at + 4),
                                                  u32(stream, at + 12), u32(stream, at + 16))
        if text_size > size - format_end:
            raise Fault("compressed topic text (this check reads no other)")
        kind = stream[at + 20]
        text = stream[at + format_end:at + format_end + text_size]
        if kind == 0x02:
            # A topic's offset counts the characters of the paragraphs before it in its block.
            pages.append({"title": text.split(b"\0")[0], "offset": block * 0x8000 + characters,
                          "text": b"", "format": b""})
        elif kind in (0x20, 0x23) and pages:
            characters += compressed_short(stream, compressed_long(stream, at + 21))
            page = pages[-1]
            page["text"] += text.replace(b"\0", b"").replace(b"\xa0", b" ")
            page["format"] += stream[at + 21:at + format_end]
        link = next_link
    if not pages:
        raise Fault("no topic in the file")
    context = dict(btree_leaves(data, files["|CONTEXT"], context_entry))
    return pages, contents, context


def page_at(pages, offset):
    """The page holding a topic offset: the last one that starts at or before it."""
    found = None
    for page in pages:
        if page["offset"] <= offset and (found is None or found["offset"] < page["offset"]):
            found = page
    return found


def jumps(page, pages, context):
    """The pages that a page's hotspots jump to, in no particular order."""
    targets = []
    for context_hash, offset in context.items():
        if bytes([JUMP]) + struct.pack("<I", context_hash) in page["format"]:
            target = page_at(pages, offset)
            if target is not None and target is not page and target not in targets:
                targets.append(target)
    return targets


def labels(texts_inc):
    """{id: (French, English)} as the game shows them: bytes of Windows-1252, without the menu
    mnemonic '&' and without what follows a tab (the accelerator) or a '%' (a number)."""
    def decode(literal):
        raw = re.sub(rb"\\([0-7]{1,3}|.)",
                     lambda m: bytes([int(m.group(1), 8)]) if m.group(1)[:1].isdigit()
                     else {b"n": b"\n", b"t": b"\t"}.get(m.group(1), m.group(1)), literal)
        return re.split(rb"[\t%]", raw.replace(b"&", b""))[0].strip()

    found = {}
    for match in re.finditer(rb'ONDULOR_TEXT(?:_FRENCH_ONLY)?\((\w+), "((?:[^"\\]|\\.)*)"'
                             rb'(?:, "((?:[^"\\]|\\.)*)")?\)', texts_inc):
        english = match.group(3)
        found[match.group(1).decode()] = (decode(match.group(2)),
                                          decode(english) if english is not None else None)
    return found


def report_path():
    """Where GTEST_OUTPUT asks for the XML report, or None. The Windows build's run names the folder
    as Wine sees it: its Z: drive is the root of the file system."""
    value = os.environ.get("GTEST_OUTPUT", "")
    if not value.startswith("xml:"):
        return None
    path = value[4:]
    if path[:2] in ("Z:", "z:"):
        path = path[2:].replace("\\", "/")
    if path.endswith("/"):
        path += "check_help.xml"
    return path


def write_report(path, passed, failed):
    """The checks as GoogleTest's XML report: passed is a list of names, failed of (name, problem)."""
    cases = ["    <testcase name=%s status=\"run\" result=\"completed\" classname=\"HelpFile\" />"
             % quoteattr(name) for name in passed]
    cases += ["    <testcase name=%s status=\"run\" result=\"completed\" classname=\"HelpFile\">\n"
              "      <failure message=%s type=\"\" />\n    </testcase>" % (quoteattr(name), quoteattr(problem))
              for name, problem in failed]
    count = 'tests="%d" failures="%d" disabled="0" errors="0"' % (len(passed) + len(failed), len(failed))
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<testsuites %s name="AllTests">\n'
                '  <testsuite name="HelpFile" %s>\n%s\n  </testsuite>\n</testsuites>\n'
                % (count, count, "\n".join(cases)))


def summary(passed, failed):
    """GoogleTest's closing lines and, when asked for, its XML report; the exit code."""
    print("[  PASSED  ] %d tests." % len(passed))
    if failed:
        print("%d FAILED TEST%s" % (len(failed), "S" if len(failed) > 1 else ""))
    path = report_path()
    if path:
        write_report(path, passed, failed)
    return 1 if failed else 0


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    passed, failed = [], []

    def check(name, problem):
        if problem:
            failed.append((name, problem))
        else:
            passed.append(name)
        print(("FAILED: %s: %s" % (name, problem)) if problem else ("ok: " + name))

    try:
        with open(sys.argv[1], "rb") as f:
            pages, contents_offset, context = read_help(f.read())
        with open(sys.argv[2], "rb") as f:
            texts = labels(f.read())
    except (OSError, Fault, struct.error, ValueError, IndexError) as error:
        check("the help file reads as WinHelp", str(error))
        return summary(passed, failed)
    check("the help file reads as WinHelp", None)

    contents = page_at(pages, contents_offset) if contents_offset is not None else pages[0]
    chapters = {}
    for language, name in (("French", "Français"), ("English", "English")):
        found = [page for page in jumps(contents, pages, context)
                 if page["title"].endswith(name.encode("cp1252"))]
        chapters[language] = found[0] if len(found) == 1 else None
    check("the contents topic leads to a French and an English chapter",
          None if all(chapters.values()) else
          "jumps from %r: %r" % (contents["title"], [p["title"] for p in jumps(contents, pages, context)]))
    if not all(chapters.values()):
        return summary(passed, failed)

    topics = {language: [page for page in jumps(chapter, pages, context)
                         if page is not contents and page not in chapters.values()]
              for language, chapter in chapters.items()}
    shared = [p["title"] for p in topics["French"] if p in topics["English"]]
    check("each chapter leads to as many topics of its own as the other",
          None if topics["French"] and len(topics["French"]) == len(topics["English"]) and not shared
          else "French %d, English %d, shared %r" % (len(topics["French"]), len(topics["English"]), shared))

    for index, language in enumerate(("French", "English")):
        text = chapters[language]["text"] + b"".join(page["text"] for page in topics[language])
        wanted = [texts[label][index] for label in LABELS if label in texts and texts[label][index]]
        missing = [label.decode("cp1252") for label in wanted if label not in text]
        unknown = [label for label in LABELS if label not in texts]
        check("the %s topics name every label of the game in %s" % (language, language),
              None if wanted and not missing and not unknown
              else "missing %r, ids not in texts.inc %r" % (missing, unknown))

    return summary(passed, failed)


if __name__ == "__main__":
    sys.exit(main())
