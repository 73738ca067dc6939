"""Helpers of the search, result browser, selection and secret-mode tests:
command lists that run a search and walk its matches, and the reading of the
walk back from the driver's output."""

from kxdrive import DriveTest

# The main menu's search input row.
SEARCH_ROW = ["Label2", "Edit1", "Button8", "Button25"]

# Mode buttons by mode number (12 has no button a user can reach).
MODE_BUTTON = {1: "Button7", 2: "Button9", 3: "Button10", 4: "Button11", 5: "Button12",
               6: "Button13", 7: "Button14", 8: "Button15", 9: "Button17", 10: "Button16",
               11: "Button18"}

# Switches the secret mode on the only way a user can: a first search that
# finds something, then the browser's update date double-clicked. Leaves the
# browser closed and the row showing mode 1 with an empty text.
SECRET_ON = ["click Form1.Button7", "type Form1.Edit1 ", "click Form1.Button8",
             "dblclick Form10.Label19", "click Form10.Button1"]

NOT_FOUND = "MSG NOT FOUND"


def search_commands(mode, text):
    """Mode button, the text typed, "OK"."""
    return ["click Form1." + MODE_BUTTON[mode], "type Form1.Edit1 " + text,
            "click Form1.Button8"]


def walk_commands(steps, button="Button3"):
    """After "OK": reads the entry shown and presses SKIP (or SELECT),
    steps times. Each step starts with an echo so the output splits."""
    out = []
    for _ in range(steps):
        out += ["echo step", "shown Form10", "get Form10.Label24", "click Form10." + button]
    return out


def parse_walk(lines):
    """Entry numbers (0-based) shown in the browser, in walk order, and
    whether the walk ended with "NOT FOUND". Lines before the first step
    (what "OK" printed) count too: a "NOT FOUND" there means nothing found."""
    first = lines.index("# step") if "# step" in lines else len(lines)
    head, rest = lines[:first], lines[first:]
    ended = NOT_FOUND in head
    found = []
    chunks = "\n".join(rest).split("# step")[1:]
    for chunk in chunks:
        c = [l for l in chunk.split("\n") if l]
        if c[0] == "= 1":
            found.append(int(c[1][2:]) - 1)
        if NOT_FOUND in c:
            ended = True
    return found, ended


class SearchTest(DriveTest):
    def walk(self, mode, text, steps=None, before=(), faketime=None, button="Button3"):
        """Every entry the search finds, "OK" then SKIP (or SELECT) until
        "NOT FOUND"; fails if the walk does not end by itself."""
        if steps is None:
            steps = self.entries + 1
        lines = self.drive_lines(list(before) + search_commands(mode, text)
                                 + walk_commands(steps, button), faketime)
        found, ended = parse_walk(lines)
        self.assertTrue(ended, "walk did not end: %s" % lines)
        return found

    def store(self, records, sort=True):
        self.entries = len(records)
        super().store(records, sort)
