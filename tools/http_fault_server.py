#!/usr/bin/python3
"""A small HTTP server that misbehaves on request, for download tests.

    http_fault_server.py ROOT PORT_FILE

Listens on a free port of 127.0.0.1, writes the port number to PORT_FILE and
serves the files of ROOT. It also listens on 127.0.0.1:80 when that port is
free and may be bound (for redirects to a host without a port); it then
writes PORT_FILE.80. A plain path ("/a.bin") is served correctly, with
Last-Modified, Content-Length and byte ranges. A path of the form
"/f/<directives>/<file>" applies the comma-separated directives:

    tag=T        record the request under T (read back with GET /_log/T)
    cut=N        close the connection after N body bytes
    cutrand=M    close after a random number of body bytes in 0..M
    rst          close with a reset instead of an orderly close
    extra=N      send N bytes more than Content-Length announces
    nolm, nocl   leave out Last-Modified or Content-Length
    norange      ignore Range and answer 200 with the whole object
    shift=K      answer a range from K bytes further on (Content-Range says so)
    nocr         answer a range with 206 but without Content-Range
    stallat=N    with stall=S: after N body bytes wait S seconds, then go on
    headstall=S  wait S seconds before the status line, then answer as usual
    lm=E         Last-Modified is E seconds after 1970 instead of the mtime
    lmraw=T      Last-Modified is the percent-encoded text T as it is
    clraw=T      Content-Length is the text T as it is; no body is sent
    status=C     answer with status C and an empty body
    loc=T        with status=C: the percent-encoded Location T
    selfloc      with status=C: a Location that leads back to this very path
    rangestatus=C  answer a ranged request with status C and an empty body
"""

import email.utils
import os
import random
import socket
import socketserver
import struct
import sys
import threading
import time
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
        self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))

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
            body = LOG.text(target[6:]).encode("latin-1")
            self.send_head(200, [("Content-Length", str(len(body)))])
            self.request.sendall(body)
            return

        directives, path = parse_directives(target)
        if "tag" in directives:
            LOG.add(directives["tag"], head)
        if "headstall" in directives:
            time.sleep(float(directives["headstall"]))
        if "selfloc" in directives:
            directives["loc"] = "http://%s%s" % (headers.get("host", ""), target)
        self.answer(directives, path, headers)

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
        if "cut" in d:
            limit = min(limit, int(d["cut"]))
        if "cutrand" in d:
            limit = min(limit, random.randint(0, int(d["cutrand"])))
            if random.random() < 0.5:
                self.close_with_reset()
        if "rst" in d:
            self.close_with_reset()
        sent = 0
        if "stall" in d:
            first = min(limit, int(d.get("stallat", "0")))
            self.request.sendall(body[:first])
            sent = first
            time.sleep(float(d["stall"]))
        try:
            self.request.sendall(body[sent:limit])
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def write_atomically(name, text):
    with open(name + ".tmp", "w") as f:
        f.write(text)
    os.replace(name + ".tmp", name)


def main():
    root, port_file = sys.argv[1], sys.argv[2]
    try:
        default = Server(("127.0.0.1", 80), Handler)
    except OSError as error:
        print("port 80 not served: %s" % error, file=sys.stderr)
    else:
        default.root = root
        threading.Thread(target=default.serve_forever, daemon=True).start()
        write_atomically(port_file + ".80", "80\n")
    server = Server(("127.0.0.1", 0), Handler)
    server.root = root
    write_atomically(port_file, "%d\n" % server.server_address[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
