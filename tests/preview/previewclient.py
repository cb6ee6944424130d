"""Drives a running quillgen-preview from Python with nothing but the standard
library: starts it on a free port, sends raw HTTP requests, and reads the render
messages of its WebSocket. Used by the preview's tests and by bench/preview."""

import base64
import json
import os
import re
import socket
import struct
import subprocess
import threading
import time


class Preview:
    """quillgen-preview started in cwd with args; the URL it prints gives the port."""

    def __init__(self, binary, args, cwd, env=None, timeout=60):
        self.process = subprocess.Popen(
            [binary, "--port", "0"] + list(args), cwd=cwd, env=env,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.lines = []
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            line = self.process.stdout.readline()
            if not line:
                raise RuntimeError("quillgen-preview ended: " + self.process.stderr.read())
            self.lines.append(line)
            found = re.search(r"Previewing at (http://[^ ]+)", line)
            if found:
                self.url = found.group(1)
                self.port = int(re.search(r":(\d+)/", self.url).group(1))
                # Both streams are read as they come, so that a long run never waits for
                # a full pipe.
                self.errors = []
                for stream, into in ((self.process.stdout, self.lines),
                                     (self.process.stderr, self.errors)):
                    threading.Thread(target=lambda s=stream, i=into: i.extend(s),
                                     daemon=True).start()
                return
        raise RuntimeError("quillgen-preview printed no URL")

    def stop(self):
        """Stops the preview; returns what it printed on standard error."""
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        time.sleep(0.1)  # the readers take the last lines
        return "".join(self.errors)

    def alive(self):
        return self.process.poll() is None

    def request(self, raw, timeout=5):
        """Sends raw bytes and returns everything the server answers until it closes
        or stays silent for timeout seconds."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=timeout) as s:
            s.sendall(raw)
            out = b""
            try:
                while True:
                    data = s.recv(65536)
                    if not data:
                        break
                    out += data
                    if complete(out):
                        break
            except (socket.timeout, ConnectionResetError):
                pass
            return out

    def get(self, path, method="GET", host=None):
        host = host or "127.0.0.1:%d" % self.port
        raw = "%s %s HTTP/1.1\r\nHost: %s\r\nConnection: close\r\n\r\n" % (method, path, host)
        return parse(self.request(raw.encode()))

    def socket(self):
        return Socket(self.port)


def complete(answer):
    """Whether answer holds a whole HTTP response (head and Content-Length bytes)."""
    end = answer.find(b"\r\n\r\n")
    if end < 0:
        return False
    found = re.search(rb"(?i)\r\ncontent-length: *(\d+)", answer[:end])
    return found is not None and len(answer) >= end + 4 + int(found.group(1))


def parse(answer):
    """(status, headers with lower-case names, body) of an HTTP response."""
    head, _, body = answer.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    status = int(lines[0].split()[1]) if lines and lines[0].startswith("HTTP/") else 0
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    return status, headers, body


class Socket:
    """The live-reload WebSocket, read as the injected script reads it."""

    def __init__(self, port, timeout=30):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall((
            "GET /.quillgen-preview/socket HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n"
            "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: %s\r\n"
            "Sec-WebSocket-Version: 13\r\n\r\n" % (port, key)).encode())
        self.buffer = b""
        while b"\r\n\r\n" not in self.buffer:
            data = self.sock.recv(4096)
            if not data:
                raise RuntimeError("the socket was refused")
            self.buffer += data
        head, _, self.buffer = self.buffer.partition(b"\r\n\r\n")
        if b" 101 " not in head.split(b"\r\n")[0]:
            raise RuntimeError("no upgrade: " + head.decode("latin-1"))

    def _read(self, n):
        while len(self.buffer) < n:
            data = self.sock.recv(65536)
            if not data:
                raise EOFError
            self.buffer += data
        out, self.buffer = self.buffer[:n], self.buffer[n:]
        return out

    def message(self):
        """The next render message, as a dict."""
        payload = b""
        while True:
            first, second = self._read(2)
            length = second & 0x7F
            if length == 126:
                length = struct.unpack(">H", self._read(2))[0]
            elif length == 127:
                length = struct.unpack(">Q", self._read(8))[0]
            payload += self._read(length)
            if first & 0x80:
                return json.loads(payload.decode())

    def close(self):
        self.sock.close()
