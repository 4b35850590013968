#!/usr/bin/env python3
"""The IP-check site stand-in: the front page shows where a request came from,
/ok.htm answers exactly "OK" only through a stand-in proxy (with the site's own
login when it asks for one)."""
import base64
import os
import re
import socket
import subprocess
import sys
import unittest

SERVICES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "services")
SITE_HOST = "127.0.0.33"
PROXY_HOST = "127.0.0.34"
CLIENT_HOST = "127.0.0.35"


def start(script, *args):
    proc = subprocess.Popen([sys.executable, os.path.join(SERVICES, script), *args], stdout=subprocess.PIPE, text=True)
    port = int(re.search(r"LISTEN [\d.]+:(\d+)", proc.stdout.readline()).group(1))
    return proc, port


def exchange(host, port, request):
    with socket.create_connection((host, port), timeout=10, source_address=(CLIENT_HOST, 0)) as s:
        s.sendall(request.encode())
        data = b""
        while chunk := s.recv(65536):
            data += chunk
    head, _, body = data.decode("latin-1").partition("\r\n\r\n")
    return head, body


def basic(name, user, password):
    return "%s: Basic %s\r\n" % (name, base64.b64encode(("%s:%s" % (user, password)).encode()).decode())


class IpCheckSite(unittest.TestCase):
    def setUp(self):
        self.procs = []

    def tearDown(self):
        for proc in self.procs:
            proc.terminate()
            proc.wait(timeout=10)
            proc.stdout.close()

    def serve(self, *site_args):
        site, self.site_port = start("ipcheck_site.py", "--listen", SITE_HOST + ":0", "--proxy", PROXY_HOST, *site_args)
        proxy, self.proxy_port = start("proxy_server.py", "--listen", PROXY_HOST + ":0", "--user", "nim",
                                       "--password", "vara")
        self.procs += [site, proxy]

    def direct(self, path, headers=""):
        return exchange(SITE_HOST, self.site_port, "GET %s HTTP/1.0\r\n%s\r\n" % (path, headers))

    def proxied(self, path, headers=""):
        url = "http://%s:%d%s" % (SITE_HOST, self.site_port, path)
        return exchange(PROXY_HOST, self.proxy_port,
                        "GET %s HTTP/1.0\r\n%s%s\r\n" % (url, basic("Proxy-Authorization", "nim", "vara"), headers))

    def test_front_page_shows_where_the_request_came_from(self):
        self.serve()
        self.assertIn('<p id="ip">%s</p>' % CLIENT_HOST, self.direct("/")[1])
        self.assertIn('<p id="ip">%s</p>' % PROXY_HOST, self.proxied("/")[1])

    def test_ok_only_through_a_stand_in_proxy(self):
        self.serve()
        for path, fetch, ok in (("direct", self.direct, False), ("proxied", self.proxied, True)):
            head, body = fetch("/ok.htm")
            self.assertEqual(body == "OK", ok, path)
            self.assertNotIn("Access Denied", body, path)
        self.assertIn("404", self.direct("/other.htm")[0].split("\r\n")[0])

    def test_the_site_may_ask_for_the_login_itself(self):
        self.serve("--user", "nim", "--password", "vara")
        head, body = self.proxied("/ok.htm")
        self.assertIn("401", head.split("\r\n")[0])
        self.assertIn('WWW-Authenticate: Basic realm="IP check"', head)
        self.assertEqual(self.proxied("/ok.htm", basic("Authorization", "nim", "guess"))[1], "Login required")
        self.assertEqual(self.proxied("/ok.htm", basic("Authorization", "nim", "vara"))[1], "OK")


if __name__ == "__main__":
    unittest.main()
