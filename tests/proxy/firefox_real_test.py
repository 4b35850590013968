#!/usr/bin/env python3
"""Real Firefox on the user.js the program writes: after apply its traffic goes
through the SOCKS5 stand-in on loopback, after restore it goes direct, and a
reset (a version change, OK in Plugin Mode) never leaves it on the proxy that
its prefs.js copied from an applied user.js.

    firefox_real_test.py <proxy_switch_tool.exe> <proxy_server.py> <work dir>

Needs WINEPREFIX (the run's prefix, booted) and the firefox-esr binary.
"""
import http.server
import os
import re
import shutil
import subprocess
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from firefox_headless import run_firefox, write_quiet_prefs  # noqa: E402

WINE = "/usr/lib/wine/wine64"
ORIGIN_HOST = "127.0.0.26"
PROXY_HOST = "127.0.0.27"



class Origin(http.server.BaseHTTPRequestHandler):
    seen = []

    def do_GET(self):
        Origin.seen.append(self.path)
        body = b"<html><body>origin</body></html>"
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def run_tool(tool, *args):
    result = subprocess.run([WINE, tool, *args], capture_output=True, text=True, timeout=60)
    print("tool %s: rc=%d %s" % (" ".join(args), result.returncode, result.stdout.strip()))
    if result.returncode != 0:
        fail("proxy_switch_tool %s failed: %s" % (args, result.stderr))
    match = re.search(r"^profile: (.*)$", result.stdout, re.M)
    return match.group(1).strip() if match else ""


def linux_path(prefix, windows_path):
    if not re.match(r"^[Cc]:\\", windows_path):
        fail("unexpected profile path %r" % windows_path)
    return os.path.join(prefix, "drive_c", *windows_path[3:].rstrip("\\").split("\\"))


def expect_route(profile, work, origin_url, log_path, target, path, proxied):
    before = open(log_path).read().count(target)
    run_firefox(profile, os.path.join(work, "home"), origin_url + path, os.path.join(work, path[1:] + ".png"))
    relayed = open(log_path).read().count(target) - before
    arrived = path in Origin.seen
    print("%s: origin %s the page, %d relayed through the stand-in" % (path, "got" if arrived else "never got",
                                                                        relayed))
    if not arrived:
        fail("%s never arrived at the origin: %s" % (path, Origin.seen))
    if proxied and not relayed:
        fail("%s went direct, not through the stand-in" % path)
    if not proxied and relayed:
        fail("%s: Firefox is still on the proxy" % path)


def proxy_kept_in_prefs(profile):
    with open(os.path.join(profile, "prefs.js"), encoding="utf-8", errors="replace") as prefs:
        return '"network.proxy.type", 1)' in prefs.read()


def settle_prefs(profile, work, origin_url):
    """A user's Firefox saves the direct setting into prefs.js when it ends; a
    headless screenshot run that ends at once sometimes does not. The second
    reset is about a Firefox that has run on the restore file, so let it."""
    for attempt in range(3):
        if not proxy_kept_in_prefs(profile):
            return
        print("prefs.js still holds the proxy after a direct run; Firefox once more (%d)" % (attempt + 1))
        run_firefox(profile, os.path.join(work, "home"), origin_url + "/settle", os.path.join(work, "settle.png"))
    fail("Firefox never saved the direct setting of the restore file into prefs.js")


def start_proxy(script, log_path):
    proxy = subprocess.Popen([sys.executable, script, "--listen", PROXY_HOST + ":0", "--log", log_path],
                             stdout=subprocess.PIPE, text=True)
    line = proxy.stdout.readline()
    match = re.search(r"LISTEN [\d.]+:(\d+)", line)
    if not match:
        proxy.kill()
        fail("proxy stand-in did not start: %r" % line)
    threading.Thread(target=lambda: proxy.stdout.read(), daemon=True).start()
    return proxy, int(match.group(1))


def main():
    tool, proxy_script, work = sys.argv[1:4]
    prefix = os.environ["WINEPREFIX"]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "home"))
    log_path = os.path.join(work, "proxy.log")

    origin = http.server.ThreadingHTTPServer((ORIGIN_HOST, 0), Origin)
    threading.Thread(target=origin.serve_forever, daemon=True).start()
    origin_url = "http://%s:%d" % (ORIGIN_HOST, origin.server_address[1])
    proxy, proxy_port = start_proxy(proxy_script, log_path)
    profile = None
    try:
        run_tool(tool, "cleanup")
        profile = linux_path(prefix, run_tool(tool, "prepare"))
        write_quiet_prefs(profile)

        profile_seen = run_tool(tool, "apply", "%s:%d" % (PROXY_HOST, proxy_port))
        if linux_path(prefix, profile_seen) != profile:
            fail("the program wrote %s, not the prepared profile" % profile_seen)
        with open(os.path.join(profile, "user.js"), "rb") as f:
            user_js = f.read()
        if b'user_pref("network.proxy.socks", "%s");\r\n' % PROXY_HOST.encode() not in user_js:
            fail("user.js does not name the proxy:\n%s" % user_js.decode("latin-1"))
        run_firefox(profile, os.path.join(work, "home"), origin_url + "/through-proxy",
                    os.path.join(work, "apply.png"))
        relayed = open(log_path).read()
        target = "target=%s:%d" % (ORIGIN_HOST, origin.server_address[1])
        if "RELAY socks5" not in relayed or target not in relayed:
            fail("Firefox did not go through the SOCKS5 stand-in; its log:\n" + relayed)
        if "/through-proxy" not in Origin.seen:
            fail("the page never arrived at the origin: %s" % Origin.seen)
        print("apply: relayed through the stand-in, origin saw %s" % Origin.seen)

        run_tool(tool, "restore")
        with open(os.path.join(profile, "user.js"), "rb") as f:
            if b'\r\nuser_pref("network.proxy.type", 0);\r\n' not in f.read():
                fail("restore did not write the direct block")
        before = open(log_path).read().count(target)
        run_firefox(profile, os.path.join(work, "home"), origin_url + "/direct", os.path.join(work, "restore.png"))
        if "/direct" not in Origin.seen:
            fail("after restore the page never arrived at the origin: %s" % Origin.seen)
        if open(log_path).read().count(target) != before:
            fail("after restore Firefox still went through the stand-in")
        print("restore: direct, origin saw %s" % Origin.seen)

        # Firefox has taken the proxy into prefs.js; then the program's user.js
        # is reset (a start after a crash, OK in Plugin Mode).
        run_tool(tool, "apply", "%s:%d" % (PROXY_HOST, proxy_port))
        expect_route(profile, work, origin_url, log_path, target, "/proxied-again", proxied=True)
        with open(os.path.join(profile, "prefs.js"), encoding="utf-8", errors="replace") as prefs:
            kept = [line.strip() for line in prefs if '"network.proxy.' in line]
        print("prefs.js after that run: %s" % (kept or "no proxy preferences"))
        for step in ("first", "second"):
            run_tool(tool, "reset")
            user_js = os.path.join(profile, "user.js")
            left = open(user_js, "rb").read() if os.path.exists(user_js) else None
            print("reset %s: user.js %s" % (step, "absent" if left is None else "%d lines, %r" % (
                left.count(b"\r\n"), left.split(b"\r\n")[0])))
            expect_route(profile, work, origin_url, log_path, target, "/after-%s-reset" % step, proxied=False)
            if step == "first":
                settle_prefs(profile, work, origin_url)
    finally:
        proxy.terminate()
        proxy.wait(timeout=10)
        origin.shutdown()
        # Firefox's lock is a dangling symbolic link that Wine cannot delete:
        # left there, the profile and profiles.ini stay for the next tests.
        if profile and os.path.islink(os.path.join(profile, "lock")):
            os.unlink(os.path.join(profile, "lock"))
        run_tool(tool, "cleanup")
    print("PASS")


if __name__ == "__main__":
    main()
