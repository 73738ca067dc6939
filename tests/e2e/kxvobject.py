"""Python's vobject on vCard files, run under Debian's Python (the one with
python3-vobject) by kxinterop.py, talking JSON.

  kxvobject.py parse PATH...   prints a JSON list of the cards in the files
                               (a folder: its .vcf files in name order), each
                               {"file": name, "lines": [[NAME, {PARAM: [values]},
                               value], ...]}
  kxvobject.py make OUT        reads a JSON list of cards, each a list of
                               [NAME, {PARAM: [values]}, value], from stdin and
                               writes them as vobject serialises them (3.0)

value is what vobject decodes: text as a string, N and ADR as the list of
their parts, ORG as a list, binary data as {"base64": ...}.
"""

import base64
import json
import os
import sys

import vobject

NAME_PARTS = ("family", "given", "additional", "prefix", "suffix")
ADR_PARTS = ("box", "extended", "street", "city", "region", "code", "country")


def plain(value):
    if isinstance(value, vobject.vcard.Name):
        return [getattr(value, p) for p in NAME_PARTS]
    if isinstance(value, vobject.vcard.Address):
        return [getattr(value, p) for p in ADR_PARTS]
    if isinstance(value, bytes):
        return {"base64": base64.b64encode(value).decode("ascii")}
    return value


def parse(paths):
    files = []
    for path in paths:
        if os.path.isdir(path):
            files += [os.path.join(path, n) for n in sorted(os.listdir(path))
                      if n.endswith(".vcf")]
        else:
            files.append(path)
    cards = []
    for path in files:
        with open(path, encoding="utf-8-sig", newline="") as f:
            text = f.read()
        for card in vobject.readComponents(text):
            lines = [[line.name, line.params, plain(line.value)] for line in card.getChildren()]
            cards.append({"file": os.path.basename(path), "lines": lines})
    json.dump(cards, sys.stdout, ensure_ascii=False)


def make(out, cards):
    text = ""
    for wanted in cards:
        card = vobject.vCard()
        for name, params, value in wanted:
            line = card.add(name.lower())
            if name == "N":
                value = vobject.vcard.Name(**dict(zip(NAME_PARTS, value)))
            elif name == "ADR":
                value = vobject.vcard.Address(**dict(zip(ADR_PARTS, value)))
            elif isinstance(value, dict):
                value = base64.b64decode(value["base64"])
                line.encoding_param = "b"
            line.value = value
            for key, values in params.items():
                line.params[key] = values
        text += card.serialize()
    with open(out, "w", encoding="utf-8", newline="") as f:
        f.write(text)


if __name__ == "__main__":
    if sys.argv[1] == "parse":
        parse(sys.argv[2:])
    elif sys.argv[1] == "make":
        make(sys.argv[2], json.load(sys.stdin))
    else:
        sys.exit("usage: kxvobject.py parse PATH... | make OUT")
