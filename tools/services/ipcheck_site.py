#!/usr/bin/env python3
"""Stand-in for the outside IP-check site, on loopback port 80.

  /        the "SEE my IP" page: shows the address the request came from
  /ok.htm  exactly "OK" to a request that came through one of the stand-in
           proxies (it arrives from a --proxy address, since each proxy
           connects out from its own address); a direct request gets a page
           that says so instead
  other    404

The proxies check the catalogue's credentials themselves (407). With --user
and --password the site asks for them as well (401 with a Basic challenge)
before it answers "OK". Every request is logged as one line: what was asked
and from which address.

    ipcheck_site.py [--listen 127.0.0.4:80] [--proxy 127.0.0.10 ...] [--user U --password P] [--log FILE]
"""
import argparse
import base64
import html
import http.server
import ipaddress
import signal
import sys
import threading
import time

DEFAULT_LISTEN = "127.0.0.4:80"

FRONT_PAGE = """<!DOCTYPE html>
<html><head><title>SEE my IP</title>
<style>body{font-family:sans-serif;margin:3em} #ip{font-size:3em;font-weight:bold;color:#14507a}</style>
</head><body>
<h1>SEE my IP</h1>
<p>Web sites see you coming from</p>
<p id="ip">%s</p>
<p>%s</p>
</body></html>
"""


def loopback(text):
    address = ipaddress.IPv4Address(text)
    if address not in ipaddress.IPv4Network("127.0.0.0/8"):
        raise argparse.ArgumentTypeError("a loopback IPv4 address")
    return str(address)


def parse_listen(text):
    host, _, port = text.rpartition(":")
    if not port.isdigit():
        raise argparse.ArgumentTypeError("address:port, e.g. 127.0.0.4:80")
    return loopback(host), int(port)


class Site(http.server.BaseHTTPRequestHandler):
    proxies = frozenset()
    login = None  # "user:password" the site itself asks for, or None
    log_file = None
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        source = self.client_address[0]
        path = self.path.split("?", 1)[0]
        if path == "/":
            through = "through a Nimvara proxy" if source in self.proxies else "directly"
            self.answer(200, FRONT_PAGE % (html.escape(source), through), "text/html")
            self.note("SEEN / from %s" % source)
        elif path == "/ok.htm":
            self.ok_page(source)
        else:
            self.answer(404, "<html>No such page</html>", "text/html")
            self.note("MISSING %s from %s" % (self.path[:100], source))

    def ok_page(self, source):
        if source not in self.proxies:
            self.answer(200, "Not through a Nimvara proxy: you came from %s" % source, "text/plain")
            return self.note("DIRECT /ok.htm from %s" % source)
        if self.login is not None and self.given_login() != self.login:
            self.answer(401, "Login required", "text/plain", ['WWW-Authenticate: Basic realm="IP check"'])
            return self.note("LOGIN /ok.htm from %s" % source)
        self.answer(200, "OK", "text/plain")
        self.note("OK /ok.htm from %s" % source)

    def given_login(self):
        scheme, _, token = (self.headers.get("Authorization") or "").partition(" ")
        if scheme.lower() != "basic":
            return None
        try:
            return base64.b64decode(token.strip()).decode("latin-1")
        except ValueError:
            return None

    def answer(self, code, body, content_type, extra=()):
        data = body.encode("latin-1")
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        for header in extra:
            name, _, value = header.partition(": ")
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(data)

    def note(self, text):
        line = "%s %s" % (time.strftime("%H:%M:%S"), text)
        print(line, flush=True)
        if self.log_file:
            with open(self.log_file, "a", encoding="utf-8") as f:
                f.write(line + "\n")

    def log_message(self, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    allow_reuse_address = True
    daemon_threads = True


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--listen", type=parse_listen, default=parse_listen(DEFAULT_LISTEN))
    parser.add_argument("--proxy", action="append", type=loopback, default=[],
                        help="address a stand-in proxy connects out from; repeatable")
    parser.add_argument("--user")
    parser.add_argument("--password", default="")
    parser.add_argument("--log", help="also append the log lines to this file")
    args = parser.parse_args()

    Site.proxies = frozenset(args.proxy)
    Site.login = None if args.user is None else "%s:%s" % (args.user, args.password)
    Site.log_file = args.log
    try:
        server = Server(args.listen, Site)
    except OSError as error:
        print("SKIPPED %s:%d (%s)" % (args.listen + (error.strerror or error,)), flush=True)
        return 0
    print("LISTEN %s:%d" % server.server_address[:2], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    signal.sigwait([signal.SIGTERM, signal.SIGINT])
    server.shutdown()
    return 0


if __name__ == "__main__":
    signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGTERM, signal.SIGINT])
    sys.exit(main())
