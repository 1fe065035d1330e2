"""The manual pages against the programs they describe: every command and
option each program's --help names has its place in the program's page,
every exit code k57ctl gives its line under EXIT STATUS, and every
environment variable a program reads its entry under ENVIRONMENT.

Usage: man_pages_test.py SOURCE_DIR K57CTL K57SIM K57TOOL
"""

import os
import re
import subprocess
import sys
import unittest

from man_page import ManPage

SOURCE = sys.argv[1] if len(sys.argv) > 1 else "."
PROGRAMS = dict(zip(["k57ctl", "k57sim", "k57tool"], sys.argv[2:5]))

# What each program reads from the environment, by what its own code and
# the libraries it links read (getenv, qEnvironmentVariable, Qt's standard
# folders): the tool's folders and journal server, the journal's names for
# the PC and the user, the system's configuration folder (the ports and
# settings) and data folder (the journal), and the PostgreSQL variables the
# journal's server is shown by. HOME, USER and the like are read only when
# those are unset, and are told of there.
ENVIRONMENT = {
    "k57ctl": ["K57_DATA_DIR", "K57_PORTS_DIR", "K57_TRUSTED_KEYS_DIR", "K57_JOURNAL_SERVER",
               "K57_PC_NAME", "K57_USER_NAME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
               "QT_QPA_PLATFORM", "PGHOST", "PGHOSTADDR", "PGPORT", "PGDATABASE", "PGUSER"],
    "k57tool": ["K57_DATA_DIR", "K57_PORTS_DIR", "K57_TRUSTED_KEYS_DIR", "K57_JOURNAL_SERVER",
                "K57_PC_NAME", "K57_USER_NAME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                "PGHOST", "PGHOSTADDR", "PGPORT", "PGDATABASE", "PGUSER"],
    "k57sim": ["K57_PORTS_DIR", "XDG_CONFIG_HOME"],
}
# The tool's own variables that no page tells of: the registry key the
# stored port is kept under is read on Windows alone, which has no pages.
UNDOCUMENTED = {"K57_REGISTRY_KEY"}

OPTION = re.compile(r"(?<![\w-])--[a-z0-9][a-z0-9-]*")


def help_text(program, *words):
    result = subprocess.run([PROGRAMS[program], *words, "--help"], capture_output=True,
                            text=True, timeout=60, env=dict(os.environ, LC_ALL="C.UTF-8"))
    if result.returncode != 0:
        raise AssertionError(f"{program} {' '.join(words)} --help: exit {result.returncode}\n"
                             f"{result.stderr}")
    return result.stdout


def section(text, heading):
    """The lines of a CLI11 help's section ("Options:", "Subcommands:")."""
    lines = text.splitlines()
    if heading not in lines:
        return []
    body = lines[lines.index(heading) + 1:]
    return body[:body.index("")] if "" in body else body


class Command:
    """A k57ctl command as its --help shows it: its words, options and
    subcommands, and whether it runs alone or only names a group."""

    def __init__(self, words):
        self.words = words
        text = help_text("k57ctl", *words)
        self.options = {name for line in section(text, "Options:")
                        if line.startswith("  -")
                        for name in line.split()[0].split(",") if name.startswith("--")}
        self.subcommands = [line.split()[0] for line in section(text, "Subcommands:")
                            if line.startswith("  ") and not line.startswith("   ")]
        self.group = re.search(r"^Usage: .* SUBCOMMAND$", text, re.M) is not None
        self.exit_codes = re.findall(r"(?:: |, )(\d+) [a-z]",
                                     " ".join(text.split("Usage:")[0].split()))

    def tells_of(self, tag):
        """Whether an entry with this tag is about this command: a group is
        told of by its commands' entries, a command that runs by its own,
        not by its subcommands'."""
        words = tag.split()
        if words[:len(self.words)] != self.words:
            return False
        return self.group or words[len(self.words):][:1] not in [[n] for n in self.subcommands]

    def all(self):
        yield self
        for name in self.subcommands:
            yield from Command(self.words + [name]).all()


def hand_written_options(text):
    """--help text written by hand: the options of its usage line and the
    first word of each line that begins with an option."""
    usage = [line for line in text.splitlines() if line.startswith("Usage:")]
    first = [line.split()[0] for line in text.splitlines() if line.lstrip().startswith("--")]
    return set(OPTION.findall(" ".join(usage + first)))


class ManPagesTest(unittest.TestCase):
    def page(self, program):
        return ManPage(os.path.join(SOURCE, "packaging", program + ".1"))

    def assert_none_missing(self, missing, what):
        with self.subTest(what):  # each check tells all it misses, the others go on
            self.assertEqual([], missing, f"not in the page: {what}")

    def test_k57ctl_page_has_every_command_option_and_exit_code(self):
        page = self.page("k57ctl")
        top = Command([])
        commands = list(top.all())[1:]
        self.assertIn("--port", top.options, "k57ctl --help reads otherwise than this test")
        self.assertIn(["can", "stats"], [c.words for c in commands])
        entries = page.entries_in("COMMANDS")
        self.assert_none_missing([" ".join(c.words) for c in commands
                                  if not any(c.tells_of(entry.tag) for entry in entries)],
                                 "commands (as an entry of COMMANDS)")
        options_tags = " ".join(page.tags("OPTIONS"))
        self.assert_none_missing(sorted(o for o in top.options
                                        if o not in OPTION.findall(options_tags)),
                                 "options (as an entry of OPTIONS)")
        missing = []
        for command in commands:
            told = OPTION.findall(" ".join(entry.text() for entry in entries
                                           if command.tells_of(entry.tag)))
            missing += [f"{' '.join(command.words)} {option}"
                        for option in sorted(command.options - {"--help"}) if option not in told]
        self.assert_none_missing(missing, "options (in their command's entries)")

        self.assertEqual(["0", "1", "2", "3", "4", "5", "6", "7", "130"], top.exit_codes,
                         "k57ctl --help no longer lists its exit codes as this test reads them")
        self.assert_none_missing([code for code in top.exit_codes
                                  if code not in page.tags("EXIT STATUS")], "exit codes")

    def test_k57sim_and_k57tool_pages_have_every_option(self):
        for program in ["k57sim", "k57tool"]:
            with self.subTest(program=program):
                options = hand_written_options(help_text(program))
                self.assertIn("--help", options)
                told = OPTION.findall(" ".join(self.page(program).tags("OPTIONS")))
                self.assert_none_missing(sorted(options - set(told)),
                                         f"{program} options (as an entry of OPTIONS)")

    def test_every_page_tells_of_the_environment_its_program_reads(self):
        for program, variables in ENVIRONMENT.items():
            with self.subTest(program=program):
                told = re.findall(r"\w+", " ".join(self.page(program).tags("ENVIRONMENT")))
                self.assert_none_missing([v for v in variables if v not in told],
                                         f"{program} environment (as an entry of ENVIRONMENT)")

    def test_the_environment_lists_hold_every_variable_the_sources_read(self):
        read = set()
        skipped = {"tests", "build", "fuzz", "bench", ".git"}
        for top in os.listdir(SOURCE):
            if top in skipped or not os.path.isdir(os.path.join(SOURCE, top)):
                continue
            for folder, _, files in os.walk(os.path.join(SOURCE, top)):
                for name in files:
                    if not name.endswith((".cpp", ".h")):
                        continue
                    with open(os.path.join(folder, name), encoding="utf-8") as source:
                        code = source.read()
                    if "getenv" in code or "qEnvironmentVariable" in code:
                        read |= set(re.findall(r'"(K57_[A-Z0-9_]+)"', code))
        listed = set().union(*ENVIRONMENT.values()) | UNDOCUMENTED
        self.assertIn("K57_DATA_DIR", read, "the sources were not found")
        self.assertEqual([], sorted(read - listed),
                         "read by the programs, but in no list of this test")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
