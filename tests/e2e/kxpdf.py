"""A PDF read back with poppler-utils: every glyph's box from pdftotext
-bbox-layout, the fonts from pdffonts, and the page as a grey picture from
pdftoppm, all in millimetres from the page's top-left corner."""

import re
import subprocess
import xml.etree.ElementTree as ET

MM_PER_PT = 25.4 / 72
XHTML = "{http://www.w3.org/1999/xhtml}"


class Box:
    def __init__(self, text, x0, y0, x1, y1):
        self.text, self.x0, self.y0, self.x1, self.y1 = text, x0, y0, x1, y1

    @property
    def cx(self):
        return (self.x0 + self.x1) / 2

    @property
    def cy(self):
        return (self.y0 + self.y1) / 2

    def inside(self, x0, y0, x1, y1, slack=0.0):
        return (self.x0 >= x0 - slack and self.y0 >= y0 - slack and
                self.x1 <= x1 + slack and self.y1 <= y1 + slack)

    def __repr__(self):
        return "%s(%.1f,%.1f-%.1f,%.1f)" % (self.text, self.x0, self.y0, self.x1, self.y1)


def pages(pdf):
    """[(width, height, [Box per word])] per page; the program's cards put
    one character in a word of its own wherever characters stand apart."""
    out = subprocess.run(["pdftotext", "-bbox-layout", pdf, "-"], capture_output=True,
                         check=True).stdout
    root = ET.fromstring(out)
    result = []
    for page in root.iter(XHTML + "page"):
        words = [Box(w.text or "", *(float(w.get(k)) * MM_PER_PT
                                     for k in ("xMin", "yMin", "xMax", "yMax")))
                 for w in page.iter(XHTML + "word")]
        result.append((float(page.get("width")) * MM_PER_PT,
                       float(page.get("height")) * MM_PER_PT, words))
    return result


def fonts(pdf):
    """[(name, type, embedded)] from pdffonts."""
    out = subprocess.run(["pdffonts", pdf], capture_output=True, check=True,
                         text=True).stdout.splitlines()[2:]
    rows = []
    for line in out:
        m = re.match(r"(\S+)\s+(.+?)\s+(Identity-H|Custom|Builtin|WinAnsi|Standard)\s+(yes|no)", line)
        if m:
            rows.append((m.group(1), m.group(2), m.group(4) == "yes"))
    return rows


class Picture:
    """One page as pdftoppm draws it, in grey, dpi dots to the inch."""

    def __init__(self, pdf, page, dpi, directory):
        base = directory + "/page"
        subprocess.run(["pdftoppm", "-gray", "-r", str(dpi), "-f", str(page), "-l", str(page),
                        "-singlefile", pdf, base], check=True)
        with open(base + ".pgm", "rb") as f:
            data = f.read()
        m = re.match(rb"P5\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        self.width, self.height = int(m.group(1)), int(m.group(2))
        self.pixels = data[m.end():]
        self.dots_per_mm = dpi / 25.4

    def ink(self, box):
        """(width, height) in mm of the dark pixels inside box, or None."""
        d = self.dots_per_mm
        x0, y0 = int(box.x0 * d), int(box.y0 * d)
        x1, y1 = min(int(box.x1 * d) + 1, self.width), min(int(box.y1 * d) + 1, self.height)
        xs, ys = [], []
        for y in range(y0, y1):
            row = self.pixels[y * self.width + x0:y * self.width + x1]
            for i, v in enumerate(row):
                if v < 128:
                    xs.append(x0 + i)
                    ys.append(y)
        if not xs:
            return None
        return ((max(xs) - min(xs) + 1) / d, (max(ys) - min(ys) + 1) / d)
