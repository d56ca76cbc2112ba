#!/usr/bin/python3
"""A small HTTP server that misbehaves on request, for download tests.

    http_fault_server.py ROOT PORT_FILE [SEED]

Listens on a free port of 127.0.0.1, writes the port number to PORT_FILE and
serves the files of ROOT. SEED (a number; random when left out, and written
to stderr either way) fixes the random cuts. A plain path ("/a.bin")
is served correctly, with Last-Modified, Content-Length and byte ranges. A
path of the form "/f/<directives>/<file>" applies the comma-separated
directives:

    tag=T        record the request under T (read back with GET /_log/T)
    cut=N        close the connection after N body bytes
    cutrand=M    close after a random number of body bytes in 0..M (in L..M
                 for cutrand=L-M), half of the time with a reset. The
                 requests of one tag (or of one path when untagged) draw
                 from one stream, seeded by SEED, the other directives and
                 the file, so a seed replays the cuts. GET /_cuts/T tells
                 the latest draw of tag T: "<request number> <bytes> reset|close"
    rstround=N   with cutrand: a reset falls on a multiple of N body bytes
    rst          close with a reset instead of an orderly close
    hold=K       wait until GET /_release/K has come (before or after this
                 request) at the point holdat names, then go on; with
                 cutrand the key is K.<request number>. A held answer whose
                 client closes the connection ends there.
    holdat=P     "head": before the status line; N: after N body bytes;
                 without it, just before the connection is cut
    extra=N      send N bytes more than Content-Length announces
    nolm, nocl   leave out Last-Modified or Content-Length
    norange      ignore Range and answer 200 with the whole object
    shift=K      answer a range from K bytes further on (Content-Range says so)
    nocr         answer a range with 206 but without Content-Range
    lm=E         Last-Modified is E seconds after 1970 instead of the mtime
    lmraw=T      Last-Modified is the percent-encoded text T as it is
    clraw=T      Content-Length is the text T as it is; no body is sent
    status=C     answer with status C and an empty body
    loc=T        with status=C: the percent-encoded Location T
    selfloc      with status=C: a Location that leads back to this very path
    rangestatus=C  answer a ranged request with status C and an empty body

A client that must see a cut only after it has read what came before
(Wine's sockets drop received bytes that the client has not read yet when
a reset arrives, and a reset before the head fails the request itself)
releases the hold once it has read them.
"""

import email.utils
import os
import random
import select
import socket
import socketserver
import struct
import sys
import threading
import urllib.parse

REASONS = {200: "OK", 206: "Partial Content", 301: "Moved Permanently", 302: "Found", 404: "Not Found",
           416: "Range Not Satisfiable", 500: "Internal Server Error"}


class Log:
    def __init__(self):
        self.lock = threading.Lock()
        self.entries = {}

    def add(self, tag, head):
        with self.lock:
            self.entries.setdefault(tag, []).append(head)

    def text(self, tag):
        with self.lock:
            return "".join(head + "\n" for head in self.entries.get(tag, []))


LOG = Log()


class Releases:
    """Keys released by GET /_release/K, waited for by held answers."""

    # A hold nobody releases ends by itself, so a broken test leaves no
    # thread waiting for good.
    LIMIT_SECONDS = 120
    # How often a held answer looks whether its client has gone away.
    POLL_SECONDS = 0.1

    def __init__(self):
        self.lock = threading.Lock()
        self.events = {}

    def event(self, key):
        with self.lock:
            return self.events.setdefault(key, threading.Event())

    def release(self, key):
        self.event(key).set()

    def wait(self, key, sock):
        """True once released; False when the client closed or the limit passed."""
        event = self.event(key)
        for _ in range(int(self.LIMIT_SECONDS / self.POLL_SECONDS)):
            if event.wait(self.POLL_SECONDS):
                return True
            # A client that dropped the answer (a resume drops the plain
            # one after its head) never releases it.
            if select.select([sock], [], [], 0)[0]:
                try:
                    if not sock.recv(1, socket.MSG_PEEK):
                        return False
                except OSError:
                    return False
        return False


RELEASES = Releases()


class Cuts:
    """The random cuts: one seeded stream per tag (or per path)."""

    def __init__(self, seed):
        self.seed = seed
        self.lock = threading.Lock()
        self.streams = {}
        self.counts = {}
        self.latest = {}

    def draw(self, directives, path):
        """Number of the request in its stream, body bytes to send before
        the cut and whether the cut is a reset."""
        # Tag and hold key name the stream but stay out of its seed: they
        # differ from run to run, a replay must draw the same cuts.
        recipe = ",".join("%s=%s" % item for item in sorted(directives.items()) if item[0] not in ("tag", "hold"))
        name = directives.get("tag") or recipe + path
        low, _, high = directives["cutrand"].rpartition("-")
        with self.lock:
            if name not in self.streams:
                self.streams[name] = random.Random("%d %s %s" % (self.seed, recipe, path))
                self.counts[name] = 0
            stream = self.streams[name]
            self.counts[name] += 1
            limit, reset = stream.randint(int(low or 0), int(high)), stream.random() < 0.5
            if reset:
                limit -= limit % int(directives.get("rstround", "1"))
            cut = (self.counts[name], limit, reset)
            self.latest[name] = "%d %d %s\n" % (cut[0], cut[1], "reset" if reset else "close")
        print("cutrand %s #%s" % (name, self.latest[name]), end="", file=sys.stderr, flush=True)
        return cut

    def latest_text(self, name):
        with self.lock:
            return self.latest.get(name, "")


CUTS = None


def parse_directives(path):
    """Splits "/f/a=1,b/file" into ({"a": "1", "b": ""}, "/file")."""
    if not path.startswith("/f/"):
        return {}, path
    rest = path[3:]
    slash = rest.find("/")
    if slash < 0:
        return {}, path
    directives = {}
    for item in rest[:slash].split(","):
        if item:
            key, _, value = item.partition("=")
            directives[key] = urllib.parse.unquote(value)
    return directives, rest[slash:]


def parse_range(value, size):
    """Start and end (inclusive) of "bytes=S-" or "bytes=S-E", or None."""
    if not value or not value.strip().lower().startswith("bytes="):
        return None
    first = value.strip()[6:].split(",")[0].strip()
    start_text, _, end_text = first.partition("-")
    if not start_text.isdigit():
        return None
    start = int(start_text)
    end = int(end_text) if end_text.isdigit() else size - 1
    return start, min(end, size - 1)


class Handler(socketserver.BaseRequestHandler):
    def read_head(self):
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = self.request.recv(4096)
            if not chunk or len(data) > 65536:
                return None
            data += chunk
        return data.split(b"\r\n\r\n", 1)[0].decode("latin-1")

    def send_head(self, status, fields):
        lines = ["HTTP/1.1 %d %s" % (status, REASONS.get(status, "Status"))]
        lines += ["%s: %s" % field for field in fields] + ["Connection: close", "", ""]
        self.request.sendall("\r\n".join(lines).encode("latin-1"))

    def close_with_reset(self):
        # Closed here with no linger, the socket sends a reset and no FIN;
        # the server's own close afterwards finds it closed already.
        self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.request.close()

    def send(self, data):
        """False once the client has gone away."""
        try:
            self.request.sendall(data)
            return True
        except OSError:
            return False

    def handle(self):
        head = self.read_head()
        if head is None:
            return
        request_line, *header_lines = head.split("\r\n")
        headers = {}
        for line in header_lines:
            name, _, value = line.partition(":")
            headers[name.strip().lower()] = value.strip()
        parts = request_line.split(" ")
        target = parts[1] if len(parts) > 1 else "/"

        if target.startswith("/_log/"):
            self.send_text(LOG.text(target[6:]))
            return
        if target.startswith("/_cuts/"):
            self.send_text(CUTS.latest_text(target[7:]))
            return
        if target.startswith("/_release/"):
            RELEASES.release(target[10:])
            self.send_text("released\n")
            return

        directives, path = parse_directives(target)
        if "tag" in directives:
            LOG.add(directives["tag"], head)
        # Drawn before anything is answered: the client sends its next
        # request only after this answer, so the draws keep its order.
        self.cut = CUTS.draw(directives, path) if "cutrand" in directives else None
        if "hold" in directives and directives.get("holdat") == "head" and not self.hold(directives):
            return
        if "selfloc" in directives:
            directives["loc"] = "http://%s%s" % (headers.get("host", ""), target)
        self.answer(directives, path, headers)

    def hold(self, d):
        """Waits for the release of this request's hold key."""
        key = d["hold"] + (".%d" % self.cut[0] if self.cut else "")
        return RELEASES.wait(key, self.request)

    def send_text(self, text):
        body = text.encode("latin-1")
        self.send_head(200, [("Content-Length", str(len(body)))])
        self.send(body)

    def answer(self, d, path, headers):
        if "status" in d:
            fields = [("Location", d["loc"])] if "loc" in d else []
            self.send_head(int(d["status"]), fields + [("Content-Length", "0")])
            return
        file_name = os.path.join(self.server.root, path.lstrip("/"))
        if not os.path.isfile(file_name):
            self.send_head(404, [("Content-Length", "0")])
            return
        with open(file_name, "rb") as f:
            data = f.read()
        size = len(data)
        mtime = int(d["lm"]) if "lm" in d else int(os.path.getmtime(file_name))

        fields = []
        if "lmraw" in d:
            fields.append(("Last-Modified", d["lmraw"]))
        elif "nolm" not in d:
            fields.append(("Last-Modified", email.utils.formatdate(mtime, usegmt=True)))

        status, start = 200, 0
        wanted = None if "norange" in d else parse_range(headers.get("range"), size)
        if wanted is not None and "rangestatus" in d:
            self.send_head(int(d["rangestatus"]), [("Content-Length", "0")])
            return
        if wanted is not None:
            if wanted[0] >= size:
                self.send_head(416, [("Content-Range", "bytes */%d" % size), ("Content-Length", "0")])
                return
            status = 206
            start = min(wanted[0] + int(d.get("shift", "0")), size - 1)
            if "nocr" not in d:
                fields.append(("Content-Range", "bytes %d-%d/%d" % (start, size - 1, size)))
        body = data[start:]

        if "clraw" in d:
            self.send_head(status, fields + [("Content-Length", d["clraw"])])
            return
        if "nocl" not in d:
            fields.append(("Content-Length", str(len(body))))
        if "extra" in d:
            body += b"\0" * int(d["extra"])
        self.send_head(status, fields)
        self.send_body(d, body)

    def send_body(self, d, body):
        limit = len(body)
        reset = "rst" in d
        if "cut" in d:
            limit = min(limit, int(d["cut"]))
        if self.cut:
            limit = min(limit, self.cut[1])
            reset = reset or self.cut[2]
        sent = 0
        at = d.get("holdat", "")
        if "hold" in d and at != "head":
            sent = min(limit, int(at)) if at else limit
            if not self.send(body[:sent]) or not self.hold(d):
                return
        if self.send(body[sent:limit]) and reset:
            self.close_with_reset()


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def write_atomically(name, text):
    with open(name + ".tmp", "w") as f:
        f.write(text)
    os.replace(name + ".tmp", name)


def main():
    global CUTS
    root, port_file = sys.argv[1], sys.argv[2]
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else random.SystemRandom().randrange(2**31)
    print("random cuts seed %d" % seed, file=sys.stderr, flush=True)
    CUTS = Cuts(seed)
    server = Server(("127.0.0.1", 0), Handler)
    server.root = root
    write_atomically(port_file, "%d\n" % server.server_address[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
