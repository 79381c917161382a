#!/usr/bin/env python3
"""Local HTTP server for the tests: serves a folder on 127.0.0.1 and records
every request so a test can check what a client really sent.

Paths with special behaviour (everything else is a file below --root):
  /status/<code>               answers with that status and a short body
  /slow/<ms-per-KB>/<file>     sends the file in 1 KiB pieces, sleeping between them
  /truncate/<n>/<file>         announces the full length, sends n bytes, closes
  /stall/<n>/<file>            announces the full length, sends n bytes, then nothing
                               until the client hangs up (at most two minutes)
  /endless                     a body without length that goes on until the client
                               hangs up (at most 1 GiB)
  /norange/<file>              the file whole, whatever Range asks for
  /badrange/<file>             answers a Range request with 206 from the first byte
  /redirect?to=<url>[&code=c]  redirects (302 unless code is given)
Files honour "Range: bytes=N-" (206 with Content-Range, 416 past the end).

The chosen port goes to --port-file (written atomically). With --log, each
request is appended to that file, before it is answered, as "> <request
line>", one "Name: value" line per header and an empty line. The server ends when the --quit-file appears, after --idle seconds
without a request or after --lifetime seconds in all.
"""

import argparse
import http.server
import os
import posixpath
import select
import socketserver
import sys
import threading
import time
import urllib.parse

PIECE = 1024


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TestHttpServer/1.0"
    # Bounds a client that stops reading or sending.
    timeout = 30

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        server = self.server
        with server.lock:
            server.last_activity = time.monotonic()
            if server.log:
                with open(server.log, "a", encoding="utf-8") as log:
                    log.write("> %s\n" % self.requestline)
                    log.writelines("%s: %s\n" % header for header in self.headers.items())
                    log.write("\n")
        url = urllib.parse.urlsplit(self.path)
        parts = urllib.parse.unquote(url.path).strip("/").split("/")
        rest = "/".join(parts[2:])
        number = len(parts) >= 3 and parts[1].isdigit() and int(parts[1])
        if parts[0] == "status" and len(parts) == 2 and parts[1].isdigit():
            self.send_small(int(parts[1]), "status %s\n" % parts[1])
        elif parts[0] == "redirect":
            query = urllib.parse.parse_qs(url.query)
            self.send_response(int(query.get("code", ["302"])[0]))
            self.send_header("Location", query.get("to", ["/"])[0])
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif parts[0] == "slow" and number is not False:
            self.send_file(rest, delay_ms=number)
        elif parts[0] in ("truncate", "stall") and number is not False:
            self.send_file(rest, limit=number, stall=parts[0] == "stall")
        elif parts[0] == "endless":
            self.send_endless()
        elif parts[0] in ("norange", "badrange") and len(parts) >= 2:
            self.send_file("/".join(parts[1:]), ranges=parts[0])
        else:
            self.send_file("/".join(parts))

    def send_small(self, code, text):
        body = text.encode("utf-8")
        self.send_response(code)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def resolve(self, relative):
        # Only paths below the root are served.
        clean = posixpath.normpath("/" + relative).lstrip("/")
        if clean.startswith(".."):
            return None
        full = os.path.join(self.server.root, clean)
        return full if os.path.isfile(full) else None

    def requested_start(self, ranges):
        """First byte asked for by "Range: bytes=N-", or None to send the whole file."""
        value = self.headers.get("Range", "")
        if ranges == "norange" or not (value.startswith("bytes=") and value.endswith("-")):
            return None
        start = value[len("bytes="):-1]
        return int(start) if start.isdigit() else None

    def send_file(self, relative, delay_ms=0, limit=None, stall=False, ranges=""):
        full = self.resolve(relative)
        if full is None:
            self.send_small(404, "not found\n")
            return
        size = os.path.getsize(full)
        start = self.requested_start(ranges)
        if start is not None and start >= size:
            self.send_response(416)
            self.send_header("Content-Range", "bytes */%d" % size)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if start is None:
            self.send_response(200)
            start = 0
        else:
            start = 0 if ranges == "badrange" else start
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, size - 1, size))
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size - start))
        # Tempts a caching client to answer from its cache next time.
        self.send_header("Cache-Control", "max-age=3600")
        self.send_header("Last-Modified", self.date_time_string(int(os.path.getmtime(full))))
        self.end_headers()
        with open(full, "rb") as source:
            source.seek(start)
            if limit is not None:
                self.wfile.write(source.read(limit))
                self.wfile.flush()
                if stall:
                    self.wait_for_hang_up(120)
                self.close_connection = True
            elif delay_ms:
                deadline = time.monotonic() + self.server.lifetime
                while time.monotonic() < deadline:
                    piece = source.read(PIECE)
                    if not piece:
                        break
                    self.wfile.write(piece)
                    with self.server.lock:
                        self.server.last_activity = time.monotonic()
                    time.sleep(delay_ms / 1000.0)
            else:
                self.connection.sendfile(source, offset=start)

    def send_endless(self):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        block = bytes(range(256)) * 256
        deadline = time.monotonic() + self.server.lifetime
        for _ in range((1 << 30) // len(block)):
            if time.monotonic() > deadline:
                break
            self.wfile.write(block)

    def wait_for_hang_up(self, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            readable, _, _ = select.select([self.connection], [], [], 0.5)
            if readable and not self.connection.recv(4096):
                return


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        # Clients that hang up early (cancelled downloads) are part of the tests.
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="folder served")
    parser.add_argument("--port-file", required=True, help="file that receives the chosen port")
    parser.add_argument("--log", help="file that receives the requests")
    parser.add_argument("--quit-file", required=True, help="file whose appearance ends the server")
    parser.add_argument("--idle", type=float, default=60.0, help="seconds without requests before ending")
    parser.add_argument("--lifetime", type=float, default=900.0, help="seconds before ending in any case")
    args = parser.parse_args()

    server = Server(("127.0.0.1", 0), Handler)
    server.root = os.path.abspath(args.root)
    server.log = args.log
    server.lock = threading.Lock()
    server.last_activity = started = time.monotonic()
    server.lifetime = args.lifetime
    port = server.server_address[1]

    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True).start()
    with open(args.port_file + ".part", "w") as out:
        out.write("%d\n" % port)
    os.replace(args.port_file + ".part", args.port_file)

    while not os.path.exists(args.quit_file):
        time.sleep(0.1)
        now = time.monotonic()
        with server.lock:
            idle = now - server.last_activity
        if idle > args.idle or now - started > args.lifetime:
            break
    server.shutdown()
    server.server_close()
    if os.path.exists(args.quit_file):
        os.remove(args.quit_file)
    return 0


if __name__ == "__main__":
    sys.exit(main())
