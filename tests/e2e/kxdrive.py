"""End-to-end test harness: the driver (korvelix-drive, path in KX_DRIVE) run
in a fresh temporary directory with a list of command lines, its output
returned as lines. The store files come from the store writer in tools/
(kxstore), whose names this module passes on.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from kxstore import (  # noqa: E402,F401  (passed on to the tests)
    COMPANY_KEY_FILE, COMPANY_KEY_WIDTH, DATA_FILE, DATA_LINE_WIDTH, DEFAULTS, FIELD_WIDTH,
    FIELDS, NAME_KEY_FILE, NAME_KEY_WIDTH, Typed, data_fields, data_line, fit, key_file,
    key_lines, read_bytes, sjis, store_bytes, write_bytes, write_store)

# The messages a load shows when none of the three files is there.
MISSING_FILE_MESSAGES = [
    "MSG loadK1 K1 open error",
    "MSG loadK1 K2 open error",
    "MSG KORVELIX.DAT open error",
]


def drive_path():
    path = os.environ.get("KX_DRIVE")
    if not path:
        raise RuntimeError("KX_DRIVE must name the korvelix-drive program")
    return path


class Result:
    def __init__(self, lines, returncode, stderr):
        self.lines = lines
        self.returncode = returncode
        self.stderr = stderr

    def answers(self):
        """The "= ..." lines without their prefix."""
        return [l[2:] for l in self.lines if l.startswith("= ")]

    def messages(self):
        return [l[4:] for l in self.lines if l.startswith("MSG ")]


def run_driver(directory, commands, faketime=None, timeout=120, args=(), env=None):
    """Runs the driver in directory with the command lines on stdin. faketime
    is a date such as "2024-03-15 10:00:00" for the faketime command; args
    are the program's arguments; env adds to the environment."""
    argv = [drive_path()] + list(args)
    if faketime is not None:
        if shutil.which("faketime") is None:
            raise RuntimeError("faketime is not installed (scripts/setup.sh)")
        argv = ["faketime", faketime] + argv
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", **(env or {}))
    if faketime is not None:
        # faketime preloads its library ahead of a sanitizer build's runtime;
        # the runtime refuses to start over that unless told it is fine.
        asan = env.get("ASAN_OPTIONS", "")
        env["ASAN_OPTIONS"] = (asan + ":" if asan else "") + "verify_asan_link_order=0"
    stdin = "".join(c + "\n" for c in commands).encode("utf-8")
    p = subprocess.run(argv, cwd=directory, input=stdin, capture_output=True,
                       env=env, timeout=timeout)
    text = p.stdout.decode("utf-8")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return Result(lines, p.returncode, p.stderr.decode("utf-8", "replace"))


class DriveTest(unittest.TestCase):
    """A fresh temporary directory per test; store() and drive() work in it."""

    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="kx-e2e-")
        self.dir = self._tmp.name

    def tearDown(self):
        self._tmp.cleanup()

    def store(self, records, sort=True):
        write_store(self.dir, records, sort)

    def write(self, name, content):
        write_bytes(self.dir, name, content)

    def read(self, name):
        return read_bytes(self.dir, name)

    def exists(self, name):
        return os.path.exists(os.path.join(self.dir, name))

    def drive(self, commands, faketime=None, check=True, args=(), env=None):
        result = run_driver(self.dir, commands, faketime, args=args, env=env)
        if check:
            self.assertEqual(result.returncode, 0,
                             "driver failed:\n%s\n%s" % ("\n".join(result.lines), result.stderr))
        return result

    def drive_lines(self, commands, faketime=None, args=(), env=None):
        """Output lines of a run that must end with exit status 0."""
        return self.drive(commands, faketime, args=args, env=env).lines

    def assertAnswer(self, command, expected, commands_before=()):
        lines = self.drive_lines(list(commands_before) + [command])
        self.assertEqual(lines[-1], "= " + expected)

    def assertStoreUnchanged(self, before):
        """before: {file name: bytes} as store_bytes returns."""
        for name, content in before.items():
            self.assertEqual(self.read(name), content, name)
