#!/usr/bin/env python3
"""The outside peers of a hide session, for a catalogue description (see
directory_reply.py): one stand-in proxy per catalogue host on the catalogue's
port, with its user name and password, and the IP-check site that knows those
proxies.

    session_services.py start STATE_DIR --catalogue FILE [--refuse HOST ...] [--open ADDRESS:PORT ...]
                        [--ipcheck 127.0.0.4:80]
    session_services.py stop STATE_DIR

Hosts named with --refuse get a proxy in refusing mode ("Access Denied").
Each --open address gets a proxy outside the catalogue that asks no login, as
a user's own (a company's) proxy would be.
The other proxies stop listening while their host:port is written in
STATE_DIR/proxy.down, as a dead server does.
STATE_DIR receives proxy.log and ipcheck.log (one line per request, see the two
services), the services' output in *.out and a folder per service holding its
process id.
"""
import argparse
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import directory_reply  # noqa: E402
import directory_server  # noqa: E402

SERVICES = ("proxy", "refusing", "open", "ipcheck")


def launch(state_dir, name, args):
    out = os.path.join(state_dir, name + ".out")
    with open(out, "wb") as log:
        child = subprocess.Popen([sys.executable, os.path.join(HERE, args[0])] + args[1:], stdin=subprocess.DEVNULL,
                                 stdout=log, stderr=log, start_new_session=True)
    os.makedirs(os.path.join(state_dir, name), exist_ok=True)
    with open(os.path.join(state_dir, name, "pid"), "w") as f:
        f.write(str(child.pid))
    return child, out


def wait_listening(child, out, count):
    for _ in range(200):
        with open(out, encoding="latin-1") as f:
            text = f.read()
        if text.count("LISTEN ") >= count:
            return True
        if child.poll() is not None or "SKIPPED" in text:
            break
        time.sleep(0.05)
    sys.stderr.write(open(out, encoding="latin-1").read())
    return False


def start(args):
    stop(args.state_dir)
    os.makedirs(args.state_dir, exist_ok=True)
    for name in ("proxy.log", "ipcheck.log", "proxy.down"):
        if os.path.exists(os.path.join(args.state_dir, name)):
            os.remove(os.path.join(args.state_dir, name))
    with open(args.catalogue, encoding="latin-1") as f:
        catalogue = directory_reply.parse(f.read())
    hosts = sorted({host for _, host in catalogue.servers})
    login = ["--user", catalogue.user, "--password", catalogue.password]
    proxy_log = ["--log", os.path.join(args.state_dir, "proxy.log")]
    down = ["--down", os.path.join(args.state_dir, "proxy.down")]
    groups = [("proxy", ["%s:%s" % (h, catalogue.port) for h in hosts if h not in args.refuse], login + down),
              ("refusing", ["%s:%s" % (h, catalogue.port) for h in args.refuse], login + ["--refuse"]),
              ("open", args.open, [])]
    started = []
    for name, group, extra in groups:
        if group:
            listen = [a for address in group for a in ("--listen", address)]
            started.append(launch(args.state_dir, name, ["proxy_server.py"] + listen + extra + proxy_log)
                           + (len(group),))
    proxies = [a for h in hosts for a in ("--proxy", h)]
    started.append(launch(args.state_dir, "ipcheck", ["ipcheck_site.py", "--listen", args.ipcheck] + proxies
                          + ["--log", os.path.join(args.state_dir, "ipcheck.log")]) + (1,))
    if not all(wait_listening(*s) for s in started):
        stop(args.state_dir)
        return 1
    print("proxies on %s port %s (refusing: %s), IP-check site on %s"
          % (", ".join(hosts), catalogue.port, ", ".join(args.refuse) or "none", args.ipcheck))
    return 0


def stop(state_dir):
    for name in SERVICES:
        directory_server.stop(os.path.join(state_dir, name))
    return 0


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("command", choices=["start", "stop"])
    ap.add_argument("state_dir")
    ap.add_argument("--catalogue")
    ap.add_argument("--refuse", action="append", default=[], help="a catalogue host whose proxy refuses everyone")
    ap.add_argument("--open", action="append", default=[],
                    help="address:port of a proxy outside the catalogue that asks no login (a user's own)")
    ap.add_argument("--ipcheck", default="127.0.0.4:80", help="address:port of the IP-check site")
    args = ap.parse_args(argv)
    if args.command == "stop":
        return stop(args.state_dir)
    if not args.catalogue:
        ap.error("start needs --catalogue")
    return start(args)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
