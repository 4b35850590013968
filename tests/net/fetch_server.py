#!/usr/bin/env python3
"""Web server and HTTP proxy on loopback for the fetch tests.

  fetch_server.py start <state dir> <web address> <proxy address> <proxy port>
  fetch_server.py stop <state dir>

The web server listens on port 80. Every request's header block is appended to
<state dir>/captured/<page>.txt (the proxy's to proxy.txt), where the tests read
what the server really received. The proxy answers pages named /proxy-login...
only with the test credentials (407 without them).
"""
import base64
import os
import re
import signal
import socket
import socketserver
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "services"))
import background  # noqa: E402

CREDENTIALS = "Basic " + base64.b64encode(b"nim:vara").decode()
BIG_BODY = "".join("line %04d of the long page\n" % i for i in range(200)).encode()
CHUNK = 64 * 1024
ENDLESS_BOUND = 64 * 1024 * 1024  # the stream ends itself if the client never stops


def read_head(sock):
    data = b""
    while b"\r\n\r\n" not in data and len(data) < 65536:
        part = sock.recv(4096)
        if not part:
            break
        data += part
    return data.split(b"\r\n\r\n", 1)[0] + b"\r\n\r\n"


def header(head, name):
    for line in head.decode("latin-1").split("\r\n")[1:]:
        key, _, value = line.partition(":")
        if key.strip().lower() == name.lower():
            return value.strip()
    return None


def answer(sock, status, body, extra=()):
    lines = ["HTTP/1.0 " + status, "Content-Type: text/html", "Content-Length: %d" % len(body)]
    lines += list(extra)
    sock.sendall(("\r\n".join(lines) + "\r\n\r\n").encode() + body)


class Handler(socketserver.BaseRequestHandler):
    state_dir = "."
    hits = 0

    def capture(self, name, head):
        with open(os.path.join(self.state_dir, "captured", name + ".txt"), "ab") as f:
            f.write(head)

    def handle(self):
        try:
            head = read_head(self.request)
            if head.strip():
                self.serve(head)
        except OSError:
            pass  # the client went away


class WebHandler(Handler):
    def serve(self, head):
        target = head.split(b" ")[1].decode("latin-1") if head.count(b" ") >= 2 else "/"
        name = re.sub(r"[^A-Za-z0-9]", "_", target.strip("/")) or "root"
        self.capture(name, head)
        s = self.request
        if target == "/ok.htm":
            answer(s, "200 OK", b"OK")
        elif target == "/big.txt":
            s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(BIG_BODY))
            for at in range(0, len(BIG_BODY), 1500):  # several packets, several reads
                s.sendall(BIG_BODY[at:at + 1500])
                time.sleep(0.02)
        elif target == "/empty.htm":
            answer(s, "200 OK", b"")
        elif target == "/count.htm":
            Handler.hits += 1
            answer(s, "200 OK", b"hit %d" % Handler.hits,
                   ["Cache-Control: public, max-age=86400",
                    "Expires: Fri, 01 Jan 2100 00:00:00 GMT",
                    "Last-Modified: Mon, 01 Jan 2024 00:00:00 GMT"])
        elif target == "/secret.htm":
            if header(head, "Authorization") == CREDENTIALS:
                answer(s, "200 OK", b"Welcome")
            else:
                answer(s, "401 Unauthorized", b"Denied",
                       ['WWW-Authenticate: Basic realm="Nimvara test"'])
        elif target.startswith("/dl/"):
            download(s, target[4:], self.state_dir)
        elif target == "/endless.bin":
            s.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n")
            block = b"z" * CHUNK
            for _ in range(ENDLESS_BOUND // CHUNK):
                s.sendall(block)
        else:
            answer(s, "404 Not Found", b"<html>No such page</html>")


def pattern(size):
    """Body bytes of the downloads: a byte pattern that shows a shifted or lost chunk."""
    block = bytes(range(251)) * (size // 251 + 1)
    return block[:size]


def send_slowly(sock, data, piece=7000):
    for at in range(0, len(data), piece):  # several packets, several reads
        sock.sendall(data[at:at + piece])


def download(s, name, state_dir):
    """The downloader's pages, under /dl/."""
    if name == "small.bin":
        body = pattern(5000)
        s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body))
        send_slowly(s, body, 1500)
    elif name == "nolength.bin":
        s.sendall(b"HTTP/1.0 200 OK\r\n\r\n" + pattern(5000))
    elif name == "short.bin":
        s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + pattern(3000))
    elif name == "pause.bin":
        # A slow but honest server: a pause in the middle of the body.
        body = pattern(5000)
        s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + body[:3000])
        time.sleep(1.5)
        s.sendall(body[3000:])
    elif name == "empty.bin":
        s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n")
    elif name == "badlength.bin":
        s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 12abc\r\n\r\n" + pattern(12))
    elif name == "huge.bin":
        s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 300000000\r\n\r\n" + pattern(4000))
    elif name == "silent.bin":
        # Goes quiet for longer than the downloader waits for a byte.
        s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + pattern(3000))
        time.sleep(45)
    elif name == "stall.bin":
        # Announces more than it sends, then goes quiet (for a bounded time).
        s.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + pattern(3000))
        time.sleep(5)
    else:
        # Files a test put into <state dir>/files/.
        path = os.path.join(state_dir, "files", os.path.basename(name))
        if not os.path.isfile(path):
            answer(s, "404 Not Found", b"<html>No such file</html>")
            return
        body = open(path, "rb").read()
        s.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: %d\r\n\r\n"
                  % len(body) + body)


class ProxyHandler(Handler):
    def serve(self, head):
        self.capture("proxy", head)
        line = head.split(b"\r\n")[0]
        # A page behind the proxy's own login: 407 until the credentials come.
        if b"/proxy-login" in line and header(head, "Proxy-Authorization") != CREDENTIALS:
            answer(self.request, "407 Proxy Authentication Required", b"Proxy login required",
                   ['Proxy-Authenticate: Basic realm="Nimvara proxy"'])
            return
        answer(self.request, "200 OK", b"via proxy: " + line)


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def serve(state_dir, web, proxy, proxy_port):
    Handler.state_dir = state_dir
    servers = [Server((web, 80), WebHandler), Server((proxy, proxy_port), ProxyHandler)]
    import threading
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(os.path.join(state_dir, "ready"), "w") as f:
        f.write("ready\n")
    signal.sigwait([signal.SIGTERM, signal.SIGINT])


def start(state_dir, web, proxy, proxy_port):
    stop(state_dir)
    os.makedirs(os.path.join(state_dir, "captured"), exist_ok=True)
    os.makedirs(os.path.join(state_dir, "files"), exist_ok=True)
    if not background.spawn_and_wait(state_dir, __file__, [web, proxy, str(proxy_port)]):
        return 1
    print("fetch server on %s:80, proxy on %s:%d" % (web, proxy, proxy_port))
    return 0


def stop(state_dir):
    return background.stop(state_dir)


def main(argv):
    if argv[1] == "start":
        return start(argv[2], argv[3], argv[4], int(argv[5]))
    if argv[1] == "stop":
        return stop(argv[2])
    if argv[1] == "serve":
        signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGTERM, signal.SIGINT])
        serve(argv[2], argv[3], argv[4], int(argv[5]))
        return 0
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
