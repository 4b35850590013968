#!/usr/bin/env python3
"""The proxy stand-in: HTTP and SOCKS5 on one port, loopback targets only,
outgoing from its own address, credentials when asked for, a refusing mode,
one log line per request."""
import base64
import contextlib
import http.server
import os
import re
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "services", "proxy_server.py")
PROXY_HOST = "127.0.0.28"
ORIGIN_HOST = "127.0.0.29"


class Origin(http.server.BaseHTTPRequestHandler):
    seen = 0

    def do_GET(self):
        Origin.seen += 1
        body = ("origin saw %s %s from %s" % (self.path, self.headers.get("Proxy-Authorization", "-"),
                                               self.client_address[0])).encode()
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def start_proxy(*extra):
    log = tempfile.NamedTemporaryFile(delete=False, suffix=".log")
    log.close()
    proc = subprocess.Popen([sys.executable, SCRIPT, "--listen", PROXY_HOST + ":0", "--log", log.name, *extra],
                            stdout=subprocess.PIPE, text=True)
    port = int(re.search(r"LISTEN [\d.]+:(\d+)", proc.stdout.readline()).group(1))
    threading.Thread(target=proc.stdout.read, daemon=True).start()
    return proc, port, log.name


@contextlib.contextmanager
def origin_and_proxy(*proxy_args):
    """An origin server and a proxy started with the arguments: (origin, proxy port, proxy log)."""
    origin = http.server.ThreadingHTTPServer((ORIGIN_HOST, 0), Origin)
    threading.Thread(target=origin.serve_forever, daemon=True).start()
    proc, port, log = start_proxy(*proxy_args)
    try:
        yield origin, port, log
    finally:
        proc.terminate()
        proc.wait(timeout=10)
        origin.shutdown()
        origin.server_close()
        os.unlink(log)


def receive_all(sock):
    data = b""
    while True:
        chunk = sock.recv(65536)
        if not chunk:
            return data
        data += chunk


class ProxyStandIn(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.origin = http.server.ThreadingHTTPServer((ORIGIN_HOST, 0), Origin)
        cls.origin_port = cls.origin.server_address[1]
        threading.Thread(target=cls.origin.serve_forever, daemon=True).start()

    @classmethod
    def tearDownClass(cls):
        cls.origin.shutdown()
        cls.origin.server_close()

    def setUp(self):
        self.proc, self.port, self.log = start_proxy()

    def tearDown(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)
        os.unlink(self.log)

    def http_get(self, url, headers=""):
        with socket.create_connection((PROXY_HOST, self.port), timeout=10) as s:
            s.sendall(("GET %s HTTP/1.0\r\n%s\r\n" % (url, headers)).encode())
            return receive_all(s).decode("latin-1")

    def socks_connect(self, address_type, address, port, methods=b"\x00"):
        s = socket.create_connection((PROXY_HOST, self.port), timeout=10)
        s.sendall(b"\x05" + bytes([len(methods)]) + methods)
        self.assertEqual(s.recv(2), b"\x05\x00")
        s.sendall(b"\x05\x01\x00" + bytes([address_type]) + address + struct.pack("!H", port))
        return s, s.recv(10)

    def log_text(self):
        with open(self.log) as f:
            return f.read()

    def test_http_proxy_request_is_relayed_and_logged(self):
        answer = self.http_get("http://%s:%d/page?q=1" % (ORIGIN_HOST, self.origin_port))
        self.assertIn("200", answer.split("\r\n")[0])
        self.assertIn("origin saw /page?q=1", answer)
        self.assertIn("from %s" % PROXY_HOST, answer)  # the proxy's address, not the client's
        self.assertIn("RELAY http", self.log_text())

    def test_socks5_with_a_domain_name_literal_as_firefox_sends_it(self):
        s, reply = self.socks_connect(3, bytes([len(ORIGIN_HOST)]) + ORIGIN_HOST.encode(), self.origin_port)
        with s:
            self.assertEqual(reply[:2], b"\x05\x00")
            s.sendall(b"GET /socks HTTP/1.0\r\n\r\n")
            self.assertIn(b"origin saw /socks - from " + PROXY_HOST.encode(), receive_all(s))
        self.assertIn("RELAY socks5 client=", self.log_text())
        self.assertIn("target=%s:%d" % (ORIGIN_HOST, self.origin_port), self.log_text())

    def test_socks5_with_an_ipv4_address(self):
        s, reply = self.socks_connect(1, socket.inet_aton(ORIGIN_HOST), self.origin_port)
        with s:
            self.assertEqual(reply[:2], b"\x05\x00")

    def test_targets_outside_loopback_are_refused_without_a_lookup(self):
        for target in ("example.com", "localhost", "10.0.0.1", "8.8.8.8"):
            s, reply = self.socks_connect(3, bytes([len(target)]) + target.encode(), 80)
            s.close()
            self.assertEqual(reply[:2], b"\x05\x02", target)
            answer = self.http_get("http://%s/" % target)
            self.assertIn("403", answer.split("\r\n")[0], target)
        self.assertEqual(self.log_text().count("REFUSED"), 8)
        self.assertNotIn("RELAY", self.log_text())

    def test_connect_tunnel(self):
        with socket.create_connection((PROXY_HOST, self.port), timeout=10) as s:
            s.sendall(("CONNECT %s:%d HTTP/1.1\r\n\r\n" % (ORIGIN_HOST, self.origin_port)).encode())
            self.assertTrue(s.recv(100).startswith(b"HTTP/1.1 200"))
            s.sendall(b"GET /tunnel HTTP/1.0\r\n\r\n")
            self.assertIn(b"origin saw /tunnel", receive_all(s))


class ProxyStandInWithCredentials(unittest.TestCase):
    def test_missing_wrong_and_right_credentials(self):
        with origin_and_proxy("--user", "nim", "--password", "secret") as (origin, port, log):
            url = "http://%s:%d/ok.htm" % (ORIGIN_HOST, origin.server_address[1])

            def get(headers=""):
                with socket.create_connection((PROXY_HOST, port), timeout=10) as s:
                    s.sendall(("GET %s HTTP/1.0\r\n%s\r\n" % (url, headers)).encode())
                    return receive_all(s).decode("latin-1")

            def basic(user, password):
                return "Proxy-Authorization: Basic %s\r\n" % base64.b64encode(
                    ("%s:%s" % (user, password)).encode()).decode()

            missing = get()
            self.assertIn("407", missing.split("\r\n")[0])
            self.assertIn("Proxy-Authenticate: Basic", missing)
            wrong = get(basic("nim", "guess"))
            self.assertIn("401", wrong.split("\r\n")[0])
            self.assertIn("Access Denied", wrong)
            right = get(basic("nim", "secret"))
            self.assertIn("origin saw /ok.htm -", right)  # credentials are not passed on

    def test_refusing_mode_turns_everyone_away_with_access_denied(self):
        with origin_and_proxy("--user", "nim", "--password", "secret", "--refuse") as (origin, port, log):
            seen_before = Origin.seen
            target = "%s:%d" % (ORIGIN_HOST, origin.server_address[1])
            login = base64.b64encode(b"nim:secret").decode()
            with socket.create_connection((PROXY_HOST, port), timeout=10) as s:
                s.sendall(("GET http://%s/ok.htm HTTP/1.0\r\nProxy-Authorization: Basic %s\r\n\r\n"
                           % (target, login)).encode())
                answer = receive_all(s).decode("latin-1")
            self.assertIn("403", answer.split("\r\n")[0])
            self.assertIn("<h1>Access Denied</h1>", answer)
            with socket.create_connection((PROXY_HOST, port), timeout=10) as s:
                s.sendall(b"\x05\x01\x00")
                self.assertEqual(s.recv(2), b"\x05\x00")
                s.sendall(b"\x05\x01\x00\x01" + socket.inet_aton(ORIGIN_HOST)
                          + struct.pack("!H", origin.server_address[1]))
                self.assertEqual(s.recv(10)[:2], b"\x05\x02")
            self.assertEqual(Origin.seen, seen_before)
            with open(log) as f:
                self.assertEqual(f.read().count("(refusing)"), 2)

    def test_a_taken_port_ends_quietly(self):
        proc, port, log = start_proxy()
        try:
            second = subprocess.run([sys.executable, SCRIPT, "--listen", "%s:%d" % (PROXY_HOST, port)],
                                    capture_output=True, text=True, timeout=20)
            self.assertEqual(second.returncode, 0)
            self.assertIn("SKIPPED", second.stdout)
            self.assertNotIn("Traceback", second.stderr)
        finally:
            proc.terminate()
            proc.wait(timeout=10)
            os.unlink(log)


if __name__ == "__main__":
    unittest.main()
