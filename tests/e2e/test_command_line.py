"""The program's command line: the store folder it works in, given or the
user's data folder, and what it says when it cannot."""

import os
import subprocess
import tempfile
import unittest

from kxdrive import write_store

RECORDS = [{"Kana": "ｱ"}, {"Kana": "ｲ"}]


def program(args, cwd, **env):
    """Runs the program with --exit-after-start: it starts on its store,
    prints the entry count and ends. Its settings go to a folder of the
    test's, never the user's."""
    env.setdefault("XDG_CONFIG_HOME", os.path.join(cwd, ".config-of-test"))
    p = subprocess.run([os.environ["KX_PROGRAM"], "--exit-after-start"] + args, cwd=cwd,
                       capture_output=True, text=True, timeout=60,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen", **env))
    return p.returncode, p.stdout, p.stderr


class CommandLine(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="kx-cmdline-")
        self.dir = self._tmp.name

    def tearDown(self):
        self._tmp.cleanup()

    def path(self, *names):
        return os.path.join(self.dir, *names)

    def test_store_in_the_folder_given_else_in_the_working_directory(self):
        os.mkdir(self.path("here"))
        os.mkdir(self.path("there"))
        write_store(self.path("there"), RECORDS)
        self.assertEqual(program(["there"], self.dir)[:2], (0, "RECORDS = 2\n"))
        self.assertEqual(program([], self.path("there"))[:2], (0, "RECORDS = 2\n"))
        # A folder that starts with a dash, after "--".
        os.mkdir(self.path("-x"))
        write_store(self.path("-x"), RECORDS[:1])
        self.assertEqual(program(["--", "-x"], self.dir)[:2], (0, "RECORDS = 1\n"))
        self.assertEqual(os.listdir(self.path("here")), [])

    def test_missing_folders_are_created(self):
        rc, out, _ = program([self.path("new", "store")], self.dir)
        self.assertEqual((rc, out), (0, "RECORDS = 0\n"))
        self.assertTrue(os.path.isdir(self.path("new", "store")))

    def test_data_folder_is_the_users(self):
        rc, out, _ = program(["--data-folder"], self.dir, XDG_DATA_HOME=self.path("data"))
        self.assertEqual((rc, out), (0, "RECORDS = 0\n"))
        self.assertTrue(os.path.isdir(self.path("data", "korvelix")))

    def test_a_folder_that_cannot_be_made(self):
        with open(self.path("plain"), "w") as f:
            f.write("x")
        rc, out, err = program(["plain/store"], self.dir)
        self.assertEqual((rc, out), (1, ""))
        self.assertIn("CAN NOT OPEN FOLDER plain/store", err)

    def test_wrong_arguments(self):
        for args in (["a", "b"], ["--no-such-option"], ["--data-folder", "a"]):
            rc, out, err = program(args, self.dir)
            self.assertEqual((rc, out), (2, ""), args)
            self.assertIn("usage: korvelix", err, args)
        self.assertEqual(os.listdir(self.dir), [])


if __name__ == "__main__":
    unittest.main()
