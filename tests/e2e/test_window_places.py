"""Windows come back where the user left them, from one run to the next:
the place of each window as it was hidden or as the program ended, in a
settings file the driver is given, never the user's own."""

import os
import unittest

from kxdrive import DriveTest

NAME_LIST = "click Form1.Button1"
COMPANY_LIST = "click Form1.Button3"
CLOSE_MENU = "click Form1.Button2"


class WindowPlaces(DriveTest):
    def setUp(self):
        super().setUp()
        self.store([{"Kana": "ｱ"}])
        self.settings = os.path.join(self.dir, "places.ini")
        self.env = {"KX_DRIVE_SETTINGS": self.settings,
                    "XDG_CONFIG_HOME": os.path.join(self.dir, "config")}

    def run_with_places(self, commands):
        return self.drive_lines(commands, env=self.env)

    def test_windows_reopen_where_they_were_left(self):
        self.assertEqual(self.run_with_places([
            NAME_LIST, "move Form2 120 90", "close Form2",
            COMPANY_LIST, "move Form5 30 40",  # still open as the program ends
            "move Form1 200 50", CLOSE_MENU]), [])
        lines = self.run_with_places(["place Form1", NAME_LIST, "place Form2",
                                      COMPANY_LIST, "place Form5"])
        self.assertEqual(lines, ["= 200,50 482x430", "= 120,90 960x560", "= 30,40 1080x560"])

    def test_a_place_off_every_screen_is_not_used(self):
        self.run_with_places([NAME_LIST, "move Form2 9000 9000", "close Form2"])
        place = self.run_with_places([NAME_LIST, "place Form2"])[0]
        self.assertNotEqual(place, "= 9000,9000 960x560")

    def test_without_a_settings_file_nothing_is_kept_or_written(self):
        env = {"XDG_CONFIG_HOME": self.env["XDG_CONFIG_HOME"]}
        self.drive_lines([NAME_LIST, "move Form2 120 90", "close Form2", CLOSE_MENU], env=env)
        self.assertNotEqual(self.drive_lines([NAME_LIST, "place Form2"], env=env),
                            ["= 120,90 960x560"])
        self.assertFalse(os.path.exists(self.settings))
        self.assertFalse(os.path.exists(self.env["XDG_CONFIG_HOME"]))

    def test_malformed_moves(self):
        lines = self.run_with_places(["move Form1 1", "move Form1 a b", "move Form1.Button1 1 2",
                                      "move Form2 1 2", "place Form1.Button1"])
        self.assertEqual(len(lines), 5)
        for line in lines:
            self.assertTrue(line.startswith("ERROR "), line)


if __name__ == "__main__":
    unittest.main()
