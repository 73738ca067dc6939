"""The name list and the company list: opening, paging, lines byte for byte,
the jump, line clicks and the redraw when the view closes."""

import unittest

from kxdrive import DriveTest
from kxtext import (BLANK_LINE, company_line, company_order, driver_text,
                    name_line, name_order)

KANA = "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦ"


def people(n):
    """n records whose name order and company order both differ from entry
    order: names run backwards, companies in a third order."""
    out = []
    for i in range(n):
        j = n - 1 - i
        c = (i * 7) % n
        out.append({"Kana": "ﾒｲ" + KANA[j % 45] + KANA[j // 45],
                    "KanjiName": "名前 %02d" % j,
                    "KanaCompany": "ｶｲｼｬ" + KANA[c % 45] + KANA[c // 45],
                    "KanjiCompany": "会社%02d" % c})
    return out


def page_commands(form):
    return ["get %s.Label%d" % (form, k) for k in range(1, 21)]


class ListTest(DriveTest):
    def page(self, form, before=()):
        """The twenty lines of a list after the commands before."""
        lines = self.drive_lines(list(before) + page_commands(form))
        return [l[2:] for l in lines[-20:]]

    def expected_page(self, ordered, line, start):
        return [driver_text(line(ordered[p]) if p < len(ordered) else BLANK_LINE)
                for p in range(start, start + 20)]


class NameListPaging(ListTest):
    def test_five_entries(self):
        recs = people(5)
        self.store(recs)
        first = self.expected_page(name_order(recs), name_line, 0)
        self.assertEqual(self.page("Form2", ["click Form1.Button1"]), first)
        self.assertEqual(first[5:], [BLANK_LINE.decode()] * 15)
        for button in ("Button1", "Button4", "Button2", "Button3"):  # NEXT BOTTOM BACK TOP
            self.assertEqual(self.page("Form2", ["click Form1.Button1",
                                                 "click Form2." + button]), first, button)

    def test_twenty_one_entries(self):
        recs = people(21)
        self.store(recs)
        ordered = name_order(recs)
        opened = ["click Form1.Button1"]
        self.assertEqual(self.page("Form2", opened + ["click Form2.Button1"]),
                         self.expected_page(ordered, name_line, 20))
        # BOTTOM leaves the page where it is; NEXT from 20 goes to last - 19.
        self.assertEqual(self.page("Form2", opened + ["click Form2.Button4"]),
                         self.expected_page(ordered, name_line, 0))
        self.assertEqual(self.page("Form2", opened + ["click Form2.Button1"] * 2),
                         self.expected_page(ordered, name_line, 1))

    def test_forty_five_entries(self):
        recs = people(45)
        self.store(recs)
        ordered = name_order(recs)
        opened = ["click Form1.Button1"]
        nxt, back = "click Form2.Button1", "click Form2.Button2"
        cases = [
            ([nxt], 20), ([nxt] * 2, 40), ([nxt] * 3, 25),
            ([nxt] * 3 + [back], 5), ([nxt] * 3 + [back] * 2, 5),
            (["click Form2.Button4"], 25), (["click Form2.Button4", "click Form2.Button3"], 0),
            ([nxt, back], 0),
        ]
        for steps, start in cases:
            self.assertEqual(self.page("Form2", opened + steps),
                             self.expected_page(ordered, name_line, start), steps)

    def test_empty_store(self):
        self.store([])
        blank = [BLANK_LINE.decode()] * 20
        for steps in ([], ["click Form2.Button1"], ["click Form2.Button2"],
                      ["click Form2.Button3"], ["click Form2.Button4"]):
            self.assertEqual(self.page("Form2", ["click Form1.Button1"] + steps), blank)
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Button5",
                                  "type Form2.Edit1 ｱ", "click Form2.Button6"])
        self.assertEqual(lines, ["MSG Not found"])


class Lines(ListTest):
    def test_name_line_never_shows_half_a_character(self):
        # 23 bytes of name: byte 20 is the first half of "六" (0x98 0x5A),
        # which the column shows as a space.
        rec = {"Kana": "ﾔﾏﾀﾞ ﾀﾛｳﾀﾛｳﾀﾛｳﾀﾛｳ", "KanjiName": "ｱ山田太郎一二三四五六七",
               "KanaCompany": "ｶ", "KanjiCompany": "東京海上日動火災保険株式会社本店営業部総務課長代"}
        self.store([rec])
        line = name_line(rec)
        self.assertEqual(len(line), 86)
        shown = self.page("Form2", ["click Form1.Button1"])[0]
        self.assertEqual(shown, driver_text(line))
        self.assertIn("五  東京", shown)
        self.assertNotIn("\\x", shown)

    def test_company_line_never_shows_half_a_character(self):
        rec = {"Kana": "ﾀ", "KanjiName": "田中 一郎",
               "KanaCompany": "ﾄｳｷｮｳｶｲｼﾞｮｳﾆﾁﾄﾞｳｶｻｲﾎｹﾝｶﾌﾞｼｷｶﾞｲｼｬ",
               "KanjiCompany": "ｱ東京海上日動火災保険株式会社本店"}
        self.store([rec])
        line = company_line(rec)
        self.assertEqual(len(line), 99)
        shown = self.page("Form5", ["click Form1.Button3"])[0]
        self.assertEqual(shown, driver_text(line))
        # "本" (0x96 0x7B) would be cut after its first byte.
        self.assertIn("会社  田中", shown)
        self.assertNotIn("\\x", shown)

    def test_company_list_pages_in_company_order(self):
        recs = people(45)
        self.store(recs)
        ordered = company_order(recs)
        self.assertNotEqual(ordered, name_order(recs))
        opened = ["click Form1.Button3"]
        self.assertEqual(self.page("Form5", opened), self.expected_page(ordered, company_line, 0))
        self.assertEqual(self.page("Form5", opened + ["click Form5.Button1"] * 3),
                         self.expected_page(ordered, company_line, 25))
        self.assertEqual(self.page("Form5", opened + ["click Form5.Button4", "click Form5.Button2"]),
                         self.expected_page(ordered, company_line, 5))

    def test_list_opens_at_first_kana_key(self):
        recs = people(5) + [{"KanjiName": "無名 %d" % i, "KanaCompany": "ｶ"} for i in range(3)]
        self.store(recs)
        ordered = name_order(recs)
        self.assertEqual(ordered[0].get("Kana"), None)
        self.assertEqual(self.page("Form2", ["click Form1.Button1"]),
                         self.expected_page(ordered, name_line, 3))
        # TOP shows the entries without a kana name.
        self.assertEqual(self.page("Form2", ["click Form1.Button1", "click Form2.Button3"]),
                         self.expected_page(ordered, name_line, 0))

    def test_opening_hides_search_row_and_close_keeps_menu(self):
        self.store(people(3))
        lines = self.drive_lines(["click Form1.Button7", "visible Form1.Edit1",
                                  "click Form1.Button1", "visible Form1.Edit1",
                                  "shown Form2", "get Form2", "click Form2.Button7",
                                  "shown Form2", "shown Form1",
                                  "click Form1.Button3", "get Form5", "shown Form5"])
        self.assertEqual(lines, ["= 1", "= 0", "= 1", "= NAME LIST", "= 0", "= 1",
                                 "= COMPANY LIST", "= 1"])


class Jump(ListTest):
    def setUp(self):
        super().setUp()
        self.recs = [{"Kana": k, "KanaCompany": c, "KanjiName": "n%d" % i}
                     for i, (k, c) in enumerate([("ｱｲ", "ｱ"), ("ｱｳ", "ｲ"), ("ｱｳ", "ｲｲ"),
                                                 ("ｱｳｴ", "ｲｳ"), ("ｶ", "ｵ"), ("ｷ", "ｵ")])]
        self.store(self.recs)

    def jump(self, form, text, extra=()):
        return self.drive_lines(["click Form1.Button%d" % (1 if form == "Form2" else 3),
                                 "click %s.Button5" % form, "type %s.Edit1 %s" % (form, text),
                                 "click %s.Button6" % form, "visible %s.Edit1" % form,
                                 "visible %s.Button6" % form] + list(extra) +
                                ["get %s.Label1" % form])

    def test_first_of_several_matches(self):
        lines = self.jump("Form2", "ｱｳ")
        self.assertEqual(lines, ["= 0", "= 0", "= " + driver_text(name_line(self.recs[1]))])
        lines = self.jump("Form5", "ｵ")
        self.assertEqual(lines[-1], "= " + driver_text(company_line(self.recs[4])))

    def test_not_found_keeps_position(self):
        for text in ("ｱｴ", "ｸ", "ｱｲ" + " " * 41):  # the last is longer than the key
            lines = self.jump("Form2", text)
            self.assertEqual(lines, ["MSG Not found", "= 0", "= 0",
                                     "= " + driver_text(name_line(self.recs[0]))], text)
        lines = self.jump("Form5", "ｱ" + " " * 50)
        self.assertEqual(lines[0], "MSG Not found")
        # The whole padded key still matches.
        lines = self.jump("Form2", "ｷ" + " " * 41)
        self.assertEqual(lines[-1], "= " + driver_text(name_line(self.recs[5])))

    def test_empty_text(self):
        # Name list: nothing happens, the box and GO stay.
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Button1",
                                  "click Form2.Button5", "click Form2.Button6",
                                  "visible Form2.Edit1", "visible Form2.Button6",
                                  "get Form2.Button6"])
        self.assertEqual(lines, ["= 1", "= 1", "= GO"])
        # Company list: lands on position 0, the first company key, even
        # after a click on a blank line moved the list position to 9.
        lines = self.drive_lines(["click Form1.Button3", "click Form5.Label10",
                                  "click Form5.Button5",
                                  "type Form5.Edit1 ", "click Form5.Button6",
                                  "visible Form5.Edit1", "get Form5.Button6", "get Form5.Label1"])
        self.assertEqual(lines, ["= 0", "= OK", "= " + driver_text(company_line(self.recs[0]))])


class Clicks(ListTest):
    def test_line_click_opens_view_and_close_redraws_from_it(self):
        recs = people(45)
        self.store(recs)
        ordered = name_order(recs)
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Button1",
                                  "click Form2.Label7", "shown Form2", "shown Form3",
                                  "get Form3.Label24", "click Form3.Button1",
                                  "shown Form3", "shown Form2"] + page_commands("Form2"))
        self.assertEqual(lines[:2], ["= 0", "= 1"])
        self.assertEqual(lines[2], "= %d" % (recs.index(ordered[26]) + 1))
        self.assertEqual(lines[3:5], ["= 0", "= 1"])
        self.assertEqual([l[2:] for l in lines[5:]], self.expected_page(ordered, name_line, 26))

    def test_line_17_and_background_click(self):
        recs = people(30)
        self.store(recs)
        ordered = name_order(recs)
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Label17",
                                  "get Form3.Label24", "click Form3.Button1",
                                  "click Form2", "get Form3.Label24", "close Form3",
                                  "get Form2.Label1"])
        self.assertEqual(lines, ["= %d" % (recs.index(ordered[16]) + 1),
                                 "= %d" % (recs.index(ordered[25]) + 1),
                                 "= " + driver_text(name_line(ordered[25]))])

    def test_blank_line_moves_position_but_opens_nothing(self):
        recs = people(21)
        self.store(recs)
        ordered = name_order(recs)
        # Page from 20: line 5 is position 24, past the end. BACK from 24
        # goes to 4; without the move it would go to 0.
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Button1",
                                  "click Form2.Label5", "shown Form3", "shown Form2",
                                  "click Form2.Button2", "get Form2.Label1"])
        self.assertEqual(lines, ["= 0", "= 1", "= " + driver_text(name_line(ordered[4]))])

    def test_company_line_click_and_close_redraws_company_list(self):
        recs = people(45)
        self.store(recs)
        ordered = company_order(recs)
        lines = self.drive_lines(["click Form1.Button3", "click Form5.Button1",
                                  "click Form5.Label20", "shown Form5", "get Form3.Label24",
                                  "click Form3.Button1", "shown Form5"] + page_commands("Form5"))
        self.assertEqual(lines[:3], ["= 0", "= %d" % (recs.index(ordered[39]) + 1), "= 1"])
        self.assertEqual([l[2:] for l in lines[3:]], self.expected_page(ordered, company_line, 39))

    def test_view_close_box_redraws_without_showing_list(self):
        recs = people(45)
        self.store(recs)
        ordered = name_order(recs)
        lines = self.drive_lines(["click Form1.Button1", "click Form2.Label3",
                                  "close Form3", "shown Form2", "get Form2.Label1"])
        self.assertEqual(lines, ["= 0", "= " + driver_text(name_line(ordered[2]))])


if __name__ == "__main__":
    unittest.main()
