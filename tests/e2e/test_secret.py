"""The secret mode and the secret view (Form4): which controls each of the
two switches reaches, that the view's switch only ever turns the mode off,
and the secrets shown from the name list, the company list and the browser."""

import unittest

from kxdrive import fit
from kxsearch import SearchTest, search_commands
from kxtext import driver_text

# Every control under the secret mode: (window, control, view's switch
# reaches it, browser's switch reaches it).
TABLE = [
    ("Form1", "Button15", True, True), ("Form1", "Button16", True, True),
    ("Form1", "Button22", True, False),
    ("Form3", "Button2", True, True), ("Form3", "Button5", True, True),
    ("Form3", "Label32", True, True), ("Form3", "Label23", True, True),
    ("Form6", "Label19", True, True), ("Form6", "Label20", True, True),
    ("Form6", "Edit23", True, True),
    ("Form8", "Label18", True, False), ("Form8", "Label19", True, False),
    ("Form8", "Edit23", True, False), ("Form8", "Edit25", True, False),
    ("Form8", "Edit26", True, False), ("Form8", "Edit27", True, False),
    ("Form8", "Edit28", True, False), ("Form8", "Edit29", True, False),
    ("Form10", "Button2", True, True), ("Form10", "Button5", True, True),
    ("Form10", "Label32", True, True), ("Form10", "Label23", True, True),
]
ALL_VISIBLE = ["visible %s.%s" % (f, c) for f, c, _, _ in TABLE]
# The update form's secret boxes follow its own fill, never a switch.
UPDATE_SECRET_BOXES = ["visible Form6.Edit%d" % n for n in range(25, 30)]

OPEN_BROWSER = search_commands(1, "")
BROWSER_SWITCH = ["dblclick Form10.Label19"]
# The view on the first entry of the name list.
OPEN_VIEW = ["click Form1.Button1", "click Form2.Label1"]
VIEW_SWITCH = ["dblclick Form3.Label19"]
NO_NUMBER = "update画面で個人番号を付与してください"


def secrets(tag):
    return {"Secret%d" % k: "%s秘密%d" % (tag, k) for k in range(1, 6)}


def person(i, **fields):
    r = {"Kana": "ﾜ%02d" % i, "KanaCompany": "ｶ%02d" % (9 - i), "KanjiName": "名 %d" % i}
    r.update(secrets("第%d" % i))
    r.update(fields)
    return r


def answers(lines):
    return [l[2:] for l in lines if l.startswith("= ")]


class Reach(SearchTest):
    def setUp(self):
        super().setUp()
        self.store([person(0), person(1)])

    def visible(self, commands):
        got = answers(self.drive_lines(commands + ALL_VISIBLE))
        return {(f, c): v == "1" for (f, c, _, _), v in zip(TABLE, got[-len(TABLE):])}

    def test_everything_starts_hidden(self):
        self.assertEqual(self.visible([]), {(f, c): False for f, c, _, _ in TABLE})

    def test_the_browser_switch_turns_its_column_on_and_off(self):
        on = self.visible(OPEN_BROWSER + BROWSER_SWITCH)
        self.assertEqual(on, {(f, c): b for f, c, _, b in TABLE})
        off = self.visible(OPEN_BROWSER + BROWSER_SWITCH + BROWSER_SWITCH)
        self.assertEqual(off, {(f, c): False for f, c, _, _ in TABLE})

    def test_the_view_switch_never_turns_the_mode_on(self):
        # Off: the double click leaves it off; the browser's next switch
        # then turns it on, so the mode was 0.
        off = self.visible(OPEN_VIEW + VIEW_SWITCH)
        self.assertEqual(off, {(f, c): False for f, c, _, _ in TABLE})
        after = self.visible(OPEN_VIEW + VIEW_SWITCH + OPEN_BROWSER + BROWSER_SWITCH)
        self.assertEqual(after, {(f, c): b for f, c, _, b in TABLE})

    def test_the_view_switch_turns_the_mode_off_everywhere(self):
        on_then_off = OPEN_BROWSER + BROWSER_SWITCH + OPEN_VIEW + VIEW_SWITCH
        self.assertEqual(self.visible(on_then_off), {(f, c): False for f, c, _, _ in TABLE})
        # Off, not toggled twice: the browser's switch turns it on again.
        again = self.visible(on_then_off + OPEN_BROWSER + BROWSER_SWITCH)
        self.assertEqual(again, {(f, c): b for f, c, _, b in TABLE})

    def test_the_update_forms_secret_boxes_are_left_to_its_fill(self):
        lines = self.drive_lines(OPEN_BROWSER + BROWSER_SWITCH + UPDATE_SECRET_BOXES
                                 + BROWSER_SWITCH + UPDATE_SECRET_BOXES)
        self.assertEqual(answers(lines), ["0"] * 10)

    def test_the_mode_buttons_it_shows_work(self):
        self.store([person(0, SearchKeys="ｺﾞﾙﾌ"), person(1, Secret3="鍵")])
        lines = self.drive_lines(OPEN_BROWSER + BROWSER_SWITCH + [
            "click Form1.Button15", "type Form1.Edit1 ｺﾞﾙﾌ", "click Form1.Button8",
            "get Form10.Label24", "get Form1.Label2",
            "click Form1.Button16", "type Form1.Edit1 鍵", "click Form1.Button8",
            "get Form10.Label24", "get Form1.Label2", "get Form10.Label23"])
        self.assertEqual(answers(lines), ["1", "ｷｰﾜｰﾄﾞ:ｶﾝﾏ区切10まで(AND結合)",
                                          "2", "秘密情報:ｶﾝﾏ区切10まで(AND結合)",
                                          driver_text(fit("", 110))])


class SecretView(SearchTest):
    def form4(self, commands):
        lines = self.drive_lines(commands + ["shown Form4"]
                                 + ["get Form4.Label%d" % k for k in range(1, 6)])
        return answers(lines)

    def expected(self, record):
        return ["1"] + [driver_text(fit(record["Secret%d" % k], 74)) for k in range(1, 6)]

    def test_layout(self):
        self.store([person(0)])
        lines = self.drive_lines(["get Form4", "get Form4.Button1"])
        self.assertEqual(lines, ["= SECRET", "= CLOSE"])

    def test_from_the_name_list(self):
        # Name order is entry order here; company order is its reverse.
        recs = [person(i) for i in range(4)]
        self.store(recs)
        got = self.form4(OPEN_BROWSER + BROWSER_SWITCH + [
            "click Form10.Button1", "click Form1.Button1", "click Form2.Label2",
            "click Form3.Button2"])
        self.assertEqual(got, self.expected(recs[1]))

    def test_from_the_company_list(self):
        recs = [person(i) for i in range(4)]
        self.store(recs)
        # Company line 2 is entry 2; name position 1 would be entry 1.
        got = self.form4(OPEN_BROWSER + BROWSER_SWITCH + [
            "click Form10.Button1", "click Form1.Button3", "click Form5.Label2",
            "click Form3.Button2"])
        self.assertEqual(got, self.expected(recs[2]))

    def test_from_the_browser_in_a_company_walk(self):
        recs = [person(i) for i in range(4)]
        self.store(recs)
        got = self.form4(search_commands(2, "ｶ") + BROWSER_SWITCH + [
            "click Form10.Button3", "click Form10.Button2"])
        self.assertEqual(got, self.expected(recs[2]))

    def test_close_and_show_again_with_another_entry(self):
        recs = [person(0), person(1, Secret1="", Secret5="ｶﾅ")]
        self.store(recs)
        lines = self.drive_lines(OPEN_BROWSER + BROWSER_SWITCH + [
            "click Form10.Button2", "click Form4.Button1", "shown Form4",
            "click Form10.Button3", "click Form10.Button2", "shown Form4",
            "get Form4.Label1", "get Form4.Label5"])
        self.assertEqual(answers(lines), ["0", "1", driver_text(fit("", 74)),
                                          driver_text(fit("ｶﾅ", 74))])


class ViewText(SearchTest):
    def test_text_shows_in_secret_mode_until_the_next_fill(self):
        self.store([person(0), person(1, PersonalNumber="0012")])
        self.write("PSNL0012.TXT", b"")
        lines = self.drive_lines(OPEN_VIEW + ["visible Form3.Button5"]
                                 + OPEN_BROWSER + BROWSER_SWITCH + [
            "visible Form3.Button5", "click Form3.Button5",
            # A fill from the list decides again by the number.
            "click Form3.Button1", "click Form1.Button1", "click Form2.Label1",
            "visible Form3.Button5", "click Form3.Button1", "click Form1.Button1",
            "click Form2.Label2", "visible Form3.Button5", "click Form3.Button5"])
        self.assertEqual(lines, ["= 0", "= 1", "MSG " + NO_NUMBER, "= 0", "= 1",
                                 "OPEN PSNL0012.TXT"])


if __name__ == "__main__":
    unittest.main()
