"""korvelix --sync on the command line: the summary, the mass-delete guard
and its override, and a failing vdirsyncer reported as a failure."""

import os
import unittest

from kxdrive import DriveTest
from kxvcard import PEOPLE, korvelix, store_image


class SyncCommandLine(DriveTest):
    def setUp(self):
        super().setUp()
        self.store(PEOPLE[:3])
        self.cards = os.path.join(self.dir, "cards")
        os.mkdir(self.cards)

    def sync(self, *extra):
        return korvelix("--sync", self.cards, self.dir, *extra)

    def test_summary_and_the_mass_delete_guard(self):
        status, out, err = self.sync()
        self.assertEqual(status, 0, err)
        self.assertIn("同期しました", out)
        self.assertEqual(len(os.listdir(self.cards)), 3)
        for name in sorted(os.listdir(self.cards))[:2]:
            os.remove(os.path.join(self.cards, name))
        before = store_image(self.dir)
        status, out, err = self.sync()
        self.assertEqual(status, 1)
        self.assertIn("--allow-mass-delete", err)
        self.assertEqual(store_image(self.dir), before)
        status, out, err = self.sync("--allow-mass-delete")
        self.assertEqual(status, 0, err)
        self.assertEqual(store_image(self.dir)["KORVELIX.DAT"].count(b"\r\n"), 1)

    def test_a_failing_vdirsyncer_fails_the_sync_before_it_writes(self):
        env_path = os.environ.get("PATH", "")
        os.environ["PATH"] = os.path.join(self.dir, "no-such-bin")
        try:
            status, out, err = self.sync("--vdirsyncer", "pair")
        finally:
            os.environ["PATH"] = env_path
        self.assertEqual(status, 1)
        self.assertIn("vdirsyncer", err)
        self.assertEqual(os.listdir(self.cards), [])
        self.assertFalse(os.path.exists(os.path.join(self.dir, "KORVELIX.SYNC")))

    def test_a_bad_command_line_is_refused(self):
        for args in ([], ["--vdirsyncer"], ["a", "b", "c"], ["--bogus", "a"]):
            status, out, err = korvelix("--sync", *args)
            self.assertEqual(status, 2, args)
            self.assertIn("usage", err)


if __name__ == "__main__":
    unittest.main()
