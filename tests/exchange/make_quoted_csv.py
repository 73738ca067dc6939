#!/usr/bin/env python3
"""Writes korvelix.csv the way a spreadsheet export through Python's csv
module does: Shift-JIS (cp932), every item quoted, CR LF line ends.

Usage: make_quoted_csv.py OUTPUT_PATH
The rows are the ones test_csv_input.cpp expects back.
"""
import csv
import sys

ROWS = [
    ["ﾔﾏﾀﾞ ﾀﾛｳ", "山田 太郎", "M", "ｶﾌﾞｼｷｶﾞｲｼｬ ｱｵｲ", "株式会社,青い空", "営業部, 第二課",
     "課長", "03-1234-5678", "03-9999-0000", "045-111-2222", "090-0000-1111",
     "taro@example.jp", "100-0001", "東京都千代田区1-1", 'say "hi"'],
    ["ｱｵｷ", "", "", "", "", "", "", "", "", "", "", "", "", "", ""],
    ["ｽｽﾞｷ ﾊﾅｺ", "鈴木 花子", "F", "ｽｽﾞｷｼｮｳｼﾞ", "鈴木商事", "", "", "", "", "", "",
     "", "", "大阪府, 大阪市", "ｶﾝﾏ,と\"引用符\""],
]

with open(sys.argv[1], "w", encoding="cp932", newline="") as f:
    csv.writer(f, quoting=csv.QUOTE_ALL).writerows(ROWS)
