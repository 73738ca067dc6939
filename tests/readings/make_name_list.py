#!/usr/bin/env python3
"""Builds names.tsv, the measured name list, from the personal-name, full-name
and proper-noun dictionaries of Debian's skkdic-extra: readings chosen by
people, independent of the analyser's dictionary.

Each line: kind (person/company), the kanji name (a person's family and given
name separated by one space), the readings the entry itself gives (a person's
own reading), and every reading the dictionaries list for the name: the
entry's own, plus for a person each reading the personal-name dictionary lists
for the family part joined with each it lists for the given part. Readings in
hiragana, separated by '/'. Rerun: python3 make_name_list.py > names.tsv
"""
import collections
import re
import sys

SKK = "/usr/share/skk/"
HIRAGANA = re.compile(r"^[\u3041-\u3096\u30fc]+$")


def entries(path, encoding):
    with open(path, "rb") as f:
        for raw in f:
            line = raw.decode(encoding, errors="replace")
            if line.startswith(";") or " /" not in line:
                continue
            key, rest = line.rstrip("\n").split(" /", 1)
            for cand in rest.strip("/").split("/"):
                word, _, note = cand.partition(";")
                yield key, word, note


def cp932(text):
    try:
        text.encode("cp932")
        return "\ufffd" not in text
    except UnicodeEncodeError:
        return False


def all_kanji(text):
    return all("\u4e00" <= c <= "\u9fff" or c == "\u3005" for c in text)


def name_parts():
    family, given = collections.defaultdict(set), collections.defaultdict(set)
    for key, word, note in entries(SKK + "SKK-JISYO.jinmei", "euc_jp"):
        if not HIRAGANA.match(key) or not all_kanji(word):
            continue
        if "姓" in note or "人名" in note:
            family[word].add(key)
        if "名" in note.replace("人名", "").replace("姓", "") or "人名" in note:
            given[word].add(key)
    return family, given


def split_name(kanji, reading, family, given):
    splits = set()
    for i in range(1, len(kanji)):
        a, b = kanji[:i], kanji[i:]
        for ra in family.get(a, ()):
            if reading.startswith(ra) and reading[len(ra):] in given.get(b, ()):
                splits.add((a, b, ra, reading[len(ra):]))
    return splits.pop() if len(splits) == 1 else None


def persons():
    family, given = name_parts()
    found = collections.OrderedDict()
    for key, word, note in entries(SKK + "SKK-JISYO.fullname", "euc_jis_2004"):
        if not HIRAGANA.match(key) or not all_kanji(word) or not cp932(word):
            continue
        split = split_name(word, key, family, given)
        if split:
            name = split[0] + " " + split[1]
            own, listed = found.setdefault(name, (set(), set()))
            own.add(split[2] + " " + split[3])
            listed.update(a + " " + b for a in family[split[0]] for b in given[split[1]])
    for own, listed in found.values():
        listed.update(own)
    return found


def companies():
    found = collections.OrderedDict()
    for key, word, note in entries(SKK + "SKK-JISYO.propernoun", "euc_jis_2004"):
        if "[企業名]" not in note or not HIRAGANA.match(key):
            continue
        if not cp932(word) or "株" in word or "(" in word or not re.search("[\u4e00-\u9fff]", word):
            continue
        own, listed = found.setdefault(word, (set(), set()))
        own.add(key)
        listed.add(key)
    return found


def sample(found, count):
    items = list(found.items())
    step = max(1, len(items) // count)
    return items[::step][:count]


def main():
    out = sys.stdout
    for kind, found, count in (("person", persons(), 400), ("company", companies(), 150)):
        for name, (own, listed) in sample(found, count):
            out.write("%s\t%s\t%s\t%s\n" % (kind, name, "/".join(sorted(own)),
                                            "/".join(sorted(listed))))


main()
