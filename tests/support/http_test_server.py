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
  /__requests                  the recorded requests as JSON lines
  /__requests.txt              the same as text blocks: "> <request line>",
                               one "Name: value" line per header, an empty line
  /__clear                     forgets the recorded requests
  /__quit                      answers, then the server ends
Files honour "Range: bytes=N-" (206 with Content-Range, 416 past the end).
Requests to /__* are not recorded.

The chosen port goes to --port-file (written atomically) when given, else to
stdout. The server ends by itself after --idle seconds without a request
or after --lifetime seconds in all.
"""

import argparse
import http.server
import json
import os
import posixpath
import select
import socketserver
import sys
import threading
import time
import urllib.parse

PIECE = 1024


class Recorder:
    def __init__(self, log_path):
        self.lock = threading.Lock()
        self.entries = []
        self.log_path = log_path
        self.last_activity = time.monotonic()

    def touch(self):
        with self.lock:
            self.last_activity = time.monotonic()

    def add(self, entry):
        with self.lock:
            self.entries.append(entry)
            if self.log_path:
                with open(self.log_path, "a", encoding="utf-8") as log:
                    log.write(json.dumps(entry) + "\n")

    def snapshot(self):
        with self.lock:
            return list(self.entries)

    def clear(self):
        with self.lock:
            self.entries.clear()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TestHttpServer/1.0"
    # Bounds a client that stops reading or sending.
    timeout = 30

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        self.handle_request(send_body=True)

    def do_HEAD(self):
        self.handle_request(send_body=False)

    def handle_request(self, send_body):
        recorder = self.server.recorder
        recorder.touch()
        url = urllib.parse.urlsplit(self.path)
        path = urllib.parse.unquote(url.path)
        if path.startswith("/__"):
            self.handle_control(path)
            return
        recorder.add({
            "request_line": self.requestline,
            "method": self.command,
            "path": self.path,
            "headers": [[name, value] for name, value in self.headers.items()],
        })
        parts = path.strip("/").split("/")
        if parts[0] == "status" and len(parts) == 2 and parts[1].isdigit():
            self.send_small(int(parts[1]), "status %s\n" % parts[1], send_body)
        elif parts[0] == "redirect":
            query = urllib.parse.parse_qs(url.query)
            target = query.get("to", ["/"])[0]
            code = int(query.get("code", ["302"])[0])
            self.send_response(code)
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif parts[0] == "slow" and len(parts) >= 3 and parts[1].isdigit():
            self.send_file("/".join(parts[2:]), send_body, delay_ms=int(parts[1]))
        elif parts[0] == "truncate" and len(parts) >= 3 and parts[1].isdigit():
            self.send_file("/".join(parts[2:]), send_body, limit=int(parts[1]))
        elif parts[0] == "stall" and len(parts) >= 3 and parts[1].isdigit():
            self.send_file("/".join(parts[2:]), send_body, limit=int(parts[1]), stall=True)
        elif parts[0] == "endless":
            self.send_endless(send_body)
        elif parts[0] in ("norange", "badrange") and len(parts) >= 2:
            self.send_file("/".join(parts[1:]), send_body, ranges=parts[0])
        else:
            self.send_file(path, send_body)

    def handle_control(self, path):
        recorder = self.server.recorder
        if path == "/__requests":
            body = "".join(json.dumps(e) + "\n" for e in recorder.snapshot())
            self.send_small(200, body, True, "application/x-ndjson")
        elif path == "/__requests.txt":
            blocks = []
            for entry in recorder.snapshot():
                lines = ["> " + entry["request_line"]]
                lines += ["%s: %s" % (n, v) for n, v in entry["headers"]]
                blocks.append("\n".join(lines) + "\n\n")
            self.send_small(200, "".join(blocks), True)
        elif path == "/__clear":
            recorder.clear()
            self.send_small(200, "cleared\n", True)
        elif path == "/__quit":
            self.send_small(200, "bye\n", True)
            self.close_connection = True
            self.server.quit_requested.set()
        else:
            self.send_small(404, "unknown control path\n", True)

    def send_small(self, code, text, send_body, content_type="text/plain"):
        body = text.encode("utf-8")
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if send_body:
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

    def send_file(self, relative, send_body, delay_ms=0, limit=None, stall=False, ranges=""):
        full = self.resolve(relative)
        if full is None:
            self.send_small(404, "not found\n", send_body)
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
            shown = 0 if ranges == "badrange" else start
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (shown, size - 1, size))
            start = shown
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size - start))
        # Tempts a caching client to answer from its cache next time.
        self.send_header("Cache-Control", "max-age=3600")
        self.send_header("Last-Modified", self.date_time_string(int(os.path.getmtime(full))))
        self.end_headers()
        if not send_body:
            return
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
                    self.server.recorder.touch()
                    time.sleep(delay_ms / 1000.0)
            else:
                self.connection.sendfile(source, offset=start)

    def send_endless(self, send_body):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        block = bytes(range(256)) * 256
        sent = 0
        deadline = time.monotonic() + self.server.lifetime
        while send_body and sent < (1 << 30) and time.monotonic() < deadline:
            self.wfile.write(block)
            sent += len(block)

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
    parser.add_argument("--port-file", help="file that receives the chosen port")
    parser.add_argument("--log", help="file that receives the requests as JSON lines")
    parser.add_argument("--idle", type=float, default=60.0, help="seconds without requests before ending")
    parser.add_argument("--lifetime", type=float, default=900.0, help="seconds before ending in any case")
    args = parser.parse_args()

    server = Server(("127.0.0.1", 0), Handler)
    server.root = os.path.abspath(args.root)
    server.recorder = Recorder(args.log)
    server.quit_requested = threading.Event()
    server.lifetime = args.lifetime
    port = server.server_address[1]

    serving = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True)
    serving.start()
    if args.port_file:
        temporary = args.port_file + ".part"
        with open(temporary, "w") as out:
            out.write("%d\n" % port)
        os.replace(temporary, args.port_file)
    else:
        print(port, flush=True)

    started = time.monotonic()
    while not server.quit_requested.wait(0.2):
        now = time.monotonic()
        with server.recorder.lock:
            idle = now - server.recorder.last_activity
        if idle > args.idle or now - started > args.lifetime:
            break
    server.shutdown()
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
