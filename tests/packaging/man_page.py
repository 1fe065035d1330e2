"""A manual page (man(7) roff) read as its reader sees it: sections, and in
each the tagged paragraphs (.TP) with their tag and body as plain text.

Only what the project's pages use is read: font escapes, \\- and the quote
escapes, and the font macros (.B, .BR, .BI, ...), whose arguments the
alternating ones join without spaces.
"""

import re

_ESCAPES = [
    (re.compile(r"\\f(\(..|\[[^\]]*\]|.)"), ""),  # font changes
    (re.compile(r"\\\((lq|rq|dq)"), '"'),
    (re.compile(r"\\-"), "-"),
    (re.compile(r"\\[&%]"), ""),  # zero-width marks, no-hyphenation marks
    (re.compile(r"\\ "), " "),
]
_ARGUMENT = re.compile(r'"((?:[^"]|"")*)"?|(\S+)')
_SINGLE_FONT = {".B", ".I", ".SM", ".SB"}
_ALTERNATING_FONTS = {".BR", ".BI", ".IB", ".IR", ".RB", ".RI"}
_PARAGRAPH_ENDS = {".TP", ".PP", ".LP", ".P", ".SH", ".SS"}


def _unescape(text):
    for pattern, replacement in _ESCAPES:
        text = pattern.sub(replacement, text)
    return text


def text_of(line):
    """What a line of the page shows: its text, a font macro's arguments."""
    line = _unescape(line)
    if not line.startswith("."):
        return line
    macro, _, rest = line.partition(" ")
    words = [m.group(1).replace('""', '"') if m.group(1) is not None else m.group(2)
             for m in _ARGUMENT.finditer(rest)]
    if macro in _ALTERNATING_FONTS:
        return "".join(words)
    if macro in _SINGLE_FONT:
        return " ".join(words)
    return ""  # a request with no text of its own (.PP, .nf, ...)


class Entry:
    """A tagged paragraph: its tag and its body, as text."""

    def __init__(self, tag):
        self.tag = tag
        self.body = []

    def text(self):
        return " ".join([self.tag] + self.body)


class ManPage:
    def __init__(self, path):
        with open(path, encoding="utf-8") as page:
            lines = page.read().splitlines()
        self.sections = {}  # name: the lines of text in it
        self.entries = {}  # section name: its Entry list
        section, entry, tag_next = None, None, False
        for line in lines:
            macro = line.split(" ", 1)[0]
            if macro == ".SH":
                section = text_of(".B " + line[4:]).strip()
                self.sections.setdefault(section, [])
                self.entries.setdefault(section, [])
            if macro in _PARAGRAPH_ENDS:
                entry = None
                tag_next = macro == ".TP"
                continue
            if section is None or line.startswith(".\\\""):
                continue
            shown = text_of(line)
            self.sections[section].append(shown)
            if tag_next:
                entry = Entry(shown.strip())
                self.entries[section].append(entry)
                tag_next = False
            elif entry is not None:
                entry.body.append(shown)

    def section_text(self, name):
        return " ".join(self.sections.get(name, []))

    def tags(self, section):
        return [entry.tag for entry in self.entries.get(section, [])]

    def entries_in(self, section):
        return self.entries.get(section, [])
