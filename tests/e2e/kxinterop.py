"""Address-book software that nobody here wrote, run on vCard files: Python's
vobject (through kxvobject.py under Debian's own Python, which has the
module), the console address book khard, and a CardDAV server (radicale)
that vdirsyncer uploads to and downloads from. Each tool gets its own config
in a temporary directory; the server listens on 127.0.0.1 on a free port and
is stopped by its process id however the test ends."""

import json
import os
import socket
import subprocess
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
DEBIAN_PYTHON = "/usr/bin/python3"
TOOLS = ("khard", "vdirsyncer", "radicale", "node", "npm")
TIMEOUT = 60
# ical.js from the npm registry, installed once into a cache folder
# (scripts/setup.sh does it too); the version is pinned.
ICALJS = "ical.js@2.2.1"
NODE_CACHE = os.environ.get("KX_NODE_CACHE",
                            os.path.expanduser("~/.cache/korvelix-tests/node"))


def missing_tools():
    """What scripts/setup.sh has not installed yet, as a list of names."""
    out = [t for t in TOOLS if not os.path.exists("/usr/bin/" + t)]
    probe = subprocess.run([DEBIAN_PYTHON, "-c", "import vobject"], capture_output=True)
    if probe.returncode != 0:
        out.append("python3-vobject")
    return out


def run(argv, **kw):
    """Runs a tool to the end; a non-zero exit fails with its output."""
    p = subprocess.run(argv, capture_output=True, stdin=subprocess.DEVNULL,
                       timeout=TIMEOUT, **kw)
    if p.returncode != 0:
        raise AssertionError("%s exited %d:\n%s\n%s" % (
            " ".join(argv), p.returncode, p.stdout.decode("utf-8", "replace"),
            p.stderr.decode("utf-8", "replace")))
    return p.stdout.decode("utf-8")


def vobject_cards(paths):
    """Every card of the .vcf files (a folder: its .vcf files in name order),
    as vobject reads them: a list of {"file", "lines": [[name, params,
    value], ...]} with structured values as lists, see kxvobject.py."""
    return json.loads(run([DEBIAN_PYTHON, os.path.join(HERE, "kxvobject.py"), "parse"]
                          + list(paths)))


def vobject_write(path, cards):
    """Writes 3.0 cards made by vobject itself: cards is a list of
    [[name, params, value], ...] (see kxvobject.py)."""
    argv = [DEBIAN_PYTHON, os.path.join(HERE, "kxvobject.py"), "make", path]
    p = subprocess.run(argv, input=json.dumps(cards).encode("utf-8"),
                       capture_output=True, timeout=TIMEOUT)
    if p.returncode != 0:
        raise AssertionError("kxvobject.py make exited %d:\n%s" % (
            p.returncode, p.stderr.decode("utf-8", "replace")))


def icaljs_module():
    """The path of ical.js's module, installed into NODE_CACHE if missing."""
    module = os.path.join(NODE_CACHE, "node_modules", "ical.js", "dist", "ical.js")
    if not os.path.exists(module):
        os.makedirs(NODE_CACHE, exist_ok=True)
        p = subprocess.run(["npm", "install", "--no-audit", "--no-fund", "--prefix", NODE_CACHE,
                            ICALJS], capture_output=True, stdin=subprocess.DEVNULL, timeout=300)
        if p.returncode != 0:
            raise AssertionError("npm install %s failed:\n%s" % (
                ICALJS, p.stderr.decode("utf-8", "replace")))
    return module


def icaljs_cards(paths):
    """Every card of the .vcf files as ical.js reads them: a list of
    {"file", "lines": [[NAME, params, type, value], ...]}, see kxicaljs.mjs."""
    return json.loads(run(["node", os.path.join(HERE, "kxicaljs.mjs"), icaljs_module()]
                          + list(paths)))


def khard(work, folder, *args):
    """Runs khard with an address book "kx" on folder; its config and cache
    live in work."""
    config = os.path.join(work, "khard.conf")
    if not os.path.exists(config):
        with open(config, "w", encoding="utf-8") as f:
            f.write("[addressbooks]\n[[kx]]\npath = %s\n"
                    "[general]\neditor = /bin/true\nmerge_editor = /bin/true\n"
                    "[contact table]\ndisplay = formatted_name\nsort = formatted_name\n"
                    "[vcard]\nskip_unparsable = no\n" % folder)
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=work, XDG_CACHE_HOME=work)
    return run(["khard", "-c", config] + list(args), env=env)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class CardDavServer:
    """A radicale server for one test: storage and config in work, no
    authentication to speak of (any name and password), one address book
    /kx/book/. Use as a context manager; leaving it stops the server."""

    USER = "kx"

    def __init__(self, work):
        self.work = work
        self.proc = None
        self.port = None

    @property
    def book_url(self):
        return "http://127.0.0.1:%d/%s/book/" % (self.port, self.USER)

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def _start(self):
        # Another process may take the port between the probe and the bind:
        # then the server dies at once and a new port is tried.
        for _ in range(5):
            self.port = free_port()
            config = os.path.join(self.work, "radicale.conf")
            with open(config, "w", encoding="utf-8") as f:
                f.write("[server]\nhosts = 127.0.0.1:%d\n"
                        "[auth]\ntype = none\n"
                        "[rights]\ntype = owner_only\n"
                        "[storage]\nfilesystem_folder = %s\n"
                        "[logging]\nlevel = warning\n"
                        % (self.port, os.path.join(self.work, "collections")))
            self.log = open(os.path.join(self.work, "radicale.log"), "wb")
            self.proc = subprocess.Popen(["radicale", "-C", config],
                                         stdin=subprocess.DEVNULL, stdout=self.log,
                                         stderr=subprocess.STDOUT)
            if self._wait_listening():
                self._make_book()
                return
            self.stop()
        raise AssertionError("radicale did not start:\n" + self._log_text())

    def _wait_listening(self):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                return False
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=1):
                    return True
            except OSError:
                time.sleep(0.05)
        return False

    def _make_book(self):
        body = ('<?xml version="1.0" encoding="utf-8"?>'
                '<D:mkcol xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav">'
                '<D:set><D:prop><D:resourcetype><D:collection/><C:addressbook/>'
                '</D:resourcetype></D:prop></D:set></D:mkcol>').encode("utf-8")
        req = urllib.request.Request(self.book_url, data=body, method="MKCOL")
        req.add_header("Content-Type", "application/xml; charset=utf-8")
        req.add_header("Authorization", "Basic a3g6a3g=")  # kx:kx
        with urllib.request.urlopen(req, timeout=TIMEOUT) as r:
            if r.status != 201:
                raise AssertionError("MKCOL answered %d" % r.status)

    def _log_text(self):
        try:
            with open(os.path.join(self.work, "radicale.log"), "rb") as f:
                return f.read().decode("utf-8", "replace")
        except OSError:
            return ""

    def stop(self):
        if self.proc is not None:
            if self.proc.poll() is None:
                self.proc.terminate()
                try:
                    self.proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    self.proc.kill()
                    self.proc.wait()
            self.proc = None
        if getattr(self, "log", None) is not None:
            self.log.close()
            self.log = None


def vdirsyncer_through(server, work, source, target):
    """Uploads the .vcf files of folder source to the server's address book
    with one vdirsyncer pair, then downloads the book into the empty folder
    target with a second one. No question is asked: both ends exist before
    discovery."""
    os.makedirs(target, exist_ok=True)
    config = os.path.join(work, "vdirsyncer.conf")

    def local(name, path):
        return ('[storage %s]\ntype = "filesystem"\npath = "%s"\nfileext = ".vcf"\n'
                % (name, path))

    with open(config, "w", encoding="utf-8") as f:
        f.write('[general]\nstatus_path = "%s"\n' % os.path.join(work, "vdirsyncer-status"))
        f.write('[pair up]\na = "exported"\nb = "server"\ncollections = null\n')
        f.write('[pair down]\na = "server"\nb = "downloaded"\ncollections = null\n')
        f.write(local("exported", source) + local("downloaded", target))
        f.write('[storage server]\ntype = "carddav"\nurl = "%s"\n'
                'username = "%s"\npassword = "kx"\n' % (server.book_url, server.USER))
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=work, XDG_DATA_HOME=work)
    base = ["vdirsyncer", "-c", config]
    run(base + ["discover", "--no-list"], env=env)
    run(base + ["sync", "up"], env=env)
    run(base + ["sync", "down"], env=env)
