"""The Debian package: built with CPack from this build, its metadata
validated, unpacked into a scratch root, and the program in it started on a
store. KX_BUILD_DIR names the build folder, KX_CPACK the cpack program."""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
from kxstore import write_store  # noqa: E402


def run(argv, **kw):
    return subprocess.run(argv, capture_output=True, text=True, timeout=300, **kw)


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls._tmp = tempfile.TemporaryDirectory(prefix="kx-package-")
        cls.tmp = cls._tmp.name
        build = os.environ["KX_BUILD_DIR"]
        p = run([os.environ["KX_CPACK"], "--config", os.path.join(build, "CPackConfig.cmake"),
                 "-G", "DEB", "-B", os.path.join(cls.tmp, "out")], cwd=build)
        if p.returncode != 0:
            raise AssertionError("cpack failed:\n" + p.stdout + p.stderr)
        debs = [f for f in os.listdir(os.path.join(cls.tmp, "out")) if f.endswith(".deb")]
        assert len(debs) == 1, debs
        cls.deb = os.path.join(cls.tmp, "out", debs[0])
        cls.root = os.path.join(cls.tmp, "root")
        p = run(["dpkg-deb", "-x", cls.deb, cls.root])
        assert p.returncode == 0, p.stderr

    @classmethod
    def tearDownClass(cls):
        cls._tmp.cleanup()

    def installed(self, *names):
        return os.path.join(self.root, "usr", *names)

    def test_declares_what_the_program_needs_at_run_time(self):
        depends = run(["dpkg-deb", "-f", self.deb, "Depends"]).stdout
        for package in ("libqt6widgets6", "libjpeg62-turbo", "fonts-ipafont-gothic",
                        "fonts-ipafont-mincho", "libqt6printsupport6",
                        "libqt6svg6", "xdg-utils", "qt6-translations-l10n", "libmecab2",
                        "mecab-ipadic-utf8"):
            self.assertIn(package, depends)

    def test_menu_entry_icon_and_valid_metadata(self):
        with open(self.installed("share", "applications", "korvelix.desktop")) as f:
            self.assertIn("Exec=korvelix --data-folder\n", f.read())
        self.assertTrue(os.path.isfile(
            self.installed("share", "icons", "hicolor", "scalable", "apps", "korvelix.svg")))
        metainfo = os.path.join(self.installed("share", "metainfo"))
        files = [os.path.join(metainfo, f) for f in os.listdir(metainfo)]
        self.assertEqual(len(files), 1)
        p = run(["appstreamcli", "validate", "--no-net", "--pedantic"] + files)
        self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
        self.assertNotIn("pedantic", p.stdout, p.stdout)
        with open(files[0]) as f:
            self.assertIn("<project_license>MIT</project_license>", f.read())
        with open(self.installed("share", "doc", "korvelix", "copyright")) as f:
            self.assertIn("License: MIT", f.read())

    def test_program_is_stripped_and_starts_on_a_store(self):
        binary = self.installed("bin", "korvelix")
        sections = run(["readelf", "-S", "-W", binary]).stdout
        self.assertNotIn(".symtab", sections)
        self.assertNotIn(".debug_info", sections)

        store = os.path.join(self.tmp, "store")
        os.mkdir(store)
        write_store(store, [{"Kana": "ｱ"}, {"Kana": "ｲ"}, {"Kana": "ｳ"}])
        p = run([binary, "--exit-after-start", store],
                env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        self.assertEqual((p.returncode, p.stdout), (0, "RECORDS = 3\n"), p.stderr)


if __name__ == "__main__":
    unittest.main()
